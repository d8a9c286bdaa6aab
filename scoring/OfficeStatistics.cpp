#include "scoring/OfficeStatistics.h"

#include "scoring/CsvField.h"
#include "scoring/ScaleScorer.h"
#include "scoring/Scales.h"
#include "store/DemographicLabels.h"
#include "store/OrvjError.h"

#include <algorithm>
#include <cstdio>
#include <iomanip>
#include <sstream>

namespace orvj {
namespace {

constexpr std::array<const char*, 4> kRanges = {"LOW", "MEDIUM", "PROBLEM", "MAXIMUM"};

int rangeIndex(int percentile) {
    return percentile < 40 ? 0 : percentile < 70 ? 1 : percentile < 90 ? 2 : 3;
}

int codeOf(const ClientRecord& record, ClientRecord::Field field) {
    const std::string code = record.trimmed(field);
    return code.size() == 1 && code[0] >= '0' && code[0] <= '9' ? code[0] - '0' : -1;
}

std::string trimmed(std::string text) {
    return text.substr(0, text.find_last_not_of(' ') + 1);
}

std::string groupName(const char* what, int code, std::string (*label)(int)) {
    const std::string name = code < 0 ? std::string() : trimmed(label(code));
    return std::string(what) + ": " + (name.empty() ? "CODE " + std::to_string(code) : name);
}

void count(GroupCount& group, const ClientRecord& record, const ClientScores& scores,
           bool critical) {
    ++group.clients;
    if (scores.invalid()) {
        ++group.invalid;
    } else if (answersComplete(record)) {
        ++group.complete;
    } else {
        ++group.incomplete;
    }
    group.critical += critical ? 1 : 0;
    for (int n = 1; n <= Scales::kCount; ++n) {
        ScaleCount& scale = group.scales[static_cast<std::size_t>(n)];
        if (scores.notScorable(n)) {
            ++scale.notScored;
        } else {
            ++scale.ranges[static_cast<std::size_t>(rangeIndex(scores.pct(n)))];
            scale.percentiles.push_back(scores.pct(n));
        }
    }
}

std::string medianText(const ScaleCount& scale) {
    const auto median = scale.median();
    if (!median) {
        return "-";
    }
    char text[16];
    std::snprintf(text, sizeof text, *median == static_cast<int>(*median) ? "%.0f" : "%.1f",
                  *median);
    return text;
}

template <typename Each> void forEachGroup(const OfficeStatistics& stats, Each each) {
    each(std::string("ALL CLIENTS"), stats.total());
    for (const auto& [code, group] : stats.bySex()) {
        each(sexGroupName(code), group);
    }
    for (const auto& [code, group] : stats.byRace()) {
        each(raceGroupName(code), group);
    }
}

} // namespace

std::optional<int> testDateKey(std::string_view text) {
    while (!text.empty() && text.back() == ' ') {
        text.remove_suffix(1);
    }
    if (text.size() != 10 || text[2] != '/' || text[5] != '/') {
        return std::nullopt;
    }
    int parts[3] = {0, 0, 0};
    const std::size_t starts[3] = {0, 3, 6};
    const std::size_t widths[3] = {2, 2, 4};
    for (int p = 0; p < 3; ++p) {
        for (std::size_t i = 0; i < widths[p]; ++i) {
            const char c = text[starts[p] + i];
            if (c < '0' || c > '9') {
                return std::nullopt;
            }
            parts[p] = parts[p] * 10 + (c - '0');
        }
    }
    if (parts[0] < 1 || parts[0] > 12 || parts[1] < 1 || parts[1] > 31) {
        return std::nullopt;
    }
    return parts[2] * 10000 + parts[0] * 100 + parts[1];
}

std::optional<double> ScaleCount::median() const {
    if (percentiles.empty()) {
        return std::nullopt;
    }
    std::vector<int> sorted = percentiles;
    std::sort(sorted.begin(), sorted.end());
    const std::size_t mid = sorted.size() / 2;
    if (sorted.size() % 2 == 1) {
        return sorted[mid];
    }
    return (sorted[mid - 1] + sorted[mid]) / 2.0;
}

bool OfficeStatistics::Filter::admits(std::string_view testDate) const {
    if (!since && !until) {
        return true;
    }
    const auto key = testDateKey(testDate);
    return key && (!since || *key >= *since) && (!until || *key <= *until);
}

void OfficeStatistics::addTable(const ClientTable& clients, const std::string& source) {
    const ScaleScorer scorer(m_tables);
    for (int k = 1; k <= clients.clientCount; ++k) {
        const ClientRecord& record = clients.at(k);
        if (!m_filter.admits(record.field(ClientRecord::Field::TestDate))) {
            ++m_outsideDates;
            continue;
        }
        try {
            add(record, scorer.score(record, k));
        } catch (const OrvjError& e) {
            m_notes.push_back(source + ": " + e.what());
        }
    }
}

void OfficeStatistics::add(const ClientRecord& record, const ClientScores& scores) {
    const bool critical = m_rule.flags(scores);
    count(m_total, record, scores, critical);
    count(m_bySex[codeOf(record, ClientRecord::Field::Gender)], record, scores, critical);
    count(m_byRace[codeOf(record, ClientRecord::Field::Race)], record, scores, critical);
}

std::string riskOf(const ClientScores& scores, int scale) {
    return scores.notScorable(scale) ? std::string("NOT SCORED")
                                     : std::string(Scales::riskName(scores.pct(scale)));
}

bool answersComplete(const ClientRecord& record) {
    const std::string_view answers = record.field(ClientRecord::Field::Responses);
    return std::none_of(answers.begin(), answers.end(), [](char c) { return c < '1' || c > '9'; });
}

std::string sexGroupName(int code) {
    return groupName("SEX", code, DemographicLabels::sex);
}

std::string raceGroupName(int code) {
    return groupName("RACE", code, DemographicLabels::race);
}

std::string statisticsText(const OfficeStatistics& stats) {
    std::ostringstream out;
    forEachGroup(stats, [&](const std::string& name, const GroupCount& g) {
        out << name << "\n"
            << "  clients " << g.clients << ": complete " << g.complete << ", incomplete "
            << g.incomplete << ", invalid " << g.invalid << "; critical cases " << g.critical
            << "\n";
        out << "  " << std::left << std::setw(15) << "SCALE" << std::right;
        for (const char* range : kRanges) {
            out << std::setw(9) << range;
        }
        out << std::setw(12) << "NOT SCORED" << std::setw(8) << "MEDIAN"
            << "\n";
        for (int n = 1; n <= Scales::kCount; ++n) {
            const ScaleCount& s = g.scales[static_cast<std::size_t>(n)];
            out << "  " << std::left << std::setw(15) << Scales::name(n) << std::right;
            for (int r : s.ranges) {
                out << std::setw(9) << r;
            }
            out << std::setw(12) << s.notScored << std::setw(8) << medianText(s) << "\n";
        }
        out << "\n";
    });
    if (stats.outsideDates() > 0) {
        out << "Outside the dates: " << stats.outsideDates() << " records\n";
    }
    return out.str();
}

std::string statisticsCsv(const OfficeStatistics& stats) {
    std::ostringstream out;
    out << "group,clients,complete,incomplete,invalid,critical,scale,low,medium,problem,"
           "maximum,not scored,median percentile\r\n";
    forEachGroup(stats, [&](const std::string& name, const GroupCount& g) {
        for (int n = 1; n <= Scales::kCount; ++n) {
            const ScaleCount& s = g.scales[static_cast<std::size_t>(n)];
            out << csvField(name) << "," << g.clients << "," << g.complete << "," << g.incomplete
                << "," << g.invalid << "," << g.critical << "," << Scales::name(n);
            for (int r : s.ranges) {
                out << "," << r;
            }
            const std::string median = medianText(s);
            out << "," << s.notScored << "," << (median == "-" ? "" : median) << "\r\n";
        }
    });
    return out.str();
}

} // namespace orvj
