#pragma once

#include "store/Backups.h"

#include <QDialog>
#include <QString>

#include <vector>

class QLabel;
class QTableWidget;

namespace orvj {

struct AppState;
struct Services;
class MenuChoices;

// "Options > Restore &Backup...": the backups of the client file with their date, client
// count and what today's file holds that they do not, and a restore of the chosen one: the
// current file is copied first, the backup replaces it under the client file's lock, the
// audit trail records it, and the client list is rebuilt.
class frmRestoreBackup : public QDialog {
    Q_OBJECT
public:
    static constexpr int kRestore = 0;
    static constexpr int kClose = 1;

    frmRestoreBackup(AppState& state, Services& services, QWidget* parent = nullptr);

    void choose(int index);

    // True once a backup was restored: the client list is to be rebuilt.
    bool restored() const { return m_restored; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void load();
    void restore();

    AppState& m_state;
    Services& m_services;
    bool m_restored = false;
    std::vector<Backups::Backup> m_backups;
    QTableWidget* m_grdBackups = nullptr;
    QLabel* m_msgPanel = nullptr;
    MenuChoices* m_choices = nullptr;
};

} // namespace orvj
