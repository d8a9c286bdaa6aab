#pragma once

#include <filesystem>
#include <string>
#include <vector>

namespace orvj {

// What the command line asks for. Qt's own options (-platform, -style, ...) are taken out by
// the application object before parseCommandLine sees the arguments.
struct CommandLine {
    enum class Action { Run, Help, Version, Error };
    Action action = Action::Run;
    std::string home; // --home DIR
    std::string error;
};

// Arguments without the program name.
CommandLine parseCommandLine(const std::vector<std::string>& args);

// True when --help or --version is among the arguments: they are answered before any window
// system is touched.
bool asksForHelpOrVersion(const std::vector<std::string>& args);

std::string helpText();
std::string versionText();

// The program folder: --home, else a non-empty ORVJ_HOME, else the executable's folder.
std::filesystem::path chooseHome(const CommandLine& cmd, const char* envHome,
                                 const std::filesystem::path& executableFolder);

} // namespace orvj
