#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace orvj {

// Where the program folder is, one rule for orvj, orvj-report and orvj-mkdata:
// --home DIR; else ORVJ_HOME when it is not empty; else the executable's folder when it holds
// ORVJTest.ini (a portable folder: the build tree, an office's folder on a Windows PC); else
// the per-user folder $XDG_DATA_HOME/orvj (by default ~/.local/share/orvj), which is laid out
// from the installed read-only template on its first use.
struct ProgramFolder {
    enum class Source { Option, Environment, Portable, PerUser };

    std::filesystem::path path;
    Source source = Source::Option;

    // How the folder was found, for --help ("--home", "ORVJ_HOME", ...).
    std::string reason() const;
};

// What the rule looks at. Tests fill it by hand; programFolderInputs reads the environment.
struct ProgramFolderInputs {
    std::optional<std::filesystem::path> option; // --home
    std::string envHome;                         // ORVJ_HOME
    std::filesystem::path executableFolder;
    std::string xdgDataHome; // XDG_DATA_HOME
    std::string userHome;    // HOME (USERPROFILE where HOME is not set)
};

// The program-folder option that orvj, orvj-report and orvj-mkdata share: "--home DIR" or
// "--home=DIR". When args[i] is that option, its value goes into `home` (i moves past a value
// given apart) and the result is true; any other argument is left alone. A missing or empty
// value, or a second --home, throws std::invalid_argument with the message for the user: a
// program folder the user did not name is not ours to guess.
bool takeHomeOption(const std::vector<std::string>& args, std::size_t& i,
                    std::optional<std::filesystem::path>& home);

ProgramFolderInputs programFolderInputs(std::optional<std::filesystem::path> option,
                                        std::filesystem::path executableFolder);

// Throws OrvjError when the per-user folder is the one and no home folder is known.
ProgramFolder chooseProgramFolder(const ProgramFolderInputs& in);

// $XDG_DATA_HOME/orvj when XDG_DATA_HOME is an absolute path, else HOME/.local/share/orvj;
// empty when neither is known.
std::filesystem::path perUserFolder(const ProgramFolderInputs& in);

// The read-only template of an install, found from the folder of the installed executables.
std::filesystem::path templateFolderFor(const std::filesystem::path& executableFolder);

// Lays the template out in `folder` when it holds no ORVJTest.ini: every file of the template
// that the folder lacks is copied, a file that exists is never overwritten, and the
// configuration file comes last, so that its presence means the layout is whole. Returns true
// when it laid the folder out. On a fault everything it made is removed again and OrvjError
// names the folder and the reason.
bool layOutProgramFolder(const std::filesystem::path& folder,
                         const std::filesystem::path& templateFolder);

// The rule, then the first-start layout when the per-user folder is chosen. `laidOut` is set
// when this call laid the folder out (the one start that tells the user about it).
ProgramFolder prepareProgramFolder(const ProgramFolderInputs& in, bool& laidOut);

// The line --help ends with: "Program folder: DIR (how it was found)", with a note when the
// per-user folder is not laid out yet.
std::string programFolderLine(const ProgramFolderInputs& in);

// Told once, after the first-start layout: where the folder is, and that it is sample content.
std::string firstStartNotice(const std::filesystem::path& folder);

} // namespace orvj
