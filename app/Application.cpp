#include "app/Application.h"

#include "app/AppServices.h"
#include "app/CommandLine.h"
#include "app/StartupSequence.h"
#include "app/frmMainMenu.h"
#include "core/AppState.h"
#include "store/ConfigFile.h"

#include <QApplication>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace orvj {
namespace {

std::vector<std::string> argumentsOf(const QStringList& list) {
    std::vector<std::string> args;
    for (qsizetype i = 1; i < list.size(); ++i) {
        args.push_back(list[i].toStdString());
    }
    return args;
}

} // namespace

int runApplication(int argc, char** argv) {
    // Answered before any window system is touched, so they work without a display.
    const std::vector<std::string> raw(argv + 1, argv + argc);
    if (asksForHelpOrVersion(raw)) {
        const CommandLine cmd = parseCommandLine(raw);
        const bool version = cmd.action == CommandLine::Action::Version;
        std::fputs(version ? versionText().c_str() : helpText().c_str(), stdout);
        return 0;
    }

    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("ORV-Juvenile"));
    QApplication::setApplicationVersion(QStringLiteral(ORVJ_VERSION));
    // The program ends through its own exit commands, not when a splash or dialog closes.
    QApplication::setQuitOnLastWindowClosed(false);

    const CommandLine cmd = parseCommandLine(argumentsOf(QApplication::arguments()));
    if (cmd.action == CommandLine::Action::Error) {
        std::fprintf(stderr, "orvj: %s\nTry \"orvj --help\".\n", cmd.error.c_str());
        return 2;
    }
    const std::filesystem::path home =
        chooseHome(cmd, std::getenv("ORVJ_HOME"), QApplication::applicationDirPath().toStdString());
    std::error_code ec;
    if (!std::filesystem::is_directory(home, ec)) {
        std::fprintf(stderr, "orvj: the program folder \"%s\" does not exist.\n",
                     home.string().c_str());
        return 2;
    }

    AppState state;
    state.paths.home = std::filesystem::weakly_canonical(home, ec);
    if (ec) {
        state.paths.home = home;
    }
    state.paths.configFile = state.paths.home / ConfigFile::kFileName;

    AppServices services(state);
    frmMainMenu mainMenu(state, services.services());
    QObject::connect(&mainMenu, &frmMainMenu::exitRequested, &app, &QCoreApplication::quit,
                     Qt::QueuedConnection);

    StartupSequence startup(state, services.services(), mainMenu);
    switch (startup.Run()) {
    case StartupSequence::Outcome::OtherInstance:
        std::fputs("ORV-Juvenile is already running from this program folder; its window was "
                   "brought to the front.\n",
                   stderr);
        return 0;
    case StartupSequence::Outcome::Ended:
        return 1;
    case StartupSequence::Outcome::Started:
        break;
    }
    return QApplication::exec();
}

} // namespace orvj
