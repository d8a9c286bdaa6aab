#pragma once

#include "ui/FolderFormParts.h"

#include <QDialog>
#include <QString>

#include <functional>

class QFormLayout;
class QLabel;
class QLineEdit;
class QProgressBar;
class QPushButton;
class QVBoxLayout;

namespace orvj {

struct AppState;
struct Services;
class MenuChoices;

// The window of an installer (inventory files, voice files): a frame of rows, among them the
// "Copy from:" folder with its Browse button, the "Copy into:" target and the progress bar,
// then the Install / Close menu with the help panel below. Install runs the installer's own
// install(); Close closes the window.
class InstallerDialog : public QDialog {
    Q_OBJECT
public:
    static constexpr int kInstall = 0;
    static constexpr int kClose = 1;

    // Asks for the folder to copy from; the default opens the system's folder dialog.
    void setFolderPicker(FolderFormParts::FolderPicker picker) { m_pickFolder = std::move(picker); }

    void choose(int index);

protected:
    // The window with its frame "fraInstall" captioned `frameCaption`, still without rows;
    // `pickerTitle` is the caption of the folder dialog.
    InstallerDialog(AppState& state, Services& services, QWidget* parent, const QString& objectName,
                    const QString& title, const QString& frameCaption, const QString& pickerTitle);

    virtual void install() = 0;

    // The rows are added in the order they are shown: the installer's own rows between them.
    // "Copy &from:", field "txtSourceFolder" and "&Browse...".
    void addSourceRow();
    // "Copy into:" with `target`, named "lblTarget", its text shown as plain text and wrapped.
    void addTargetRow(QLabel* target);
    // "Progress:" with an empty bar `progressName`, then the menu below the frame: "&Install"
    // with `installHelp` and "&Close".
    void addProgressAndMenu(const QString& progressName, const QString& installHelp);

    // The folder to copy from as typed (trimmed). When none is typed, a box asks to choose the
    // folder that holds `filesName` first, the field takes the focus, and the result is empty.
    QString chosenSource(const QString& filesName);
    // Runs `work` under the hourglass with Install and Close off, so nothing is started twice.
    void runInstall(const std::function<void()>& work);
    // The bar at `done` of `total`; the window is repainted, the supervisor's keys wait.
    void showProgress(int done, int total);
    // The installer's account: information icon when all went in, critical otherwise.
    void showSummary(const QString& text, bool complete);

    AppState& m_state;
    Services& m_services;
    QFormLayout* m_form = nullptr;
    QLineEdit* m_txtSourceFolder = nullptr;
    QPushButton* m_cmdBrowse = nullptr;
    QProgressBar* m_progress = nullptr;
    QLabel* m_msgPanel = nullptr;
    MenuChoices* m_choices = nullptr;

private:
    void browse();
    void setMenuEnabled(bool on);

    FolderFormParts::FolderPicker m_pickFolder;
    QVBoxLayout* m_outer = nullptr;
    QWidget* m_frame = nullptr;
};

} // namespace orvj
