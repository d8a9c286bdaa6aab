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
// Without a display the xcb platform cannot start: --help and --version must not need it.
void startProgram(QProcess& p, const QStringList& args, const char* platform = "offscreen") {
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.remove(QStringLiteral("ORVJ_HOME"));
    env.remove(QStringLiteral("DISPLAY"));
    env.remove(QStringLiteral("WAYLAND_DISPLAY"));
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QString::fromLatin1(platform));
    p.setProcessEnvironment(env);
    p.start(QStringLiteral(ORVJ_BINARY), args);
}

int exitCodeOf(QProcess& p) {
    return p.waitForFinished(15000) ? p.exitCode() : -1;
}

TEST(Program, HelpVersionAndAMissingProgramFolder) {
    for (const char* arg : {"--help", "--version"}) {
        QProcess p;
        startProgram(p, {QString::fromLatin1(arg)}, "xcb");
        EXPECT_EQ(exitCodeOf(p), 0) << arg;
        EXPECT_TRUE(QString::fromUtf8(p.readAllStandardOutput())
                        .contains(arg == std::string("--help") ? QStringLiteral("Usage: orvj")
                                                               : QStringLiteral("v3.01")));
    }
    // The build folder holds ORVJTest.ini: --help names it as the program folder in use.
    QProcess help;
    startProgram(help, {QStringLiteral("--help")});
    EXPECT_EQ(exitCodeOf(help), 0);
    const QString text = QString::fromUtf8(help.readAllStandardOutput());
    EXPECT_TRUE(text.contains(QStringLiteral("Program folder: ") +
                              QFileInfo(QStringLiteral(ORVJ_BINARY)).absolutePath() +
                              QStringLiteral(" (the program's own folder")))
        << text.toStdString();
    QProcess p;
    startProgram(p, {QStringLiteral("--home"), QStringLiteral("/nonexistent/orvj")});
    EXPECT_EQ(exitCodeOf(p), 2);
    EXPECT_TRUE(
        QString::fromUtf8(p.readAllStandardError()).contains(QLatin1String("/nonexistent/orvj")));
}
#endif

} // namespace
