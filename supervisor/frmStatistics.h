#pragma once

#include "scoring/InventoryLoader.h"
#include "scoring/OfficeStatistics.h"

#include <QDialog>

#include <filesystem>
#include <functional>
#include <memory>
#include <optional>

class QCheckBox;
class QComboBox;
class QDateEdit;
class QLabel;
class QListWidget;
class QPushButton;
class QStackedWidget;
class QTableWidget;

namespace orvj {

struct AppState;
struct Services;
class StatisticsChartView;

// "Office Statistics": the office's figures over the current data folder and any earlier ones
// chosen, for a range of test dates: clients complete, incomplete and invalid, critical cases,
// and per scale the clients in each risk range with the median percentile, in all, by sex and
// by race, as a table and a stacked-bar chart; saved as PDF or CSV.
class frmStatistics : public QDialog {
    Q_OBJECT
public:
    frmStatistics(AppState& state, Services& services, QWidget* parent = nullptr);
    ~frmStatistics() override;

    // Asks for a file to save (`suggested` offered, `filter` the kind); empty when cancelled.
    void setFilePicker(
        std::function<QString(QWidget*, const QString& suggested, const QString& filter)> p) {
        m_pickFile = std::move(p);
    }
    // Asks for another data folder; empty when cancelled.
    void setFolderPicker(std::function<QString(QWidget*)> p) { m_pickFolder = std::move(p); }

    // Counts again with the folders, dates and group chosen now.
    void Recount();
    const OfficeStatistics* statistics() const { return m_stats.get(); }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void addFolder(const std::filesystem::path& folder, bool checked);
    void chooseFolder();
    void showGroup();
    void saveCsv();
    void savePdf();
    QString heading() const;
    const GroupCount* chosenGroup() const;

    AppState& m_state;
    Services& m_services;
    std::optional<Inventory> m_inventory;
    QString m_inventoryFault;
    std::unique_ptr<OfficeStatistics> m_stats;

    QListWidget* m_lstFolders;
    QPushButton* m_cmdAddFolder;
    QCheckBox* m_chkSince;
    QDateEdit* m_dteSince;
    QCheckBox* m_chkUntil;
    QDateEdit* m_dteUntil;
    QComboBox* m_cmbGroup;
    QComboBox* m_cmbShow;
    QStackedWidget* m_figures;
    QLabel* m_lblSummary;
    QTableWidget* m_tblCounts;
    StatisticsChartView* m_picChart;
    QPushButton* m_cmdSavePdf;
    QPushButton* m_cmdSaveCsv;
    QPushButton* m_cmdClose;
    QLabel* m_msgPanel;
    std::function<QString(QWidget*, const QString&, const QString&)> m_pickFile;
    std::function<QString(QWidget*)> m_pickFolder;
};

} // namespace orvj
