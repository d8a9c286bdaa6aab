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

} // namespace orvj
