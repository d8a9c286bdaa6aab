#pragma once

#include "tools/report/ReportToolArguments.h"

#include <filesystem>
#include <iosfwd>

namespace orvj {

// orvj-report: reports from the command line, over the same code as the program's windows.
// Runs a parsed command. Returns the exit status; messages go to `out` and `err`. The program
// folder follows the programs' one rule (store/ProgramFolder), with `executableFolder` as the
// folder of this executable, which also holds orvj-report-print for --pdf and --print.
int runReportTool(const ReportToolOptions& options, const std::filesystem::path& executableFolder,
                  std::ostream& out, std::ostream& err);

} // namespace orvj
