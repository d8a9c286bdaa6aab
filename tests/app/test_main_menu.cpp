#include "app/AppState.h"
#include "app/frmAbout.h"
#include "app/frmMainMenu.h"
#include "store/Clock.h"
#include "store/ConfigFile.h"
#include "store/OrvjError.h"
#include "tests/app/FakeFormLauncher.h"
#include "tests/support/FakeMessageService.h"
#include "ui/FormConventions.h"
#include "ui/Services.h"

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QDialog>
#include <QGroupBox>
#include <QLabel>
#include <QListWidget>
#include <QMenu>
#include <QMenuBar>
#include <QPointer>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>

using namespace orvj;
using orvj::test::FakeFormLauncher;
using orvj::test::FakeMessageService;

namespace {

void addClient(AppState& state, const std::string& name) {
    const int k = state.clients.clientCount + 1;
    state.clients.at(k).set(ClientRecord::Field::Name, name);
    state.clients.countNewTest();
}

struct MainMenuFixture {
    QTemporaryDir home;
    AppState state;
    FakeMessageService messages;
    FixedClock clock{Date{2024, 3, 5}};
    FakeFormLauncher forms{state};
    Services services;
    std::unique_ptr<frmMainMenu> menu;

    explicit MainMenuFixture(int clients) {
        state.paths.home = home.path().toStdString();
        state.paths.configFile = state.paths.home / ConfigFile::kFileName;
        state.paths.clientFile = state.paths.home / "DATA301.OVJ";
        for (int i = 1; i <= clients; ++i) {
            addClient(state, "Client " + std::to_string(i));
        }
        state.clients.currentClient = clients > 0 ? 1 : 0;
        services.messages = &messages;
        services.clock = &clock;
        services.forms = &forms;
        menu = std::make_unique<frmMainMenu>(state, services);
        // As at the end of start-up: a stored test makes the activation fill the list.
        menu->show();
        QApplication::setActiveWindow(menu.get());
        EXPECT_TRUE(QTest::qWaitForWindowActive(menu.get()));
        state.testStored = true;
        menu->Activation();
    }

    template <typename T> T* find(const char* name) const {
        T* w = menu->findChild<T*>(QString::fromLatin1(name));
        EXPECT_NE(w, nullptr) << name;
        return w;
    }
    QListWidget* list() const { return find<QListWidget>("lbNameDisplay"); }
    QAbstractButton* button(int i) const { return menuButton(menu.get(), i); }
    QLabel* msg() const { return find<QLabel>("MsgPanel"); }
    QGroupBox* frame() const { return find<QGroupBox>("fraClient"); }
    QAction* action(const char* name) const { return find<QAction>(name); }

    void clickLine(int row) {
        QListWidget* l = list();
        const QRect r = l->visualItemRect(l->item(row));
        QTest::mouseClick(l->viewport(), Qt::LeftButton, {}, r.center());
    }
};

TEST(MainMenu, ListLinesShowRecordNumberAndTheStoredName) {
    MainMenuFixture f(0);
    for (int i = 1; i <= 12; ++i) {
        addClient(f.state, i == 12 ? "Ann" : "Client " + std::to_string(i));
    }
    // A name as the office PCs store it: one Windows-1252 byte for the accented letter.
    f.state.clients.at(7).set(ClientRecord::Field::Name, "Jos\xE9");
    f.state.testStored = true;
    f.menu->Activation();

    ASSERT_EQ(f.list()->count(), 12);
    EXPECT_EQ(f.list()->item(11)->text(), QStringLiteral("12-Ann") + QString(22, QLatin1Char(' ')));
    EXPECT_EQ(f.list()->item(6)->text(),
              QStringLiteral("7-Jos\u00E9") + QString(21, QLatin1Char(' ')));
    EXPECT_EQ(f.list()->item(0)->text().left(10), QStringLiteral("1-Client 1"));
    EXPECT_EQ(frmMainMenu::ListLine(f.state, 12).size(), 3 + 25);
}

TEST(MainMenu, ListIsRebuiltOnlyWhenATestWasStored) {
    MainMenuFixture f(2);
    ASSERT_EQ(f.list()->count(), 2);
    addClient(f.state, "Late");
    f.state.testStored = false;
    f.menu->Activation();
    EXPECT_EQ(f.list()->count(), 2);
    f.state.testStored = true;
    f.menu->Activation();
    EXPECT_EQ(f.list()->count(), 3);
}

TEST(MainMenu, ChoosingALineSetsTheCurrentClient) {
    MainMenuFixture f(14);
    EXPECT_FALSE(f.button(0)->isEnabled());
    f.clickLine(11);
    EXPECT_EQ(f.state.clients.currentClient, 12);
    EXPECT_TRUE(f.button(0)->isEnabled());

    QTest::keyClick(f.list(), Qt::Key_Down);
    EXPECT_EQ(f.state.clients.currentClient, 13);
    QTest::keyClick(f.list(), Qt::Key_Up);
    QTest::keyClick(f.list(), Qt::Key_Up);
    EXPECT_EQ(f.state.clients.currentClient, 11);
}

TEST(MainMenu, EditButtonFollowsTheListText) {
    MainMenuFixture f(3);
    f.clickLine(1);
    ASSERT_TRUE(f.button(0)->isEnabled());

    // Activation disables Edit even though a line is still chosen ...
    f.state.testStored = false;
    f.menu->Activation();
    EXPECT_FALSE(f.button(0)->isEnabled());
    // ... and the list's focus brings it back for that line.
    f.button(2)->setFocus(Qt::TabFocusReason);
    f.list()->setFocus(Qt::TabFocusReason);
    EXPECT_TRUE(f.button(0)->isEnabled());

    // A rebuild loses the choice: Edit stays off until a line is chosen again.
    f.state.testStored = true;
    f.menu->Activation();
    EXPECT_TRUE(f.list()->selectedItems().isEmpty());
    EXPECT_FALSE(f.button(0)->isEnabled());
    f.button(2)->setFocus(Qt::TabFocusReason);
    f.list()->setFocus(Qt::TabFocusReason);
    EXPECT_FALSE(f.button(0)->isEnabled());
}

TEST(MainMenu, WithoutClientsTheListPassesFocusToAddNewClient) {
    MainMenuFixture f(0);
    f.button(3)->setFocus(Qt::TabFocusReason);
    f.list()->setFocus(Qt::TabFocusReason);
    EXPECT_EQ(QApplication::focusWidget(), f.button(1));
    EXPECT_FALSE(f.button(0)->isEnabled());
    EXPECT_EQ(f.msg()->text(), QStringLiteral("Enter a new client. Test client on computer or "
                                              "enter data from answer sheet."));
    EXPECT_EQ(backgroundOf(f.frame()), Colors::blue());
}

TEST(MainMenu, ListFocusColoursTheFrameAndShowsItsHelpLine) {
    MainMenuFixture f(2);
    f.button(1)->setFocus(Qt::TabFocusReason);
    EXPECT_EQ(backgroundOf(f.frame()), Colors::blue());
    EXPECT_EQ(textColorOf(f.frame()), Colors::white());

    f.list()->setFocus(Qt::TabFocusReason);
    EXPECT_EQ(backgroundOf(f.frame()), Colors::cyan());
    EXPECT_EQ(textColorOf(f.frame()), Colors::black());
    EXPECT_TRUE(isBold(f.frame()));
    EXPECT_FALSE(isBold(f.list()));
    EXPECT_EQ(f.msg()->text(),
              QStringLiteral("Use up or down arrow keys or mouse to select client."));

    f.button(2)->setFocus(Qt::TabFocusReason);
    EXPECT_EQ(backgroundOf(f.frame()), Colors::blue());
    EXPECT_EQ(textColorOf(f.frame()), Colors::white());
    EXPECT_FALSE(isBold(f.frame()));
    EXPECT_EQ(f.msg()->text(),
              QStringLiteral("Print client report, verify data entry or delete client names."));
}

TEST(MainMenu, EachButtonShowsItsHelpLineAndHighlight) {
    MainMenuFixture f(1);
    f.clickLine(0); // Edit enabled so it can take the focus
    const QString help[] = {
        QStringLiteral("Edit client's information."),
        QStringLiteral(
            "Enter a new client. Test client on computer or enter data from answer sheet."),
        QStringLiteral("Print client report, verify data entry or delete client names."),
        QStringLiteral("Quit the program."),
    };
    const QString captions[] = {
        QStringLiteral("Edit Current Client"), QStringLiteral("Add New Client"),
        QStringLiteral("Supervisor Options"), QStringLiteral("Exit Application")};
    for (int i = 0; i <= 3; ++i) {
        f.button(i)->setFocus(Qt::TabFocusReason);
        EXPECT_EQ(f.button(i)->text(), captions[i]);
        EXPECT_EQ(f.msg()->text(), help[i]);
        for (int j = 0; j <= 3; ++j) {
            EXPECT_EQ(backgroundOf(menuPanel(f.menu.get(), j)),
                      i == j ? Colors::cyan() : Colors::blue());
            EXPECT_EQ(isBold(f.button(j)), i == j);
        }
    }
    f.menu->Activation();
    for (int j = 0; j <= 3; ++j) {
        EXPECT_EQ(backgroundOf(menuPanel(f.menu.get(), j)), Colors::blue());
    }
}

TEST(MainMenu, EditPathOpensClientInfoThenNewEntryWhenConfirmed) {
    MainMenuFixture f(3);
    f.clickLine(2);
    f.state.dialogConfirmed = true; // left from an earlier path: must not open the grid
    f.button(0)->click();
    ASSERT_EQ(f.forms.forms(), QStringList{QStringLiteral("frmClientInfo")});
    const auto& c = f.forms.calls[0];
    EXPECT_TRUE(c.editMode);
    EXPECT_FALSE(c.scanEditMode);
    EXPECT_FALSE(c.testStored);
    EXPECT_FALSE(c.menuFrameVisible);
    EXPECT_TRUE(f.state.testStored);
    EXPECT_TRUE(f.find<QWidget>("frMainMenu")->isVisible());

    f.forms.calls.clear();
    f.forms.actions[QStringLiteral("frmClientInfo")] = [&](QWidget*) {
        f.state.dialogConfirmed = true;
        f.state.clients.at(3).set(ClientRecord::Field::Name, "Renamed");
    };
    f.clickLine(2);
    f.button(0)->click();
    EXPECT_EQ(f.forms.forms(),
              (QStringList{QStringLiteral("frmClientInfo"), QStringLiteral("frmNewEntry")}));
    EXPECT_TRUE(f.forms.calls[1].editMode);
    // Back in the menu the list is rebuilt with the edited name, and nothing is chosen.
    EXPECT_EQ(f.list()->item(2)->text().left(9), QStringLiteral("3-Renamed"));
    EXPECT_FALSE(f.button(0)->isEnabled());
    EXPECT_EQ(QApplication::focusWidget(), f.list());
}

TEST(MainMenu, AddPathClearsTheFlagsAndShowsTheNewClient) {
    MainMenuFixture f(2);
    f.state.editMode = true;
    f.state.scanEditMode = true;
    f.state.workingEditCount = 2;
    f.forms.actions[QStringLiteral("frmSelectEntryMethod")] = [&](QWidget*) {
        addClient(f.state, "New One");
    };
    f.button(1)->click();
    ASSERT_EQ(f.forms.forms(), QStringList{QStringLiteral("frmSelectEntryMethod")});
    const auto& c = f.forms.calls[0];
    EXPECT_FALSE(c.editMode);
    EXPECT_FALSE(c.scanEditMode);
    EXPECT_FALSE(c.testStored);
    EXPECT_EQ(c.workingEditCount, 0);
    EXPECT_FALSE(c.menuFrameVisible);
    EXPECT_TRUE(f.state.testStored);
    ASSERT_EQ(f.list()->count(), 3);
    EXPECT_EQ(f.list()->item(2)->text().left(9), QStringLiteral("3-New One"));
}

TEST(MainMenu, SupervisorPathAndEnterKey) {
    MainMenuFixture f(1);
    f.button(2)->setFocus(Qt::TabFocusReason);
    QTest::keyClick(f.button(2), Qt::Key_A); // a letter does nothing
    EXPECT_TRUE(f.forms.calls.isEmpty());
    QTest::keyClick(f.button(2), Qt::Key_Return);
    ASSERT_EQ(f.forms.forms(), QStringList{QStringLiteral("frmSupervisorOptions")});
    EXPECT_FALSE(f.forms.calls[0].testStored);
    EXPECT_TRUE(f.state.testStored);
    EXPECT_EQ(QApplication::focusWidget(), f.button(2));
}

TEST(MainMenu, AddNewClientIsRefusedWhenTheTableIsFull) {
    MainMenuFixture f(51);
    f.state.testStored = false;
    f.button(1)->click();
    EXPECT_TRUE(f.forms.calls.isEmpty());
    ASSERT_EQ(f.messages.shown.size(), 1);
    EXPECT_EQ(f.messages.shown[0].title, QStringLiteral("ORV-Juvenile"));
    EXPECT_TRUE(f.messages.shown[0].text.contains(QStringLiteral("data disk is full")));
    EXPECT_TRUE(f.messages.shown[0].text.contains(QStringLiteral("new data folder")));
    EXPECT_FALSE(f.state.testStored);
    EXPECT_EQ(f.state.clients.clientCount, 51);

    // With 50 the 51st may still be added.
    MainMenuFixture g(50);
    g.button(1)->click();
    EXPECT_EQ(g.forms.forms(), QStringList{QStringLiteral("frmSelectEntryMethod")});
    EXPECT_TRUE(g.messages.shown.isEmpty());
}

TEST(MainMenu, AnErrorInAPathIsReportedAndTheMenuComesBack) {
    MainMenuFixture f(1);
    f.forms.actions[QStringLiteral("frmSupervisorOptions")] = [](QWidget*) {
        throw OrvjError(ErrorCode::PermissionDenied, "DATA301.OVJ: cannot write record 1");
    };
    f.button(2)->click();
    ASSERT_EQ(f.messages.shown.size(), 1);
    EXPECT_EQ(f.messages.shown[0].text,
              QStringLiteral("Error 70:DATA301.OVJ: cannot write record 1"));
    EXPECT_TRUE(f.find<QWidget>("frMainMenu")->isVisible());
    EXPECT_TRUE(f.state.testStored);
}

TEST(MainMenu, OnlyTheEditPathClosesTheFormsLeftOpen) {
    MainMenuFixture f(2);
    f.menu->setCloseOthers(false);
    QPointer<QDialog> leftOpen;
    auto leaveForm = [&](QWidget*) {
        leftOpen = new QDialog;
        leftOpen->setAttribute(Qt::WA_DeleteOnClose);
        leftOpen->setObjectName(QStringLiteral("frmSomeForm"));
        leftOpen->show();
    };
    f.forms.actions[QStringLiteral("frmSelectEntryMethod")] = leaveForm;
    f.button(1)->click();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    ASSERT_FALSE(leftOpen.isNull());
    EXPECT_TRUE(leftOpen->isVisible());

    f.forms.actions[QStringLiteral("frmSelectEntryMethod")] = nullptr;
    f.button(2)->click();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_FALSE(leftOpen.isNull());

    f.clickLine(0);
    f.button(0)->click();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(leftOpen.isNull());
    EXPECT_TRUE(f.menu->isVisible());
    EXPECT_FALSE(f.menu->closeOthers());
    delete leftOpen.data();
}

TEST(MainMenu, ExitButtonAndMenuCommandEndTheProgram) {
    {
        MainMenuFixture f(1);
        QSignalSpy spy(f.menu.get(), &frmMainMenu::exitRequested);
        f.button(3)->click();
        EXPECT_EQ(spy.count(), 1);
        EXPECT_FALSE(f.menu->isVisible());
        EXPECT_TRUE(f.forms.calls.isEmpty());
    }
    {
        MainMenuFixture f(1);
        QSignalSpy spy(f.menu.get(), &frmMainMenu::exitRequested);
        f.action("mnuExit")->trigger();
        EXPECT_EQ(spy.count(), 1);
        EXPECT_FALSE(f.menu->isVisible());
    }
}

TEST(MainMenu, MenuBarHoldsTheCommandsInOrder) {
    MainMenuFixture f(1);
    QStringList top;
    for (QAction* a : f.menu->menuBar()->actions()) {
        top << a->text();
    }
    EXPECT_EQ(top, (QStringList{QStringLiteral("E&xit!"), QStringLiteral("&Options"),
                                QStringLiteral("&About...")}));
    QMenu* options = f.find<QMenu>("mnuOptions");
    ASSERT_EQ(options->actions().size(), 3);
    EXPECT_EQ(options->actions()[0]->text(), QStringLiteral("&Install Voice Files..."));
    EXPECT_TRUE(options->actions()[1]->isSeparator());
    EXPECT_EQ(options->actions()[2]->text(), QStringLiteral("&Num Lock Always On"));
    EXPECT_TRUE(options->actions()[2]->isCheckable());
    EXPECT_EQ(f.menu->windowTitle(), QStringLiteral("ORV-Juvenile"));

    f.action("mnuInstallVoiceFiles")->trigger();
    EXPECT_EQ(f.forms.forms(), QStringList{QStringLiteral("InstallVoiceFiles")});
}

TEST(MainMenu, NumLockOptionTogglesItsCheckMarkAndIsWritten) {
    MainMenuFixture f(1);
    ConfigFile cfg(f.state.paths.configFile);
    cfg.WritePrivateProfileString("Path", "FilePath", "data");
    f.menu->setNumLockOption(true);
    QAction* numLock = f.action("mnuNumLock");
    EXPECT_TRUE(numLock->isChecked());

    numLock->trigger();
    EXPECT_FALSE(numLock->isChecked());
    EXPECT_FALSE(f.menu->numLockOption());
    EXPECT_EQ(cfg.GetPrivateProfileString("Settings", "NumLock", "", 10), "False");
    EXPECT_FALSE(cfg.ReadNumLock());

    numLock->trigger();
    EXPECT_TRUE(numLock->isChecked());
    EXPECT_EQ(cfg.GetPrivateProfileString("Settings", "NumLock", "", 10), "True");
    EXPECT_EQ(cfg.GetINIFilePath(), "data");
    EXPECT_TRUE(f.messages.shown.isEmpty());
}

TEST(MainMenu, NumLockThatCannotBeSavedSaysSo) {
    MainMenuFixture f(1);
    f.state.paths.configFile = f.state.paths.home / "missing folder" / ConfigFile::kFileName;
    f.menu->setNumLockOption(true);
    f.action("mnuNumLock")->trigger();
    EXPECT_FALSE(f.menu->numLockOption());
    ASSERT_EQ(f.messages.shown.size(), 1);
    EXPECT_TRUE(f.messages.shown[0].text.startsWith(
        QStringLiteral("The Num Lock setting could not be saved")));
}

TEST(MainMenu, AboutOpensOnceAsADialog) {
    MainMenuFixture f(1);
    f.action("mnuAbout")->trigger();
    QPointer<frmAbout> about = f.menu->aboutBox();
    ASSERT_FALSE(about.isNull());
    EXPECT_TRUE(about->isVisible());
    EXPECT_TRUE(about->isWindow());
    EXPECT_FALSE(about->isModal());
    EXPECT_FALSE(about->Splash());
    f.action("mnuAbout")->trigger();
    EXPECT_EQ(f.menu->aboutBox(), about.data());
    about->findChild<QAbstractButton*>(QStringLiteral("cmdOK"))->click();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(about.isNull());
}

TEST(MainMenu, RestoreBringsAMinimisedWindowBack) {
    MainMenuFixture f(1);
    f.menu->showMinimized();
    QTest::qWait(10);
    f.menu->RestoreToFront();
    EXPECT_FALSE(f.menu->isMinimized());
    EXPECT_TRUE(f.menu->isVisible());
}

} // namespace
