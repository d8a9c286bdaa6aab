#include "app/frmAbout.h"
#include "app/frmMainMenu.h"
#include "scoring/CriticalCases.h"
#include "store/ConfigFile.h"
#include "store/OrvjError.h"
#include "tests/support/ProgramHome.h"
#include "ui/FormConventions.h"

#include <QAction>
#include <QGroupBox>
#include <QListWidget>
#include <QPointer>
#include <QSignalSpy>

#include <functional>
#include <map>

using namespace orvj;
using namespace Qt::StringLiterals;
using Calls = std::vector<std::string>;

namespace {

// Records each form the menu opens, as "<form>[, editing]": the edit mode while it ran. Then
// runs the test's stand-in for it. The edit mode tells which path a button runs.
class FakeForms : public FormLauncher {
public:
    FakeForms(AppState& state, Services& services) : m_state(state) { services.forms = this; }
    void showClientInfo(QWidget* p) override { run("frmClientInfo", p); }
    void showNewEntry(QWidget* p) override { run("frmNewEntry", p); }
    void showSelectEntryMethod(QWidget* p) override { run("frmSelectEntryMethod", p); }
    void showSupervisorOptions(QWidget* p) override { run("frmSupervisorOptions", p); }
    void showInstallVoiceFiles(QWidget* p) override { run("InstallVoiceFiles", p); }
    void showInstallInventory(QWidget* p) override { run("frmInstallInventory", p); }
    void showDataFolder(QWidget* p) override { run("frmDataFolder", p); }
    void showChangeSecretCode(QWidget* p) override { run("frmChangeSecretCode", p); }
    void showAuditTrail(QWidget* p) override { run("frmAuditTrail", p); }
    void showRestoreBackup(QWidget* p) override { run("frmRestoreBackup", p); }
    void showStatistics(QWidget* p) override { run("frmStatistics", p); }
    void showCompare(QWidget* p) override { run("frmCompare", p); }

    std::map<std::string, std::function<void()>> actions;
    Calls calls;

private:
    void run(const std::string& form, QWidget*) {
        calls.push_back(form + (m_state.editMode ? ", editing" : ""));
        if (auto it = actions.find(form); it != actions.end()) {
            it->second();
        }
    }
    AppState& m_state;
};

void addClient(AppState& state, const std::string& name) {
    state.clients.at(state.clients.clientCount + 1).set(ClientRecord::Field::Name, name);
    state.clients.countNewTest();
}

struct Menu : test::ProgramHome {
    FakeForms forms{state, services};
    frmMainMenu menu{state, services};

    // As at the end of start-up: shown, active, and a stored test makes Activation fill the list.
    explicit Menu(int clients) {
        state.paths.configFile = dir / ConfigFile::kFileName;
        for (int i = 1; i <= clients; ++i) {
            addClient(state, "Client " + std::to_string(i));
        }
        EXPECT_TRUE(test::showActive(&menu));
        state.testStored = true;
        menu.Activation();
    }
    QListWidget* list() { return menu.findChild<QListWidget*>(u"lbNameDisplay"_s); }
    QAbstractButton* button(int i) { return menuButton(&menu, i); }
    // The client-list frame's background: cyan while the list is lit as having the focus.
    QColor frame() { return backgroundOf(menu.findChild<QGroupBox*>(u"fraClient"_s)); }
    QWidget* menuFrame() { return menu.findChild<QWidget*>(u"frMainMenu"_s); }
    QAction* action(const char* name) { return menu.findChild<QAction*>(QLatin1String(name)); }
    void clickLine(int row) {
        const QRect r = list()->visualItemRect(list()->item(row));
        QTest::mouseClick(list()->viewport(), Qt::LeftButton, {}, r.center());
    }
};

TEST(MainMenu, ListLinesFocusChoosingAClientAndTheEditButton) {
    Menu f(14);
    // Record 12 as the office PCs store it: one Windows-1252 byte for the accented letter.
    f.state.clients.at(12).set(ClientRecord::Field::Name, "Jos\xE9");
    f.menu.Activation();
    ASSERT_EQ(f.list()->count(), 14);
    EXPECT_EQ(f.list()->item(11)->text(), u"12-Jos\u00E9"_s + QString(21, QLatin1Char(' ')));
    f.list()->setFocus(Qt::TabFocusReason);
    EXPECT_EQ(f.frame(), Colors::cyan);

    f.clickLine(11);
    EXPECT_EQ(f.state.clients.currentClient, 12);
    EXPECT_TRUE(f.button(0)->isEnabled());
    QTest::keyClick(f.list(), Qt::Key_Up);
    EXPECT_EQ(f.state.clients.currentClient, 11);

    // A rebuild loses the choice: Edit stays off until a line is chosen again. With no line
    // chosen an arrow, even Up, chooses the first client; from there the arrows move as usual.
    f.menu.Activation();
    f.button(3)->setFocus(Qt::TabFocusReason);
    f.list()->setFocus(Qt::TabFocusReason);
    ASSERT_TRUE(f.list()->selectedItems().isEmpty());
    EXPECT_FALSE(f.button(0)->isEnabled());
    QTest::keyClick(f.list(), Qt::Key_Up);
    EXPECT_EQ(f.state.clients.currentClient, 1);
    EXPECT_TRUE(f.button(0)->isEnabled());
    QTest::keyClick(f.list(), Qt::Key_Down);
    EXPECT_EQ(f.state.clients.currentClient, 2);
}

// Without a stored test the menu keeps its list: coming back to the menu turns Edit Current
// Client off, and the list taking the focus again turns it on for the line still chosen.
TEST(MainMenu, EditCurrentClientComesBackWhenTheListGetsTheFocus) {
    Menu f(3);
    f.clickLine(1);
    ASSERT_TRUE(f.button(0)->isEnabled());
    f.state.testStored = false;
    f.button(3)->setFocus(Qt::TabFocusReason);
    f.menu.Activation();
    ASSERT_EQ(f.list()->selectedItems().size(), 1);
    EXPECT_FALSE(f.button(0)->isEnabled());
    f.list()->setFocus(Qt::TabFocusReason);
    EXPECT_TRUE(f.button(0)->isEnabled());
}

// A critical case carries the mark after its line, by the office's rule of the moment.
TEST(MainMenu, CriticalCasesCarryTheirMarkInTheList) {
    Menu f(0);
    f.copySampleInventory();
    const ConfigFile config(f.state.paths.configFile);
    CriticalRule{0, 0, true}.write(config);
    addClient(f.state, "Valid");
    f.state.clients.at(1).set(ClientRecord::Field::Responses, std::string(143, '2'));
    addClient(f.state, "All True");
    f.state.clients.at(2).set(ClientRecord::Field::Responses, std::string(143, '1'));
    f.state.testStored = true;
    f.menu.Activation();
    ASSERT_EQ(f.list()->count(), 2);
    EXPECT_EQ(f.list()->item(0)->text(), u"1-Valid"_s + QString(20, u' '));
    EXPECT_EQ(f.list()->item(1)->text(), u"2-All True"_s + QString(17, u' ') + u" [!]"_s);
    EXPECT_EQ(f.list()->item(1)->toolTip(), u"Critical case"_s);

    CriticalRule{0, 0, false}.write(config);
    f.menu.Activation();
    EXPECT_EQ(f.list()->item(1)->text(), u"2-All True"_s + QString(17, u' '));
    f.clickLine(1);
    EXPECT_EQ(f.state.clients.currentClient, 2);
}

// "Compare Retests..." is there for a chosen client with more than one test (the same ID
// number, its name not deleted), behind the secret code.
TEST(MainMenu, CompareRetestsIsOfferedForAClientTestedMoreThanOnce) {
    Menu f(4);
    for (int k = 1; k <= 4; ++k) {
        f.state.clients.at(k).set(ClientRecord::Field::SSN, k == 3 ? "B-2" : "A-1");
    }
    f.state.clients.at(4).set(ClientRecord::Field::NameDeleted, "1");
    f.state.testStored = true;
    f.menu.Activation();
    QAction* compare = f.action("mnuCompare");
    EXPECT_FALSE(compare->isEnabled()) << "no client chosen";
    f.clickLine(0);
    EXPECT_TRUE(compare->isEnabled());
    f.clickLine(2);
    EXPECT_FALSE(compare->isEnabled()) << "B-2 was tested once";
    f.state.clients.at(2).set(ClientRecord::Field::NameDeleted, "1");
    f.clickLine(0);
    EXPECT_FALSE(compare->isEnabled()) << "the other A-1 records' names were deleted";
    f.state.clients.at(2).set(ClientRecord::Field::NameDeleted, "0");
    f.clickLine(2);
    f.clickLine(1);
    ASSERT_TRUE(compare->isEnabled());
    compare->trigger();
    EXPECT_EQ(f.forms.calls, (Calls{"frmCompare"}));
    EXPECT_EQ(f.state.clients.currentClient, 2);
}

// The list takes the height the window has beyond the menu, leaving no band empty below the
// frame, and shows whole lines only, however tall the window is made.
TEST(MainMenu, TheClientListFillsTheSpareHeightInWholeLines) {
    Menu f(50);
    ASSERT_EQ(f.list()->count(), 50);
    const int line = f.list()->sizeHintForRow(0);
    ASSERT_GT(line, 0);
    const auto check = [&](const char* when) {
        SCOPED_TRACE(when);
        QApplication::sendPostedEvents(nullptr, QEvent::LayoutRequest);
        const QWidget* central = f.menu.centralWidget();
        const QRect frame = f.menuFrame()->geometry();
        EXPECT_TRUE(central->rect().contains(frame));
        EXPECT_LT(central->height() - frame.bottom() - 1, twipsToPixels(240) + line)
            << "the spare height is left below the frame";
        EXPECT_EQ(f.list()->viewport()->height() % line, 0) << "a line is cut";
        EXPECT_GE(f.list()->viewport()->height(), line);
        return f.list()->viewport()->height();
    };
    const int before = check("as opened");
    f.menu.resize(f.menu.width(), f.menu.height() + 7 * line + line / 2);
    const int taller = check("made taller");
    EXPECT_GE(taller - before, 7 * line);
    f.menu.resize(f.menu.width(), f.menu.height() - 3 * line);
    EXPECT_EQ(check("made lower again"), taller - 3 * line);
}

TEST(MainMenu, EditPathOpensClientInfoThenNewEntryAndLightsTheListEvenBehindAnotherWindow) {
    Menu f(3);
    f.clickLine(2);
    f.state.dialogConfirmed = true; // left from an earlier path: must not open the grid
    f.button(0)->click();
    EXPECT_EQ(f.forms.calls, (Calls{"frmClientInfo, editing"}));

    // Confirmed by keyboard; the client form leaves another window active, so no focus event
    // reaches the menu: the disabled Edit button still hands the focus to the lit list.
    f.forms.calls.clear();
    QWidget other;
    f.forms.actions["frmClientInfo"] = [&] {
        f.state.dialogConfirmed = true;
        f.state.clients.at(3).set(ClientRecord::Field::Name, "Renamed");
        other.show();
        QApplication::setActiveWindow(&other);
        EXPECT_TRUE(QTest::qWaitForWindowActive(&other));
    };
    f.clickLine(2);
    f.button(0)->setFocus(Qt::TabFocusReason);
    QTest::keyClick(f.button(0), Qt::Key_Return);
    EXPECT_EQ(f.forms.calls, (Calls{"frmClientInfo, editing", "frmNewEntry, editing"}));
    // Back in the menu the list shows the edited name, and nothing is chosen.
    EXPECT_EQ(f.list()->item(2)->text().left(9), u"3-Renamed"_s);
    EXPECT_FALSE(f.button(0)->isEnabled());
    EXPECT_EQ(f.menu.focusWidget(), f.list());
    EXPECT_EQ(f.frame(), Colors::cyan);
}

TEST(MainMenu, AddPathClearsEditModeAndIsRefusedOnceTheTableIsFull) {
    Menu f(50);
    f.state.editMode = true;
    f.forms.actions["frmSelectEntryMethod"] = [&] { addClient(f.state, "New"); };
    f.button(1)->click();
    EXPECT_EQ(f.forms.calls, (Calls{"frmSelectEntryMethod"}));
    ASSERT_EQ(f.list()->count(), 51) << "the path marks the test stored: the list is rebuilt";

    f.state.testStored = false;
    f.button(1)->click();
    EXPECT_EQ(f.forms.calls.size(), 1u);
    ASSERT_EQ(f.messages.shown.size(), 1);
    EXPECT_TRUE(f.messages.shown[0].text.startsWith(
        u"The data disk is full: the client file holds 51 clients, the most it can hold."_s));
    EXPECT_TRUE(
        f.messages.shown[0].text.contains(u"new data folder with \"Options > Data Folder"_s));
}

// The Supervisor path by Enter, then the voice-files and About commands, then Exit.
TEST(MainMenu, SupervisorPathReportsItsErrorThenVoiceFilesAboutAndExit) {
    Menu f(1);
    f.forms.actions["frmSupervisorOptions"] = [] {
        throw OrvjError(ErrorCode::PermissionDenied, "DATA301.OVJ: cannot write record 1");
    };
    f.button(2)->setFocus(Qt::TabFocusReason);
    QTest::keyClick(f.button(2), Qt::Key_Return);
    EXPECT_EQ(f.forms.calls, (Calls{"frmSupervisorOptions"}));
    EXPECT_EQ(f.boxes(),
              QStringList{u"ORV-Juvenile: Error 70:DATA301.OVJ: cannot write record 1"_s});
    EXPECT_TRUE(f.menuFrame()->isVisible());
    EXPECT_EQ(QApplication::focusWidget(), f.button(2));

    f.action("mnuInstallVoiceFiles")->trigger();
    EXPECT_EQ(f.forms.calls.back(), "InstallVoiceFiles");

    // About by its menu key, closed by Enter.
    f.button(1)->setFocus(Qt::TabFocusReason);
    QTest::keyClick(&f.menu, Qt::Key_A, Qt::AltModifier);
    QApplication::processEvents();
    QPointer<frmAbout> about = f.menu.aboutBox();
    ASSERT_FALSE(about.isNull());
    ASSERT_TRUE(QTest::qWaitForWindowActive(about));
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    // The box deletes itself once closed.
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(about.isNull());
    EXPECT_EQ(f.forms.calls.size(), 2u); // the Enter did not reach "Add New Client"

    QSignalSpy exits(&f.menu, &frmMainMenu::exitRequested);
    f.button(3)->click();
    EXPECT_EQ(exits.count(), 1);
    EXPECT_FALSE(f.menu.isVisible());
}

TEST(MainMenu, OptionsMenuSecretCodeCommandsAndTheNumLockSetting) {
    Menu f(2);
    f.secret.cancels = 6; // refused for the six commands, then given
    for (const char* name : {"mnuInstallInventory", "mnuDataFolder", "mnuChangeSecretCode",
                             "mnuAuditTrail", "mnuRestoreBackup", "mnuStatistics"}) {
        f.action(name)->trigger();
        EXPECT_TRUE(f.forms.calls.empty()) << name << " opened without the secret code";
    }
    EXPECT_EQ(f.secret.asked, 6);
    f.action("mnuInstallInventory")->trigger();
    EXPECT_EQ(f.forms.calls, (Calls{"frmInstallInventory"}));
    f.action("mnuChangeSecretCode")->trigger();
    EXPECT_EQ(f.forms.calls.back(), "frmChangeSecretCode");
    EXPECT_EQ(f.action("mnuChangeSecretCode")->text(), u"Change &Secret Code..."_s);
    f.action("mnuAuditTrail")->trigger();
    EXPECT_EQ(f.forms.calls.back(), "frmAuditTrail");
    // A restored file may hold other clients: the list is rebuilt from it.
    f.forms.actions["frmRestoreBackup"] = [&] { f.state.clients.clientCount = 1; };
    f.action("mnuRestoreBackup")->trigger();
    EXPECT_EQ(f.forms.calls.back(), "frmRestoreBackup");
    EXPECT_EQ(f.list()->count(), 1);
    f.action("mnuStatistics")->trigger();
    EXPECT_EQ(f.forms.calls.back(), "frmStatistics");

    // The data-folder form loads another client file, here an empty one: the list is rebuilt
    // from it even though a list is rebuilt only over clients otherwise.
    f.forms.actions["frmDataFolder"] = [&] { f.state.clients = ClientTable{}; };
    f.action("mnuDataFolder")->trigger();
    EXPECT_EQ(f.forms.calls.back(), "frmDataFolder");
    EXPECT_EQ(f.list()->count(), 0) << "a new, empty data folder lists no clients";

    // The Num Lock option is written at once. Where the file cannot be written the option still
    // changes for this run, and a box says so.
    QAction* numLock = f.action("mnuNumLock");
    numLock->trigger(); // on by default
    EXPECT_EQ(
        ConfigFile(f.state.paths.configFile).GetPrivateProfileString("Settings", "NumLock", "", 9),
        "False");
    f.state.paths.configFile = f.dir / "gone" / "ORVJTest.ini";
    numLock->trigger();
    EXPECT_TRUE(numLock->isChecked());
    ASSERT_EQ(f.messages.shown.size(), 1);
    EXPECT_TRUE(f.messages.shown[0].text.startsWith(u"The Num Lock setting could not be saved"_s));
}

// A save's notice (here: the part record kept beside the client file) waits for the supervisor:
// the menu shows it once when it is back in front, never twice.
TEST(MainMenu, ASavesNoticeIsShownOnceBackInTheMenu) {
    Menu f(1);
    f.state.clients.untoldNotice = "Kept the part record"; // as a save leaves it
    f.menu.Activation();
    f.menu.Activation();
    ASSERT_EQ(f.messages.shown.size(), 1u);
    EXPECT_EQ(f.messages.shown[0].text, u"Kept the part record"_s);
}

} // namespace
