#include "ui/AuditRecord.h"

#include "ui/MessageService.h"

#include <exception>

namespace orvj {

bool recordAudit(const std::filesystem::path& clientFile, MessageService& messages, QWidget* parent,
                 const AuditEntry& entry) {
    std::error_code ec;
    if (clientFile.empty() || !std::filesystem::is_directory(clientFile.parent_path(), ec)) {
        return false;
    }
    try {
        AuditTrail(clientFile).record(entry);
        return true;
    } catch (const std::exception& e) {
        messages.show(parent, appTitle(),
                      QStringLiteral("This was done, but the audit trail could not be written, "
                                     "so it is not recorded there: ") +
                          errorText(auditEventName(entry.event)) + QStringLiteral(".\n") +
                          errorText(e),
                      MessageService::Icon::Critical);
        return false;
    }
}

void recordReportRun(const std::filesystem::path& clientFile, MessageService& messages,
                     QWidget* parent, bool intoPdfFolder, const std::vector<int>& finished,
                     const std::string& run) {
    if (!finished.empty()) {
        recordAudit(clientFile, messages, parent,
                    {intoPdfFolder ? AuditEvent::ReportSavedAsPdf : AuditEvent::ReportPrinted,
                     recordList(finished), run});
    }
}

} // namespace orvj
