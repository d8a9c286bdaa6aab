#include "scoring/CriticalCases.h"
#include "scoring/InventoryLoader.h"
#include "scoring/OfficeStatistics.h"
#include "scoring/ScaleScorer.h"
#include "scoring/Scales.h"
#include "store/ClientFile.h"
#include "store/ConfigFile.h"
#include "tests/scoring/InventoryFixture.h"
#ifdef ORVJ_HAVE_SODIUM
#include "tests/support/AuditLines.h"
#endif
#include "tools/report/ReportTool.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <map>
#include <sstream>

using namespace orvj;
using namespace orvj::testing;
using ::testing::HasSubstr;
namespace fs = std::filesystem;

namespace {

// The rows of comma-separated values with CR LF line ends; quoted fields may hold commas.
std::vector<std::vector<std::string>> rowsOf(const std::string& csv) {
    std::vector<std::vector<std::string>> rows(1);
    std::string field;
    bool quoted = false;
    for (std::size_t i = 0; i < csv.size(); ++i) {
        const char c = csv[i];
        if (quoted) {
            if (c == '"' && i + 1 < csv.size() && csv[i + 1] == '"') {
                field += '"';
                ++i;
            } else if (c == '"') {
                quoted = false;
            } else {
                field += c;
            }
        } else if (c == '"') {
            quoted = true;
        } else if (c == ',') {
            rows.back().push_back(std::move(field));
            field.clear();
        } else if (c == '\r' && i + 1 < csv.size() && csv[i + 1] == '\n') {
            rows.back().push_back(std::move(field));
            field.clear();
            rows.emplace_back();
            ++i;
        } else {
            field += c;
        }
    }
    rows.pop_back(); // after the last line end
    return rows;
}

std::size_t column(const std::vector<std::string>& header, const std::string& name) {
    return static_cast<std::size_t>(std::find(header.begin(), header.end(), name) - header.begin());
}

// A copy of the sample program folder and a second data folder beside it, as an office's
// earlier one, holding the sample clients once more with other test dates.
class StatsCommandTest : public ::testing::Test {
protected:
    TempFolder home;
    fs::path earlier = home.path() / "earlier";

    void SetUp() override {
        const fs::path sample = ORVJ_SAMPLE_HOME;
        ASSERT_TRUE(fs::exists(sample / "ORVJB.TXT")) << "the sample data set is not built";
        fs::copy(sample, home.path(), fs::copy_options::recursive);
        ClientTable clients;
        ClientFile(home.path() / "data" / ClientFile::kFileName).loadReadOnly(clients);
        ASSERT_GE(clients.clientCount, 5);
        for (int k = 1; k <= clients.clientCount; ++k) {
            clients.at(k).set(ClientRecord::Field::TestDate, k % 2 ? "03/15/2019" : "11/30/2020");
        }
        fs::create_directories(earlier);
        for (int k = 1; k <= clients.clientCount; ++k) {
            ClientFile(earlier / ClientFile::kFileName).writeRecord(clients, k);
        }
    }
    int run(std::vector<std::string> args, std::string& out, std::string& err) {
        args.insert(args.begin(), {"--home", home.path().string()});
        std::ostringstream o;
        std::ostringstream e;
        // The tools' folder, where orvj-report-print draws --pdf with --chart.
        const fs::path tools = fs::path(ORVJ_REPORT_BINARY).parent_path();
        const int status = runReportTool(parseReportToolArguments(args), tools, o, e);
        out = o.str();
        err = e.str();
        return status;
    }
    std::string run(std::vector<std::string> args) {
        std::string out;
        std::string err;
        EXPECT_EQ(run(std::move(args), out, err), 0) << err;
        return out;
    }
};

// The statistics count exactly what the scores export of the same folders shows: per scale
// and risk range, in all, by sex and by race, and the invalid tests.
TEST_F(StatsCommandTest, CountsAgreeWithTheScoresExportOfTheSameFolders) {
    // The scores export of both folders: the current one, then the earlier one as current.
    std::vector<std::vector<std::string>> scores = rowsOf(run({"--scores", "--csv"}));
    const std::string ini = readFile(home.path() / "ORVJTest.ini");
    writeFile(home.path() / "ORVJTest.ini", "[Path]\r\nFilePath=earlier\r\n");
    const auto second = rowsOf(run({"--scores", "--csv"}));
    writeFile(home.path() / "ORVJTest.ini", ini);
    scores.insert(scores.end(), second.begin() + 1, second.end());
    const auto& header = scores.front();

    // group -> scale -> range -> clients, and group -> invalid tests.
    std::map<std::string, std::map<std::string, std::map<std::string, int>>> expected;
    std::map<std::string, int> invalid;
    for (std::size_t r = 1; r < scores.size(); ++r) {
        const auto& row = scores[r];
        const std::string groups[] = {"ALL CLIENTS", "SEX: " + row[column(header, "sex label")],
                                      "RACE: " + row[column(header, "race label")]};
        for (const auto& group : groups) {
            invalid[group] += row[column(header, "validity")] == "invalid";
            for (const char* scale :
                 {"TRUTHFULNESS", "ANXIETY", "DEPRESSION", "ALCOHOL", "DRUGS", "STRESS COPING",
                  "SELF-ESTEEM", "DISTRESS", "FAMILY ISSUES"}) {
                ++expected[group][scale][row[column(header, std::string(scale) + " risk")]];
            }
        }
    }

    const auto stats = rowsOf(run({"--stats", "--csv", "--folder", earlier.string()}));
#ifdef ORVJ_HAVE_SODIUM
    EXPECT_EQ(test::auditLines(home.path() / "data" / ClientFile::kFileName).back(),
              "CSV exported | - | orvj-report --stats --csv");
#endif
    ASSERT_EQ(stats.front(),
              (std::vector<std::string>{"group", "clients", "complete", "incomplete", "invalid",
                                        "critical", "scale", "low", "medium", "problem", "maximum",
                                        "not scored", "median percentile"}));
    ASSERT_EQ(stats.size() - 1, expected.size() * 9);
    for (std::size_t r = 1; r < stats.size(); ++r) {
        const auto& row = stats[r];
        SCOPED_TRACE(row[0] + " " + row[6]);
        auto& ranges = expected.at(row[0]).at(row[6]);
        EXPECT_EQ(row[7], std::to_string(ranges["LOW"]));
        EXPECT_EQ(row[8], std::to_string(ranges["MEDIUM"]));
        EXPECT_EQ(row[9], std::to_string(ranges["PROBLEM"]));
        EXPECT_EQ(row[10], std::to_string(ranges["MAXIMUM"]));
        EXPECT_EQ(row[11], std::to_string(ranges["NOT SCORED"]));
        EXPECT_EQ(row[4], std::to_string(invalid.at(row[0])));
    }
}

// The critical column of the scores export follows the office's rule, read from the risk
// ranges the export itself shows; the statistics count the same clients.
TEST_F(StatsCommandTest, TheCriticalColumnFollowsTheOfficeRule) {
    const struct {
        CriticalRule rule;
        const char* name;
    } rules[] = {{CriticalRule{}, "default"},
                 {CriticalRule{0, 1, false}, "one problem"},
                 {CriticalRule{2, 0, true}, "two maximum or invalid"}};
    for (const auto& [rule, name] : rules) {
        SCOPED_TRACE(name);
        rule.write(ConfigFile(home.path() / "ORVJTest.ini"));
        const auto rows = rowsOf(run({"--scores", "--csv"}));
        const auto& header = rows.front();
        int flagged = 0;
        for (std::size_t r = 1; r < rows.size(); ++r) {
            const auto& row = rows[r];
            int maximum = 0;
            int problem = 0;
            for (int n = 2; n <= 9; ++n) {
                const std::string risk =
                    row[column(header, std::string(Scales::name(n)) + " risk")];
                maximum += risk == "MAXIMUM";
                problem += risk == "PROBLEM";
            }
            const bool expected =
                (rule.invalidTruthfulness && row[column(header, "validity")] == "invalid") ||
                (rule.maximumScales > 0 && maximum >= rule.maximumScales) ||
                (rule.problemScales > 0 && problem >= rule.problemScales);
            EXPECT_EQ(row[column(header, "critical")], expected ? "yes" : "no") << "row " << r;
            flagged += expected;
        }
        const auto stats = rowsOf(run({"--stats", "--csv"}));
        EXPECT_EQ(stats[1][5], std::to_string(flagged));
    }
}

// The dates keep only the tests between them, bounds included; a bad date or a statistics
// option with another command is a usage error.
TEST_F(StatsCommandTest, DatesChooseTheTestsCounted) {
    const auto all = rowsOf(run({"--stats", "--csv", "--folder", earlier.string()}));
    const auto only2019 = rowsOf(run({"--stats", "--csv", "--folder", earlier.string(), "--since",
                                      "2019-03-15", "--until", "12/31/2019"}));
    ClientTable clients;
    ClientFile(earlier / ClientFile::kFileName).loadReadOnly(clients);
    EXPECT_EQ(only2019[1][1], std::to_string((clients.clientCount + 1) / 2));
    EXPECT_NE(all[1][1], only2019[1][1]);
    EXPECT_THAT(run({"--stats", "--since", "03/16/2019", "--folder", earlier.string()}),
                HasSubstr("Outside the dates:"));

    EXPECT_THROW(parseReportToolArguments({"--stats", "--since", "2019-13-01"}),
                 std::invalid_argument);
    EXPECT_THROW(
        parseReportToolArguments({"--stats", "--since", "2020-01-01", "--until", "2019-01-01"}),
        std::invalid_argument);
    EXPECT_THROW(parseReportToolArguments({"--scores", "--folder", "x"}), std::invalid_argument);
    std::string out;
    std::string err;
    EXPECT_EQ(run({"--stats", "--folder", (home.path() / "missing").string()}, out, err), 1);
    EXPECT_THAT(err, HasSubstr("missing"));
}

#ifndef ORVJ_CORE_ONLY
// --chart adds a profile sheet after each report of the PDF, and needs a PDF or a printout.
TEST_F(StatsCommandTest, ChartAddsASheetPerReport) {
    const fs::path plain = home.path() / "plain.pdf";
    const fs::path chart = home.path() / "chart.pdf";
    run({"--all", "--pdf", plain.string()});
    run({"--all", "--pdf", chart.string(), "--chart"});
    ClientTable clients;
    ClientFile(home.path() / "data" / ClientFile::kFileName).loadReadOnly(clients);
    EXPECT_EQ(pdfPages(chart), pdfPages(plain) + clients.clientCount);
    run({"--client", "2", "--pdf", plain.string()});
    run({"--client", "2", "--pdf", chart.string(), "--chart"});
    EXPECT_EQ(pdfPages(chart), pdfPages(plain) + 1);
    EXPECT_THROW(parseReportToolArguments({"--client", "2", "--chart"}), std::invalid_argument);
}
#endif

// A youth tested in an earlier folder and again now: both tests in date order, whatever the
// order of the folders, with the change from the first to the last; a deleted name is left out;
// an ID with one test says so.
TEST_F(StatsCommandTest, CompareListsEachTestInDateOrderWithTheChange) {
    ClientTable now;
    ClientFile(home.path() / "data" / ClientFile::kFileName).loadReadOnly(now);
    ClientTable old;
    ClientFile(earlier / ClientFile::kFileName).loadReadOnly(old);
    const std::string id = now.at(2).trimmed(ClientRecord::Field::SSN);
    // The earlier test of the youth of record 2 had the answers of record 1.
    old.at(2).set(ClientRecord::Field::Responses,
                  std::string(now.at(1).field(ClientRecord::Field::Responses)));
    ClientFile(earlier / ClientFile::kFileName).writeRecord(old, 2);
    // Another record with the ID, its name deleted: not the same youth any more.
    old.at(3).set(ClientRecord::Field::SSN, id);
    old.at(3).set(ClientRecord::Field::NameDeleted, "1");
    ClientFile(earlier / ClientFile::kFileName).writeRecord(old, 3);

    const std::string text = run({"--compare", id, "--folder", earlier.string()});
    const std::size_t first =
        text.find(std::string(old.at(2).trimmed(ClientRecord::Field::TestDate)));
    const std::size_t second =
        text.find(std::string(now.at(2).trimmed(ClientRecord::Field::TestDate)));
    ASSERT_NE(first, std::string::npos) << text;
    ASSERT_NE(second, std::string::npos) << text;
    EXPECT_LT(first, second) << "the earlier test comes first";
    EXPECT_EQ(text.find("TEST 3"), std::string::npos) << "the deleted name is left out";

    const Inventory inventory = loadInventory(home.path());
    const ClientScores before = ScaleScorer(inventory.scoring).score(old.at(2), 2);
    const ClientScores after = ScaleScorer(inventory.scoring).score(now.at(2), 2);
    std::istringstream lines(text);
    std::string line;
    int scales = 0;
    while (std::getline(lines, line)) {
        for (int n = 1; n <= 9; ++n) {
            if (line.rfind(Scales::name(n), 0) != 0 || before.notScorable(n) ||
                after.notScorable(n)) {
                continue;
            }
            const int change = after.pct(n) - before.pct(n);
            EXPECT_THAT(line, HasSubstr(std::to_string(before.pct(n)) + " " +
                                        Scales::riskName(before.pct(n))));
            const std::string expected = (change > 0 ? "+" : "") + std::to_string(change);
            EXPECT_EQ(line.substr(54, expected.size()), expected) << line;
            ++scales;
        }
    }
    EXPECT_GE(scales, 7);

    std::string out;
    std::string err;
    EXPECT_EQ(run({"--compare", now.at(4).trimmed(ClientRecord::Field::SSN)}, out, err), 0);
    EXPECT_THAT(out, HasSubstr("Only one test"));

    // The earlier folder remembered in [Folders] is searched without --folder.
    ConfigFile(home.path() / "ORVJTest.ini").RememberFolder("earlier");
    EXPECT_EQ(run({"--compare", id}), text);
    EXPECT_EQ(run({"--compare", "NO-SUCH-ID"}, out, err), 1);
    EXPECT_THAT(err, HasSubstr("no test"));
}

TEST(OfficeStatistics, MediansAndTestDates) {
    ScaleCount odd;
    odd.percentiles = {70, 10, 40};
    EXPECT_EQ(odd.median(), 40.0);
    ScaleCount even;
    even.percentiles = {10, 45, 40, 99};
    EXPECT_EQ(even.median(), 42.5);
    EXPECT_FALSE(ScaleCount{}.median());

    EXPECT_EQ(testDateKey("01/02/2025"), 20250102);
    EXPECT_EQ(testDateKey("12/31/1999"), 19991231);
    EXPECT_FALSE(testDateKey("13/01/2025"));
    EXPECT_FALSE(testDateKey("1/2/2025"));
    EXPECT_FALSE(testDateKey(""));
    const OfficeStatistics::Filter from2020{20200101, std::nullopt};
    EXPECT_TRUE(from2020.admits("01/01/2020"));
    EXPECT_FALSE(from2020.admits("12/31/2019"));
    EXPECT_FALSE(from2020.admits("N"));
    EXPECT_TRUE(OfficeStatistics::Filter{}.admits("N"));
}

} // namespace
