#include "supervisor/frmDataFolder.h"

#include "core/AppState.h"
#include "store/ConfigFile.h"
#include "store/DataFolder.h"
#include "store/OrvjError.h"
#include "ui/AuditRecord.h"
#include "ui/FolderFormParts.h"
#include "ui/FormConventions.h"
#include "ui/MessageService.h"
#include "ui/PathText.h"
#include "ui/Services.h"

#include <QFileDialog>
#include <QFormLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace orvj {

frmDataFolder::frmDataFolder(AppState& state, Services& services, QWidget* parent)
    : QDialog(parent), m_state(state), m_services(services) {
    setObjectName(QStringLiteral("frmDataFolder"));
    setWindowTitle(QStringLiteral("Data Folder"));
    setModal(true);
    m_pickFolder = [](QWidget* p, const QString& start) {
        return QFileDialog::getExistingDirectory(p, QStringLiteral("Data Folder"), start);
    };

    auto* outer = new QVBoxLayout(this);
    auto* frame = new QGroupBox(QStringLiteral("Folder of the Client File"), this);
    frame->setObjectName(QStringLiteral("fraDataFolder"));
    auto* form = new QFormLayout(frame);
    m_lblDataFolder = new QLabel(frame);
    m_lblDataFolder->setObjectName(QStringLiteral("lblDataFolder"));
    m_lblDataFolder->setTextFormat(Qt::PlainText);
    m_lblDataFolder->setWordWrap(true);
    form->addRow(QStringLiteral("Data folder:"), m_lblDataFolder);
    m_lblClientCount = new QLabel(frame);
    m_lblClientCount->setObjectName(QStringLiteral("lblClientCount"));
    form->addRow(QStringLiteral("Clients:"), m_lblClientCount);

    const auto row = FolderFormParts::addFolderRow(frame, form, QStringLiteral("&Other folder:"),
                                                   QStringLiteral("txtDataFolder"));
    m_txtDataFolder = row.field;
    m_cmdBrowse = row.browse;
    outer->addWidget(frame);

    m_choices = FolderFormParts::addMenuRow(
        this, outer,
        {{kUseFolder, QStringLiteral("&Use This Folder"),
          QStringLiteral("Use the clients of the folder named above.")},
         {kNewFolder, QStringLiteral("&New Empty Folder"),
          QStringLiteral("Make the folder named above, empty, and start a new client file "
                         "there.")},
         {kClose, QStringLiteral("&Close"), FolderFormParts::closeHelpLine()}},
        m_msgPanel);
    connect(m_choices, &MenuChoices::chosen, this, &frmDataFolder::choose);
    connect(m_cmdBrowse, &QPushButton::clicked, this, &frmDataFolder::browse);
    showCurrent();
}

void frmDataFolder::showCurrent() {
    m_lblDataFolder->setText(pathToQString(m_state.paths.dataFolder));
    m_lblClientCount->setText(
        QStringLiteral("%1 of %2").arg(m_state.clients.clientCount).arg(ClientTable::kMaxClients));
}

void frmDataFolder::browse() {
    FolderFormParts::browseInto(this, m_txtDataFolder, m_pickFolder);
}

void frmDataFolder::choose(int index) {
    if (index == kClose) {
        accept();
    } else {
        switchFolder(index == kNewFolder);
    }
}

void frmDataFolder::switchFolder(bool makeNew) {
    const QString name = m_txtDataFolder->text().trimmed();
    if (name.isEmpty()) {
        m_services.messages->show(this, appTitle(),
                                  QStringLiteral("Type or choose (Browse...) the folder first."),
                                  MessageService::Icon::Critical, MessageService::Buttons::Ok);
        m_txtDataFolder->setFocus();
        return;
    }
    std::filesystem::path folder = qStringToPath(name);
    if (folder.is_relative()) {
        folder = m_state.paths.home / folder;
    }
    DataFolder::Switched s;
    const ConfigFile config(m_state.paths.configFile);
    const std::string previous = config.GetINIFilePath();
    try {
        // The client file left behind is copied first, as before every change of folder.
        ClientFile(m_state.paths.clientFile).backupNow("before a data folder switch");
        s = DataFolder::switchTo(m_state.paths.home, m_state.paths.configFile, folder, makeNew);
    } catch (const OrvjError& e) {
        m_services.messages->show(
            this, appTitle(), QStringLiteral("The data folder was not changed.\n\n") + errorText(e),
            MessageService::Icon::Critical, MessageService::Buttons::Ok);
        return;
    }
    m_state.paths.dataFolder = s.dataFolder;
    m_state.paths.clientFile = s.clientFile;
    m_state.clients = s.clients;
    m_state.testStored = true;
    m_changed = true;
    recordAudit(m_state.paths.clientFile, *m_services.messages, this,
                {makeNew ? AuditEvent::DataFolderStarted : AuditEvent::DataFolderSwitched, "",
                 std::to_string(s.clients.clientCount) + " clients"});
    showCurrent();
    QString text = QStringLiteral("The data folder is now %1 (FilePath=%2). It holds %3 clients.")
                       .arg(pathToQString(s.dataFolder), QString::fromStdString(s.filePathValue))
                       .arg(s.clients.clientCount);
    // [Folders] keeps the folders used, for the statistics and the retest comparison.
    try {
        config.RememberFolder(previous);
        config.RememberFolder(s.filePathValue);
    } catch (const OrvjError& e) {
        text +=
            QStringLiteral("\n\nThe list of folders used could not be updated: ") + errorText(e);
    }
    m_report = s.report;
    m_services.messages->show(this, appTitle(), text, MessageService::Icon::Information,
                              MessageService::Buttons::Ok);
}

} // namespace orvj
