#include "app/frmAbout.h"
#include "app/frmMainMenu.h"
#include "store/ConfigFile.h"
#include "store/OrvjError.h"
#include "tests/testing/TestHome.h"
#include "ui/FormConventions.h"

#include <QAction>
#include <QGroupBox>
#include <QLabel>
#include <QListWidget>
#include <QPointer>
#include <QSignalSpy>

#include <fstream>
#include <functional>
#include <map>

using namespace orvj;
using namespace Qt::StringLiterals;
using Calls = std::vector<std::string>;

namespace {

// Records each form the menu opens, as "<form>[, editing][, menu shown]": the edit mode and
// whether the menu frame stayed visible while it ran. Then runs the test's stand-in for it.
// (The flags each work path sets are held by MenuPath and tested there; here the edit mode
// tells which path a button runs.)
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

    std::map<std::string, std::function<void()>> actions;
    Calls calls;

private:
    void run(const std::string& form, QWidget* parent) {
        const QWidget* frame = parent->findChild<QWidget*>(u"frMainMenu"_s);
        calls.push_back(form + (m_state.editMode ? ", editing" : "") +
                        (frame != nullptr && frame->isVisible() ? ", menu shown" : ""));
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

struct Menu : test::TestHome {
    FakeForms forms{state, services};
    frmMainMenu menu{state, services};

    // As at the end of start-up: shown, active, and a stored test makes Activation fill the list.
    explicit Menu(int clients) {
        state.paths.configFile = dir / ConfigFile::kFileName;
        for (int i = 1; i <= clients; ++i) {
            addClient(state, "Client " + std::to_string(i));
        }
        state.clients.currentClient = clients > 0 ? 1 : 0;
        EXPECT_TRUE(test::showActive(&menu));
        state.testStored = true;
        menu.Activation();
    }
    QListWidget* list() { return menu.findChild<QListWidget*>(u"lbNameDisplay"_s); }
    QAbstractButton* button(int i) { return menuButton(&menu, i); }
    QString help() { return menu.findChild<QLabel*>(u"MsgPanel"_s)->text(); }
    QGroupBox* frame() { return menu.findChild<QGroupBox*>(u"fraClient"_s); }
    // The client-list frame's background, caption colour and caption weight.
    std::tuple<QColor, QColor, bool> frameLook() {
        return {backgroundOf(frame()), textColorOf(frame()), isBold(frame())};
    }
    QWidget* menuFrame() { return menu.findChild<QWidget*>(u"frMainMenu"_s); }
    QAction* action(const char* name) { return menu.findChild<QAction*>(QLatin1String(name)); }
    void clickLine(int row) {
        const QRect r = list()->visualItemRect(list()->item(row));
        QTest::mouseClick(list()->viewport(), Qt::LeftButton, {}, r.center());
    }
    void focusList() {
        button(3)->setFocus(Qt::TabFocusReason);
        list()->setFocus(Qt::TabFocusReason);
    }
};

TEST(MainMenu, ListLinesFocusChoosingAClientAndTheEditButton) {
    // Without clients the list passes the focus on to Add New Client.
    Menu f(0);
    f.focusList();
    EXPECT_EQ(QApplication::focusWidget(), f.button(1));
    EXPECT_FALSE(f.button(0)->isEnabled());
    EXPECT_EQ(f.help(), QStringLiteral("Enter a new client. Test client on computer or "
                                       "enter data from answer sheet."));
    EXPECT_EQ(backgroundOf(f.frame()), Colors::blue);

    for (int i = 1; i <= 14; ++i) {
        // Record 7 as the office PCs store it: one Windows-1252 byte for the accented letter.
        addClient(f.state, i == 12 ? "Ann" : i == 7 ? "Jos\xE9" : "Client " + std::to_string(i));
    }
    f.menu.Activation();
    ASSERT_EQ(f.list()->count(), 14);
    EXPECT_EQ(f.list()->item(11)->text(), u"12-Ann"_s + QString(22, QLatin1Char(' ')));
    EXPECT_EQ(f.list()->item(6)->text(), u"7-Jos\u00E9"_s + QString(21, QLatin1Char(' ')));
    // The list's focus colours its frame and shows its help line.
    f.list()->setFocus(Qt::TabFocusReason);
    EXPECT_EQ(QApplication::focusWidget(), f.list());
    EXPECT_EQ(f.frameLook(), std::tuple(Colors::cyan, Colors::black, true));
    EXPECT_EQ(f.help(), u"Use up or down arrow keys or mouse to select client."_s);
    f.list()->clearFocus();
    EXPECT_EQ(f.frameLook(), std::tuple(Colors::blue, Colors::white, false));
    EXPECT_EQ(f.help(), QString());

    EXPECT_FALSE(f.button(0)->isEnabled());
    f.clickLine(11);
    EXPECT_EQ(f.state.clients.currentClient, 12);
    EXPECT_TRUE(f.button(0)->isEnabled());
    QTest::keyClick(f.list(), Qt::Key_Up);
    EXPECT_EQ(f.state.clients.currentClient, 11);

    // Without a stored test the list stays, Activation disables Edit, and the list's focus
    // brings it back for the line still chosen.
    addClient(f.state, "Late");
    f.state.testStored = false;
    f.menu.Activation();
    EXPECT_EQ(f.list()->count(), 14);
    EXPECT_FALSE(f.button(0)->isEnabled());
    f.focusList();
    EXPECT_TRUE(f.button(0)->isEnabled());

    // A rebuild loses the choice: Edit stays off until a line is chosen again. With no line
    // chosen either arrow chooses the first client; from there the arrows move as usual.
    f.state.testStored = true;
    for (Qt::Key key : {Qt::Key_Down, Qt::Key_Up}) {
        f.menu.Activation();
        EXPECT_EQ(f.list()->count(), 15);
        f.focusList();
        ASSERT_TRUE(f.list()->selectedItems().isEmpty());
        EXPECT_FALSE(f.button(0)->isEnabled());
        QTest::keyClick(f.list(), key);
        EXPECT_EQ(f.state.clients.currentClient, 1);
        EXPECT_EQ(f.list()->currentRow(), 0);
        EXPECT_TRUE(f.button(0)->isEnabled());
        QTest::keyClick(f.list(), Qt::Key_Down);
        EXPECT_EQ(f.state.clients.currentClient, 2);
    }
}

TEST(MainMenu, EditPathOpensClientInfoThenNewEntryAndLightsTheListEvenBehindAnotherWindow) {
    Menu f(3);
    f.clickLine(2);
    f.state.dialogConfirmed = true; // left from an earlier path: must not open the grid
    f.button(0)->click();
    EXPECT_EQ(f.forms.calls, (Calls{"frmClientInfo, editing"}));
    EXPECT_TRUE(f.menuFrame()->isVisible());

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
    ASSERT_EQ(f.help(), u"Edit client's information."_s);
    QTest::keyClick(f.button(0), Qt::Key_Return);
    EXPECT_EQ(f.forms.calls, (Calls{"frmClientInfo, editing", "frmNewEntry, editing"}));
    // Back in the menu the list shows the edited name, and nothing is chosen.
    EXPECT_EQ(f.list()->item(2)->text().left(9), u"3-Renamed"_s);
    EXPECT_FALSE(f.button(0)->isEnabled());
    EXPECT_EQ(f.menu.focusWidget(), f.list());
    EXPECT_EQ(f.help(), clientListHelpLine());
    EXPECT_EQ(f.frameLook(), std::tuple(Colors::cyan, Colors::black, true));
    for (int i = 0; i <= 3; ++i) {
        EXPECT_FALSE(isBold(f.button(i))) << i;
    }
}

TEST(MainMenu, AddPathClearsEditModeAndIsRefusedOnceTheTableIsFull) {
    Menu f(50);
    f.state.editMode = true;
    f.forms.actions["frmSelectEntryMethod"] = [&] { addClient(f.state, "New"); };
    f.button(1)->click();
    EXPECT_EQ(f.forms.calls, (Calls{"frmSelectEntryMethod"}));
    ASSERT_EQ(f.list()->count(), 51) << "the path marks the test stored: the list is rebuilt";
    EXPECT_EQ(f.list()->item(50)->text().left(6), u"51-New"_s);

    f.state.testStored = false;
    f.button(1)->click();
    EXPECT_EQ(f.forms.calls.size(), 1u);
    ASSERT_EQ(f.messages.shown.size(), 1);
    EXPECT_EQ(f.messages.shown[0].title, u"ORV-Juvenile"_s);
    EXPECT_TRUE(f.messages.shown[0].text.startsWith(
        u"The data disk is full: the client file holds 51 clients, the most it can hold."_s));
    EXPECT_TRUE(
        f.messages.shown[0].text.contains(u"new data folder with \"Options > Data Folder"_s));
    EXPECT_FALSE(f.state.testStored);
}

// The Supervisor path by Enter, then the voice-files and About commands, then Exit.
TEST(MainMenu, SupervisorPathReportsItsErrorThenVoiceFilesAboutAndExit) {
    Menu f(1);
    f.forms.actions["frmSupervisorOptions"] = [&f] {
        EXPECT_FALSE(f.state.testStored);
        throw OrvjError(ErrorCode::PermissionDenied, "DATA301.OVJ: cannot write record 1");
    };
    f.button(2)->setFocus(Qt::TabFocusReason);
    QTest::keyClick(f.button(2), Qt::Key_A); // a letter does nothing
    EXPECT_TRUE(f.forms.calls.empty());
    QTest::keyClick(f.button(2), Qt::Key_Return);
    EXPECT_EQ(f.forms.calls, (Calls{"frmSupervisorOptions"}));
    ASSERT_EQ(f.messages.shown.size(), 1);
    EXPECT_EQ(f.messages.shown[0].text, u"Error 70:DATA301.OVJ: cannot write record 1"_s);
    EXPECT_TRUE(f.state.testStored);
    EXPECT_TRUE(f.menuFrame()->isVisible());
    EXPECT_EQ(QApplication::focusWidget(), f.button(2));

    f.action("mnuInstallVoiceFiles")->trigger();
    EXPECT_EQ(f.forms.calls.back(), "InstallVoiceFiles, menu shown");

    // About: Windows-1252 publisher text from an office PC, a blank line and CR LF endings.
    std::ofstream(f.state.paths.home / "PUBLISHER.TXT", std::ios::binary)
        << "Caf\xE9 Press\r\n\r\nTel. 555-0100\r\n";
    f.button(1)->setFocus(Qt::TabFocusReason);
    QTest::keyClick(&f.menu, Qt::Key_A, Qt::AltModifier);
    QApplication::processEvents();
    QPointer<frmAbout> about = f.menu.aboutBox();
    ASSERT_FALSE(about.isNull());
    EXPECT_TRUE(about->isVisible());
    EXPECT_FALSE(about->isModal());
    EXPECT_FALSE(about->Splash());
    EXPECT_FALSE(about->findChild<QLabel*>(u"lblStatus"_s)->isVisible());
    EXPECT_EQ(about->findChild<QLabel*>(u"SSPanel3"_s)->text(), u"Caf\u00E9 Press"_s);
    EXPECT_EQ(about->findChild<QLabel*>(u"SSPanel4"_s)->text(), u"Tel. 555-0100"_s);
    EXPECT_FALSE(about->findChild<QLabel*>(u"SSPanel5"_s)->isVisible());

    f.action("mnuAbout")->trigger();
    EXPECT_EQ(f.menu.aboutBox(), about.data());
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
    f.secret.cancels = 2; // refused for both commands, then given
    for (const char* name : {"mnuInstallInventory", "mnuDataFolder"}) {
        f.action(name)->trigger();
        EXPECT_TRUE(f.forms.calls.empty()) << name << " opened without the secret code";
    }
    EXPECT_EQ(f.secret.asked, 2);
    f.action("mnuInstallInventory")->trigger();
    EXPECT_EQ(f.forms.calls, (Calls{"frmInstallInventory, menu shown"}));

    // The data-folder form loads another client file; the list shows its clients afterwards.
    f.forms.actions["frmDataFolder"] = [&] {
        f.state.clients = ClientTable{};
        addClient(f.state, "Other Folder Client");
    };
    f.action("mnuDataFolder")->trigger();
    EXPECT_EQ(f.forms.calls.back(), "frmDataFolder, menu shown");
    ASSERT_EQ(f.list()->count(), 1);
    EXPECT_TRUE(f.list()->item(0)->text().startsWith(u"1-Other Folder Client"_s));
    f.forms.actions["frmDataFolder"] = [&] { f.state.clients = ClientTable{}; };
    f.action("mnuDataFolder")->trigger();
    EXPECT_EQ(f.list()->count(), 0) << "a new, empty data folder lists no clients";

    // The Num Lock option toggles its check mark and is written at once.
    ConfigFile cfg(f.state.paths.configFile);
    f.menu.setNumLockOption(true);
    QAction* numLock = f.action("mnuNumLock");
    for (const char* written : {"False", "True"}) {
        numLock->trigger();
        EXPECT_EQ(numLock->isChecked(), written == std::string("True"));
        EXPECT_EQ(cfg.GetPrivateProfileString("Settings", "NumLock", "", 10), written);
    }
    EXPECT_TRUE(f.messages.shown.isEmpty());

    // A file that cannot be written: the option still changes for this run, and a box says so.
    f.state.paths.configFile = f.dir / "gone" / "ORVJTest.ini";
    numLock->trigger();
    EXPECT_FALSE(f.menu.numLockOption());
    ASSERT_EQ(f.messages.shown.size(), 1);
    EXPECT_TRUE(f.messages.shown[0].text.startsWith(u"The Num Lock setting could not be saved"_s));
}

} // namespace
