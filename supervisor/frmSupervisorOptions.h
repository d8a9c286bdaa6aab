#pragma once

#include <QDialog>

#include <array>
#include <filesystem>
#include <functional>

class QCheckBox;
class QGroupBox;
class QFrame;
class QLabel;
class QRadioButton;
class QSpacerItem;
class QSpinBox;
class QTabWidget;

namespace orvj {

struct AppState;
struct Services;
class MenuChoices;

// "Supervisor Options": printing reports, verifying keyed answers and deleting client
// names. Runs one operation and closes.
class frmSupervisorOptions : public QDialog {
    Q_OBJECT
public:
    frmSupervisorOptions(AppState& state, Services& services, QWidget* parent = nullptr);

    // Asks for the folder the print runs write their PDF files into; empty when cancelled.
    // The default opens the system's folder dialog in the user's documents folder.
    void setPdfFolderPicker(std::function<QString(QWidget*)> picker) {
        m_pickPdfFolder = std::move(picker);
    }

protected:
    void showEvent(QShowEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void load();
    void activate();
    void alignReportColumns();
    void tabChanged(int tab);
    void choose(int index);
    void executeSelection();
    void reports();
    void printAll();
    void saveCriticalRule();
    bool currentClientChosen();
    QString currentName() const;
    QString tabHelpLine(int tab) const;
    void optionKey(int group, int index, int step);
    void keepOneTabStop();
    QWidget* tabStopAfter(QObject* from, int key) const;

    AppState& m_state;
    Services& m_services;

    QFrame* m_frControls;
    QTabWidget* m_sstSupervisorOperations;
    std::array<QRadioButton*, 3> m_optPrintOption{};
    QSpacerItem* m_printColumnTop;
    QGroupBox* m_frame1;
    std::array<QRadioButton*, 3> m_optReportOption{};
    QCheckBox* m_chkPdfFolder;
    QCheckBox* m_chkAddProfileChart;
    std::filesystem::path m_pdfFolder;
    std::function<QString(QWidget*)> m_pickPdfFolder;
    QGroupBox* m_frame3;
    QLabel* m_label1;
    QGroupBox* m_frame4;
    QLabel* m_label2;
    QGroupBox* m_fraCriticalRule;
    QSpinBox* m_spnMaximumScales;
    QSpinBox* m_spnProblemScales;
    QCheckBox* m_chkInvalidTruthfulness;
    QGroupBox* m_frCurrentClient;
    QLabel* m_lblNameDisplay;
    QLabel* m_msgPanel;
    MenuChoices* m_choices;

    int m_lastTab = 0;
    int m_printOption = 0;
    bool m_noClients = false;
    bool m_shown = false;
};

} // namespace orvj
