#include "app/QtFormLauncher.h"

#include "app/StartupSequence.h"
#include "clients/frmClientInfo.h"
#include "clients/frmCompare.h"
#include "core/AppState.h"
#include "session/frmNewEntry.h"
#include "session/frmSelectEntryMethod.h"
#include "supervisor/frmAuditTrail.h"
#include "supervisor/frmChangeSecretCode.h"
#include "supervisor/frmDataFolder.h"
#include "supervisor/frmInstallInventory.h"
#include "supervisor/frmInstallVoiceFiles.h"
#include "supervisor/frmRestoreBackup.h"
#include "supervisor/frmStatistics.h"
#include "supervisor/frmSupervisorOptions.h"
#include "ui/MessageService.h"
#include "ui/Services.h"

#include <QString>

namespace orvj {

namespace {

// Opens a work-path form modally on the program's state and services.
template <typename Form> void execForm(AppState& state, Services& services, QWidget* parent) {
    Form form(state, services, parent);
    form.exec();
}

} // namespace

void QtFormLauncher::showClientInfo(QWidget* parent) {
    execForm<frmClientInfo>(m_state, m_services, parent);
}

void QtFormLauncher::showNewEntry(QWidget* parent) {
    execForm<frmNewEntry>(m_state, m_services, parent);
}

void QtFormLauncher::showSelectEntryMethod(QWidget* parent) {
    execForm<frmSelectEntryMethod>(m_state, m_services, parent);
}

void QtFormLauncher::showSupervisorOptions(QWidget* parent) {
    execForm<frmSupervisorOptions>(m_state, m_services, parent);
}

void QtFormLauncher::showInstallVoiceFiles(QWidget* parent) {
    execForm<frmInstallVoiceFiles>(m_state, m_services, parent);
}

void QtFormLauncher::showChangeSecretCode(QWidget* parent) {
    execForm<frmChangeSecretCode>(m_state, m_services, parent);
}

void QtFormLauncher::showAuditTrail(QWidget* parent) {
    execForm<frmAuditTrail>(m_state, m_services, parent);
}

void QtFormLauncher::showRestoreBackup(QWidget* parent) {
    execForm<frmRestoreBackup>(m_state, m_services, parent);
}

void QtFormLauncher::showCompare(QWidget* parent) {
    execForm<frmCompare>(m_state, m_services, parent);
}

void QtFormLauncher::showStatistics(QWidget* parent) {
    execForm<frmStatistics>(m_state, m_services, parent);
}

void QtFormLauncher::showInstallInventory(QWidget* parent) {
    execForm<frmInstallInventory>(m_state, m_services, parent);
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
