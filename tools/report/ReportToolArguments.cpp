#include "tools/report/ReportToolArguments.h"

#include "scoring/RetestComparison.h"
#include "store/ProgramFolder.h"
#include "tools/report/StatsCommands.h"

#include <algorithm>
#include <stdexcept>

namespace orvj {
namespace {

using Command = ReportToolOptions::Command;

// Plain decimal digits only: no sign, no spaces, nothing after them.
int parseNumber(const std::string& text, const std::string& what) {
    const bool digits = !text.empty() && text.size() <= 9 &&
                        text.find_first_not_of("0123456789") == std::string::npos;
    if (!digits) {
        throw std::invalid_argument(what + " must be a record number in plain digits, not \"" +
                                    text + "\"");
    }
    return std::stoi(text);
}

ReportOption parseReportOption(const std::string& text) {
    if (text == "standard" || text == "0") {
        return ReportOption::Standard;
    }
    if (text == "one-page" || text == "1") {
        return ReportOption::OnePage;
    }
    if (text == "both" || text == "2") {
        return ReportOption::Both;
    }
    throw std::invalid_argument("--option must be standard, one-page or both, not \"" + text +
                                "\"");
}

// The commands, for the messages that ask for one of them.
constexpr const char* kCommands =
    "--client N, --all, --list, --scores, --stats, --compare ID, --audit or --backups";

void setCommand(ReportToolOptions& o, Command c, const std::string& arg) {
    if (o.command != Command::None && o.command != c) {
        throw std::invalid_argument(std::string("choose one of ") + kCommands + " (" + arg +
                                    " given after another)");
    }
    o.command = c;
}

bool isDate(const std::string& s) {
    if (s.size() != 10 || s[4] != '-' || s[7] != '-') {
        return false;
    }
    for (std::size_t k : {0, 1, 2, 3, 5, 6, 8, 9}) {
        if (s[k] < '0' || s[k] > '9') {
            return false;
        }
    }
    return true;
}

// One option of the command line: its name, whether a value follows it, and what it sets.
struct Argument {
    const char* name;
    bool takesValue;
    void (*apply)(ReportToolOptions& o, const std::string& value);
};

const Argument kArguments[] = {
    {"--client", true,
     [](ReportToolOptions& o, const std::string& v) {
         setCommand(o, Command::Client, "--client");
         o.client = parseNumber(v, "--client");
     }},
    {"--all", false,
     [](ReportToolOptions& o, const std::string&) { setCommand(o, Command::All, "--all"); }},
    {"--list", false,
     [](ReportToolOptions& o, const std::string&) { setCommand(o, Command::List, "--list"); }},
    {"--scores", false,
     [](ReportToolOptions& o, const std::string&) { setCommand(o, Command::Scores, "--scores"); }},
    {"--option", true,
     [](ReportToolOptions& o, const std::string& v) {
         o.reportOption = parseReportOption(v);
         o.reportOptionGiven = true;
     }},
    {"--pdf", true,
     [](ReportToolOptions& o, const std::string& v) { o.pdf = std::filesystem::path(v); }},
    {"--print", false, [](ReportToolOptions& o, const std::string&) { o.print = true; }},
    {"--csv", false, [](ReportToolOptions& o, const std::string&) { o.csv = true; }},
    {"--deidentified", false,
     [](ReportToolOptions& o, const std::string&) { o.deidentified = true; }},
    {"--responses", false, [](ReportToolOptions& o, const std::string&) { o.responses = true; }},
    {"--audit", false,
     [](ReportToolOptions& o, const std::string&) { setCommand(o, Command::Audit, "--audit"); }},
    {"--backups", false,
     [](ReportToolOptions& o, const std::string&) {
         setCommand(o, Command::Backups, "--backups");
     }},
    {"--verify", false, [](ReportToolOptions& o, const std::string&) { o.auditVerify = true; }},
    {"--record", true,
     [](ReportToolOptions& o, const std::string& v) {
         if (v.empty() || v.size() > 2 || v.find_first_not_of("0123456789") != std::string::npos ||
             std::stoi(v) < 1) {
             throw std::invalid_argument(
                 "--record must be a record number in plain digits, not \"" + v + "\"");
         }
         o.auditRecord = std::stoi(v);
     }},
    // Read for its command once all are known (see sinceFor).
    {"--since", true, [](ReportToolOptions& o, const std::string& v) { o.auditSince = v; }},
    {"--until", true,
     [](ReportToolOptions& o, const std::string& v) { o.until = parseDateArgument(v, "--until"); }},
    {"--stats", false,
     [](ReportToolOptions& o, const std::string&) { setCommand(o, Command::Stats, "--stats"); }},
    {"--compare", true,
     [](ReportToolOptions& o, const std::string& v) {
         setCommand(o, Command::Compare, "--compare");
         if (!comparableId(v)) {
             throw std::invalid_argument("--compare needs an ID number, not \"" + v + "\"");
         }
         o.compareId = v;
     }},
    {"--folder", true,
     [](ReportToolOptions& o, const std::string& v) { o.folders.emplace_back(v); }},
    {"--chart", false, [](ReportToolOptions& o, const std::string&) { o.chart = true; }},
};

// --since is a date of the trail (YYYY-MM-DD) with --audit, a test date with --stats.
void sinceFor(ReportToolOptions& o) {
    if (o.auditSince.empty() || o.command == Command::Audit) {
        if (!o.auditSince.empty() && !isDate(o.auditSince)) {
            throw std::invalid_argument("--since must be a date as YYYY-MM-DD, not \"" +
                                        o.auditSince + "\"");
        }
        return;
    }
    o.since = parseDateArgument(o.auditSince, "--since");
    o.auditSince.clear();
}

// The options that only go with some commands.
void checkCombinations(const ReportToolOptions& o) {
    if (o.command == Command::None) {
        throw std::invalid_argument(std::string("say what to do: ") + kCommands);
    }
    const bool reports = o.command == Command::Client || o.command == Command::All;
    if (!reports && (o.reportOptionGiven || o.print || (o.pdf && o.command != Command::Compare))) {
        throw std::invalid_argument("--option, --pdf and --print go with --client or --all "
                                    "(--pdf also with --compare)");
    }
    if (o.csv && o.command != Command::Scores && o.command != Command::Stats) {
        throw std::invalid_argument("--csv goes with --scores or --stats");
    }
    checkStatsArguments(o);
    if (o.deidentified && o.command != Command::Scores) {
        throw std::invalid_argument("--deidentified goes with --scores");
    }
    if (o.responses && !o.csv) {
        throw std::invalid_argument("--responses goes with --scores --csv");
    }
    if ((o.auditVerify || o.auditRecord > 0) && o.command != Command::Audit) {
        throw std::invalid_argument("--verify and --record go with --audit");
    }
    if (o.auditVerify && (o.auditRecord > 0 || !o.auditSince.empty())) {
        throw std::invalid_argument("--audit --verify checks the whole trail: leave out --record "
                                    "and --since");
    }
}

} // namespace

ReportToolOptions parseReportToolArguments(const std::vector<std::string>& args) {
    ReportToolOptions o;
    // An option given twice is a usage error: which one was meant is not ours to guess.
    std::vector<std::string> seen;
    for (std::size_t i = 0; i < args.size(); ++i) {
        if (takeHomeOption(args, i, o.home)) {
            continue;
        }
        const std::string& a = args[i];
        if (a.rfind("--", 0) == 0 && a != "--folder") {
            if (std::find(seen.begin(), seen.end(), a) != seen.end()) {
                throw std::invalid_argument(a + " is given more than once");
            }
            seen.push_back(a);
        }
        if (a == "--help" || a == "-h") {
            o.command = Command::Help;
            return o;
        }
        const auto* argument = std::find_if(std::begin(kArguments), std::end(kArguments),
                                            [&](const Argument& k) { return a == k.name; });
        if (argument == std::end(kArguments)) {
            throw std::invalid_argument("unknown argument \"" + a + "\"");
        }
        std::string value;
        if (argument->takesValue) {
            if (i + 1 >= args.size()) {
                throw std::invalid_argument(a + " needs a value");
            }
            value = args[++i];
        }
        argument->apply(o, value);
    }
    sinceFor(o);
    checkCombinations(o);
    return o;
}

} // namespace orvj
