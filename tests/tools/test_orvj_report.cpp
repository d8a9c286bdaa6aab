#include "scoring/ReportWriter.h"
#include "store/ClientFile.h"
#include "store/ReportFolderLock.h"
#include "store/platform/File.h"
#include "tests/platform/TestProcess.h"
#include "tests/scoring/InventoryFixture.h"
#include "tools/report/ReportTool.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <map>
#include <set>
#include <sstream>
#include <stdexcept>

using namespace orvj;
using namespace orvj::testing;
using ::testing::EndsWith;
using ::testing::HasSubstr;
using ::testing::Not;
using ::testing::StartsWith;
namespace fs = std::filesystem;

namespace {

#ifndef ORVJ_CORE_ONLY
// The program itself, for what only the full build does (--pdf).
int runProcess(const fs::path& home, const std::string& args) {
    return testplatform::runCommand(std::string(ORVJ_REPORT_BINARY) + " --home '" + home.string() +
                                    "' " + args + " " + testplatform::discardOutput());
}
#endif

// A program folder with the fixture inventory, a configuration file and three clients; the
// third has an invalid test.
class ReportToolTest : public ::testing::Test {
protected:
    TempFolder home;
    const fs::path clientFile = home.path() / "clients" / "data" / ClientFile::kFileName;
    ClientTable clients;
    std::string out;
    std::string err;
    std::chrono::milliseconds lockWait = ReportFolderLock::kDefaultWait;

    void SetUp() override {
        InventoryFixture().write(home.path());
        writeFile(home.path() / "ORVJTest.ini", "[Path]\r\nFilePath=clients\\data\r\n");
        fs::create_directories(clientFile.parent_path());
        std::string r = neutralResponses();
        clients.at(1) = makeClient("Able, Ann", r);
        setAnswers(r, {7}, 0);
        clients.at(2) = makeClient("Baker, Bob", r);
        clients.at(3) = makeClient("Carr, Cy \xE9", std::string(48, '1') + r.substr(48));
        clients.clientCount = 3;
        for (int k = 1; k <= 3; ++k) {
            ClientFile(clientFile).writeRecord(clients, k);
        }
    }
    void TearDown() override { platform::disarmWriteFaults(); }

    // Runs the tool in `folder`, or in the test's program folder.
    // `tools` is orvj-report's own folder, which holds orvj-report-print.
    int run(std::vector<std::string> args, const fs::path& folder = {},
            const fs::path& tools = "/nonexistent") {
        args.insert(args.begin(), {"--home", (folder.empty() ? home.path() : folder).string()});
        std::ostringstream o;
        std::ostringstream e;
        ReportToolOptions options = parseReportToolArguments(args);
        options.lockWait = lockWait;
        const int status = runReportTool(options, tools, o, e);
        out = o.str();
        err = e.str();
        return status;
    }
    std::string report(int client, ReportOption option = ReportOption::Standard) {
        return ReportWriter(home.path()).composeText(clients, client, option);
    }
    std::string file(const std::string& name) { return readFile(home.path() / name); }
};

// A viewer shows REPORT.PRN while the next report is written: the new report replaces it
// whole and the viewer keeps the old text.
TEST_F(ReportToolTest, ClientAndAllWriteTheProgramsReports) {
    ASSERT_EQ(run({"--client", "1"}), 0) << err;
    {
        const platform::File viewer =
            platform::File::open(home.path() / "REPORT.PRN", platform::File::Mode::Read, "view");
        ASSERT_EQ(run({"--client", "2", "--option", "both"}), 0) << err;
        std::string seen(static_cast<std::size_t>(viewer.size("view")), '\0');
        seen.resize(viewer.readAt(0, seen.data(), seen.size(), "view"));
        EXPECT_EQ(seen, report(1));
    }
    EXPECT_EQ(file("REPORT.PRN"), report(2, ReportOption::Both));
    EXPECT_THAT(out, HasSubstr("REPORT.PRN (client 2, 4 pages)"));

    ASSERT_EQ(run({"--all", "--option", "one-page"}), 0) << err;
    for (int k = 1; k <= 3; ++k) {
        EXPECT_EQ(file("temp" + std::to_string(k)), report(k, ReportOption::OnePage));
    }
    EXPECT_EQ(file("REPORT.PRN"), report(3, ReportOption::OnePage));

    EXPECT_EQ(run({"--client", "4"}), 1);
    EXPECT_THAT(err, HasSubstr("DATA301.OVJ: client 4 is not in the client file (clients 1 to 3)"));
}

// The list, then the research export: a field holding a comma or a quote is quoted, its
// quotes doubled; names are UTF-8.
TEST_F(ReportToolTest, ListsClientsAndExportsScoresWithAndWithoutIdentity) {
    ASSERT_EQ(run({"--list"}), 0) << err;
    EXPECT_EQ(out, "  1  Able, Ann                  03/14/2026  complete\n"
                   "  2  Baker, Bob                 03/14/2026  incomplete (1 of 143 unanswered)\n"
                   "  3  Carr, Cy \xC3\xA9                 03/14/2026  complete\n");
    clients.at(2).set(ClientRecord::Field::Name, "O\"Neil, \"Bo\"");
    ClientFile(clientFile).writeRecord(clients, 2);

    ASSERT_EQ(run({"--scores", "--csv"}), 0) << err;
    auto lines = reportLines(out);
    ASSERT_EQ(lines.size(), 4u) << out;
    EXPECT_THAT(lines[0], StartsWith("record,name,id,age,sex,sex label,race,race label,education,"
                                     "education label,test date,edit count,validity,critical,"
                                     "TRUTHFULNESS raw,TRUTHFULNESS percentile,TRUTHFULNESS risk,"
                                     "ANXIETY raw,"));
    EXPECT_THAT(lines[2], StartsWith("2,\"O\"\"Neil, \"\"Bo\"\"\",123-45-6789,15,1,Male,1,"
                                     "Caucasian,3,8th grade,03/14/2026,0,valid,no,0,0,LOW,"));
}

std::vector<std::string> fieldsOf(const std::string& line) {
    std::vector<std::string> fields;
    std::istringstream in(line);
    for (std::string field; std::getline(in, field, ',');) {
        fields.push_back(field);
    }
    return fields;
}

// De-identified: each run numbers the clients 1 to n in a fresh random order and lists them by
// that number; no name, ID, record number, full date or edit count remains, and every row still
// holds its own client's answers and scores.
TEST_F(ReportToolTest, DeidentifiedExportKeepsNoWayBackToTheRecord) {
    clients.at(2).set(ClientRecord::Field::EditCount, "3");
    ClientFile(clientFile).writeRecord(clients, 2);
    ASSERT_EQ(run({"--scores", "--csv", "--responses"}), 0) << err;
    // Validity, the critical flag, the nine scales' raw score, percentile and risk, and the
    // answers end each row (the names before them hold commas).
    constexpr std::ptrdiff_t kScoredFields = 2 + 27 + 1;
    std::map<std::string, std::vector<std::string>> scoresByAnswers;
    for (const std::string& line : reportLines(out)) {
        const auto fields = fieldsOf(line);
        scoresByAnswers[fields.back()] = {fields.end() - kScoredFields, fields.end()};
    }

    std::set<std::vector<std::string>> orders;
    for (int round = 0; round < 40 && orders.size() < 2; ++round) {
        ASSERT_EQ(run({"--scores", "--csv", "--deidentified", "--responses"}), 0) << err;
        const auto lines = reportLines(out);
        ASSERT_EQ(lines.size(), 4u) << out;
        ASSERT_THAT(lines[0], StartsWith("study,age,sex,sex label,race,race label,education,"
                                         "education label,test year,validity,critical,"
                                         "TRUTHFULNESS raw,"));
        std::vector<std::string> order;
        for (std::size_t row = 1; row < lines.size(); ++row) {
            const auto fields = fieldsOf(lines[row]);
            ASSERT_EQ(fields.size(), 9 + kScoredFields) << lines[row];
            EXPECT_EQ(fields[0], std::to_string(row)) << "rows in study-number order";
            EXPECT_EQ(fields[8], "2026");
            EXPECT_EQ(std::vector<std::string>(fields.begin() + 9, fields.end()),
                      scoresByAnswers[fields.back()]);
            order.push_back(fields.back());
        }
        orders.insert(order);
        EXPECT_THAT(out, Not(HasSubstr("03/14")));
    }
    // Three clients have six orders; forty runs alike would happen once in 6^39.
    EXPECT_EQ(orders.size(), 2u) << "the study numbers do not change between runs";

    ASSERT_EQ(run({"--scores", "--deidentified"}), 0) << err;
    EXPECT_THAT(out, StartsWith("  1  "));
    EXPECT_LT(out.find("\n  2  "), out.find("\n  3  "));
    EXPECT_THAT(out, HasSubstr("    INVALID TEST"));
    for (const char* secret : {"Able", "Baker", "Carr", "123-45-6789"}) {
        EXPECT_THAT(out, Not(HasSubstr(secret)));
    }
}

// Names and IDs are the clients' own text: in the export none of it becomes a spreadsheet
// formula, and on the terminal no control character reaches it (an escape sequence could
// retitle or clear it).
TEST_F(ReportToolTest, ClientTextCannotActAsAFormulaOrATerminalCommand) {
    using F = ClientRecord::Field;
    const std::vector<std::pair<std::string, std::string>> namesAndIds = {
        {"=cmd|' /C calc'!A0", "+1-555"},
        {"@SUM(1)", "-2"},
        {"\tTab\x1B[2J\x9D, Cy\x85\r\n", "123-45-6789"}};
    for (int k = 1; k <= 3; ++k) {
        // A save takes in what the file holds meanwhile, so each record is set and saved alone.
        clients.at(k).set(F::Name, namesAndIds[ix(k - 1)].first);
        clients.at(k).set(F::SSN, namesAndIds[ix(k - 1)].second);
        ClientFile(clientFile).writeRecord(clients, k);
    }
    ASSERT_EQ(run({"--scores", "--csv"}), 0) << err;
    EXPECT_THAT(out, HasSubstr("\r\n1,'=cmd|' /C calc'!A0,'+1-555,15,"));
    EXPECT_THAT(out, HasSubstr("\r\n2,'@SUM(1),'-2,15,"));
    EXPECT_THAT(out, HasSubstr("\r\n3,\"' Tab [2J , Cy\xE2\x80\xA6\r\n\",123-45-6789,15,"));

    for (const auto& args : {std::vector<std::string>{"--list"}, {"--scores"}}) {
        ASSERT_EQ(run(args), 0) << err;
        EXPECT_THAT(out, HasSubstr("  3   Tab [2J , Cy\xE2\x80\xA6  "));
        for (std::size_t i = 0; i < out.size(); ++i) {
            const auto c = static_cast<unsigned char>(out[i]);
            const bool c1 = c == 0xC2 && i + 1 < out.size() &&
                            (static_cast<unsigned char>(out[i + 1]) & 0xE0) == 0x80;
            EXPECT_FALSE((c < 0x20 && c != '\n') || c == 0x7F || c1)
                << "control character " << int(c) << " at " << i << " of " << args[0];
        }
    }
}

// Output that does not reach its file is a failure, and a PDF never takes the place of a file
// of another kind: the run stops before it composes anything.
TEST_F(ReportToolTest, OutputThatCannotBeWrittenFailsAndAPdfReplacesOnlyAPdf) {
    const std::string before = readFile(clientFile);
#ifndef _WIN32
    // A POSIX shell and its full device; Windows has neither.
    if (fs::exists("/dev/full")) {
        const fs::path messages = home.path() / "messages";
        const std::string tool =
            std::string(ORVJ_REPORT_BINARY) + " --home '" + home.path().string() + "' ";
        EXPECT_EQ(testplatform::runCommand(tool + "--scores --csv >/dev/full 2>'" +
                                           messages.string() + "'"),
                  1);
        EXPECT_THAT(readFile(messages), HasSubstr("orvj-report: standard output: the output "
                                                  "could not be written in full"));
        EXPECT_EQ(testplatform::runCommand(tool + "--list >/dev/full 2>/dev/null"), 1);
#ifndef ORVJ_CORE_ONLY
        EXPECT_EQ(runProcess(home.path(), "--client 1 --pdf /dev/full"), 1);
#endif
    }
#endif
#ifndef ORVJ_CORE_ONLY
    for (const fs::path& other : {clientFile, home.path() / "ORVJB.TXT"}) {
        const std::string held = readFile(other);
        EXPECT_EQ(run({"--all", "--pdf", other.string()}), 1);
        EXPECT_THAT(err, HasSubstr(other.string() + ": the file is not a PDF file"));
        EXPECT_EQ(readFile(other), held);
    }
    EXPECT_FALSE(fs::exists(home.path() / "REPORT.PRN"));
    EXPECT_EQ(readFile(clientFile), before);
#endif
}

#ifndef ORVJ_CORE_ONLY
// orvj-report-print prints each report of a run; the fault that stops it reaches the run's
// message whole, with what was printed before it.
TEST_F(ReportToolTest, PrintingIsDoneByThePrintProgramAndItsFaultsArePassedOn) {
    const fs::path tools = fs::path(ORVJ_REPORT_BINARY).parent_path();
    const fs::path prints = home.path() / "prints";
    fs::create_directory(prints);
    ASSERT_EQ(::setenv("ORVJ_PRINT_DIR", prints.c_str(), 1), 0);
    EXPECT_EQ(run({"--all", "--print"}, {}, tools), 0) << err;
    EXPECT_THAT(out, HasSubstr("Printed 3 reports into PDF files in " + prints.string()));
    for (const char* name : {"print-001.pdf", "print-002.pdf", "print-003.pdf"}) {
        EXPECT_TRUE(fs::exists(prints / name)) << name;
    }
    EXPECT_EQ(pdfPages(prints / "print-002.pdf"), pages(file("temp2")));

    ASSERT_EQ(::setenv("ORVJ_PRINT_DIR", (home.path() / "missing").c_str(), 1), 0);
    EXPECT_EQ(run({"--all", "--print"}, {}, tools), 1);
    ::unsetenv("ORVJ_PRINT_DIR");
    EXPECT_EQ(err, "orvj-report: Printing stopped at the report of client 1.\nNo report was "
                   "printed.\n" +
                       (home.path() / "missing").string() + ": the print folder does not exist\n");
    EXPECT_EQ(run({"--client", "1", "--print"}, {}, home.path()), 1);
    EXPECT_THAT(err, HasSubstr((home.path() / "orvj-report-print").string()));
}

// Every report page is one sheet of the PDF; printing draws the same pages.
TEST_F(ReportToolTest, PdfGivesASheetPerReportPage) {
    const auto pdf = home.path() / "r.pdf";
    EXPECT_EQ(runProcess(home.path(), "--client 2 --option both --pdf '" + pdf.string() + "'"), 0);
    EXPECT_EQ(pdfPages(pdf), pages(file("REPORT.PRN")));
}
#endif

TEST_F(ReportToolTest, MessagesNameTheFileAndTheRealReason) {
    TempFolder bare;
    EXPECT_EQ(run({"--list"}, bare.path()), 1);
    EXPECT_THAT(err, HasSubstr((bare.path() / "ORVJTest.ini").string() +
                               ": the configuration file is missing"));

    // A record with an answer code its item does not have, as a file written elsewhere holds.
    setAnswers(clients.at(2), 10, 10, 7);
    ClientFile(clientFile).writeRecord(clients, 2);
    for (const auto& args : {std::vector<std::string>{"--client", "2"}, {"--all"}}) {
        EXPECT_EQ(run(args), 1);
        EXPECT_THAT(err,
                    HasSubstr(clientFile.string() + ": client record 2: the answer to item 10"));
    }
}

// Every write, close and rename of a run failing in turn: REPORT.PRN and the copies stay
// whole, and leftovers go (the file layer's own tests hold the messages).
TEST_F(ReportToolTest, ReportFilesStayWholeUnderWriteFaultsAndLeftoversGo) {
    ASSERT_EQ(run({"--all"}), 0) << err;
    // What each report file may hold after a failed run: REPORT.PRN is gone when the fault
    // struck its own write.
    std::map<std::string, std::set<std::string>> whole;
    for (int k = 1; k <= 3; ++k) {
        const std::string copy = "temp" + std::to_string(k);
        whole[copy] = {file(copy), report(k, ReportOption::Both)};
        whole["REPORT.PRN"].insert(report(k, ReportOption::Both));
    }
    // A killed run's temporaries, holding names in clear.
    writeFile(home.path() / "REPORT.PRN.Ab12Cd34", "Able, Ann");
    writeFile(home.path() / "temp2.zz99yy00", "Baker, Bob");

    for (const auto op :
         {platform::FaultOp::Write, platform::FaultOp::Close, platform::FaultOp::Rename}) {
        int status = 0;
        eachWriteFault(
            op, platform::FaultKind::Short,
            [&] {
                status = run({"--all", "--option", "both"});
            },
            [&](int nth) {
                SCOPED_TRACE("fault " + std::to_string(nth) + " of op " +
                             std::to_string(static_cast<int>(op)));
                // The first write is the description of the program folder's lock, which a run
                // can do without.
                EXPECT_EQ(status, op == platform::FaultOp::Write && nth == 1 ? 0 : 1);
                std::set<std::string> names = {"REPORT.PRN"};
                for (const auto& e : fs::directory_iterator(home.path())) {
                    const std::string name = e.path().filename().string();
                    if (name.starts_with("temp") || name.starts_with("REPORT.PRN")) {
                        EXPECT_EQ(whole[name].count(file(name)), 1u) << name << " is torn";
                        names.insert(name);
                    }
                }
                EXPECT_EQ(names, (std::set<std::string>{"REPORT.PRN", "temp1", "temp2", "temp3"}))
                    << "no temporary stays";
            });
    }
}

// Another run holds the program folder's report lock past the wait: the tool names the holder
// and what to do, ends with status 1 and leaves the other run's files alone.
TEST_F(ReportToolTest, AReportLockHeldPastTheWaitEndsTheRunWithStatus1) {
    ASSERT_EQ(run({"--all"}), 0) << err;
    const std::string report = file("REPORT.PRN");
    const std::string copy = file("temp2");
    const ReportFolderLock otherRun(home.path(), std::chrono::milliseconds(0));
    lockWait = std::chrono::milliseconds(100);
    for (const auto& args : {std::vector<std::string>{"--client", "1", "--option", "both"},
                             std::vector<std::string>{"--all", "--option", "both"}}) {
        SCOPED_TRACE(args.front());
        EXPECT_EQ(run(args), 1);
        EXPECT_THAT(err, StartsWith("orvj-report: " + home.path().string() +
                                    ": the report files of this program folder are in use by a "
                                    "report run on PC "));
        EXPECT_THAT(err, HasSubstr("not released within 0.1 seconds"));
        EXPECT_THAT(err,
                    HasSubstr("delete " + ReportFolderLock::lockPathFor(home.path()).string()));
        EXPECT_EQ(file("REPORT.PRN"), report);
        EXPECT_EQ(file("temp2"), copy);
    }
}

TEST_F(ReportToolTest, AReadOnlyDataFolderCanBeReported) {
    if (!testplatform::childProcessesAvailable()) {
        GTEST_SKIP() << "needs child processes";
    }
    const fs::path data = clientFile.parent_path();
    const auto write = fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write;
    // The unprivileged child writes REPORT.PRN in the program folder.
    fs::permissions(home.path(), fs::perms::all);
    fs::permissions(clientFile, write, fs::perm_options::remove);
    // Made private by the program; the archive's reader is another user here.
    fs::permissions(clientFile, fs::perms::others_read, fs::perm_options::add);
    fs::permissions(data, write, fs::perm_options::remove);
    // Every command reads the client file the same way; --all also composes every report.
    // Modes do not bind the administrator: the child gives up those rights first.
    testplatform::Child child(
        [&] { return testplatform::becomeUnprivileged() ? run({"--all"}) : 9; });
    EXPECT_EQ(child.wait(), 0);
    fs::permissions(data, fs::perms::owner_all, fs::perm_options::add);
}

} // namespace

#ifndef ORVJ_CORE_ONLY
namespace {

// The trail and the backups from the command line: the tool's own runs add their lines, the
// listing filters, --verify names the first line that breaks the chain, --backups compares.
TEST_F(ReportToolTest, AuditTrailAndBackupsFromTheCommandLine) {
    ASSERT_EQ(run({"--client", "2"}), 0) << err;
    ASSERT_EQ(run({"--scores", "--csv", "--deidentified"}), 0) << err;
    ASSERT_EQ(run({"--audit"}), 0) << err;
    EXPECT_THAT(out, HasSubstr("\treport viewed\t2\torvj-report\n"));
    EXPECT_THAT(out, HasSubstr("\tCSV exported\t-\torvj-report --scores --csv --deidentified\n"));
    EXPECT_THAT(out, HasSubstr("\torvj-report 3.1.0\t"));
    EXPECT_THAT(out, EndsWith("chain: intact\n"));
    EXPECT_THAT(out, Not(HasSubstr("Baker"))) << "a name reached the trail";

    ASSERT_EQ(run({"--audit", "--record", "2"}), 0) << err;
    EXPECT_THAT(out, Not(HasSubstr("\t1\t")));
    EXPECT_THAT(out, HasSubstr("\treport viewed\t2\t"));
    ASSERT_EQ(run({"--audit", "--since", "2999-01-01"}), 0) << err;
    EXPECT_EQ(out, "chain: intact\n");

    ASSERT_EQ(run({"--audit", "--verify"}), 0) << err;
    EXPECT_THAT(out, HasSubstr("the chain is intact"));
    const fs::path trail = clientFile.parent_path() / "DATA301.LOG";
    std::string bytes = readFile(trail);
    const std::size_t second = bytes.find('\n') + 1;
    bytes[second + 3] = bytes[second + 3] == '0' ? '1' : '0';
    writeFile(trail, bytes);
    EXPECT_EQ(run({"--audit", "--verify"}), 1);
    EXPECT_THAT(err, HasSubstr("DATA301.LOG: line 2 was changed"));

    // The three clients were saved one by one: the second save copied the first's file.
    ASSERT_EQ(run({"--backups"}), 0) << err;
    EXPECT_THAT(out, HasSubstr("\t1 client\t2 clients added (2-3)\n"));

    EXPECT_THROW(parseReportToolArguments({"--list", "--verify"}), std::invalid_argument);
    EXPECT_THROW(parseReportToolArguments({"--audit", "--record", "x"}), std::invalid_argument);
    EXPECT_THROW(parseReportToolArguments({"--audit", "--since", "12/08/2026"}),
                 std::invalid_argument);
    EXPECT_THROW(parseReportToolArguments({"--audit", "--backups"}), std::invalid_argument);
}

} // namespace
#endif
