#include "cli/ReportTool.h"
#include "scoring/ReportWriter.h"
#include "store/ClientFile.h"
#include "tests/scoring/InventoryFixture.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstdio>
#include <sstream>
#include <sys/wait.h>

using namespace orvj;
using namespace orvj::testing;
using ::testing::HasSubstr;
using Command = ReportToolOptions::Command;

namespace {

ReportToolOptions parse(std::vector<std::string> args) {
    return parseReportToolArguments(args);
}

std::string parseError(std::vector<std::string> args) {
    try {
        parseReportToolArguments(args);
    } catch (const std::invalid_argument& e) {
        return e.what();
    }
    return "no error";
}

TEST(ReportToolArguments, OneCommandWithItsOptions) {
    auto o = parse({"--home", "/x", "--client", "12", "--option", "both", "--pdf", "r.pdf"});
    EXPECT_EQ(o.command, Command::Client);
    EXPECT_EQ(o.client, 12);
    EXPECT_EQ(o.reportOption, 2);
    EXPECT_EQ(*o.home, "/x");
    EXPECT_EQ(*o.pdf, "r.pdf");
    o = parse({"--all", "--option", "one-page", "--print"});
    EXPECT_EQ(o.command, Command::All);
    EXPECT_EQ(o.reportOption, 1);
    EXPECT_TRUE(o.print);
    EXPECT_TRUE(parse({"--scores", "--csv"}).csv);
    EXPECT_EQ(parse({"--list", "--help"}).command, Command::Help);

    EXPECT_THAT(parseError({}), HasSubstr("say what to do"));
    EXPECT_THAT(parseError({"--client", "1", "--all"}), HasSubstr("choose one of"));
    EXPECT_THAT(parseError({"--client", "one"}), HasSubstr("--client must be a number"));
    EXPECT_THAT(parseError({"--client"}), HasSubstr("--client needs a value"));
    EXPECT_THAT(parseError({"--all", "--option", "long"}),
                HasSubstr("--option must be standard, one-page or both"));
    EXPECT_THAT(parseError({"--list", "--pdf", "x.pdf"}), HasSubstr("go with --client or --all"));
    EXPECT_THAT(parseError({"--list", "--csv"}), HasSubstr("--csv goes with --scores"));
    EXPECT_THAT(parseError({"--list", "-x"}), HasSubstr("unknown argument \"-x\""));
}

// A program folder with the fixture inventory, a configuration file and three clients.
class ReportToolTest : public ::testing::Test {
protected:
    TempFolder home;
    InventoryFixture fx;
    ClientTable clients;

    void SetUp() override {
        fx.write(home.path());
        writeFile(home.path() / "ORVJTest.ini", "[Path]\r\nFilePath=clients\\data\r\n");
        std::filesystem::create_directories(home.path() / "clients" / "data");
        std::string r = neutralResponses();
        clients.at(1) = makeClient("Able, Ann", r);
        setAnswer(r, 7, 0);
        clients.at(2) = makeClient("Baker, Bob", r);
        for (int i = 1; i <= 48; ++i) {
            setAnswer(r, i, 1);
        }
        clients.at(3) = makeClient("Carr, Cy \xE9", r);
        clients.clientCount = 3;
        const ClientFile file(home.path() / "clients" / "data" / ClientFile::kFileName);
        for (int k = 1; k <= 3; ++k) {
            file.writeRecord(clients, k);
        }
    }

    int run(std::vector<std::string> args, std::string& out, std::string& err) {
        args.insert(args.begin(), {"--home", home.path().string()});
        std::ostringstream o;
        std::ostringstream e;
        const int status = runReportTool(parseReportToolArguments(args), "/nonexistent", o, e);
        out = o.str();
        err = e.str();
        return status;
    }

    // Runs the installed tool as a process, as an office script would.
    int runProcess(const std::string& args, std::string& output) {
        const std::string command = std::string(ORVJ_REPORT_BINARY) + " --home '" +
                                    home.path().string() + "' " + args + " 2>&1";
        FILE* pipe = ::popen(command.c_str(), "r");
        char buffer[4096];
        output.clear();
        std::size_t n = 0;
        while ((n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0) {
            output.append(buffer, n);
        }
        const int status = ::pclose(pipe);
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }
};

TEST_F(ReportToolTest, ComposesOneClientsReportLikeTheProgram) {
    std::string out;
    std::string err;
    ASSERT_EQ(run({"--client", "2", "--option", "both"}, out, err), 0) << err;
    const std::string expected =
        ReportWriter(home.path()).composeText(clients, 2, ReportOption::Both);
    EXPECT_EQ(readFile(home.path() / "REPORT.PRN"), expected);
    EXPECT_THAT(out, HasSubstr("REPORT.PRN (client 2, 4 pages)"));

    EXPECT_EQ(run({"--client", "4"}, out, err), 1);
    EXPECT_THAT(err, HasSubstr("DATA301.OVJ: client 4 is not in the client file (clients 1 to 3)"));
    EXPECT_TRUE(std::filesystem::exists(home.path() / "REPORT.PRN"))
        << "a refused client number leaves the last report alone";

    std::filesystem::remove(home.path() / "DORVDEP.txt");
    EXPECT_EQ(run({"--client", "1"}, out, err), 1);
    EXPECT_THAT(err, HasSubstr("DORVDEP.txt: cannot open: file not found"));
    EXPECT_FALSE(std::filesystem::exists(home.path() / "REPORT.PRN"));
}

TEST_F(ReportToolTest, AllClientsLeaveNumberedCopiesAndTheLastReport) {
    std::string out;
    std::string err;
    writeFile(home.path() / "temp4", "from an earlier run with four clients");
    ASSERT_EQ(run({"--all", "--option", "one-page"}, out, err), 0) << err;
    for (int k = 1; k <= 3; ++k) {
        EXPECT_EQ(readFile(home.path() / ("temp" + std::to_string(k))),
                  ReportWriter(home.path()).composeText(clients, k, ReportOption::OnePage));
    }
    EXPECT_EQ(readFile(home.path() / "REPORT.PRN"), readFile(home.path() / "temp3"));
    EXPECT_EQ(readFile(home.path() / "temp4"), "from an earlier run with four clients");
}

TEST_F(ReportToolTest, ListsClientsAndScores) {
    std::string out;
    std::string err;
    ASSERT_EQ(run({"--list"}, out, err), 0) << err;
    EXPECT_EQ(out, "  1  Able, Ann                  03/14/2026  complete\n"
                   "  2  Baker, Bob                 03/14/2026  incomplete (1 of 143 unanswered)\n"
                   "  3  Carr, Cy \xC3\xA9                 03/14/2026  complete\n");
    ASSERT_EQ(run({"--scores", "--csv"}, out, err), 0) << err;
    const auto rows = reportLines([&] {
        std::string s = out;
        for (std::size_t p = s.find('\n'); p != std::string::npos; p = s.find('\n', p + 2)) {
            s.replace(p, 1, "\r\n");
        }
        return s;
    }());
    ASSERT_EQ(rows.size(), 4u);
    EXPECT_THAT(rows[0], HasSubstr("record,name,validity,TRUTHFULNESS raw,TRUTHFULNESS "
                                   "percentile,TRUTHFULNESS risk,ANXIETY raw"));
    EXPECT_THAT(rows[1], HasSubstr("1,\"Able, Ann\",valid,0,0,LOW,0,0,LOW,"));
    EXPECT_THAT(rows[3], HasSubstr(",invalid,99,99,MAXIMUM,10,99,MAXIMUM,"));
    ASSERT_EQ(run({"--scores"}, out, err), 0) << err;
    EXPECT_THAT(out, HasSubstr("  3  Carr, Cy \xC3\xA9  INVALID TEST (Truthfulness 95 or more)\n"
                               "       TRUTHFULNESS   raw   99   percentile 99   MAXIMUM\n"));
}

TEST_F(ReportToolTest, ClientFileIsFoundThroughTheConfiguration) {
    std::string out;
    std::string err;
    writeFile(home.path() / "ORVJTest.ini", "[Path]\r\nFilePath=a:\r\n");
    EXPECT_EQ(run({"--list"}, out, err), 1);
    EXPECT_THAT(err, HasSubstr("ORVJTest.ini: the data folder \"a:\" (FilePath in [Path]) does "
                               "not exist"));
    std::filesystem::remove(home.path() / "ORVJTest.ini");
    EXPECT_EQ(run({"--list"}, out, err), 1) << "the default \"a:\" names no folder here";
    writeFile(home.path() / "ORVJTest.ini",
              "[Path]\r\nFilePath=  " + (home.path() / "clients" / "data").string() + "  \r\n");
    EXPECT_EQ(run({"--list"}, out, err), 0) << err;
    writeFile(home.path() / "ORVJTest.ini", "[Path]\r\nFilePath=.\r\n");
    EXPECT_EQ(run({"--list"}, out, err), 1);
    EXPECT_THAT(err, HasSubstr("DATA301.OVJ: cannot open: file not found"));
    EXPECT_FALSE(std::filesystem::exists(home.path() / "DATA301.OVJ")) << "nothing is created";
}

TEST_F(ReportToolTest, RunsAsAProcessWithPdfOutput) {
    std::string output;
    EXPECT_EQ(runProcess("--all --pdf '" + (home.path() / "all.pdf").string() + "'", output), 0)
        << output;
    int pages = 0;
    for (int k = 1; k <= 3; ++k) {
        const std::string report = readFile(home.path() / ("temp" + std::to_string(k)));
        pages += static_cast<int>(std::count(report.begin(), report.end(), '\f')) + 1;
    }
    const std::string pdf = readFile(home.path() / "all.pdf");
    int sheets = 0;
    for (std::size_t p = pdf.find("/Type /Page"); p != std::string::npos;
         p = pdf.find("/Type /Page", p + 1)) {
        sheets += pdf.compare(p, 12, "/Type /Pages") != 0;
    }
    EXPECT_EQ(sheets, pages);
    EXPECT_EQ(runProcess("--client 9", output), 1);
    EXPECT_THAT(output, HasSubstr("orvj-report: "));
    EXPECT_EQ(runProcess("--frobnicate", output), 2);
    EXPECT_EQ(runProcess("--help", output), 0);
    EXPECT_THAT(output, HasSubstr("--scores"));
}

} // namespace
