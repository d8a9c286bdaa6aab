#pragma once

#include "core/ClientTable.h"
#include "tools/report/ReportToolArguments.h"

#include <filesystem>
#include <iosfwd>

namespace orvj {

// orvj-report: reports from the command line, over the same code as the program's windows.

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
// folder of this executable, which also holds orvj-report-print for --pdf and --print.
int runReportTool(const ReportToolOptions& options, const std::filesystem::path& executableFolder,
                  std::ostream& out, std::ostream& err);

} // namespace orvj
