#include "clients/frmInstallInventory.h"

#include "core/AppState.h"
#include "scoring/InventoryInstaller.h"
#include "store/OrvjError.h"
#include "ui/FormConventions.h"
#include "ui/MessageService.h"
#include "ui/Services.h"

#include <QApplication>
#include <QFileDialog>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>

namespace orvj {

frmInstallInventory::frmInstallInventory(AppState& state, Services& services, QWidget* parent)
    : QDialog(parent), m_state(state), m_services(services) {
    setObjectName(QStringLiteral("frmInstallInventory"));
    setWindowTitle(QStringLiteral("Install Inventory Files"));
    setModal(true);
    m_pickFolder = [](QWidget* p, const QString& start) {
        return QFileDialog::getExistingDirectory(p, QStringLiteral("Folder of Inventory Files"),
                                                 start);
    };
    m_stamp = &InventoryInstaller::stampNow;

    auto* outer = new QVBoxLayout(this);
    auto* frame =
        new QGroupBox(QStringLiteral("Put the Publisher's Inventory Files in Place"), this);
    frame->setObjectName(QStringLiteral("fraInstall"));
    auto* form = new QFormLayout(frame);

    auto* files = new QLabel(
        QStringLiteral("ORVJB.TXT, ORVJRPT.TXT, ORV-J.TXT, INVAL.TXT, PUBLISHER.TXT, the nine "
                       "paragraph files and the question bank ORVj32.db"),
        frame);
    files->setObjectName(QStringLiteral("lblFiles"));
    files->setWordWrap(true);
    form->addRow(QStringLiteral("Files:"), files);

    auto* sourceRow = new QHBoxLayout;
    m_txtSourceFolder = new QLineEdit(frame);
    m_txtSourceFolder->setObjectName(QStringLiteral("txtSourceFolder"));
    m_txtSourceFolder->setMinimumWidth(twipsToPixels(5000));
    m_cmdBrowse = new QPushButton(QStringLiteral("&Browse..."), frame);
    m_cmdBrowse->setObjectName(QStringLiteral("cmdBrowse"));
    m_cmdBrowse->setAutoDefault(false);
    sourceRow->addWidget(m_txtSourceFolder, 1);
    sourceRow->addWidget(m_cmdBrowse);
    auto* sourceLabel = new QLabel(QStringLiteral("Copy &from:"), frame);
    sourceLabel->setBuddy(m_txtSourceFolder);
    // Screen readers name the field by its label and the button by its caption.
    m_txtSourceFolder->setAccessibleName(plainCaption(sourceLabel->text()).chopped(1));
    m_cmdBrowse->setAccessibleName(plainCaption(m_cmdBrowse->text()));
    form->addRow(sourceLabel, sourceRow);

    auto* target = new QLabel(QString::fromStdString(m_state.paths.home.string()), frame);
    target->setObjectName(QStringLiteral("lblTarget"));
    target->setWordWrap(true);
    form->addRow(QStringLiteral("Copy into:"), target);

    m_prgInstall = new QProgressBar(frame);
    m_prgInstall->setObjectName(QStringLiteral("prgInstall"));
    m_prgInstall->setRange(0, 1);
    m_prgInstall->setValue(0);
    form->addRow(QStringLiteral("Progress:"), m_prgInstall);
    outer->addWidget(frame);

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(makeMenuChoice(this, kInstall, QStringLiteral("&Install")));
    buttons->addWidget(makeMenuChoice(this, kClose, QStringLiteral("&Close")));
    outer->addLayout(buttons);
    m_msgPanel = makeMsgPanel(this);
    outer->addWidget(m_msgPanel);

    m_choices = new MenuChoices(this, m_msgPanel, true);
    m_choices->add(kInstall, QStringLiteral("Check every file of the folder, then put them in "
                                            "place; the old files go to a backup folder."));
    m_choices->add(kClose, QStringLiteral("Close this window and return to Main Menu."));
    connect(m_choices, &MenuChoices::chosen, this, &frmInstallInventory::choose);
    connect(m_cmdBrowse, &QPushButton::clicked, this, &frmInstallInventory::browse);
}

void frmInstallInventory::browse() {
    const QString folder = m_pickFolder(this, m_txtSourceFolder->text());
    if (!folder.isEmpty()) {
        m_txtSourceFolder->setText(folder);
    }
}

void frmInstallInventory::choose(int index) {
    if (index == kInstall) {
        install();
    } else {
        accept();
    }
}

void frmInstallInventory::install() {
    const QString source = m_txtSourceFolder->text().trimmed();
    if (source.isEmpty()) {
        m_services.messages->show(this, appTitle(),
                                  QStringLiteral("Choose the folder that holds the inventory "
                                                 "files first (Browse...)."),
                                  MessageService::Icon::Critical, MessageService::Buttons::Ok);
        m_txtSourceFolder->setFocus();
        return;
    }
    m_prgInstall->setValue(0);
    menuButton(this, kInstall)->setEnabled(false);
    menuButton(this, kClose)->setEnabled(false);
    QString text;
    bool done = false;
    try {
        const WaitCursor wait;
        const auto result = InventoryInstaller::install(
            source.toStdString(), m_state.paths.home, m_stamp(), [this](int step, int total) {
                m_prgInstall->setRange(0, total);
                m_prgInstall->setValue(step);
                QApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
            });
        text = QString::fromStdString(InventoryInstaller::summary(result));
        done = true;
    } catch (const InventoryInstaller::Refused& e) {
        text = errorText(e);
    } catch (const OrvjError& e) {
        text = QStringLiteral("The inventory files were not installed; nothing was replaced.\n") +
               errorText(e);
    }
    menuButton(this, kInstall)->setEnabled(true);
    menuButton(this, kClose)->setEnabled(true);
    m_services.messages->show(this, appTitle(), text,
                              done ? MessageService::Icon::Information
                                   : MessageService::Icon::Critical,
                              MessageService::Buttons::Ok);
}

} // namespace orvj
