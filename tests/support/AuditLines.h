#pragma once

#include "store/AuditTrail.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

namespace orvj::test {

// "event | records | detail" of each line of the audit trail beside `clientFile`, leaving
// out the first `skip` lines (those a fixture's own writes left) and the day's first backup,
// whose line names the time.
inline std::vector<std::string> auditLines(const std::filesystem::path& clientFile,
                                           std::size_t skip = 0) {
    std::vector<std::string> out;
    const AuditRead read = AuditTrail(clientFile).read();
    EXPECT_TRUE(read.check.intact) << read.check.problem;
    for (std::size_t k = skip; k < read.lines.size(); ++k) {
        const AuditLine& l = read.lines[k];
        if (l.event == "backup made") {
            continue;
        }
        out.push_back(l.event + " | " + l.records + " | " + l.detail);
    }
    return out;
}

inline std::size_t auditLineCount(const std::filesystem::path& clientFile) {
    return AuditTrail(clientFile).read().lines.size();
}

} // namespace orvj::test
