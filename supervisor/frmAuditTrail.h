#pragma once

#include "store/AuditTrail.h"

#include <QDialog>
#include <QPalette>
#include <QString>

#include <functional>

class QLabel;
class QLineEdit;
class QTableWidget;

namespace orvj {

struct AppState;
struct Services;
class MenuChoices;

// "Options > Audit &Trail...": the data folder's audit trail in a table, newest first, with a
// filter by record number and date, the state of its chain, and an export as CSV.
class frmAuditTrail : public QDialog {
    Q_OBJECT
public:
    static constexpr int kExport = 0;
    static constexpr int kClose = 1;

    using FilePicker = std::function<QString(QWidget*, const QString& suggested)>;

    frmAuditTrail(AppState& state, Services& services, QWidget* parent = nullptr);

    void setFilePicker(FilePicker picker) { m_pickFile = std::move(picker); }

    void choose(int index);

    // The shown lines as CSV (RFC 4180, CR LF): the export's content.
    std::string csv() const;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void load();
    void fill();
    void exportCsv();

    AppState& m_state;
    Services& m_services;
    FilePicker m_pickFile;
    AuditRead m_trail;
    std::vector<const AuditLine*> m_shown;
    QPalette m_fieldPalette;
    QLineEdit* m_txtRecord = nullptr;
    QLineEdit* m_txtSince = nullptr;
    QLabel* m_lblChainState = nullptr;
    QTableWidget* m_grdAuditTrail = nullptr;
    QLabel* m_msgPanel = nullptr;
    MenuChoices* m_choices = nullptr;
};

} // namespace orvj
