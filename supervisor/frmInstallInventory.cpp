#include "supervisor/frmInstallInventory.h"

#include "core/AppState.h"
#include "scoring/InventoryInstaller.h"
#include "store/OrvjError.h"
#include "ui/AuditRecord.h"
#include "ui/FolderFormParts.h"
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

    const auto source = FolderFormParts::addSourceFolderRow(frame, form);
    m_txtSourceFolder = source.field;
    m_cmdBrowse = source.browse;

    auto* target = new QLabel(QString::fromStdString(m_state.paths.home.string()), frame);
    target->setObjectName(QStringLiteral("lblTarget"));
    target->setTextFormat(Qt::PlainText);
    target->setWordWrap(true);
    form->addRow(QStringLiteral("Copy into:"), target);
    // The form's own height passes on no height-for-width: each wrapped label asks for the
    // height its text needs at its narrowest.
    for (QLabel* label : {files, target}) {
        label->setMinimumWidth(twipsToPixels(5000));
        label->setMinimumHeight(label->heightForWidth(label->minimumWidth()));
    }

    m_prgInstall = FolderFormParts::addProgressRow(frame, form, QStringLiteral("prgInstall"));
    outer->addWidget(frame);

    m_choices = FolderFormParts::addInstallMenu(
        this, outer,
        QStringLiteral("Check every file of the folder, then put them in "
                       "place; the old files go to a backup folder."),
        m_msgPanel);
    connect(m_choices, &MenuChoices::chosen, this, &frmInstallInventory::choose);
    connect(m_cmdBrowse, &QPushButton::clicked, this, &frmInstallInventory::browse);
}

void frmInstallInventory::browse() {
    FolderFormParts::browseInto(this, m_txtSourceFolder, m_pickFolder);
}

void frmInstallInventory::choose(int index) {
    if (index == kInstall) {
        install();
    } else {
        accept();
    }
}

void frmInstallInventory::install() {
    const QString source = FolderFormParts::chosenSource(
        this, m_txtSourceFolder, *m_services.messages, QStringLiteral("inventory files"));
    if (source.isEmpty()) {
        return;
    }
    m_prgInstall->setValue(0);
    FolderFormParts::setInstallMenuEnabled(this, false);
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
        recordAudit(m_state.paths.clientFile, *m_services.messages, this,
                    {AuditEvent::InventoryInstalled, "", ""});
    } catch (const InventoryInstaller::Refused& e) {
        text = errorText(e);
    } catch (const OrvjError& e) {
        text = QStringLiteral("The inventory files were not installed; nothing was replaced.\n") +
               errorText(e);
    }
    FolderFormParts::setInstallMenuEnabled(this, true);
    m_services.messages->show(this, appTitle(), text,
                              done ? MessageService::Icon::Information
                                   : MessageService::Icon::Critical,
                              MessageService::Buttons::Ok);
}

} // namespace orvj
