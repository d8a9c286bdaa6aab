#pragma once

#include "tools/report/ReportToolArguments.h"

#include <cstddef>
#include <filesystem>
#include <iosfwd>
#include <string>
#include <vector>

namespace orvj {

// orvj-report's audit-trail and backup commands: --audit [--record N] [--since DATE],
// --audit --verify and --backups, and the lines the tool's own reports and exports add to
// the trail.

const char* auditHelp();

// Runs --audit or --backups on the data folder of the program folder `home`.
int runAuditCommand(const ReportToolOptions& o, const std::filesystem::path& home,
                    std::ostream& out, std::ostream& err);

// After a successful --client, --pdf, --print or --scores --csv: the trail's lines for it. A data
// folder that cannot be written (an archive on a read-only share) is noted and left as it
// is; any other fault gives exit status 1. Returns the status to exit with.
int recordReportEvent(const ReportToolOptions& o, const std::filesystem::path& home, int status,
                      std::ostream& err);

} // namespace orvj
