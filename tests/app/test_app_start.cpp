#include "app/CommandLine.h"
#include "app/SingleInstance.h"

#include <QLockFile>
#include <QProcess>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QUuid>
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

using namespace orvj;
namespace fs = std::filesystem;

namespace {

QString uniqueKey() {
    return QStringLiteral("orvj-test-") +
           QUuid::createUuid().toString(QUuid::WithoutBraces).left(12);
}

TEST(CommandLineParse, KnownOptions) {
    EXPECT_EQ(parseCommandLine({}).action, CommandLine::Action::Run);
    EXPECT_EQ(parseCommandLine({"--help"}).action, CommandLine::Action::Help);
    EXPECT_EQ(parseCommandLine({"--home", "/x", "--version"}).action, CommandLine::Action::Version);
    auto cmd = parseCommandLine({"--home", "/srv/orvj"});
    EXPECT_EQ(cmd.action, CommandLine::Action::Run);
    EXPECT_EQ(cmd.home, "/srv/orvj");
    EXPECT_EQ(parseCommandLine({"--home=/srv/a"}).home, "/srv/a");
}

TEST(CommandLineParse, BadArgumentsSayWhatIsWrong) {
    auto missing = parseCommandLine({"--home"});
    EXPECT_EQ(missing.action, CommandLine::Action::Error);
    EXPECT_NE(missing.error.find("--home"), std::string::npos);
    auto unknown = parseCommandLine({"--frobnicate"});
    EXPECT_EQ(unknown.action, CommandLine::Action::Error);
    EXPECT_NE(unknown.error.find("--frobnicate"), std::string::npos);
    EXPECT_EQ(parseCommandLine({"--home="}).action, CommandLine::Action::Error);
    EXPECT_TRUE(asksForHelpOrVersion({"-platform", "offscreen", "--version"}));
    EXPECT_FALSE(asksForHelpOrVersion({"--home", "x"}));
}

TEST(CommandLineParse, HomeComesFromOptionThenEnvironmentThenExecutable) {
    const fs::path exe = "/opt/orvj/bin";
    CommandLine none;
    EXPECT_EQ(chooseHome(none, nullptr, exe), exe);
    EXPECT_EQ(chooseHome(none, "", exe), exe);
    EXPECT_EQ(chooseHome(none, "/srv/env", exe), fs::path("/srv/env"));
    CommandLine opt = parseCommandLine({"--home", "/srv/opt/"});
    EXPECT_EQ(chooseHome(opt, "/srv/env", exe), fs::path("/srv/opt/"));
}

TEST(SingleInstanceKey, SameFolderSameKey) {
    QTemporaryDir a;
    QTemporaryDir b;
    const fs::path pa = a.path().toStdString();
    EXPECT_EQ(SingleInstance::keyFor(pa), SingleInstance::keyFor(pa / "."));
    EXPECT_EQ(SingleInstance::keyFor(pa), SingleInstance::keyFor(pa / "sub" / ".."));
    EXPECT_NE(SingleInstance::keyFor(pa), SingleInstance::keyFor(b.path().toStdString()));
}

TEST(SingleInstanceClaim, SecondAsksTheFirstToComeForward) {
    const QString key = uniqueKey();
    SingleInstance first(key);
    ASSERT_EQ(first.claim(), SingleInstance::Result::First);
    QSignalSpy asked(&first, &SingleInstance::activationRequested);

    SingleInstance second(key);
    EXPECT_EQ(second.claim(), SingleInstance::Result::OtherActivated);
    QTRY_COMPARE(asked.count(), 1);

    SingleInstance third(key);
    EXPECT_EQ(third.claim(), SingleInstance::Result::OtherActivated);
    QTRY_COMPARE(asked.count(), 2);
}

TEST(SingleInstanceClaim, TheKeyIsFreeAgainAfterTheFirstEnds) {
    const QString key = uniqueKey();
    {
        SingleInstance first(key);
        ASSERT_EQ(first.claim(), SingleInstance::Result::First);
    }
    SingleInstance next(key);
    EXPECT_EQ(next.claim(), SingleInstance::Result::First);
}

TEST(SingleInstanceClaim, DifferentFoldersRunSideBySide) {
    SingleInstance one(uniqueKey());
    SingleInstance two(uniqueKey());
    EXPECT_EQ(one.claim(), SingleInstance::Result::First);
    EXPECT_EQ(two.claim(), SingleInstance::Result::First);
}

#ifdef ORVJ_BINARY
QProcessEnvironment childEnvironment() {
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    env.remove(QStringLiteral("ORVJ_HOME"));
    return env;
}

TEST(Program, HelpAndVersionAnswerWithoutAWindowSystem) {
    for (const char* arg : {"--help", "--version"}) {
        QProcess p;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.remove(QStringLiteral("DISPLAY"));
        env.remove(QStringLiteral("WAYLAND_DISPLAY"));
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"));
        p.setProcessEnvironment(env);
        p.start(QStringLiteral(ORVJ_BINARY), {QString::fromLatin1(arg)});
        ASSERT_TRUE(p.waitForFinished(10000)) << arg;
        EXPECT_EQ(p.exitCode(), 0) << arg;
        const QString out = QString::fromUtf8(p.readAllStandardOutput());
        EXPECT_TRUE(out.contains(arg == std::string("--help") ? QStringLiteral("Usage: orvj")
                                                              : QStringLiteral("v3.01")))
            << out.toStdString();
    }
}

TEST(Program, AMissingProgramFolderIsRefused) {
    QProcess p;
    p.setProcessEnvironment(childEnvironment());
    p.start(QStringLiteral(ORVJ_BINARY),
            {QStringLiteral("--home"), QStringLiteral("/nonexistent/orvj")});
    ASSERT_TRUE(p.waitForFinished(10000));
    EXPECT_EQ(p.exitCode(), 2);
    EXPECT_TRUE(
        QString::fromUtf8(p.readAllStandardError()).contains(QStringLiteral("/nonexistent/orvj")));
}

TEST(Program, ASecondStartEndsAndLeavesTheFirstRunning) {
    QTemporaryDir dir;
    const fs::path home = dir.path().toStdString();
    fs::create_directories(home / "data");
    std::ofstream(home / "ORVJTest.ini") << "[Path]\nFilePath=data\n";

    QProcess first;
    first.setProcessEnvironment(childEnvironment());
    first.start(QStringLiteral(ORVJ_BINARY), {QStringLiteral("--home"), dir.path()});
    ASSERT_TRUE(first.waitForStarted(10000));
    // The first instance holds the lock of its folder once it is up.
    const QString lockPath =
        QDir(QDir::tempPath()).filePath(SingleInstance::keyFor(home) + QStringLiteral(".lock"));
    qint64 owner = 0;
    QTRY_VERIFY_WITH_TIMEOUT(
        [&] {
            QString host;
            QString app;
            QLockFile probe(lockPath);
            return probe.getLockInfo(&owner, &host, &app) && owner == first.processId();
        }(),
        10000);

    QProcess second;
    second.setProcessEnvironment(childEnvironment());
    second.start(QStringLiteral(ORVJ_BINARY), {QStringLiteral("--home"), dir.path()});
    ASSERT_TRUE(second.waitForFinished(15000));
    EXPECT_EQ(second.exitCode(), 0);
    EXPECT_TRUE(QString::fromUtf8(second.readAllStandardError())
                    .contains(QStringLiteral("already running")));
    EXPECT_EQ(first.state(), QProcess::Running);

    first.kill();
    first.waitForFinished(5000);
}
#endif

} // namespace
