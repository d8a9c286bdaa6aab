#pragma once

#include "core/ReportOption.h"
#include "store/ReportFolderLock.h"

#include <chrono>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace orvj {

// orvj-report's command line: one command and the options that go with it.
struct ReportToolOptions {
    enum class Command { None, Client, All, List, Scores, Stats, Compare, Help, Audit, Backups };
    Command command = Command::None;
    std::optional<std::filesystem::path> home;
    int client = 0;
    ReportOption reportOption = ReportOption::Standard;
    bool reportOptionGiven = false;
    std::optional<std::filesystem::path> pdf;
    bool print = false;
    bool chart = false; // --chart: a profile chart sheet after each report of --pdf/--print
    bool csv = false;
    bool deidentified = false; // --scores without name and ID
    bool responses = false;    // --scores --csv with the 143 answer codes
    bool auditVerify = false;  // --audit --verify
    int auditRecord = 0;       // --audit --record N
    std::string auditSince;    // --audit --since YYYY-MM-DD
    // --stats and --compare: earlier data folders beside the current one; --stats: the test
    // dates (yyyymmdd).
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

} // namespace orvj
