#include "app/CommandLine.h"
#include "app/SingleInstance.h"

#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <QUuid>
#include <gtest/gtest.h>

#include <filesystem>

using namespace orvj;
namespace fs = std::filesystem;
using Action = CommandLine::Action;

namespace {

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

TEST(SingleInstance, OneClaimPerFolderUntilItEnds) {
    QTemporaryDir a;
    QTemporaryDir b;
    const fs::path pa = a.path().toStdString();
    EXPECT_EQ(SingleInstance::keyFor(pa), SingleInstance::keyFor(pa / "sub" / ".."));
    EXPECT_NE(SingleInstance::keyFor(pa), SingleInstance::keyFor(b.path().toStdString()));

    const QString key = QStringLiteral("orvj-test-") + QUuid::createUuid().toString();
    {
        SingleInstance first(key);
        ASSERT_EQ(first.claim(), SingleInstance::Result::First);
        SingleInstance elsewhere(key + QStringLiteral("-other"));
        EXPECT_EQ(elsewhere.claim(), SingleInstance::Result::First);
    }
    SingleInstance next(key);
    EXPECT_EQ(next.claim(), SingleInstance::Result::First);
}

#ifdef ORVJ_BINARY
struct Outcome {
    int exitCode;
    QString out, err;
};

// Runs the program to its end without a display.
Outcome runProgram(const QStringList& args, const char* platform = "offscreen") {
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.remove(QStringLiteral("ORVJ_HOME"));
    env.remove(QStringLiteral("DISPLAY"));
    env.remove(QStringLiteral("WAYLAND_DISPLAY"));
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QString::fromLatin1(platform));
    QProcess p;
    p.setProcessEnvironment(env);
    p.start(QStringLiteral(ORVJ_BINARY), args);
    const int code = p.waitForFinished(15000) ? p.exitCode() : -1;
    return {code, QString::fromUtf8(p.readAllStandardOutput()),
            QString::fromUtf8(p.readAllStandardError())};
}

TEST(Program, HelpVersionAndAMissingProgramFolder) {
    // The xcb platform cannot start here: --help and --version must not need it.
    const Outcome help = runProgram({QStringLiteral("--help")}, "xcb");
    EXPECT_EQ(help.exitCode, 0);
    EXPECT_TRUE(help.out.contains(QStringLiteral("Usage: orvj")));
    // The build folder holds ORVJTest.ini: --help names it as the program folder in use.
    EXPECT_TRUE(help.out.contains(QStringLiteral("Program folder: ") +
                                  QFileInfo(QStringLiteral(ORVJ_BINARY)).absolutePath() +
                                  QStringLiteral(" (the program's own folder")))
        << help.out.toStdString();
    const Outcome version = runProgram({QStringLiteral("--version")}, "xcb");
    EXPECT_EQ(version.exitCode, 0);
    EXPECT_TRUE(version.out.contains(QStringLiteral("v3.01")));
    const Outcome missing =
        runProgram({QStringLiteral("--home"), QStringLiteral("/nonexistent/orvj")});
    EXPECT_EQ(missing.exitCode, 2);
    EXPECT_TRUE(missing.err.contains(QStringLiteral("/nonexistent/orvj")));
}
#endif

} // namespace
