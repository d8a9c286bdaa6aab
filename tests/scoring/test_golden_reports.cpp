// The sample clients' reports, byte for byte, against files checked by hand line by line.
// After a reviewed change to the composer or the sample data, ORVJ_UPDATE_GOLDEN=1 rewrites
// them; review the difference before committing it.
#include "scoring/ReportWriter.h"
#include "store/ClientFile.h"
#include "tests/scoring/InventoryFixture.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstdlib>

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
}

} // namespace
