#pragma once

#include "ui/FormConventions.h"

#include <QDialog>

#include <functional>
#include <string>

class QCheckBox;
class QFrame;
class QTabWidget;
class QPlainTextEdit;
class QPushButton;

namespace orvj {

struct AppState;
struct Services;

// "Client Report": composes the current client's report into REPORT.PRN, shows it and
// prints it on request. It prints and saves the text it shows, held since it was read: another
// run may have replaced REPORT.PRN since.
class frmViewReport : public QDialog {
    Q_OBJECT
public:
    // The widest report line.
    static constexpr int kReportColumns = 80;

    frmViewReport(AppState& state, Services& services, QWidget* parent = nullptr);

    // Asks where to save the PDF, offering `suggested`; empty when cancelled. The default
    // opens the system's save dialog.
    void setPdfFilePicker(std::function<QString(QWidget*, const QString&)> picker) {
        m_pickPdfFile = std::move(picker);
    }
    // The name offered for the PDF of a record: no client name goes into a file name.
    static QString pdfFileName(int record);
    // "Client Report", with the critical mark for a critical case.
    static QString title(bool critical);

protected:
    void showEvent(QShowEvent* event) override;
    void changeEvent(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void activate();
    void printReport();
    void savePdf();
    void setButtonsEnabled(bool on);
    // The profile sheet the next print or PDF adds: the chart when "Add profile chart" is
    // ticked and the picture could be drawn, else none.
    void chooseProfileSheet();

    AppState& m_state;
    Services& m_services;
    QFrame* m_fraAll;
    QTabWidget* m_tabPages;
    QPlainTextEdit* m_text1;
    class ProfileView* m_picProfile;
    QCheckBox* m_chkAddProfileChart;
    QPushButton* m_cmdPrintReport;
    QPushButton* m_cmdSavePdf;
    QPushButton* m_cmdCancel;
    std::function<QString(QWidget*, const QString&)> m_pickPdfFile;
    std::string m_reportText; // REPORT.PRN as read, Windows-1252 bytes

    bool m_shown = false;
    bool m_busy = false;
    ReturnToFront m_front;
};

} // namespace orvj
