#include "session/PresentationSound.h"

#include "core/AppState.h"
#include "session/AudioPlayer.h"
#include "session/VoiceFiles.h"
#include "ui/MessageService.h"
#include "ui/PathText.h"
#include "ui/Services.h"

namespace orvj {

PresentationSound::PresentationSound(AppState& state, Services& services, QWidget* boxParent)
    : m_state(state), m_services(services), m_boxParent(boxParent),
      m_audio(services.makeAudioPlayer()) {
    if (m_audio) {
        m_audio->setLateErrorHandler([this] { showError(); });
    }
}

PresentationSound::~PresentationSound() {
    if (m_audio) {
        m_audio->setLateErrorHandler({});
        m_audio->close();
    }
}

void PresentationSound::showError() {
    m_services.messages->show(
        m_boxParent, QStringLiteral("Sound Error"),
        QStringLiteral("Error %1:%2").arg(m_audio->errorNumber()).arg(m_audio->errorDescription()),
        MessageService::Icon::Critical, MessageService::Buttons::Ok);
}

void PresentationSound::prepare() {
    m_state.audioAvailable = true;
    if (!m_audio || !m_audio->prepare()) {
        m_state.audioAvailable = false;
    }
}

void PresentationSound::play(const QString& fileName, const QString& language) {
    if (!m_state.audioAvailable || !m_audio) {
        return;
    }
    stopAll();
    if (fileName.trimmed().isEmpty()) {
        return;
    }
    const auto folder = VoiceFiles::soundFolder(m_state.paths.soundBase, m_state.paths.home,
                                                language.toStdString());
    const auto path = VoiceFiles::find(folder, fileName.toStdString());
    if (path.empty()) {
        return;
    }
    if (!m_audio->open(pathToQString(path)) || !m_audio->play()) {
        showError();
    }
}

void PresentationSound::stopAll() {
    if (!m_audio) {
        return;
    }
    if (!m_audio->stop()) {
        showError();
    }
    m_audio->close();
}

} // namespace orvj
