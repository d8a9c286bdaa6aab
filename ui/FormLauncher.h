#pragma once

class QWidget;

namespace orvj {

// Opens the work-path forms modally. The main menu and the entry-method form go through this,
// so each form can be tested without the forms it opens. Each call returns when the form
// has closed; results travel back through AppState.
class FormLauncher {
public:
    virtual ~FormLauncher() = default;
    virtual void showClientInfo(QWidget* parent) = 0;        // frmClientInfo
    virtual void showNewEntry(QWidget* parent) = 0;          // frmNewEntry
    virtual void showSelectEntryMethod(QWidget* parent) = 0; // frmSelectEntryMethod
    virtual void showSupervisorOptions(QWidget* parent) = 0; // frmSupervisorOptions
    virtual void showInstallVoiceFiles(QWidget* parent) = 0; // "&Install Voice Files..."
    virtual void showInstallInventory(QWidget* parent) = 0;  // "Install &Inventory Files..."
    virtual void showDataFolder(QWidget* parent) = 0;        // "&Data Folder..."
    virtual void showChangeSecretCode(QWidget* parent) = 0;  // "Change &Secret Code..."
    virtual void showAuditTrail(QWidget* parent) = 0;        // "Audit &Trail..."
    virtual void showRestoreBackup(QWidget* parent) = 0;     // "Restore &Backup..."
    virtual void showStatistics(QWidget* parent) = 0;        // "S&tatistics..."
    virtual void showCompare(QWidget* parent) = 0;           // "Compare &Retests..."
};

} // namespace orvj
