#pragma once

#include "ui/FormConventions.h"

#include <QDialog>

#include <filesystem>

class QGroupBox;
class QFrame;
class QLabel;
class QListWidget;
class QPlainTextEdit;

namespace orvj {

struct AppState;
struct Services;
class MenuChoices;

// "Print Selected Reports": the supervisor picks clients from the list; their reports are
// all composed first, then printed in list order.
class frmPrintSelected : public QDialog {
    Q_OBJECT
public:
    frmPrintSelected(AppState& state, Services& services, QWidget* parent = nullptr);

    static QString instructions();
    // The run writes report-<n>.pdf files into this folder instead of printing.
    void setPdfFolder(std::filesystem::path folder) { m_pdfFolder = std::move(folder); }
    // "Add profile chart": a sheet with each client's profile chart after its report.
    void setProfileChart(bool on) { m_profileChart = on; }

protected:
    void showEvent(QShowEvent* event) override;
    void changeEvent(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void activate();
    void enableRule();
    void choose(int index);
    void printSelected();

    AppState& m_state;
    Services& m_services;
    QFrame* m_fraAll;
    QPlainTextEdit* m_txtInstructions;
    QGroupBox* m_fraClient;
    QListWidget* m_lbNameDisplay;
    QLabel* m_msgPanel;
    MenuChoices* m_choices;
    std::filesystem::path m_pdfFolder;
    bool m_profileChart = false;
    bool m_shown = false;
    bool m_busy = false;
    ReturnToFront m_front;
};

} // namespace orvj
