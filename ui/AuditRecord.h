#pragma once

#include "store/AuditTrail.h"

#include <filesystem>
#include <string>
#include <vector>

class QWidget;

namespace orvj {

class MessageService;

// Adds an event that changes no file (a report viewed, a test aborted, files installed) to
// the audit trail of the data folder of `clientFile`. What was done stands; a trail that
// cannot be written is told in an error box naming the trail and the reason. A data folder
// that is not there has no trail to write. Returns false when the line was not written.
bool recordAudit(const std::filesystem::path& clientFile, MessageService& messages, QWidget* parent,
                 const AuditEntry& entry);

// Records the reports a print run finished, also those before a fault stopped it: "report
// printed", or "report saved as PDF" for a run into a PDF folder. `run` says which run
// ("print all"). Nothing finished, nothing recorded.
void recordReportRun(const std::filesystem::path& clientFile, MessageService& messages,
                     QWidget* parent, bool intoPdfFolder, const std::vector<int>& finished,
                     const std::string& run);

} // namespace orvj
