#pragma once

#include <QDialog>

class QFrame;
class QPlainTextEdit;
class QPushButton;

namespace orvj {

struct AppState;
struct Services;

// "Client Report": composes the current client's report into REPORT.PRN, shows it and
// prints it on request.
class frmViewReport : public QDialog {
    Q_OBJECT
public:
    frmViewReport(AppState& state, Services& services, QWidget* parent = nullptr);

    static void MOUSEWAIT();
    static void MOUSEDEFAULT();

protected:
    void showEvent(QShowEvent* event) override;
    void changeEvent(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void activate();
    void printReport();

    AppState& m_state;
    Services& m_services;
    QFrame* m_fraAll;
    QPlainTextEdit* m_text1;
    QPushButton* m_cmdPrintReport;
    QPushButton* m_cmdCancel;

    bool m_shown = false;
    bool m_busy = false;
    bool m_wasDeactivated = false;
};

} // namespace orvj
