#include "app/CommandLine.h"

#include "store/ProgramFolder.h"

#include <stdexcept>

namespace orvj {

bool asksForHelpOrVersion(const std::vector<std::string>& args) {
    for (const std::string& a : args) {
        if (a == "--") {
            break;
        }
        if (a == "--help" || a == "-h" || a == "--version" || a == "-v") {
            return true;
        }
    }
    return false;
}

CommandLine parseCommandLine(const std::vector<std::string>& args) {
    CommandLine cmd;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        if (a == "--help" || a == "-h") {
            cmd.action = CommandLine::Action::Help;
            return cmd;
        }
        if (a == "--version" || a == "-v") {
            cmd.action = CommandLine::Action::Version;
            return cmd;
        }
        try {
            if (takeHomeOption(args, i, cmd.home)) {
                continue;
            }
        } catch (const std::invalid_argument& e) {
            cmd.action = CommandLine::Action::Error;
            cmd.error = e.what();
            return cmd;
        }
        cmd.action = CommandLine::Action::Error;
        cmd.error = "unknown argument \"" + a + "\"";
        return cmd;
    }
    return cmd;
}

std::string helpText(const std::string& folderLine) {
    return "Usage: orvj [--home DIR]\n"
           "\n"
           "ORV-Juvenile: administers, scores and reports the ORV-Juvenile screening inventory.\n"
           "\n"
           "Options:\n"
           "  --home DIR   use DIR as the program folder: it holds the configuration file\n"
           "               ORVJTest.ini, the question bank ORVj32.db, the scoring and report\n"
           "               text files and REPORT.PRN\n"
           "  --help       show this help and end\n"
           "  --version    show the version and end\n"
           "\n"
           "The program folder is the one given with --home; else the one named by the\n"
           "environment variable ORVJ_HOME; else the folder of this program when it holds\n"
           "ORVJTest.ini; else the per-user folder $XDG_DATA_HOME/orvj (by default\n"
           "~/.local/share/orvj), which the first start lays out with sample content.\n"
           "\n"
           "The data folder that holds the client file DATA301.OVJ is set by FilePath in the\n"
           "[Path] section of ORVJTest.ini (absolute, or relative to the program folder).\n"
           "\n" +
           folderLine + "\n";
}

std::string versionText() {
    return std::string("ORV-Juvenile v3.01 (orvj ") + ORVJ_VERSION + ")\n";
}

} // namespace orvj
