#include "app/QtFormLauncher.h"

#include "clients/frmClientInfo.h"
#include "clients/frmSupervisorOptions.h"
#include "core/AppState.h"
#include "testing/frmInstallVoiceFiles.h"
#include "testing/frmNewEntry.h"
#include "testing/frmSelectEntryMethod.h"
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

} // namespace orvj
