#include "app/Application.h"

#include "app/AppServices.h"
#include "app/CommandLine.h"
#include "app/StartupSequence.h"
#include "app/frmMainMenu.h"
#include "core/AppState.h"
#include "store/ConfigFile.h"
#include "store/OrvjError.h"
#include "store/ProgramFolder.h"
#include "store/platform/File.h"
#include "ui/FormStyle.h"
#include "ui/MessageService.h"

#include <QApplication>

#include <cstdio>
#include <optional>
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
        if (cmd.action == CommandLine::Action::Version) {
            std::fputs(versionText().c_str(), stdout);
        } else {
            const auto inputs = programFolderInputs(cmd.home, platform::executableFolder(argv[0]));
            std::fputs(helpText(programFolderLine(inputs)).c_str(), stdout);
        }
        return 0;
    }

    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("ORV-Juvenile"));
    QApplication::setApplicationVersion(QStringLiteral(ORVJ_VERSION));
    QApplication::setDesktopFileName(QStringLiteral("org.orvj.ORVJuvenile"));
    // The program ends through its own exit commands, not when a splash or dialog closes.
    QApplication::setQuitOnLastWindowClosed(false);
    installFormStyle();

    const CommandLine cmd = parseCommandLine(argumentsOf(QApplication::arguments()));
    if (cmd.action == CommandLine::Action::Error) {
        std::fprintf(stderr, "orvj: %s\nTry \"orvj --help\".\n", cmd.error.c_str());
        return 2;
    }

    // The program folder; a per-user folder is laid out from the template on its first use.
    AppState state;
    bool laidOut = false;
    ProgramFolder folder;
    try {
        folder = prepareProgramFolder(
            programFolderInputs(cmd.home, platform::executableFolder(argv[0])), laidOut);
    } catch (const OrvjError& e) {
        std::fprintf(stderr, "orvj: %s\n", e.what());
        AppServices services(state);
        services.services().messages->show(
            nullptr, appTitle(), QStringLiteral("Error %1:%2").arg(e.code()).arg(errorText(e)),
            MessageService::Icon::None, MessageService::Buttons::Ok);
        return 1;
    }
    std::error_code ec;
    if (!std::filesystem::is_directory(folder.path, ec)) {
        std::fprintf(stderr, "orvj: the program folder \"%s\" does not exist.\n",
                     folder.path.string().c_str());
        return 2;
    }

    state.paths.home = std::filesystem::weakly_canonical(folder.path, ec);
    if (ec) {
        state.paths.home = folder.path;
    }
    state.paths.configFile = state.paths.home / ConfigFile::kFileName;

    // Made once the program folder is known: the report jobs work in it.
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
    if (laidOut) {
        services.services().messages->show(
            &mainMenu, appTitle(), QString::fromStdString(firstStartNotice(state.paths.home)),
            MessageService::Icon::Information, MessageService::Buttons::Ok);
    }
    return QApplication::exec();
}

} // namespace orvj
