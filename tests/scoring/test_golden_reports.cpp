// The sample clients' reports, byte for byte, against files checked by hand line by line.
// After a reviewed change to the composer or the sample data, ORVJ_UPDATE_GOLDEN=1 rewrites
// them; review the difference before committing it.
#include "scoring/ReportWriter.h"
#include "store/ClientFile.h"
#include "tests/scoring/InventoryFixture.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstdlib>

using namespace orvj;
using namespace orvj::testing;

namespace {

namespace fs = std::filesystem;

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
        ClientFile(sample / "data" / ClientFile::kFileName).loadReadOnly(clients);
        ASSERT_GE(clients.clientCount, 5);
    }

    std::string compose(int client, ReportOption option) {
        ReportWriter writer(home.path());
        writer.writeReportFile(clients, client, option);
        return readFile(writer.reportPath());
    }
};

TEST_F(GoldenReports, SampleClientsComposeExactlyAsReviewed) {
    const struct {
        int client;
        ReportOption option;
        const char* file;
    } cases[] = {
        {2, ReportOption::Standard, "client2-standard.PRN"},
        {3, ReportOption::Standard, "client3-standard.PRN"},
        {4, ReportOption::Standard, "client4-standard.PRN"},
        {5, ReportOption::Standard, "client5-standard.PRN"},
        {1, ReportOption::OnePage, "client1-one-page.PRN"},
        {1, ReportOption::Both, "client1-both.PRN"},
        // Eleven treatment needs: the sixth row would be the summary's 59th line.
        {4, ReportOption::OnePage, "client4-one-page.PRN"},
    };
    const fs::path golden = fs::path(ORVJ_SOURCE_DIR) / "tests" / "scoring" / "golden";
    const bool update = std::getenv("ORVJ_UPDATE_GOLDEN") != nullptr;
    for (const auto& c : cases) {
        const std::string report = compose(c.client, c.option);
        if (update) {
            writeFile(golden / c.file, report);
            continue;
        }
        // A difference shows as a line diff of the two texts.
        EXPECT_EQ(report, readFile(golden / c.file)) << c.file;
    }
}

// Every report form of every sample client, and of each with the answers that make the
// longest blocks: all treatment needs (both columns full), social stressors unanswered,
// scales left unscorable. No page holds more than the 58 lines of a sheet, its header
// included; the one empty line after the social stressors is not counted, nor the form
// feed's own line end.
TEST_F(GoldenReports, NoPageRunsPastItsSheet) {
    // Items first..last given one code.
    const std::vector<std::pair<const char*, std::vector<std::array<int, 3>>>> variants = {
        {"as stored", {}},
        {"stressors 136-143 unanswered", {{136, 143, 0}}},
        {"every treatment need", {{121, 131, 1}}},
        {"every need, no stressors", {{121, 131, 1}, {132, 143, 0}}},
        {"sections 2 and 3 unanswered", {{51, 120, 0}}},
        {"every need, section 3 unanswered", {{76, 120, 0}, {121, 131, 1}}},
    };
    for (int k = 1; k <= clients.clientCount; ++k) {
        for (const auto& [name, changes] : variants) {
            ClientTable table = clients;
            for (const auto& [first, last, code] : changes) {
                setAnswers(table.at(k), first, last, code);
            }
            for (ReportOption option :
                 {ReportOption::Standard, ReportOption::OnePage, ReportOption::Both}) {
                const std::string report = ReportWriter(home.path()).composeText(table, k, option);
                for (std::size_t start = 0, page = 1; start <= report.size(); ++page) {
                    const std::size_t ff = std::min(report.find('\f', start), report.size());
                    std::string text = report.substr(start, ff - start);
                    if (start > 0 && text.starts_with("\r\n")) {
                        text.erase(0, 2);
                    }
                    const bool stressors = text.find("SOCIAL STRESSORS") != std::string::npos;
                    EXPECT_LE(reportLines(text).size(), stressors ? 59u : 58u)
                        << "client " << k << ", " << name << ", option " << static_cast<int>(option)
                        << ", page " << page;
                    start = ff + 1;
                }
            }
        }
    }
}

} // namespace
