#include "supervisor/frmInstallVoiceFiles.h"

#include "core/AppState.h"
#include "session/VoiceFiles.h"
#include "store/OrvjError.h"
#include "ui/AuditRecord.h"
#include "ui/FolderFormParts.h"
#include "ui/FormConventions.h"
#include "ui/MessageService.h"
#include "ui/Services.h"

#include <QAbstractButton>
#include <QApplication>
#include <QComboBox>
#include <QFileDialog>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QShortcut>
#include <QVBoxLayout>

namespace orvj {

frmInstallVoiceFiles::frmInstallVoiceFiles(AppState& state, Services& services, QWidget* parent)
    : QDialog(parent), m_state(state), m_services(services) {
    setObjectName(QStringLiteral("frmInstallVoiceFiles"));
    setWindowTitle(QStringLiteral("Install Voice Files"));
    setModal(true);
    m_pickFolder = [](QWidget* p, const QString& start) {
        return QFileDialog::getExistingDirectory(p, QStringLiteral("Folder of Voice Files"), start);
    };

    auto* outer = new QVBoxLayout(this);
    auto* frame = new QGroupBox(QStringLiteral("Copy Voice Files into the Sound Folder"), this);
    frame->setObjectName(QStringLiteral("fraInstall"));
    auto* form = new QFormLayout(frame);

    m_cmbLanguage = new QComboBox(frame);
    m_cmbLanguage->setObjectName(QStringLiteral("cmbLanguage"));
    m_cmbLanguage->addItems({QStringLiteral("English"), QStringLiteral("Spanish")});
    form->addRow(QStringLiteral("&Language:"), m_cmbLanguage);

    const auto source = FolderFormParts::addSourceFolderRow(frame, form);
    m_txtSourceFolder = source.field;
    m_cmdBrowse = source.browse;

    m_lblTarget = new QLabel(frame);
    m_lblTarget->setObjectName(QStringLiteral("lblTarget"));
    m_lblTarget->setTextFormat(Qt::PlainText);
    m_lblTarget->setWordWrap(true);
    form->addRow(QStringLiteral("Copy into:"), m_lblTarget);

    m_prgCopy = FolderFormParts::addProgressRow(frame, form, QStringLiteral("prgCopy"));
    outer->addWidget(frame);

    m_choices = FolderFormParts::addInstallMenu(
        this, outer,
        QStringLiteral("Copy every .wav file of the folder into the sound "
                       "folder of the language."),
        m_msgPanel);
    connect(m_choices, &MenuChoices::chosen, this, &frmInstallVoiceFiles::choose);

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
    connect(m_cmdBrowse, &QPushButton::clicked, this, &frmInstallVoiceFiles::browse);
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
    return QString::fromStdString(
        VoiceFiles::soundFolder(m_state.paths.soundBase, m_state.paths.home,
                                m_cmbLanguage->currentText().toStdString())
            .string());
}

void frmInstallVoiceFiles::showTarget() {
    m_lblTarget->setText(targetFolder());
}

void frmInstallVoiceFiles::browse() {
    FolderFormParts::browseInto(this, m_txtSourceFolder, m_pickFolder);
}

void frmInstallVoiceFiles::choose(int index) {
    if (index == kInstall) {
        install();
    } else {
        accept();
    }
}

void frmInstallVoiceFiles::install() {
    const QString source = FolderFormParts::chosenSource(
        this, m_txtSourceFolder, *m_services.messages, QStringLiteral("voice files"));
    if (source.isEmpty()) {
        return;
    }
    std::vector<std::filesystem::path> files;
    try {
        files = VoiceFiles::waveFilesIn(source.toStdString());
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
    m_prgCopy->setRange(0, static_cast<int>(files.size()));
    m_prgCopy->setValue(0);
    FolderFormParts::setInstallMenuEnabled(this, false);
    VoiceFiles::InstallResult result;
    {
        const WaitCursor wait;
        result = VoiceFiles::install(files, target.toStdString(), [this](int done, int) {
            m_prgCopy->setValue(done);
            QApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
        });
    }
    FolderFormParts::setInstallMenuEnabled(this, true);
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
    m_services.messages->show(this, appTitle(), summary,
                              result.failed.empty() ? MessageService::Icon::Information
                                                    : MessageService::Icon::Critical,
                              MessageService::Buttons::Ok);
}

} // namespace orvj
