#include "app/SingleInstance.h"
#include "app/StartupSequence.h"
#include "app/frmAbout.h"
#include "app/frmMainMenu.h"
#include "store/ConfigFile.h"
#include "store/OrvjError.h"
#include "store/platform/File.h"
#include "tests/platform/TestProcess.h"
#include "tests/support/ProgramHome.h"

#include <QAction>
#include <QFileInfo>
#include <QListWidget>
#include <QLocalServer>
#include <QLockFile>
#include <QProcess>

#include <optional>

using namespace orvj;
using namespace Qt::StringLiterals;
using Answer = MessageService::Answer;
using Buttons = MessageService::Buttons;
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

struct Start : test::ProgramHome {
    frmMainMenu menu{state, services};
    StartupOptions options;
    std::optional<StartupSequence> seq; // holds the lock on its program folder while it lives

    // names: the client file in dir/data; a ConfigFile pointing there is written too.
    explicit Start(const std::vector<std::string>& names = {}) {
        options.fadeRunMs = 20;
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
};

// The client file is overfull, its last record cut short and 20 of its codes are not digits:
// the start lists what fits, says so once (naming at most 15 field problems) and leaves the
// file as it is.
TEST(Startup, LoadsTheClientsNoticesFileFaultsOnceAndShowsTheMainMenu) {
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
    ASSERT_EQ(f.run(), StartupSequence::Outcome::Started);
    EXPECT_EQ(f.menu.findChild<QListWidget*>(u"lbNameDisplay"_s)->count(), 51);
    EXPECT_EQ(f.state.clients.at(2).field(ClientRecord::Field::Gender), "x");
    EXPECT_EQ(fs::file_size(file), sizeBefore);
    EXPECT_EQ(f.state.paths.soundBase, f.dir / "sound");
    // The menu's Num Lock option (on until set) is the configuration's.
    EXPECT_FALSE(f.menu.findChild<QAction*>(u"mnuNumLock"_s)->isChecked());
    ASSERT_EQ(f.messages.shown.size(), 1);
    const QString text = f.messages.shown[0].text;
    for (const char* part : {"DATA301.OVJ holds 53 clients", "The first 51 clients are listed",
                             "incomplete", "record 15: field Gender", "and 5 more"}) {
        EXPECT_TRUE(text.contains(QLatin1String(part))) << part;
    }
    EXPECT_FALSE(text.contains(u"record 16: field Gender"_s));
}

// Every box is answered with OK: a data disk error takes it as "retry", and the second load
// starts the program; any other error ends the start.
TEST(Startup, EachLoadErrorGetsItsBoxAndOnlyDataDiskErrorsRetry) {
    const QString writeProtected = QStringLiteral(
        "Data disk write protected!\n\nSet the data disk to writable and replace in drive.");
    for (int code : {70, 6, 3044, 3051, 3024, 57, 53, 52, 71, 76}) {
        SCOPED_TRACE(code);
        const bool dataDisk = code != 6;
        Start f({"Ann", "Bob"});
        int loads = 0;
        f.options.loadClients = [&](AppState& state) {
            if (++loads == 1) {
                throw OrvjError(code, "fault");
            }
            return StartupSequence::LoadClientFile(state);
        };
        EXPECT_EQ(f.run(),
                  dataDisk ? StartupSequence::Outcome::Started : StartupSequence::Outcome::Ended);
        const QString diskBox = u"Data Disk Error: "_s + (code == 70 ? writeProtected : kDiskette);
        EXPECT_EQ(f.boxes(), QStringList{dataDisk ? diskBox : u"ORV-Juvenile: Error 6:fault"_s});
        EXPECT_EQ(f.messages.shown.value(0).buttons, dataDisk ? Buttons::OkCancel : Buttons::Ok);
        EXPECT_EQ(loads, dataDisk ? 2 : 1);
        EXPECT_EQ(f.menu.isVisible(), dataDisk);
        EXPECT_EQ(f.state.clients.clientCount, dataDisk ? 2 : 0);
        EXPECT_EQ(visibleSplash(), nullptr);
    }
}

// The end after a retry leaves no hourglass behind.
TEST(Startup, WithoutAConfigurationTheDisketteBoxAsksUntilCancel) {
    Start f;
    fs::remove(f.dir / ConfigFile::kFileName); // FilePath "a:": a drive letter names no folder here
    f.messages.answerNext(Answer::Ok);
    f.messages.answerNext(Answer::Cancel);
    EXPECT_EQ(f.run(), StartupSequence::Outcome::Ended);
    EXPECT_EQ(f.boxes(), QStringList(2, u"Data Disk Error: "_s + kDiskette));
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

#ifndef Q_OS_WIN
bool othersMayEnter(const QFileInfo& folder) {
    return (folder.permissions() & (QFile::ReadGroup | QFile::WriteGroup | QFile::ExeGroup |
                                    QFile::ReadOther | QFile::WriteOther | QFile::ExeOther)) !=
           QFile::Permissions();
}

// Another local user got there first: a held lock and a listening socket under the names the
// program once used in the temporary folder, and a runtime folder that others may enter. None
// of them stops a start, and the program's lock and socket are in a folder of its own user.
TEST(Startup, LocksAndSocketsOfOthersDoNotStopAStart) {
    Start f({"Ann"});
    const QString key = SingleInstance::keyFor(f.state.paths.home);
    QLockFile planted(QDir(QDir::tempPath()).filePath(key + u".lock"_s));
    ASSERT_TRUE(planted.tryLock(0));
    QLocalServer squatter;
    QLocalServer::removeServer(key);
    ASSERT_TRUE(squatter.listen(key));
    test::TempFolder shared;
    fs::permissions(shared.path(), fs::perms::all);
    const QByteArray runtimeBefore = qgetenv("XDG_RUNTIME_DIR");
    qputenv("XDG_RUNTIME_DIR", QByteArray::fromStdString(shared.path().string()));

    EXPECT_EQ(f.run(), StartupSequence::Outcome::Started);
    EXPECT_TRUE(f.menu.isVisible());
    const QFileInfo folder(SingleInstance::runtimeFolder());
    EXPECT_TRUE(fs::is_empty(shared.path())) << "a runtime folder others may enter is not used";
    EXPECT_TRUE(QFileInfo::exists(folder.filePath() + u"/"_s + key + u".lock"_s));
    EXPECT_FALSE(othersMayEnter(folder));

    if (runtimeBefore.isNull()) {
        qunsetenv("XDG_RUNTIME_DIR");
    } else {
        qputenv("XDG_RUNTIME_DIR", runtimeBefore);
    }
}

// The runtime folder: $XDG_RUNTIME_DIR/orvj when that folder is this user's alone; else the
// first name in the temporary folder that is not another's: a link, a file or another user's
// folder is passed over, never followed or opened up.
TEST(Startup, TheRuntimeFolderIsTheUsersOwnAndPrivate) {
    test::TempFolder xdg;
    fs::permissions(xdg.path(), fs::perms::owner_all);
    const QString xdgDir = QString::fromStdString(xdg.path().string());
    test::TempFolder tmp;
    fs::permissions(tmp.path(), fs::perms::all | fs::perms::sticky_bit);
    const QString tmpDir = QString::fromStdString(tmp.path().string());
    EXPECT_EQ(SingleInstance::runtimeFolder(xdgDir, tmpDir), xdgDir + u"/orvj"_s);
    EXPECT_FALSE(othersMayEnter(QFileInfo(xdgDir + u"/orvj"_s)));

    const std::string user = platform::userId();
    const fs::path base = tmp.path() / ("orvj-" + user);
    test::TempFolder elsewhere;
    const fs::perms elsewhereMode = fs::status(elsewhere.path()).permissions();
    fs::create_directory_symlink(elsewhere.path(), base);
    test::writeFile(tmp.path() / ("orvj-" + user + "-1"), "");
    std::string expected = "orvj-" + user + "-2";
    // A folder of another user under the next name, where this test may give up its rights.
    if (testplatform::childProcessesAvailable() && user == "0") {
        const fs::path theirs = tmp.path() / expected;
        testplatform::Child other([&] {
            return testplatform::becomeUnprivileged() && fs::create_directory(theirs) ? 0 : 1;
        });
        if (other.wait() == 0) {
            expected = "orvj-" + user + "-3";
        }
    }
    const QString chosen = SingleInstance::runtimeFolder(QString(), tmpDir);
    EXPECT_EQ(chosen.toStdString(), (tmp.path() / expected).string());
    const QFileInfo info(chosen);
    EXPECT_FALSE(info.isSymLink());
    EXPECT_EQ(QString::number(info.ownerId()).toStdString(), user);
    EXPECT_FALSE(othersMayEnter(info));
    EXPECT_TRUE(fs::is_empty(elsewhere.path()));
    EXPECT_EQ(fs::status(elsewhere.path()).permissions(), elsewhereMode)
        << "the link's target keeps its mode";
}
#endif

#ifdef ORVJ_BINARY
// The program run to its end without a display, one run per row. Help is answered before any
// window system is touched, so it runs on the xcb platform, which cannot start here.
TEST(Program, CommandLineOptionsAndRefusals) {
    const QString folder = QFileInfo(QStringLiteral(ORVJ_BINARY)).absolutePath();
    const struct {
        QStringList args;
        int exitCode;
        QString output; // on stdout when the run succeeds, else on stderr
    } rows[] = {
        // The build folder holds ORVJTest.ini: help names it as the program folder in use.
        {{u"--help"_s}, 0, u"Program folder: "_s + folder + u" (the program's own folder"_s},
        {{u"--home"_s, u"/nonexistent/a"_s}, 2, u"\"/nonexistent/a\" does not exist"_s},
        {{u"--home=/nonexistent/a"_s}, 2, u"\"/nonexistent/a\" does not exist"_s},
        {{u"--home=/nonexistent/b"_s, u"--help"_s},
         0,
         u"Program folder: /nonexistent/b (given with --home)"_s},
        {{u"--home="_s}, 2, u"orvj: --home needs the program folder after it"_s},
        {{u"--home"_s, QString()}, 2, u"orvj: --home needs the program folder after it"_s},
        {{u"--home"_s}, 2, u"orvj: --home needs the program folder after it"_s},
        {{u"--home=/a"_s, u"--home"_s, u"/a"_s}, 2, u"orvj: --home is given more than once"_s},
        {{u"--frobnicate"_s}, 2, u"unknown argument \"--frobnicate\""_s},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.args.join(u' ').toStdString());
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        for (const QString& name : {u"ORVJ_HOME"_s, u"DISPLAY"_s, u"WAYLAND_DISPLAY"_s}) {
            env.remove(name);
        }
        env.insert(u"QT_QPA_PLATFORM"_s, row.exitCode == 0 ? u"xcb"_s : u"offscreen"_s);
        QProcess p;
        p.setProcessEnvironment(env);
        p.start(QStringLiteral(ORVJ_BINARY), row.args);
        ASSERT_TRUE(p.waitForFinished(15000));
        EXPECT_EQ(p.exitCode(), row.exitCode);
        const QString output = QString::fromUtf8(row.exitCode == 0 ? p.readAllStandardOutput()
                                                                   : p.readAllStandardError());
        EXPECT_TRUE(output.contains(row.output)) << output.toStdString();
    }
}
#endif

} // namespace
