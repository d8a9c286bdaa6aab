#include "app/AppState.h"
#include "app/SingleInstance.h"
#include "app/StartupSequence.h"
#include "app/frmAbout.h"
#include "app/frmMainMenu.h"
#include "store/ClientFile.h"
#include "store/Clock.h"
#include "store/ConfigFile.h"
#include "store/OrvjError.h"
#include "tests/app/FakeFormLauncher.h"
#include "tests/support/FakeMessageService.h"
#include "ui/Services.h"

#include <QAction>
#include <QApplication>
#include <QLabel>
#include <QListWidget>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QUuid>
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

using namespace orvj;
using orvj::test::FakeFormLauncher;
using orvj::test::FakeMessageService;
using Answer = MessageService::Answer;
namespace fs = std::filesystem;

namespace {

const QString kDiskette =
    QStringLiteral("Data diskette not found!\n\nInsert data diskette in drive A to continue.");
const QString kWriteProtected = QStringLiteral(
    "Data disk write protected!\n\nSet the data disk to writable and replace in drive.");

ClientRecord makeRecord(const std::string& name) {
    ClientRecord r;
    r.set(ClientRecord::Field::Name, name);
    r.set(ClientRecord::Field::Gender, "1");
    r.set(ClientRecord::Field::Race, "2");
    r.set(ClientRecord::Field::Education, "3");
    r.set(ClientRecord::Field::EditCount, "0");
    r.set(ClientRecord::Field::NameDeleted, "0");
    return r;
}

struct StartFixture {
    QTemporaryDir dir;
    fs::path home;
    AppState state;
    FakeMessageService messages;
    FixedClock clock{Date{2024, 3, 5}};
    FakeFormLauncher forms{state};
    Services services;
    std::unique_ptr<frmMainMenu> menu;
    StartupOptions options;

    StartFixture() {
        home = fs::path(dir.path().toStdString());
        state.paths.home = home;
        services.messages = &messages;
        services.clock = &clock;
        services.forms = &forms;
        menu = std::make_unique<frmMainMenu>(state, services);
        options.instanceKey = QStringLiteral("orvj-test-") +
                              QUuid::createUuid().toString(QUuid::WithoutBraces).left(12);
        options.fadeRunMs = 20;
    }

    void config(const std::string& text) { std::ofstream(home / ConfigFile::kFileName) << text; }

    void clientFile(const fs::path& folder, const std::vector<std::string>& names) {
        fs::create_directories(folder);
        std::ofstream out(folder / ClientFile::kFileName, std::ios::binary);
        for (const auto& n : names) {
            const ClientRecord r = makeRecord(n);
            out.write(r.bytes().data(), static_cast<std::streamsize>(r.bytes().size()));
        }
    }

    StartupSequence::Outcome run() {
        StartupSequence seq(state, services, *menu, options);
        auto outcome = seq.Run();
        return outcome;
    }

    QListWidget* list() const {
        return menu->findChild<QListWidget*>(QStringLiteral("lbNameDisplay"));
    }

    static int visibleSplashes() {
        int n = 0;
        for (QWidget* w : QApplication::topLevelWidgets()) {
            if (qobject_cast<frmAbout*>(w) != nullptr && w->isVisible()) {
                ++n;
            }
        }
        return n;
    }
};

TEST(Startup, LoadsTheClientsAndShowsTheMainMenu) {
    StartFixture f;
    f.config("[Path]\r\nFilePath=data\r\nSndPath=sound\r\n[Settings]\r\nNumLock=False\r\n");
    f.clientFile(f.home / "data", {"Ann", "Bob", "Cy"});

    ASSERT_EQ(f.run(), StartupSequence::Outcome::Started);
    EXPECT_TRUE(f.messages.shown.isEmpty());
    EXPECT_EQ(f.state.clients.clientCount, 3);
    EXPECT_EQ(f.state.clients.currentClient, 1);
    EXPECT_TRUE(f.state.testStored);
    EXPECT_EQ(f.state.paths.dataFolder, f.home / "data");
    EXPECT_EQ(f.state.paths.clientFile, f.home / "data" / "DATA301.OVJ");
    EXPECT_EQ(f.state.paths.soundBase, f.home / "sound");
    EXPECT_EQ(f.state.paths.questionBank, f.home / "ORVj32.db");
    EXPECT_EQ(f.state.paths.configFile, f.home / "ORVJTest.ini");

    EXPECT_TRUE(f.menu->isVisible());
    EXPECT_EQ(StartFixture::visibleSplashes(), 0);
    ASSERT_EQ(f.list()->count(), 3);
    EXPECT_EQ(f.list()->item(1)->text(), QStringLiteral("2-Bob") + QString(22, QLatin1Char(' ')));
    EXPECT_FALSE(f.menu->findChild<QAction*>(QStringLiteral("mnuNumLock"))->isChecked());
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);

    // The workgroup setting is written beside the program's own keys, which stay as they were.
    ConfigFile cfg(f.home / ConfigFile::kFileName);
    EXPECT_EQ(cfg.GetPrivateProfileString("Options", "SystemDB", "", 500),
              (f.home / "qlnvex.mda").string());
    EXPECT_EQ(cfg.GetINIFilePath(), "data");
    EXPECT_FALSE(cfg.ReadNumLock());
}

TEST(Startup, SplashIsUpWhileTheClientFileLoads) {
    StartFixture f;
    f.config("[Path]\nFilePath=data\n");
    f.clientFile(f.home / "data", {});
    bool checked = false;
    f.options.loadClients = [&](AppState& state) {
        checked = true;
        EXPECT_FALSE(f.menu->isVisible());
        frmAbout* splash = nullptr;
        for (QWidget* w : QApplication::topLevelWidgets()) {
            if (auto* a = qobject_cast<frmAbout*>(w); a != nullptr && a->isVisible()) {
                splash = a;
            }
        }
        EXPECT_NE(splash, nullptr);
        if (splash != nullptr) {
            EXPECT_TRUE(splash->Splash());
            EXPECT_TRUE(splash->FadeDone());
            EXPECT_EQ(splash->findChild<QLabel*>(QStringLiteral("lblStatus"))->text(),
                      QStringLiteral("Initializing..."));
        }
        return StartupSequence::LoadClientFile(state);
    };
    ASSERT_EQ(f.run(), StartupSequence::Outcome::Started);
    EXPECT_TRUE(checked);
    EXPECT_EQ(f.state.clients.clientCount, 0);
    EXPECT_EQ(f.state.clients.currentClient, 0);
    EXPECT_EQ(f.list()->count(), 0);
    EXPECT_TRUE(f.menu->findChild<QAction*>(QStringLiteral("mnuNumLock"))->isChecked());
}

TEST(Startup, DefaultDataLocationLeadsToTheDataDiskBox) {
    StartFixture f; // no configuration file: FilePath "a:"
    f.messages.answerNext(Answer::Cancel);
    EXPECT_EQ(f.run(), StartupSequence::Outcome::Ended);
    ASSERT_EQ(f.messages.shown.size(), 1);
    const auto& box = f.messages.shown[0];
    EXPECT_EQ(box.title, QStringLiteral("Data Disk Error"));
    EXPECT_EQ(box.text, kDiskette);
    EXPECT_EQ(box.icon, MessageService::Icon::Critical);
    EXPECT_EQ(box.buttons, MessageService::Buttons::OkCancel);
    EXPECT_FALSE(f.menu->isVisible());
    EXPECT_EQ(StartFixture::visibleSplashes(), 0);
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
}

TEST(Startup, RetryRunsTheLoadAgainOnceTheFolderIsThere) {
    StartFixture f;
    f.config("[Path]\nFilePath=missing\\office\n");
    f.messages.onShow([&](const FakeMessageService::Shown&) {
        // The supervisor puts the data disk in before pressing OK.
        f.clientFile(f.home / "missing" / "office", {"Dee"});
    });
    EXPECT_EQ(f.run(), StartupSequence::Outcome::Started);
    ASSERT_EQ(f.messages.shown.size(), 1);
    EXPECT_EQ(f.messages.shown[0].text, kDiskette);
    EXPECT_EQ(f.state.clients.clientCount, 1);
    EXPECT_TRUE(f.menu->isVisible());
}

TEST(Startup, RetryKeepsAskingUntilCancel) {
    StartFixture f;
    f.config("[Path]\nFilePath=/nonexistent/orvj/data\n");
    f.messages.answerNext(Answer::Ok);
    f.messages.answerNext(Answer::Ok);
    f.messages.answerNext(Answer::Cancel);
    int loads = 0;
    f.options.loadClients = [&](AppState& state) {
        ++loads;
        return StartupSequence::LoadClientFile(state);
    };
    EXPECT_EQ(f.run(), StartupSequence::Outcome::Ended);
    EXPECT_EQ(loads, 3);
    EXPECT_EQ(f.messages.shown.size(), 3);
    EXPECT_FALSE(f.menu->isVisible());
}

TEST(Startup, EachDataDiskFaultGetsTheDisketteBox) {
    const int codes[] = {3044, 3051, 3024, 57, 53, 52, 71, 76};
    for (int code : codes) {
        StartFixture f;
        f.messages.answerNext(Answer::Cancel);
        f.options.loadClients = [code](AppState&) -> ClientFile::LoadReport {
            throw OrvjError(code, "fault");
        };
        EXPECT_EQ(f.run(), StartupSequence::Outcome::Ended) << code;
        ASSERT_EQ(f.messages.shown.size(), 1) << code;
        EXPECT_EQ(f.messages.shown[0].title, QStringLiteral("Data Disk Error")) << code;
        EXPECT_EQ(f.messages.shown[0].text, kDiskette) << code;
    }
}

TEST(Startup, WriteProtectedDiskCanBeRetried) {
    StartFixture f;
    f.config("[Path]\nFilePath=data\n");
    f.clientFile(f.home / "data", {"Ann", "Bob"});
    int loads = 0;
    f.options.loadClients = [&](AppState& state) {
        if (++loads == 1) {
            throw OrvjError(ErrorCode::PermissionDenied, "DATA301.OVJ: permission denied");
        }
        return StartupSequence::LoadClientFile(state);
    };
    EXPECT_EQ(f.run(), StartupSequence::Outcome::Started);
    ASSERT_EQ(f.messages.shown.size(), 1);
    EXPECT_EQ(f.messages.shown[0].title, QStringLiteral("Data Disk Error"));
    EXPECT_EQ(f.messages.shown[0].text, kWriteProtected);
    EXPECT_EQ(f.messages.shown[0].buttons, MessageService::Buttons::OkCancel);
    EXPECT_EQ(f.state.clients.clientCount, 2);
}

TEST(Startup, AnyOtherErrorIsShownWithItsNumberAndEndsTheStart) {
    StartFixture f;
    int loads = 0;
    f.options.loadClients = [&](AppState&) -> ClientFile::LoadReport {
        ++loads;
        throw OrvjError(ErrorCode::Overflow, "Overflow");
    };
    EXPECT_EQ(f.run(), StartupSequence::Outcome::Ended);
    EXPECT_EQ(loads, 1);
    ASSERT_EQ(f.messages.shown.size(), 1);
    EXPECT_EQ(f.messages.shown[0].title, QStringLiteral("ORV-Juvenile"));
    EXPECT_EQ(f.messages.shown[0].text, QStringLiteral("Error 6:Overflow"));
    EXPECT_EQ(f.messages.shown[0].buttons, MessageService::Buttons::Ok);
    EXPECT_FALSE(f.menu->isVisible());
    EXPECT_EQ(StartFixture::visibleSplashes(), 0);
}

TEST(Startup, MoreThan51ClientsLoads51AndSaysSoOnce) {
    StartFixture f;
    f.config("[Path]\nFilePath=data\n");
    std::vector<std::string> names;
    for (int i = 1; i <= 53; ++i) {
        names.push_back("Client " + std::to_string(i));
    }
    f.clientFile(f.home / "data", names);
    const auto sizeBefore = fs::file_size(f.home / "data" / "DATA301.OVJ");

    EXPECT_EQ(f.run(), StartupSequence::Outcome::Started);
    EXPECT_EQ(f.state.clients.clientCount, 51);
    EXPECT_EQ(f.list()->count(), 51);
    ASSERT_EQ(f.messages.shown.size(), 1);
    const auto& box = f.messages.shown[0];
    EXPECT_EQ(box.icon, MessageService::Icon::Information);
    EXPECT_TRUE(box.text.contains(QStringLiteral("holds 53 clients")));
    EXPECT_TRUE(box.text.contains(QStringLiteral("The first 51 clients are listed")));
    EXPECT_EQ(fs::file_size(f.home / "data" / "DATA301.OVJ"), sizeBefore);
}

TEST(Startup, CodesThatAreNotDigitsAreListedOnceAndLeftAlone) {
    StartFixture f;
    f.config("[Path]\nFilePath=data\n");
    f.clientFile(f.home / "data", {"Ann", "Bob", "Cy"});
    {
        std::fstream io(f.home / "data" / "DATA301.OVJ",
                        std::ios::in | std::ios::out | std::ios::binary);
        io.seekp(196 + 38); // Gender of record 2
        io.put('x');
        io.seekp(2 * 196 + 40); // Education of record 3
        io.put('?');
    }
    EXPECT_EQ(f.run(), StartupSequence::Outcome::Started);
    ASSERT_EQ(f.messages.shown.size(), 1);
    const QString text = f.messages.shown[0].text;
    EXPECT_EQ(f.messages.shown[0].icon, MessageService::Icon::Information);
    EXPECT_TRUE(text.contains(QStringLiteral("record 2: field Gender")));
    EXPECT_TRUE(text.contains(QStringLiteral("record 3: field Education")));
    EXPECT_TRUE(text.contains(QStringLiteral("nothing in the file was changed")));
    EXPECT_EQ(f.state.clients.at(2).field(ClientRecord::Field::Gender), "x");
}

TEST(Startup, ASecondStartActivatesTheFirstAndEnds) {
    StartFixture f;
    f.config("[Path]\nFilePath=data\n");
    f.clientFile(f.home / "data", {"Ann"});
    SingleInstance first(f.options.instanceKey);
    ASSERT_EQ(first.claim(), SingleInstance::Result::First);
    QSignalSpy asked(&first, &SingleInstance::activationRequested);

    EXPECT_EQ(f.run(), StartupSequence::Outcome::OtherInstance);
    EXPECT_TRUE(f.messages.shown.isEmpty());
    EXPECT_FALSE(f.menu->isVisible());
    EXPECT_EQ(StartFixture::visibleSplashes(), 0);
    EXPECT_EQ(f.state.clients.clientCount, 0);
    EXPECT_TRUE(asked.count() == 1 || asked.wait(3000));
}

TEST(Startup, TheRunningInstanceAnswersLaterStarts) {
    StartFixture f;
    f.config("[Path]\nFilePath=data\n");
    f.clientFile(f.home / "data", {"Ann"});
    StartupSequence seq(f.state, f.services, *f.menu, f.options);
    ASSERT_EQ(seq.Run(), StartupSequence::Outcome::Started);
    f.menu->showMinimized();
    QTest::qWait(10);

    SingleInstance second(f.options.instanceKey);
    EXPECT_EQ(second.claim(), SingleInstance::Result::OtherActivated);
    QTRY_VERIFY(!f.menu->isMinimized());
    EXPECT_TRUE(f.menu->isVisible());
}

TEST(Startup, NoticeTextsNameTheFile) {
    AppState state;
    state.paths.clientFile = "/srv/data/DATA301.OVJ";
    ClientFile::LoadReport report;
    EXPECT_TRUE(StartupSequence::LoadNotice(state, report).isEmpty());
    report.partialLastRecord = true;
    const QString partial = StartupSequence::LoadNotice(state, report);
    EXPECT_TRUE(partial.contains(QStringLiteral("/srv/data/DATA301.OVJ")));
    EXPECT_TRUE(partial.contains(QStringLiteral("incomplete")));
    for (int i = 0; i < 20; ++i) {
        report.fieldProblems.push_back("record " + std::to_string(i + 1) + ": field Race");
    }
    const QString many = StartupSequence::LoadNotice(state, report);
    EXPECT_TRUE(many.contains(QStringLiteral("record 15: field Race")));
    EXPECT_FALSE(many.contains(QStringLiteral("record 16: field Race")));
    EXPECT_TRUE(many.contains(QStringLiteral("and 5 more")));
}

} // namespace
