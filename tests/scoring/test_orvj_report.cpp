#include "cli/ReportTool.h"
#include "scoring/ReportWriter.h"
#include "store/ClientFile.h"
#include "tests/scoring/InventoryFixture.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <sstream>
#include <sys/wait.h>

using namespace orvj;
using namespace orvj::testing;
using ::testing::HasSubstr;

namespace {

// A program folder with the fixture inventory, a configuration file and three clients; the
// third has an invalid test.
class ReportToolTest : public ::testing::Test {
protected:
    TempFolder home;
    ClientTable clients;
    std::string out;
    std::string err;

    void SetUp() override {
        InventoryFixture().write(home.path());
        writeFile(home.path() / "ORVJTest.ini", "[Path]\r\nFilePath=clients\\data\r\n");
        std::filesystem::create_directories(home.path() / "clients" / "data");
        const ClientFile file(home.path() / "clients" / "data" / ClientFile::kFileName);
        std::string r = neutralResponses();
        clients.at(1) = makeClient("Able, Ann", r);
        setAnswers(r, {7}, 0);
        clients.at(2) = makeClient("Baker, Bob", r);
        clients.at(3) = makeClient("Carr, Cy \xE9", std::string(48, '1') + r.substr(48));
        clients.clientCount = 3;
        for (int k = 1; k <= 3; ++k) {
            file.writeRecord(clients, k);
        }
    }

    int run(std::vector<std::string> args) {
        args.insert(args.begin(), {"--home", home.path().string()});
        std::ostringstream o;
        std::ostringstream e;
        const int status = runReportTool(parseReportToolArguments(args), "/nonexistent", o, e);
        out = o.str();
        err = e.str();
        return status;
    }
    std::string report(int client, ReportOption option) {
        return ReportWriter(home.path()).composeText(clients, client, option);
    }
};

TEST_F(ReportToolTest, ClientAndAllWriteTheProgramsReports) {
    ASSERT_EQ(run({"--client", "2", "--option", "both"}), 0) << err;
    EXPECT_EQ(readFile(home.path() / "REPORT.PRN"), report(2, ReportOption::Both));
    EXPECT_THAT(out, HasSubstr("REPORT.PRN (client 2, 4 pages)"));

    writeFile(home.path() / "temp4", "from an earlier run with four clients");
    ASSERT_EQ(run({"--all", "--option", "one-page"}), 0) << err;
    for (int k = 1; k <= 3; ++k) {
        EXPECT_EQ(readFile(home.path() / ("temp" + std::to_string(k))),
                  report(k, ReportOption::OnePage));
    }
    EXPECT_EQ(readFile(home.path() / "REPORT.PRN"), report(3, ReportOption::OnePage));
    EXPECT_EQ(readFile(home.path() / "temp4"), "from an earlier run with four clients");

    EXPECT_EQ(run({"--client", "4"}), 1);
    EXPECT_THAT(err, HasSubstr("DATA301.OVJ: client 4 is not in the client file (clients 1 to 3)"));
    EXPECT_TRUE(std::filesystem::exists(home.path() / "REPORT.PRN"))
        << "a refused client number leaves the last report alone";
}

TEST_F(ReportToolTest, ListsClientsAndScores) {
    ASSERT_EQ(run({"--list"}), 0) << err;
    EXPECT_EQ(out, "  1  Able, Ann                  03/14/2026  complete\n"
                   "  2  Baker, Bob                 03/14/2026  incomplete (1 of 143 unanswered)\n"
                   "  3  Carr, Cy \xC3\xA9                 03/14/2026  complete\n");
    ASSERT_EQ(run({"--scores", "--csv"}), 0) << err;
    EXPECT_THAT(out, HasSubstr("\n1,\"Able, Ann\",valid,0,0,LOW,0,0,LOW,"));
    EXPECT_THAT(out, HasSubstr(",invalid,99,99,MAXIMUM,10,99,MAXIMUM,"));
}

TEST_F(ReportToolTest, RunsAsAProcessWithExitStatuses) {
    auto runProcess = [&](const std::string& args) {
        const std::string command = std::string(ORVJ_REPORT_BINARY) + " --home '" +
                                    home.path().string() + "' " + args + " >/dev/null 2>&1";
        const int status = std::system(command.c_str());
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    };
    const auto pdf = home.path() / "r.pdf";
    EXPECT_EQ(runProcess("--client 2 --option both --pdf '" + pdf.string() + "'"), 0);
    const std::string text = readFile(home.path() / "REPORT.PRN");
    EXPECT_EQ(pdfPages(pdf), std::count(text.begin(), text.end(), '\f') + 1) << "a sheet a page";
    EXPECT_EQ(runProcess("--frobnicate"), 2);
    EXPECT_EQ(runProcess("--client"), 2);
}

} // namespace
