#pragma once

#include "core/ClientTable.h"
#include "scoring/ClientScores.h"
#include "scoring/CriticalCases.h"

#include <array>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace orvj {

struct ScoringTables;

// A test date as the record holds it (mm/dd/yyyy), as yyyymmdd for comparing; nothing when
// the text is not such a date.
std::optional<int> testDateKey(std::string_view text);

// The clients of one scale in one group: how many fall in each risk range, how many were not
// scored, and their percentiles for the median.
struct ScaleCount {
    // LOW, MEDIUM, PROBLEM, MAXIMUM in that order, as the report names them.
    std::array<int, 4> ranges{};
    int notScored = 0;
    std::vector<int> percentiles; // of the scored clients, in the order they were counted

    // The median percentile of the scored clients (the mean of the two middle ones for an
    // even count); nothing when none was scored.
    std::optional<double> median() const;
};

// The counts of one group of clients (all, one sex, one race).
struct GroupCount {
    int clients = 0;
    int complete = 0;                    // valid, every item answered
    int incomplete = 0;                  // valid, some item unanswered
    int invalid = 0;                     // Truthfulness 95 or more
    int critical = 0;                    // flagged by the office's rule
    std::array<ScaleCount, 10> scales{}; // index = scale number 1..9
};

// The office's figures over one or more client files. Every client is scored as its report
// is (ScaleScorer), so that the figures agree with the reports client by client.
class OfficeStatistics {
public:
    // Test dates from `since` to `until` (yyyymmdd, inclusive; nothing: open). With either
    // bound, a record whose date cannot be read is left out.
    struct Filter {
        std::optional<int> since;
        std::optional<int> until;
        bool admits(std::string_view testDate) const;
    };

    OfficeStatistics(const ScoringTables& tables, CriticalRule rule, Filter filter = {})
        : m_tables(tables), m_rule(rule), m_filter(filter) {}

    // Counts clients 1..clientCount of one client file; `source` names it in the notes about
    // records that could not be scored.
    void addTable(const ClientTable& clients, const std::string& source);
    // One client with its scores.
    void add(const ClientRecord& record, const ClientScores& scores);

    const GroupCount& total() const { return m_total; }
    // By sex code and by race code (the record's digit; -1 for a field that is no digit).
    const std::map<int, GroupCount>& bySex() const { return m_bySex; }
    const std::map<int, GroupCount>& byRace() const { return m_byRace; }
    int outsideDates() const { return m_outsideDates; }
    // Records that could not be scored, with why: left out of every count.
    const std::vector<std::string>& notes() const { return m_notes; }

private:
    const ScoringTables& m_tables;
    CriticalRule m_rule;
    Filter m_filter;
    GroupCount m_total;
    std::map<int, GroupCount> m_bySex;
    std::map<int, GroupCount> m_byRace;
    int m_outsideDates = 0;
    std::vector<std::string> m_notes;
};

// The risk range of a scale as the report and the scores export name it: "LOW", "MEDIUM",
// "PROBLEM", "MAXIMUM", or "NOT SCORED" when too many items were omitted.
std::string riskOf(const ClientScores& scores, int scale);

// True when every one of the 143 answers is given.
bool answersComplete(const ClientRecord& record);

// The figures as text for the terminal and as comma-separated values (one row per group and
// scale, CR LF line ends), with the sex and race labels of the report.
std::string statisticsText(const OfficeStatistics& stats);
std::string statisticsCsv(const OfficeStatistics& stats);

// A group's name in the text and the CSV: "ALL CLIENTS", "SEX: MALE", "RACE: WHITE" ...
std::string sexGroupName(int code);
std::string raceGroupName(int code);

} // namespace orvj
