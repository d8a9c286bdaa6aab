#pragma once

#include "scoring/ProfileData.h"
#include "scoring/RetestComparison.h"
#include "tools/report/ReportTool.h"
#include "tools/report/ReportToolArguments.h"

#include <filesystem>
#include <functional>
#include <iosfwd>
#include <string>

namespace orvj {

// Throws std::invalid_argument when a statistics option goes with another command or the
// dates are the wrong way round.
void checkStatsArguments(const ReportToolOptions& o);

// A date given as mm/dd/yyyy or yyyy-mm-dd, as yyyymmdd. Throws std::invalid_argument naming
// the option.
int parseDateArgument(const std::string& text, const std::string& option);

// --compare ID: the retest comparison as text, and with --pdf as a PDF. One test only, or
// none, is said so (status 0 and 1).
int runComparison(const ReportToolOptions& o, const std::filesystem::path& home, std::ostream& out,
                  std::ostream& err, const std::function<void(const RetestComparison&)>& writePdf);
// The comparison of --compare ID over the current data folder, the remembered ones and the
// --folder ones. Its notes name what could not be read or scored.
RetestComparison findComparison(const ReportToolOptions& o, const std::filesystem::path& home);

// --chart: the profile pictures of `clients` (record numbers), scored with the program folder's
// inventory as their reports are. Nothing without --chart.
std::vector<ProfileData> chartProfiles(const ReportToolOptions& o,
                                       const std::filesystem::path& home, const ClientTable& table,
                                       const std::vector<int>& clients);

// --stats: the office's figures over the current data folder and the --folder ones, as text or
// with --csv as comma-separated values. Records that could not be scored are named on `err`
// (exit status 1) and counted nowhere, as --scores leaves them out.
int runStatistics(const ReportToolOptions& o, const std::filesystem::path& home, std::ostream& out,
                  std::ostream& err);

} // namespace orvj
