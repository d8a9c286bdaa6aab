// The sample clients' reports, byte for byte, against files checked by hand line by line.
// After a reviewed change to the composer or the sample data, ORVJ_UPDATE_GOLDEN=1 rewrites
// them; review the difference before committing it.
#include "scoring/ReportWriter.h"
#include "store/ClientFile.h"
#include "tests/scoring/InventoryFixture.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <functional>

using namespace orvj;
using namespace orvj::testing;
using ::testing::HasSubstr;

namespace {

namespace fs = std::filesystem;

struct GoldenCase {
    int client;
    ReportOption option;
    const char* file;
};

void answer(ClientRecord& r, int first, int last, char code) {
    std::string answers(r.field(ClientRecord::Field::Responses));
    for (int item = first; item <= last; ++item) {
        answers[static_cast<std::size_t>(item - 1)] = code;
    }
    r.set(ClientRecord::Field::Responses, answers);
}

std::string firstDifference(const std::string& actual, const std::string& expected) {
    const auto a = reportLines(actual);
    const auto e = reportLines(expected);
    for (std::size_t i = 0; i < std::max(a.size(), e.size()); ++i) {
        const std::string al = i < a.size() ? a[i] : "<no line>";
        const std::string el = i < e.size() ? e[i] : "<no line>";
        if (al != el) {
            return "line " + std::to_string(i + 1) + ":\n  composed: \"" + al +
                   "\"\n  golden:   \"" + el + "\"";
        }
    }
    return "the line ends differ";
}

class GoldenReports : public ::testing::Test {
protected:
    TempFolder home;
    ClientTable clients;

    void SetUp() override {
        // A copy of the sample program folder: the build's own is never written.
        const fs::path sample = ORVJ_SAMPLE_HOME;
        ASSERT_TRUE(fs::exists(sample / "ORVJB.TXT")) << "the sample data set is not built";
        for (const auto& entry : fs::directory_iterator(sample)) {
            if (entry.is_regular_file() && entry.path().extension() != ".PRN" &&
                entry.path().filename().string().rfind("temp", 0) != 0) {
                fs::copy_file(entry.path(), home.path() / entry.path().filename());
            }
        }
        ClientFile(sample / "data" / ClientFile::kFileName).load(clients);
        ASSERT_GE(clients.clientCount, 5);
    }

    std::string compose(const GoldenCase& c) {
        ReportWriter writer(home.path());
        writer.writeReportFile(clients, c.client, c.option);
        return readFile(writer.reportPath());
    }
};

const GoldenCase kCases[] = {
    {2, ReportOption::Standard, "client2-standard.PRN"},
    {3, ReportOption::Standard, "client3-standard.PRN"},
    {4, ReportOption::Standard, "client4-standard.PRN"},
    {5, ReportOption::Standard, "client5-standard.PRN"},
    {1, ReportOption::OnePage, "client1-one-page.PRN"},
    {1, ReportOption::Both, "client1-both.PRN"},
    // Eleven treatment needs: the sixth row would be the summary's 59th line.
    {4, ReportOption::OnePage, "client4-one-page.PRN"},
};

TEST_F(GoldenReports, SampleClientsComposeExactlyAsReviewed) {
    const fs::path golden = fs::path(ORVJ_SOURCE_DIR) / "tests" / "scoring" / "golden";
    const bool update = std::getenv("ORVJ_UPDATE_GOLDEN") != nullptr;
    for (const auto& c : kCases) {
        const std::string report = compose(c);
        if (update) {
            writeFile(golden / c.file, report);
            continue;
        }
        const std::string expected = readFile(golden / c.file);
        EXPECT_TRUE(report == expected)
            << c.file << " differs at " << firstDifference(report, expected);
    }
}

// The cases the golden files stand for, so that a regenerated file still covers them.
TEST_F(GoldenReports, GoldenCasesCoverTheReportsThatMatter) {
    auto pages = [](const std::string& r) { return std::count(r.begin(), r.end(), '\f') + 1; };
    const std::string longReport = compose(kCases[0]);
    EXPECT_GT(pages(longReport), 2) << "a report longer than two pages";
    EXPECT_THAT(compose(kCases[1]), HasSubstr("       * These test results          0"));
    const std::string invalid = compose(kCases[2]);
    EXPECT_THAT(invalid, HasSubstr("TRUTHFULNESS EXPLANATION"));
    EXPECT_THAT(invalid, ::testing::Not(HasSubstr("SUMMARY PARAGRAPHS")));
    EXPECT_THAT(compose(kCases[3]), HasSubstr("**       Scale not scored, insufficient answers"));
    const std::string onePage = compose(kCases[4]);
    EXPECT_EQ(pages(onePage), 1);
    EXPECT_THAT(onePage, HasSubstr("OPTIONAL ONE-PAGE SUMMARY"));
    const std::string both = compose(kCases[5]);
    EXPECT_EQ(both, compose({1, ReportOption::Standard, ""}) + "\f\r\n" + onePage);
    EXPECT_EQ(pages(compose(kCases[6])), 2) << "a summary whose needs run past the sheet";
}

// The lines of each page of a report, the page header included. The form feed's own line
// end is no line of the next sheet.
std::vector<std::size_t> pageLengths(const std::string& report) {
    std::vector<std::size_t> lengths;
    std::size_t start = 0;
    for (;;) {
        const std::size_t ff = report.find('\f', start);
        std::string page = report.substr(start, ff == std::string::npos ? ff : ff - start);
        if (start > 0 && page.compare(0, 2, "\r\n") == 0) {
            page.erase(0, 2);
        }
        lengths.push_back(reportLines(page).size());
        if (ff == std::string::npos) {
            return lengths;
        }
        start = ff + 1;
    }
}

// Every report form of every sample client, and of each with the answers that make the
// longest blocks: all treatment needs (both columns full), social stressors unanswered,
// scales left unscorable. No page holds more than the 58 lines of a sheet; the one empty
// line after the social stressors is not counted.
TEST_F(GoldenReports, NoPageRunsPastItsSheet) {
    const std::vector<std::pair<const char*, std::function<void(ClientRecord&)>>> variants = {
        {"as stored", [](ClientRecord&) {}},
        {"stressors 136-143 unanswered", [](ClientRecord& r) { answer(r, 136, 143, '0'); }},
        {"every treatment need", [](ClientRecord& r) { answer(r, 121, 131, '1'); }},
        {"every need, no stressors",
         [](ClientRecord& r) {
             answer(r, 121, 131, '1');
             answer(r, 132, 143, '0');
         }},
        {"sections 2 and 3 unanswered", [](ClientRecord& r) { answer(r, 51, 120, '0'); }},
        {"every need, section 3 unanswered",
         [](ClientRecord& r) {
             answer(r, 76, 120, '0');
             answer(r, 121, 131, '1');
         }},
    };
    for (int k = 1; k <= clients.clientCount; ++k) {
        for (const auto& [name, change] : variants) {
            ClientTable table = clients;
            change(table.at(k));
            for (ReportOption option :
                 {ReportOption::Standard, ReportOption::OnePage, ReportOption::Both}) {
                const std::string report = ReportWriter(home.path()).composeText(table, k, option);
                const auto lengths = pageLengths(report);
                std::size_t start = 0;
                for (std::size_t page = 0; page < lengths.size(); ++page) {
                    const std::size_t ff = report.find('\f', start);
                    const bool stressors =
                        report.substr(start, ff - start).find("SOCIAL STRESSORS") !=
                        std::string::npos;
                    EXPECT_LE(lengths[page], stressors ? 59u : 58u)
                        << "client " << k << ", " << name << ", option " << static_cast<int>(option)
                        << ", page " << page + 1;
                    start = ff + 1;
                }
            }
        }
    }
}

} // namespace
