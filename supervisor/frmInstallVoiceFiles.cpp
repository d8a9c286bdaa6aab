#include "supervisor/frmInstallVoiceFiles.h"

#include "core/AppState.h"
#include "session/VoiceFiles.h"
#include "store/OrvjError.h"
#include "ui/AuditRecord.h"
#include "ui/FormConventions.h"
#include "ui/MessageService.h"
#include "ui/PathText.h"
#include "ui/Services.h"

#include <QComboBox>
#include <QEvent>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QShortcut>

namespace orvj {

frmInstallVoiceFiles::frmInstallVoiceFiles(AppState& state, Services& services, QWidget* parent)
    : InstallerDialog(state, services, parent, QStringLiteral("frmInstallVoiceFiles"),
                      QStringLiteral("Install Voice Files"),
                      QStringLiteral("Copy Voice Files into the Sound Folder"),
                      QStringLiteral("Folder of Voice Files")) {
    m_cmbLanguage = new QComboBox(m_form->parentWidget());
    m_cmbLanguage->setObjectName(QStringLiteral("cmbLanguage"));
    m_cmbLanguage->addItems({QStringLiteral("English"), QStringLiteral("Spanish")});
    m_form->addRow(QStringLiteral("&Language:"), m_cmbLanguage);

    addSourceRow();
    m_lblTarget = new QLabel(m_form->parentWidget());
    addTargetRow(m_lblTarget);
    addProgressAndMenu(QStringLiteral("prgCopy"),
                       QStringLiteral("Copy every .wav file of the folder into the sound "
                                      "folder of the language."));

    describeControl(m_cmbLanguage, QStringLiteral("Language"),
                    QStringLiteral("Use up or down arrow keys to select the language of the "
                                   "voice files."),
                    m_msgPanel);
    describeControl(m_txtSourceFolder, QStringLiteral("Copy from"),
                    QStringLiteral("Type the folder that holds the voice files, or choose "
                                   "Browse."),
                    m_msgPanel);
    describeControl(m_cmdBrowse, m_cmdBrowse->text(),
                    QStringLiteral("Choose the folder that holds the voice files."), m_msgPanel);
    keepBoldRoom(m_cmdBrowse);
    m_fieldPalette = m_cmbLanguage->palette();
    for (QWidget* w :
         {static_cast<QWidget*>(m_cmbLanguage), static_cast<QWidget*>(m_txtSourceFolder),
          static_cast<QWidget*>(m_cmdBrowse)}) {
        w->installEventFilter(this);
    }
    setTabOrder(m_cmbLanguage, m_txtSourceFolder);
    setTabOrder(m_txtSourceFolder, m_cmdBrowse);
    setTabOrder(m_cmdBrowse, menuButton(this, kInstall));
    setTabOrder(menuButton(this, kInstall), menuButton(this, kClose));
    // Escape closes the window from every control, the menu buttons included (they let no
    // key but Space and Enter through).
    auto* escape = new QShortcut(QKeySequence(Qt::Key_Escape), this);
    escape->setObjectName(QStringLiteral("escClose"));
    connect(escape, &QShortcut::activated, this, &QDialog::reject);
    connect(m_cmbLanguage, &QComboBox::currentIndexChanged, this,
            &frmInstallVoiceFiles::showTarget);
    showTarget();
}

bool frmInstallVoiceFiles::eventFilter(QObject* watched, QEvent* event) {
    auto* w = qobject_cast<QWidget*>(watched);
    if (w == nullptr || (event->type() != QEvent::FocusIn && event->type() != QEvent::FocusOut)) {
        return QDialog::eventFilter(watched, event);
    }
    if (event->type() == QEvent::FocusIn) {
        // The focused field is cyan with black text, and the help line says what it is for.
        if (w != m_cmdBrowse) {
            setColors(w, Colors::cyan, Colors::black);
        } else {
            setBold(w, true);
        }
        m_msgPanel->setText(w->accessibleDescription());
    } else {
        if (w != m_cmdBrowse) {
            w->setPalette(m_fieldPalette);
            w->setAutoFillBackground(false);
        } else {
            setBold(w, false);
        }
    }
    return QDialog::eventFilter(watched, event);
}

QString frmInstallVoiceFiles::targetFolder() const {
    return pathToQString(VoiceFiles::soundFolder(m_state.paths.soundBase, m_state.paths.home,
                                                 m_cmbLanguage->currentText().toStdString()));
}

void frmInstallVoiceFiles::showTarget() {
    m_lblTarget->setText(targetFolder());
}

void frmInstallVoiceFiles::install() {
    const QString source = chosenSource(QStringLiteral("voice files"));
    if (source.isEmpty()) {
        return;
    }
    std::vector<std::filesystem::path> files;
    try {
        files = VoiceFiles::waveFilesIn(qStringToPath(source));
    } catch (const OrvjError& e) {
        m_services.messages->show(this, appTitle(), errorText(e), MessageService::Icon::Critical,
                                  MessageService::Buttons::Ok);
        return;
    }
    if (files.empty()) {
        m_services.messages->show(this, appTitle(),
                                  QStringLiteral("The folder %1 holds no .wav files. Nothing was "
                                                 "copied.")
                                      .arg(source),
                                  MessageService::Icon::Critical, MessageService::Buttons::Ok);
        return;
    }

    const QString target = targetFolder();
    m_progress->setRange(0, static_cast<int>(files.size()));
    m_progress->setValue(0);
    VoiceFiles::InstallResult result;
    runInstall([&] {
        result = VoiceFiles::install(files, qStringToPath(target),
                                     [this](int done, int total) { showProgress(done, total); });
    });
    if (result.copied > 0) {
        recordAudit(
            m_state.paths.clientFile, *m_services.messages, this,
            {AuditEvent::VoiceFilesInstalled, "",
             std::to_string(result.copied) + " of " + std::to_string(files.size()) + " files"});
    }

    QString summary = QStringLiteral("%1 of %2 voice files were copied into %3.")
                          .arg(result.copied)
                          .arg(files.size())
                          .arg(target);
    if (result.replaced > 0) {
        summary +=
            QStringLiteral("\n%1 of them replaced files of the same name.").arg(result.replaced);
    }
    if (!result.failed.empty()) {
        summary += QStringLiteral("\n\nThese files could not be copied:");
        for (const auto& line : result.failed) {
            summary += QStringLiteral("\n") + QString::fromStdString(line);
        }
    }
    showSummary(summary, result.failed.empty());
}

} // namespace orvj
