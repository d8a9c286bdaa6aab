#include "clients/ReportRuns.h"

#include "tests/clients/ClientsTestSupport.h"

using namespace orvj;
using namespace orvj::test;

namespace {

class ReportRunsTest : public ClientsFixture {
protected:
    void SetUp() override {
        ClientsFixture::SetUp();
        registerClients({makeClient("Ann"), makeClient("Bob"), makeClient("Cy")});
    }
    std::string report(int client, int option = 0) {
        return FakeReportJobs::reportOf(client, option);
    }
};

TEST_F(ReportRunsTest, PrintAllComposesEveryClientBeforePrintingInOrder) {
    state.clients.currentClient = 2;
    ReportRuns(reports, state.paths.home).printAll(state.clients, 2);
    EXPECT_EQ(reports.composed, (std::vector<int>{1, 2, 3}));
    EXPECT_EQ(reports.currentAtCompose, (std::vector<int>{1, 2, 3}));
    EXPECT_EQ(reports.printed,
              (std::vector<std::string>{report(1, 2), report(2, 2), report(3, 2)}));
    EXPECT_EQ(state.clients.currentClient, 1);
    EXPECT_EQ(readFile(state.paths.home / "temp2"), report(2, 2));
    EXPECT_EQ(readFile(state.paths.home / "REPORT.PRN"), report(3, 2));
}

TEST_F(ReportRunsTest, PrintSelectedNumbersTheCopiesInListOrder) {
    writeFile(state.paths.home / "temp3", "an old copy");
    ReportRuns(reports, state.paths.home).printSelected(state.clients, {1, 3}, 0);
    EXPECT_EQ(reports.printed, (std::vector<std::string>{report(1), report(3)}));
    EXPECT_EQ(readFile(state.paths.home / "temp1"), report(1));
    EXPECT_EQ(readFile(state.paths.home / "temp2"), report(3));
    EXPECT_EQ(readFile(state.paths.home / "temp3"), "an old copy") << "only n copies are made";
    EXPECT_EQ(state.clients.currentClient, 3);
}

TEST_F(ReportRunsTest, NothingSelectedDoesNothing) {
    ReportRuns(reports, state.paths.home).printSelected(state.clients, {}, 0);
    EXPECT_TRUE(reports.composed.empty());
    EXPECT_TRUE(reports.printed.empty());
    EXPECT_FALSE(fs::exists(state.paths.home / "temp1"));
}

TEST_F(ReportRunsTest, ACompositionFaultPrintsNothing) {
    reports.failComposeOf = {2};
    try {
        ReportRuns(reports, state.paths.home).printAll(state.clients, 0);
        FAIL() << "the fault must reach the caller";
    } catch (const ReportRunError& e) {
        EXPECT_EQ(e.stage(), ReportRunError::Stage::Compose);
        EXPECT_EQ(e.client(), 2);
        EXPECT_TRUE(e.printed().empty());
        EXPECT_NE(e.message().find("client 2 could not be composed, so no report was printed"),
                  std::string::npos)
            << e.message();
        EXPECT_NE(e.message().find("ORVJB.TXT"), std::string::npos) << e.message();
    }
    EXPECT_TRUE(reports.printed.empty());
}

TEST_F(ReportRunsTest, APrinterFaultNamesWhatWasPrinted) {
    reports.failPrintAt = 1;
    try {
        ReportRuns(reports, state.paths.home).printSelected(state.clients, {2, 3}, 1);
        FAIL() << "the fault must reach the caller";
    } catch (const ReportRunError& e) {
        EXPECT_EQ(e.stage(), ReportRunError::Stage::Print);
        EXPECT_EQ(e.client(), 3);
        EXPECT_EQ(e.printed(), (std::vector<int>{2}));
        EXPECT_NE(e.message().find("Printed before the fault: client 2."), std::string::npos)
            << e.message();
    }
    EXPECT_EQ(reports.printed, (std::vector<std::string>{report(2, 1)}));
}

TEST_F(ReportRunsTest, TheReportFileIsFoundWhateverItsCase) {
    // A composer that writes the name in lower case still has its copies made from it.
    fs::remove(state.paths.home / "REPORT.PRN");
    writeFile(state.paths.home / "report.prn", "lower-case report");
    EXPECT_EQ(ReportRuns(reports, state.paths.home).reportFile(), state.paths.home / "report.prn");
}

} // namespace
