// The print runs shared by the supervisor's utilities and orvj-report --all: what a fault later
// in a run, a parked copy gone missing, or a run that finds the program folder's report lock
// taken, tells the supervisor.
#include "scoring/ReportJobs.h"
#include "scoring/ReportRuns.h"
#include "store/OrvjError.h"
#include "tests/scoring/InventoryFixture.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

using namespace orvj;
using namespace orvj::testing;
using ::testing::HasSubstr;

namespace {

// Every report is the REPORT.PRN the test wrote; the third print finds the printer out of paper.
class FakeJobs : public ReportJobs {
public:
    explicit FakeJobs(std::filesystem::path home) : m_home(std::move(home)) {}
    ReportFolderLock lockReportFolder() override {
        return ReportFolderLock(m_home, std::chrono::milliseconds(50));
    }
    void compose(const ClientTable&, int, ReportOption) override { ++composed; }
    std::string readReportText() override { return {}; }
    void printReportFile() override {
        if (++prints == 3) {
            throw OrvjError(ErrorCode::DeviceIO, "the printer is out of paper");
        }
    }
    void saveReportPdf(const std::filesystem::path&) override {}
    void printReportText(const std::string&) override {}
    void saveReportTextPdf(const std::string&, const std::filesystem::path&) override {}

    int prints = 0;
    int composed = 0;

private:
    std::filesystem::path m_home;
};

TEST(ReportRuns, AFaultSaysWhichReportStoppedTheRunAndWhatWasPrinted) {
    TempFolder home;
    writeFile(home.path() / "REPORT.PRN", "a report");
    FakeJobs jobs(home.path());
    ReportRuns runs(jobs, home.path());
    ClientTable clients;
    clients.clientCount = 4;
    const ReportFolderLock lock = jobs.lockReportFolder();
    const auto parked = runs.composeAll(lock, clients, ReportOption::Standard);
    auto messageOf = [&] {
        try {
            runs.printParked(lock, parked);
        } catch (const ReportRunError& e) {
            return e.message();
        }
        return std::string("the run went on");
    };
    EXPECT_EQ(messageOf(), "Printing stopped at the report of client 3.\n"
                           "Printed before the fault: clients 1, 2.\nthe printer is out of paper");

    // A copy that has gone missing between composing and printing stops the run there.
    std::filesystem::remove(runs.tempFile(1));
    EXPECT_THAT(messageOf(), HasSubstr("Printing stopped at the report of client 1.\nNo report was "
                                       "printed.\ncannot copy " +
                                       runs.tempFile(1).string()));

    // Another run of the folder waits for the lock held here, gives up and composes nothing.
    FakeJobs other(home.path());
    try {
        ReportRuns(other, home.path()).printAll(clients, ReportOption::Standard);
        ADD_FAILURE() << "the run went on under another run's lock";
    } catch (const ReportRunError& e) {
        EXPECT_EQ(e.stage(), ReportRunError::Stage::Lock);
        EXPECT_THAT(e.message(), ::testing::StartsWith("No report was composed or printed.\n" +
                                                       home.path().string() + ": the report"));
    }
    EXPECT_EQ(other.composed, 0);
}

} // namespace
