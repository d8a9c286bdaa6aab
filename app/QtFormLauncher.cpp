#include "app/QtFormLauncher.h"

#include "app/StartupSequence.h"
#include "clients/frmClientInfo.h"
#include "clients/frmDataFolder.h"
#include "clients/frmInstallInventory.h"
#include "clients/frmSupervisorOptions.h"
#include "core/AppState.h"
#include "testing/frmInstallVoiceFiles.h"
#include "testing/frmNewEntry.h"
#include "testing/frmSelectEntryMethod.h"
#include "ui/MessageService.h"
#include "ui/Services.h"

#include <QString>

namespace orvj {

// frmClientInfo
void QtFormLauncher::showClientInfo(QWidget* parent) {
    frmClientInfo form(m_state, m_services, parent);
    form.exec();
}

// frmNewEntry
void QtFormLauncher::showNewEntry(QWidget* parent) {
    frmNewEntry form(m_state, m_services, parent);
    form.exec();
}

// frmSelectEntryMethod
void QtFormLauncher::showSelectEntryMethod(QWidget* parent) {
    frmSelectEntryMethod form(m_state, m_services, parent);
    form.exec();
}

// frmSupervisorOptions
void QtFormLauncher::showSupervisorOptions(QWidget* parent) {
    frmSupervisorOptions form(m_state, m_services, parent);
    form.exec();
}

// "&Install Voice Files..."
void QtFormLauncher::showInstallVoiceFiles(QWidget* parent) {
    frmInstallVoiceFiles form(m_state, m_services, parent);
    form.exec();
}

// "Install &Inventory Files..."
void QtFormLauncher::showInstallInventory(QWidget* parent) {
    frmInstallInventory form(m_state, m_services, parent);
    form.exec();
}

// "&Data Folder..."; the new folder's client file gets the notices of a start.
void QtFormLauncher::showDataFolder(QWidget* parent) {
    frmDataFolder form(m_state, m_services, parent);
    form.exec();
    if (form.changed()) {
        const QString notice = StartupSequence::LoadNotice(m_state, form.loadReport());
        if (!notice.isEmpty()) {
            m_services.messages->show(parent, appTitle(), notice, MessageService::Icon::Information,
                                      MessageService::Buttons::Ok);
        }
    }
}

} // namespace orvj
