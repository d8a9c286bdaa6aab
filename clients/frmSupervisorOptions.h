#pragma once

#include <QDialog>

#include <array>

class QGroupBox;
class QFrame;
class QLabel;
class QRadioButton;
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

protected:
    void showEvent(QShowEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void load();
    void activate();
    void tabChanged(int tab);
    void choose(int index);
    void executeSelection();
    void reports();
    void printAll();
    bool currentClientChosen();
    QString currentName() const;

    AppState& m_state;
    Services& m_services;

    QFrame* frControls;
    QTabWidget* sstSupervisorOperations;
    std::array<QRadioButton*, 3> optPrintOption{};
    QGroupBox* Frame1;
    std::array<QRadioButton*, 3> optReportOption{};
    QGroupBox* Frame3;
    QLabel* Label1;
    QGroupBox* Frame4;
    QLabel* Label2;
    QGroupBox* frCurrentClient;
    QLabel* lblNameDisplay;
    QLabel* MsgPanel;
    MenuChoices* m_choices;

    int m_lastTab = 0;
    int m_printOption = 0;
    bool m_noClients = false;
    bool m_shown = false;
};

} // namespace orvj
