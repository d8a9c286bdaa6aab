#pragma once

#include "ui/FormLauncher.h"

#include <QString>

namespace orvj {

struct AppState;
struct Services;

// Opens the real work-path forms, each modally, each in its own short function.
class QtFormLauncher : public FormLauncher {
public:
    QtFormLauncher(AppState& state, Services& services) : m_state(state), m_services(services) {}

    void showClientInfo(QWidget* parent) override;
    void showNewEntry(QWidget* parent) override;
    void showSelectEntryMethod(QWidget* parent) override;
    void showSupervisorOptions(QWidget* parent) override;
    void showInstallVoiceFiles(QWidget* parent) override;
    void showInstallInventory(QWidget* parent) override;
    void showDataFolder(QWidget* parent) override;
    void showChangeSecretCode(QWidget* parent) override;
    void showAuditTrail(QWidget* parent) override;
    void showRestoreBackup(QWidget* parent) override;
    void showStatistics(QWidget* parent) override;
    void showCompare(QWidget* parent) override;

private:
    AppState& m_state;
    Services& m_services;
};

} // namespace orvj
