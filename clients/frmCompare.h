#pragma once

#include "scoring/RetestComparison.h"

#include <QDialog>

#include <functional>

class QLabel;
class QPushButton;
class QComboBox;
class QStackedWidget;
class QTableWidget;

namespace orvj {

struct AppState;
struct Services;
class ProfileView;

// "Retest Comparison": every test of the chosen client's ID number in the current data folder
// and the earlier ones named in [Folders], a column per test date with percentile and risk
// range per scale and the change from the first to the last, and the profile pictures side
// by side; saved as PDF.
class frmCompare : public QDialog {
    Q_OBJECT
public:
    frmCompare(AppState& state, Services& services, QWidget* parent = nullptr);

    // Asks where to save the PDF, offering `suggested`; empty when cancelled.
    void setPdfFilePicker(std::function<QString(QWidget*, const QString&)> picker) {
        m_pickPdfFile = std::move(picker);
    }
    const RetestComparison& comparison() const { return m_comparison; }

    // How many tests the chosen client has in the folders searched: the main menu offers the
    // comparison only for more than one.
    static int TestCount(const AppState& state);

private:
    void fill();
    void savePdf();

    AppState& m_state;
    Services& m_services;
    RetestComparison m_comparison;
    QLabel* m_lblClient;
    QComboBox* m_cmbShow;
    QStackedWidget* m_figures;
    QTableWidget* m_tblCompare;
    ProfileView* m_picProfiles;
    QPushButton* m_cmdSavePdf;
    QPushButton* m_cmdClose;
    std::function<QString(QWidget*, const QString&)> m_pickPdfFile;
};

} // namespace orvj
