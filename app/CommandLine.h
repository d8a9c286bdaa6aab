#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace orvj {

// What the command line asks for. Qt's own options (-platform, -style, ...) are taken out by
// the application object before parseCommandLine sees the arguments.
struct CommandLine {
    enum class Action { Run, Help, Version, Error };
    Action action = Action::Run;
    std::optional<std::filesystem::path> home; // --home DIR
    std::string error;
};

// Arguments without the program name.
CommandLine parseCommandLine(const std::vector<std::string>& args);

// True when --help or --version is among the arguments: they are answered before any window
// system is touched.
bool asksForHelpOrVersion(const std::vector<std::string>& args);

// The help text; `folderLine` says which program folder the program would use.
std::string helpText(const std::string& folderLine);
std::string versionText();

} // namespace orvj
