// The print runs shared by the supervisor's utilities and orvj-report --all: every report is
// parked in its copy before the first is printed, and a fault says what was printed.
#include "scoring/ReportJobs.h"
#include "scoring/ReportRuns.h"
#include "store/OrvjError.h"
#include "store/ReportFiles.h"
#include "tests/scoring/InventoryFixture.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

using namespace orvj;
using namespace orvj::testing;
using ::testing::ElementsAre;
using ::testing::HasSubstr;

namespace {

// Composes a one-line stand-in report and remembers what each print found in REPORT.PRN.
class FakeJobs : public ReportJobs {
public:
    explicit FakeJobs(std::filesystem::path home) : m_home(std::move(home)) {}

    void compose(const ClientTable&, int client, ReportOption option) override {
        if (client == failComposeOf) {
            throw OrvjError(ErrorCode::DeviceIO, "the disk is full");
        }
        ReportFiles::write(ReportFiles::reportFile(m_home), text(client, static_cast<int>(option)));
    }
    std::string readReportText() override { return readFile(ReportFiles::reportFile(m_home)); }
    void printReportFile() override {
        if (static_cast<int>(printed.size()) + 1 == failPrintNumber) {
            throw OrvjError(ErrorCode::DeviceIO, "the printer is out of paper");
        }
        printed.push_back(readReportText());
    }
    void saveReportPdf(const std::filesystem::path& pdfFile) override {
        saved.push_back(pdfFile.filename().string() + ": " + readReportText());
    }

    static std::string text(int client, int option) {
        return "client " + std::to_string(client) + " option " + std::to_string(option) + "\f";
    }

    int failComposeOf = 0;
    int failPrintNumber = 0;
    std::vector<std::string> printed;
    std::vector<std::string> saved;

private:
    std::filesystem::path m_home;
};

class ReportRunsTest : public ::testing::Test {
protected:
    TempFolder home;
    FakeJobs jobs{home.path()};
    ReportRuns runs{jobs, home.path()};
    ClientTable clients;

    void SetUp() override {
        for (int k = 1; k <= 4; ++k) {
            clients.at(k) = makeClient("Client " + std::to_string(k), neutralResponses());
        }
        clients.clientCount = 4;
        clients.currentClient = 3;
    }
};

TEST_F(ReportRunsTest, PrintAllParksEveryReportThenPrintsThemInOrder) {
    runs.printAll(clients, ReportOption::Both);
    for (int k = 1; k <= 4; ++k) {
        EXPECT_EQ(readFile(home.path() / ("temp" + std::to_string(k))), FakeJobs::text(k, 2));
    }
    EXPECT_THAT(jobs.printed, ElementsAre(FakeJobs::text(1, 2), FakeJobs::text(2, 2),
                                          FakeJobs::text(3, 2), FakeJobs::text(4, 2)));
    EXPECT_EQ(clients.currentClient, 1);
}

TEST_F(ReportRunsTest, PrintSelectedNumbersCopiesFromOneLeavesTheLastClientCurrentOrMakesPdfs) {
    std::vector<std::size_t> taken;
    runs.printSelected(clients, {2, 4}, ReportOption::OnePage,
                       [&](std::size_t k) { taken.push_back(k); });
    EXPECT_THAT(taken, ElementsAre(0u, 1u));
    EXPECT_EQ(readFile(home.path() / "temp1"), FakeJobs::text(2, 1));
    EXPECT_EQ(readFile(home.path() / "temp2"), FakeJobs::text(4, 1));
    EXPECT_FALSE(std::filesystem::exists(home.path() / "temp3"));
    EXPECT_THAT(jobs.printed, ElementsAre(FakeJobs::text(2, 1), FakeJobs::text(4, 1)));
    EXPECT_EQ(clients.currentClient, 4);

    // With a PDF folder, each report becomes its own PDF and nothing is printed.
    runs.setPdfFolder(home.path() / "pdf");
    runs.printSelected(clients, {1, 3}, ReportOption::Standard);
    EXPECT_EQ(jobs.printed.size(), 2u);
    EXPECT_THAT(jobs.saved, ElementsAre("report-1.pdf: " + FakeJobs::text(1, 0),
                                        "report-3.pdf: " + FakeJobs::text(3, 0)));
}

// The error that stops a run, or a failure when the run went on.
template <class F> ReportRunError runError(F run) {
    try {
        run();
    } catch (const ReportRunError& e) {
        return e;
    }
    ADD_FAILURE() << "the run went on";
    return ReportRunError(ReportRunError::Stage::Compose, 0, {}, "");
}

TEST_F(ReportRunsTest, AFaultSaysWhichReportFailedAndWhatWasPrinted) {
    jobs.failComposeOf = 3;
    auto e = runError([&] { runs.printAll(clients, ReportOption::Standard); });
    EXPECT_EQ(e.stage(), ReportRunError::Stage::Compose);
    EXPECT_EQ(e.client(), 3);
    EXPECT_EQ(e.message(), "The report of client 3 could not be composed, so no report "
                           "was printed.\nthe disk is full");
    EXPECT_TRUE(jobs.printed.empty());

    jobs.failComposeOf = 0;
    jobs.failPrintNumber = 3;
    e = runError([&] { runs.printAll(clients, ReportOption::Standard); });
    EXPECT_EQ(e.stage(), ReportRunError::Stage::Print);
    EXPECT_THAT(e.printed(), ElementsAre(1, 2));
    EXPECT_THAT(e.message(), HasSubstr("Printing stopped at the report of client 3.\n"
                                       "Printed before the fault: clients 1, 2.\n"));

    // A copy that has gone missing between composing and printing stops the run there.
    jobs.failPrintNumber = 0;
    const auto parked = runs.composeAll(clients, ReportOption::Standard);
    std::filesystem::remove(runs.tempFile(1));
    e = runError([&] { runs.printParked(parked); });
    EXPECT_EQ(e.client(), 1);
    EXPECT_THAT(e.message(),
                HasSubstr("No report was printed.\ncannot copy " + runs.tempFile(1).string()));
}

} // namespace
