#include "scoring/RetestComparison.h"

#include "scoring/OfficeStatistics.h"
#include "scoring/Scales.h"
#include "store/ClientFile.h"
#include "store/ConfigFile.h"
#include "store/OrvjError.h"

#include <algorithm>
#include <iomanip>
#include <sstream>

namespace orvj {
namespace {

constexpr int kColumn = 18;

std::string cell(const std::string& text) {
    return text.size() >= kColumn ? text.substr(0, kColumn - 1) + " "
                                  : text + std::string(kColumn - text.size(), ' ');
}

std::string trimmedId(std::string id) {
    const auto first = id.find_first_not_of(' ');
    if (first == std::string::npos) {
        return {};
    }
    return id.substr(first, id.find_last_not_of(' ') - first + 1);
}

} // namespace

bool comparableId(const std::string& id) {
    const std::string t = trimmedId(id);
    return !t.empty() && t != "N";
}

int RetestComparison::change(int scale) const {
    if (tests.empty()) {
        return 0;
    }
    return tests.back().profile.scores.pct(scale) - tests.front().profile.scores.pct(scale);
}

bool RetestComparison::changeKnown(int scale) const {
    return tests.size() >= 2 && !tests.front().profile.scores.notScorable(scale) &&
           !tests.back().profile.scores.notScorable(scale);
}

std::vector<std::pair<std::size_t, int>> findTests(const std::vector<SearchedTable>& files,
                                                   const std::string& id) {
    std::vector<std::pair<std::size_t, int>> found;
    const std::string wanted = trimmedId(id);
    if (!comparableId(wanted)) {
        return found;
    }
    std::vector<std::filesystem::path> seen;
    for (std::size_t i = 0; i < files.size(); ++i) {
        const SearchedTable& f = files[i];
        std::error_code ec;
        const std::filesystem::path same = std::filesystem::weakly_canonical(f.file, ec);
        const std::filesystem::path key = ec ? f.file : same;
        if (std::find(seen.begin(), seen.end(), key) != seen.end()) {
            continue;
        }
        seen.push_back(key);
        for (int k = 1; k <= f.table->clientCount; ++k) {
            const ClientRecord& r = f.table->at(k);
            if (r.trimmed(ClientRecord::Field::NameDeleted) != "1" &&
                trimmedId(r.trimmed(ClientRecord::Field::SSN)) == wanted) {
                found.emplace_back(i, k);
            }
        }
    }
    return found;
}

std::vector<std::filesystem::path> rememberedDataFolders(const std::filesystem::path& home,
                                                         const std::filesystem::path& config) {
    std::vector<std::filesystem::path> folders;
    for (const std::string& name : ConfigFile(config).ReadFolders()) {
        const std::filesystem::path folder = resolveConfiguredFolder(home, name);
        std::error_code ec;
        if (!folder.empty() &&
            std::filesystem::is_regular_file(folder / ClientFile::kFileName, ec)) {
            folders.push_back(folder);
        }
    }
    return folders;
}

RetestComparison compareRetests(const std::vector<SearchedTable>& files, const std::string& id,
                                const ScoringTables& tables) {
    RetestComparison c;
    c.id = trimmedId(id);
    for (const auto& [file, k] : findTests(files, id)) {
        const SearchedTable& f = files[file];
        try {
            c.tests.push_back({f.file, profileOf(f.table->at(k), k, tables)});
        } catch (const OrvjError& e) {
            c.notes.push_back(f.file.string() + ": " + e.what());
        }
    }
    // Undated tests last; equal dates keep the order found.
    std::stable_sort(c.tests.begin(), c.tests.end(), [](const auto& a, const auto& b) {
        const auto da = testDateKey(a.profile.testDate);
        const auto db = testDateKey(b.profile.testDate);
        return da && (!db || *da < *db);
    });
    return c;
}

std::string comparisonText(const RetestComparison& c) {
    std::ostringstream out;
    out << "RETEST COMPARISON  ID: " << c.id;
    if (!c.tests.empty()) {
        out << "  NAME: " << c.tests.back().profile.name;
    }
    out << "\n\n" << cell("");
    for (std::size_t t = 0; t < c.tests.size(); ++t) {
        out << cell("TEST " + std::to_string(t + 1));
    }
    out << "CHANGE\n" << cell("TEST DATE");
    for (const auto& t : c.tests) {
        out << cell(t.profile.testDate);
    }
    out << "\n" << cell("RECORD");
    for (const auto& t : c.tests) {
        out << cell(std::to_string(t.profile.record) + " in " +
                    t.file.parent_path().filename().string());
    }
    out << "\n";
    for (int n = 1; n <= Scales::kCount; ++n) {
        out << cell(Scales::name(n));
        for (const auto& t : c.tests) {
            const ClientScores& s = t.profile.scores;
            out << cell(s.notScorable(n) ? std::string("NOT SCORED")
                                         : std::to_string(s.pct(n)) + " " + riskOf(s, n));
        }
        if (c.changeKnown(n)) {
            const int d = c.change(n);
            out << (d > 0 ? "+" : "") << d;
            const ClientScores& first = c.tests.front().profile.scores;
            const ClientScores& last = c.tests.back().profile.scores;
            if (riskOf(first, n) != riskOf(last, n)) {
                out << " (" << riskOf(first, n) << " to " << riskOf(last, n) << ")";
            }
        } else {
            out << "-";
        }
        out << "\n";
    }
    for (const auto& t : c.tests) {
        if (t.profile.scores.invalid()) {
            out << "\nThe test of " << t.profile.testDate
                << " is invalid (Truthfulness 95 or more).";
        }
    }
    out << "\n";
    return out.str();
}

} // namespace orvj
