// The audit trail's words and record lists, which the core-only build also needs.
#include "store/AuditTrail.h"

#include <algorithm>
#include <array>

namespace orvj {
namespace {

constexpr std::array<std::string_view, 19> kEventNames = {
    "client added",
    "client edited",
    "test stored",
    "verification corrections",
    "test aborted",
    "names deleted",
    "data folder switched",
    "data folder started",
    "inventory files installed",
    "voice files installed",
    "secret code changed",
    "report viewed",
    "report printed",
    "report saved as PDF",
    "CSV exported",
    "backup made",
    "backup restored",
    "change failed",
    "trail resumed",
};

} // namespace

std::vector<std::string_view> splitAuditText(std::string_view line, char sep) {
    std::vector<std::string_view> parts;
    std::size_t from = 0;
    for (;;) {
        const std::size_t at = line.find(sep, from);
        parts.push_back(line.substr(from, at == std::string_view::npos ? at : at - from));
        if (at == std::string_view::npos) {
            return parts;
        }
        from = at + 1;
    }
}

std::string_view auditEventName(AuditEvent event) {
    return kEventNames.at(static_cast<std::size_t>(event));
}

bool AuditLine::mentionsRecord(int record) const {
    for (std::string_view part : splitAuditText(records, ',')) {
        while (!part.empty() && part.front() == ' ') {
            part.remove_prefix(1);
        }
        const auto dash = part.find('-');
        const auto number = [](std::string_view s) {
            int v = 0;
            for (char c : s) {
                if (c < '0' || c > '9' || v > 1000) {
                    return -1;
                }
                v = v * 10 + (c - '0');
            }
            return s.empty() ? -1 : v;
        };
        if (dash == std::string_view::npos) {
            if (number(part) == record) {
                return true;
            }
        } else if (number(part.substr(0, dash)) <= record &&
                   record <= number(part.substr(dash + 1)) && number(part.substr(0, dash)) >= 0) {
            return true;
        }
    }
    return false;
}

std::string recordList(const std::vector<int>& records) {
    std::vector<int> sorted = records;
    std::sort(sorted.begin(), sorted.end());
    sorted.erase(std::unique(sorted.begin(), sorted.end()), sorted.end());
    std::string out;
    for (std::size_t i = 0; i < sorted.size();) {
        std::size_t j = i;
        while (j + 1 < sorted.size() && sorted[j + 1] == sorted[j] + 1) {
            ++j;
        }
        out += (out.empty() ? "" : ", ") + std::to_string(sorted[i]);
        if (j > i) {
            out += "-" + std::to_string(sorted[j]);
        }
        i = j + 1;
    }
    return out;
}

} // namespace orvj
