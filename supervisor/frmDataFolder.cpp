#include "supervisor/frmDataFolder.h"

#include "core/AppState.h"
#include "store/ConfigFile.h"
#include "store/DataFolder.h"
#include "store/OrvjError.h"
#include "ui/FolderFormParts.h"
#include "ui/FormConventions.h"
#include "ui/MessageService.h"
#include "ui/Services.h"

#include <QFileDialog>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
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

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(makeMenuChoice(this, kUseFolder, QStringLiteral("&Use This Folder")));
    buttons->addWidget(makeMenuChoice(this, kNewFolder, QStringLiteral("&New Empty Folder")));
    buttons->addWidget(makeMenuChoice(this, kClose, QStringLiteral("&Close")));
    outer->addLayout(buttons);
    m_msgPanel = makeMsgPanel(this);
    outer->addWidget(m_msgPanel);

    m_choices = new MenuChoices(this, m_msgPanel, true);
    m_choices->add(kUseFolder, QStringLiteral("Use the clients of the folder named above."));
    m_choices->add(kNewFolder, QStringLiteral("Make the folder named above, empty, and start a "
                                              "new client file there."));
    m_choices->add(kClose, QStringLiteral("Close this window and return to Main Menu."));
    connect(m_choices, &MenuChoices::chosen, this, &frmDataFolder::choose);
    connect(m_cmdBrowse, &QPushButton::clicked, this, &frmDataFolder::browse);
    showCurrent();
}

void frmDataFolder::showCurrent() {
    m_lblDataFolder->setText(QString::fromStdString(m_state.paths.dataFolder.string()));
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
    std::filesystem::path folder = name.toStdString();
    if (folder.is_relative()) {
        folder = m_state.paths.home / folder;
    }
    DataFolder::Switched s;
    const ConfigFile config(m_state.paths.configFile);
    const std::string previous = config.GetINIFilePath();
    try {
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
    showCurrent();
    QString text = QStringLiteral("The data folder is now %1 (FilePath=%2). It holds %3 clients.")
                       .arg(QString::fromStdString(s.dataFolder.string()),
                            QString::fromStdString(s.filePathValue))
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
