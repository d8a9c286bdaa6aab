#include "session/QtAudioPlayer.h"

#include <QAudioDevice>
#include <QAudioOutput>
#include <QFileInfo>
#include <QMediaDevices>
#include <QMediaPlayer>
#include <QUrl>

namespace orvj {

namespace {
// Error numbers of this device; the back end's own errors follow from 100 on.
constexpr int kNoDevice = 1;
constexpr int kNotPrepared = 2;
constexpr int kCannotRead = 3;
constexpr int kBackEndBase = 100;
} // namespace

QtAudioPlayer::QtAudioPlayer() = default;

QtAudioPlayer::~QtAudioPlayer() {
    close();
}

bool QtAudioPlayer::fail(int number, const QString& description) {
    m_errorNumber = number;
    m_errorDescription = description;
    return false;
}

bool QtAudioPlayer::prepare() {
    m_errorNumber = 0;
    m_errorDescription.clear();
    const QAudioDevice device = QMediaDevices::defaultAudioOutput();
    if (device.isNull()) {
        return fail(kNoDevice, QStringLiteral("No wave-audio output device is available."));
    }
    if (m_player == nullptr) {
        m_player = new QMediaPlayer(this);
        m_output = new QAudioOutput(device, this);
        m_player->setAudioOutput(m_output);
        connect(m_player, &QMediaPlayer::errorOccurred, this,
                [this](QMediaPlayer::Error error, const QString& text) {
                    if (error == QMediaPlayer::NoError) {
                        return;
                    }
                    fail(kBackEndBase + static_cast<int>(error), text);
                    reportLateError();
                });
    }
    return true;
}

bool QtAudioPlayer::open(const QString& path) {
    m_errorNumber = 0;
    m_errorDescription.clear();
    if (m_player == nullptr) {
        return fail(kNotPrepared, QStringLiteral("The wave-audio device is not prepared."));
    }
    const QFileInfo info(path);
    if (!info.isFile() || !info.isReadable()) {
        return fail(kCannotRead, QStringLiteral("Cannot read the sound file ") + path);
    }
    m_player->setSource(QUrl::fromLocalFile(path));
    if (m_player->error() != QMediaPlayer::NoError) {
        return fail(kBackEndBase + static_cast<int>(m_player->error()), m_player->errorString());
    }
    return true;
}

bool QtAudioPlayer::play() {
    if (m_player == nullptr) {
        return fail(kNotPrepared, QStringLiteral("The wave-audio device is not prepared."));
    }
    m_player->play();
    if (m_player->error() != QMediaPlayer::NoError) {
        return fail(kBackEndBase + static_cast<int>(m_player->error()), m_player->errorString());
    }
    return true;
}

bool QtAudioPlayer::stop() {
    if (m_player != nullptr) {
        m_player->stop();
    }
    return true;
}

void QtAudioPlayer::close() {
    if (m_player != nullptr) {
        m_player->stop();
        m_player->setSource(QUrl());
    }
}

std::unique_ptr<AudioPlayer> makeQtAudioPlayer() {
    return std::make_unique<QtAudioPlayer>();
}

} // namespace orvj
