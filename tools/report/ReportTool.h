#pragma once

#include "core/ClientTable.h"
#include "core/ReportOption.h"
#include "store/ReportFolderLock.h"

#include <chrono>
#include <filesystem>
#include <iosfwd>
#include <optional>
#include <string>
#include <vector>

namespace orvj {

// orvj-report: reports from the command line, over the same code as the program's windows.
struct ReportToolOptions {
    enum class Command { None, Client, All, List, Scores, Stats, Compare, Help };
    Command command = Command::None;
    std::optional<std::filesystem::path> home;
    int client = 0;
    ReportOption reportOption = ReportOption::Standard;
    std::optional<std::filesystem::path> pdf;
    bool print = false;
    bool chart = false; // --chart: a profile chart sheet after each report of --pdf/--print
    bool csv = false;
    bool deidentified = false; // --scores without name and ID
    bool responses = false;    // --scores --csv with the 143 answer codes
    // --stats: earlier data folders beside the current one, and the test dates (yyyymmdd).
    std::vector<std::filesystem::path> folders;
    std::optional<int> since;
    std::optional<int> until;
    std::string compareId; // --compare: the youth's ID number
    // How long --client and --all wait for the program folder's report lock (no command-line
    // option: an office never needs another; tests shorten it).
    std::chrono::milliseconds lockWait = ReportFolderLock::kDefaultWait;
};

// Parses the arguments (without the program name). Throws std::invalid_argument with a message
// for the user when they make no sense.
ReportToolOptions parseReportToolArguments(const std::vector<std::string>& args);

const char* reportToolHelp();

// The client file of a data folder, loaded read only.
struct ClientData {
    std::filesystem::path file;
    ClientTable table;
};
// The current data folder's (FilePath in [Path] of the program folder's ORVJTest.ini).
ClientData loadClients(const std::filesystem::path& home);
// The one of `folder`. Throws OrvjError naming the file when it is missing or unreadable.
ClientData loadDataFolder(const std::filesystem::path& folder);

// Runs a parsed command. Returns the exit status; messages go to `out` and `err`. The program
// folder follows the programs' one rule (store/ProgramFolder), with `executableFolder` as the
// folder of this executable.
int runReportTool(const ReportToolOptions& options, const std::filesystem::path& executableFolder,
                  std::ostream& out, std::ostream& err);

} // namespace orvj
