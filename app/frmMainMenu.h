#pragma once

#include "app/frmAbout.h"

#include <QMainWindow>
#include <QPointer>

#include <functional>

class QAction;
class QGroupBox;
class QLabel;
class QListWidget;
class QTimer;

namespace orvj {

struct AppState;
struct Services;
class MenuChoices;

// The main window: the client list, the four choices and the menu bar. It is the hub of all
// work; every work path is a modal form opened from here.
class frmMainMenu : public QMainWindow {
    Q_OBJECT
public:
    enum Choice {
        EditCurrentClient = 0,
        AddNewClient = 1,
        SupervisorOptions = 2,
        ExitApplication = 3
    };
    static constexpr int kLastChoice = 3;

    frmMainMenu(AppState& state, Services& services, QWidget* parent = nullptr);

    // Run each time the main menu becomes active: centre the frame, clear the highlights,
    // rebuild the list when a test was stored, disable Edit, close other forms when asked.
    void Activation();
    // "Edit Current Client" is enabled when the list's current text is not empty.
    void UpdateEditButton();
    // The button actions (Enter on a focused button, a click, or the menu).
    void MenuChoice(int index);

    // One line of the client list: record number, "-", the 25-character name as stored, and
    // for a critical case a space and the critical mark.
    static QString ListLine(const AppState& state, int record, bool critical = false);

    bool closeOthers() const { return m_closeOthers; }
    void setCloseOthers(bool on) { m_closeOthers = on; }

    // The "Num Lock Always On" option and its check mark.
    bool numLockOption() const { return m_numLock; }
    void setNumLockOption(bool on);
    void ToggleNumLock();

    // Shows the about box as a dialog (not modal); an open one is brought to the front.
    void ShowAbout();
    frmAbout* aboutBox() const { return m_about; }

    // A later start of the program asked for this window: to the front, restored.
    void RestoreToFront();

signals:
    // The program ends: the application leaves its event loop.
    void exitRequested();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void BuildMenuBar();
    void RebuildList();
    void ChooseClient();
    // "Compare Retests..." is offered while the chosen client has more than one test.
    void UpdateCompare();
    void CloseOtherForms();
    void RunPath(const std::function<void()>& path);
    // A supervisor's utility: runs only after the secret code was given.
    void RunGuarded(const std::function<void()>& path);
    bool RefuseWhenFull();
    void FocusAfterPath(int index);
    void DisableEdit();
    void FocusList();
    void FitList();
    // The list holds so many lines, or as many as its least height holds; returns which.
    int setListRows(int rows);

    AppState& m_state;
    Services& m_services;
    bool m_closeOthers = false;
    bool m_numLock = true;
    bool m_exiting = false;

    QWidget* m_frMainMenu = nullptr;
    QGroupBox* m_fraClient = nullptr;
    QListWidget* m_lbNameDisplay = nullptr;
    QLabel* m_msgPanel = nullptr;
    QLabel* m_imgQLNLogo = nullptr;
    MenuChoices* m_choices = nullptr;
    QTimer* m_timNumLock = nullptr;
    int m_listRowHeight = 1;
    int m_listLeastHeight = 0;

    QAction* m_mnuExit = nullptr;
    QAction* m_mnuInstallVoiceFiles = nullptr;
    QAction* m_mnuInstallInventory = nullptr;
    QAction* m_mnuDataFolder = nullptr;
    QAction* m_mnuChangeSecretCode = nullptr;
    QAction* m_mnuAuditTrail = nullptr;
    QAction* m_mnuRestoreBackup = nullptr;
    QAction* m_mnuStatistics = nullptr;
    QAction* m_mnuCompare = nullptr;
    QAction* m_mnuNumLock = nullptr;
    QAction* m_mnuAbout = nullptr;

    QPointer<frmAbout> m_about;
};

} // namespace orvj
