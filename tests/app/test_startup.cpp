#include "app/CommandLine.h"
#include "app/StartupSequence.h"
#include "app/frmAbout.h"
#include "app/frmMainMenu.h"
#include "store/ConfigFile.h"
#include "store/OrvjError.h"
#include "tests/testing/TestHome.h"

#include <QAction>
#include <QFileInfo>
#include <QLabel>
#include <QListWidget>
#include <QProcess>

#include <optional>

using namespace orvj;
using namespace Qt::StringLiterals;
using Answer = MessageService::Answer;
using Buttons = MessageService::Buttons;
using Action = CommandLine::Action;
namespace fs = std::filesystem;

namespace {

const QString kDiskette =
    u"Data diskette not found!\n\nInsert data diskette in drive A to continue."_s;

frmAbout* visibleSplash() {
    for (QWidget* w : QApplication::topLevelWidgets()) {
        if (auto* a = qobject_cast<frmAbout*>(w); a != nullptr && a->isVisible()) {
            return a;
        }
    }
    return nullptr;
}

struct Start : test::TestHome {
    frmMainMenu menu{state, services};
    StartupOptions options;
    std::optional<StartupSequence> seq; // holds the lock on its program folder while it lives

    // names: the client file in dir/data; a ConfigFile pointing there is written too.
    explicit Start(const std::vector<std::string>& names = {}, bool withData = true) {
        options.fadeRunMs = 20;
        if (!withData) {
            return;
        }
        std::ofstream(dir / ConfigFile::kFileName) << "[Path]\nFilePath=data\nSndPath=sound\n";
        fs::create_directories(dir / "data");
        std::ofstream out(dir / "data" / "DATA301.OVJ", std::ios::binary);
        for (const auto& n : names) {
            ClientRecord r;
            r.set(ClientRecord::Field::Name, n);
            out.write(r.bytes().data(), static_cast<std::streamsize>(r.bytes().size()));
        }
    }
    StartupSequence::Outcome run() {
        seq.emplace(state, services, menu, options);
        return seq->Run();
    }
    QListWidget* list() { return menu.findChild<QListWidget*>(u"lbNameDisplay"_s); }
};

// The client file is overfull, its last record cut short and 20 of its codes are not digits:
// the start lists what fits behind the splash, says so once (naming at most 15 field
// problems) and leaves the file as it is.
TEST(Startup, LoadsTheClientsBehindTheSplashNoticesFileFaultsOnceAndShowsTheMainMenu) {
    Start f(std::vector<std::string>(53, "Client"));
    std::ofstream(f.dir / ConfigFile::kFileName, std::ios::app) << "[Settings]\nNumLock=False\n";
    const fs::path file = f.dir / "data" / "DATA301.OVJ";
    {
        std::fstream io(file, std::ios::in | std::ios::out | std::ios::binary);
        for (int record = 1; record <= 20; ++record) {
            io.seekp(196 * (record - 1) + 38); // Gender
            io.put('x');
        }
        io.seekp(0, std::ios::end);
        io << "partial";
    }
    const auto sizeBefore = fs::file_size(file);
    bool splashChecked = false;
    f.options.loadClients = [&](AppState& state) {
        EXPECT_FALSE(f.menu.isVisible());
        if (frmAbout* splash = visibleSplash()) {
            const auto* status = splash->findChild<QLabel*>(u"lblStatus"_s);
            splashChecked = splash->Splash() && splash->FadeDone() && status->isVisible() &&
                            status->text() == u"Initializing..."_s &&
                            !splash->findChild<QWidget*>(u"cmdOK"_s)->isVisible();
        }
        return StartupSequence::LoadClientFile(state);
    };

    ASSERT_EQ(f.run(), StartupSequence::Outcome::Started);
    EXPECT_TRUE(splashChecked);
    EXPECT_EQ(visibleSplash(), nullptr);
    EXPECT_TRUE(f.menu.isVisible());
    EXPECT_EQ(f.state.clients.clientCount, 51);
    EXPECT_EQ(f.list()->count(), 51);
    EXPECT_EQ(f.state.clients.at(2).field(ClientRecord::Field::Gender), "x");
    EXPECT_EQ(fs::file_size(file), sizeBefore);
    EXPECT_EQ(f.state.paths.clientFile, file);
    EXPECT_EQ(f.state.paths.soundBase, f.dir / "sound");
    EXPECT_EQ(f.state.paths.questionBank, f.dir / "ORVj32.db");
    EXPECT_FALSE(f.menu.findChild<QAction*>(u"mnuNumLock"_s)->isChecked());
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
    ASSERT_EQ(f.messages.shown.size(), 1);
    const QString text = f.messages.shown[0].text;
    EXPECT_EQ(f.messages.shown[0].icon, MessageService::Icon::Information);
    for (const char* part : {"DATA301.OVJ holds 53 clients", "The first 51 clients are listed",
                             "incomplete", "record 15: field Gender", "and 5 more"}) {
        EXPECT_TRUE(text.contains(QLatin1String(part))) << part;
    }
    EXPECT_FALSE(text.contains(u"record 16: field Gender"_s));

    // The workgroup setting is written beside the program's own keys, which stay as they were.
    ConfigFile cfg(f.dir / ConfigFile::kFileName);
    EXPECT_EQ(cfg.GetPrivateProfileString("Options", "SystemDB", "", 500),
              (f.dir / "qlnvex.mda").string());
    EXPECT_EQ(cfg.GetINIFilePath(), "data");
    EXPECT_FALSE(cfg.ReadNumLock());
}

TEST(Startup, EachLoadErrorGetsItsBoxAndOnlyDataDiskErrorsRetry) {
    const QString writeProtected = QStringLiteral(
        "Data disk write protected!\n\nSet the data disk to writable and replace in drive.");
    for (int code : {70, 6, 3044, 3051, 3024, 57, 53, 52, 71, 76}) {
        const bool dataDisk = code != 6;
        Start f({"Ann", "Bob"});
        int loads = 0;
        f.options.loadClients = [&](AppState& state) {
            if (++loads == 1) {
                throw OrvjError(code, "fault");
            }
            return StartupSequence::LoadClientFile(state);
        };
        // Every box is answered with OK: only a data disk error takes it as "retry".
        const auto outcome = f.run();
        ASSERT_EQ(f.messages.shown.size(), 1) << code;
        const auto& box = f.messages.shown[0];
        if (dataDisk) {
            EXPECT_EQ(outcome, StartupSequence::Outcome::Started) << code;
            EXPECT_EQ(box.title, u"Data Disk Error"_s);
            EXPECT_EQ(box.text, code == 70 ? writeProtected : kDiskette) << code;
            EXPECT_EQ(box.buttons, Buttons::OkCancel);
        } else {
            EXPECT_EQ(outcome, StartupSequence::Outcome::Ended);
            EXPECT_EQ(box.title, u"ORV-Juvenile"_s);
            EXPECT_EQ(box.text, u"Error 6:fault"_s);
            EXPECT_EQ(box.buttons, Buttons::Ok);
        }
        EXPECT_EQ(loads, dataDisk ? 2 : 1) << code;
        EXPECT_EQ(f.menu.isVisible(), dataDisk) << code;
        EXPECT_EQ(f.state.clients.clientCount, dataDisk ? 2 : 0) << code;
        EXPECT_EQ(visibleSplash(), nullptr) << code;
    }
}

TEST(Startup, WithoutAConfigurationTheDisketteBoxAsksUntilCancel) {
    Start f({}, false); // FilePath "a:": a drive letter names no folder here
    for (Answer a : {Answer::Ok, Answer::Ok, Answer::Cancel}) {
        f.messages.answerNext(a);
    }
    EXPECT_EQ(f.run(), StartupSequence::Outcome::Ended);
    ASSERT_EQ(f.messages.shown.size(), 3);
    EXPECT_EQ(f.messages.shown[2].text, kDiskette);
    EXPECT_EQ(f.messages.shown[2].icon, MessageService::Icon::Critical);
    EXPECT_FALSE(f.menu.isVisible());
    EXPECT_EQ(visibleSplash(), nullptr);
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
}

TEST(Startup, ASecondStartOnTheSameFolderEndsAndBringsTheFirstToTheFront) {
    Start first({"Ann"});
    ASSERT_EQ(first.run(), StartupSequence::Outcome::Started);
    first.menu.showMinimized();
    ASSERT_TRUE(QTest::qWaitFor([&] { return first.menu.isMinimized(); }, 1000));

    // The same folder spelt another way.
    fs::create_directories(first.dir / "sub");
    Start second({"Ann"});
    second.state.paths.home = first.dir / "sub" / "..";
    EXPECT_EQ(second.run(), StartupSequence::Outcome::OtherInstance);
    EXPECT_TRUE(second.messages.shown.isEmpty());
    EXPECT_FALSE(second.menu.isVisible());
    EXPECT_EQ(second.state.clients.clientCount, 0);
    EXPECT_TRUE(QTest::qWaitFor([&] { return !first.menu.isMinimized(); }, 3000));
    EXPECT_TRUE(first.menu.isVisible());

    // Another folder starts beside it; once the first ends, its folder is free again.
    Start other({"Ann"});
    EXPECT_EQ(other.run(), StartupSequence::Outcome::Started);
    first.seq.reset();
    EXPECT_EQ(second.run(), StartupSequence::Outcome::Started);
}

TEST(CommandLineParse, OptionsErrorsAndTheChoiceOfHome) {
    const struct {
        std::vector<std::string> args;
        Action action;
        std::string home;
    } rows[] = {
        {{"--help"}, Action::Help, ""},
        {{"--home", "/x", "--version"}, Action::Version, "/x"},
        {{"--home", "/srv/orvj"}, Action::Run, "/srv/orvj"},
        {{"--home=/srv/a"}, Action::Run, "/srv/a"},
        {{"--home"}, Action::Error, ""},
        {{"--home="}, Action::Error, ""},
        {{"--frobnicate"}, Action::Error, ""},
    };
    for (const auto& row : rows) {
        const CommandLine cmd = parseCommandLine(row.args);
        EXPECT_EQ(cmd.action, row.action) << testing::PrintToString(row.args);
        if (row.action == Action::Error) {
            EXPECT_NE(cmd.error.find(row.args[0].substr(0, 6)), std::string::npos) << cmd.error;
        } else {
            EXPECT_EQ(cmd.home, row.home);
        }
    }
    EXPECT_TRUE(asksForHelpOrVersion({"-platform", "offscreen", "--version"}));
    EXPECT_FALSE(asksForHelpOrVersion({"--home", "x"}));
}

#ifdef ORVJ_BINARY
struct Outcome {
    int exitCode;
    QString out, err;
};

// Runs the program to its end without a display.
Outcome runProgram(const QStringList& args, const char* platform = "offscreen") {
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.remove(u"ORVJ_HOME"_s);
    env.remove(u"DISPLAY"_s);
    env.remove(u"WAYLAND_DISPLAY"_s);
    env.insert(u"QT_QPA_PLATFORM"_s, QString::fromLatin1(platform));
    QProcess p;
    p.setProcessEnvironment(env);
    p.start(QStringLiteral(ORVJ_BINARY), args);
    const int code = p.waitForFinished(15000) ? p.exitCode() : -1;
    return {code, QString::fromUtf8(p.readAllStandardOutput()),
            QString::fromUtf8(p.readAllStandardError())};
}

TEST(Program, HelpAndAMissingProgramFolder) {
    // The xcb platform cannot start here: --help and --version must not need it.
    const Outcome help = runProgram({u"--help"_s}, "xcb");
    EXPECT_EQ(help.exitCode, 0);
    EXPECT_TRUE(help.out.contains(u"Usage: orvj"_s));
    // The build folder holds ORVJTest.ini: --help names it as the program folder in use.
    EXPECT_TRUE(help.out.contains(u"Program folder: "_s +
                                  QFileInfo(QStringLiteral(ORVJ_BINARY)).absolutePath() +
                                  u" (the program's own folder"_s))
        << help.out.toStdString();
    const Outcome missing = runProgram({u"--home"_s, u"/nonexistent/orvj"_s});
    EXPECT_EQ(missing.exitCode, 2);
    EXPECT_TRUE(missing.err.contains(u"/nonexistent/orvj"_s));
}
#endif

} // namespace
