#include "cli/ReportTool.h"
#include "scoring/ReportWriter.h"
#include "store/ClientFile.h"
#include "store/platform/File.h"
#include "store/platform/WriteFaults.h"
#include "tests/platform/TestProcess.h"
#include "tests/scoring/InventoryFixture.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <set>
#include <sstream>
#include <stdexcept>

using namespace orvj;
using namespace orvj::testing;
using ::testing::HasSubstr;
using ::testing::Not;
namespace fs = std::filesystem;

namespace {

int runProcess(const fs::path& home, const std::string& args) {
    return testplatform::runCommand(std::string(ORVJ_REPORT_BINARY) + " --home '" + home.string() +
                                    "' " + args + testplatform::discardOutput());
}

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

// A viewer shows REPORT.PRN while the next report is written: the new report replaces it
// whole, the viewer keeps the old text, and no temporary is left.
TEST_F(ReportToolTest, AReportHeldOpenByAViewerIsReplacedWhole) {
    ASSERT_EQ(run({"--client", "1"}), 0) << err;
    {
        const platform::File viewer =
            platform::File::open(home.path() / "REPORT.PRN", platform::File::Mode::Read, "view");
        ASSERT_EQ(run({"--client", "2"}), 0) << err;
        EXPECT_EQ(readFile(home.path() / "REPORT.PRN"), report(2, ReportOption::Standard));
        std::string seen(static_cast<std::size_t>(viewer.size("view")), '\0');
        seen.resize(viewer.readAt(0, seen.data(), seen.size(), "view"));
        EXPECT_EQ(seen, report(1, ReportOption::Standard));
    }
    for (const auto& entry : std::filesystem::directory_iterator(home.path())) {
        const std::string name = entry.path().filename().string();
        EXPECT_TRUE(name == "REPORT.PRN" || name.rfind("REPORT.PRN", 0) != 0) << name;
    }
}

TEST_F(ReportToolTest, ListsClientsAndScores) {
    ASSERT_EQ(run({"--list"}), 0) << err;
    EXPECT_EQ(out, "  1  Able, Ann                  03/14/2026  complete\n"
                   "  2  Baker, Bob                 03/14/2026  incomplete (1 of 143 unanswered)\n"
                   "  3  Carr, Cy \xC3\xA9                 03/14/2026  complete\n");
}

// Splits RFC 4180 text into records of fields; a quoted field may hold commas and quotes.
std::vector<std::vector<std::string>> parseCsv(const std::string& text) {
    std::vector<std::vector<std::string>> rows(1, std::vector<std::string>(1));
    bool quoted = false;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (quoted) {
            if (c == '"' && i + 1 < text.size() && text[i + 1] == '"') {
                rows.back().back() += '"';
                ++i;
            } else if (c == '"') {
                quoted = false;
            } else {
                rows.back().back() += c;
            }
        } else if (c == '"') {
            quoted = true;
        } else if (c == ',') {
            rows.back().emplace_back();
        } else if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n') {
            rows.emplace_back(1);
            ++i;
        } else {
            rows.back().back() += c;
        }
    }
    EXPECT_EQ(rows.back(), std::vector<std::string>(1)) << "the last line ends in CR LF";
    rows.pop_back();
    return rows;
}

TEST_F(ReportToolTest, ResearchExportWithAndWithoutIdentity) {
    clients.at(2).set(ClientRecord::Field::Name, "O\"Neil, \"Bo\"");
    clients.at(2).set(ClientRecord::Field::Education, "9"); // outside the table: no label
    clients.at(2).set(ClientRecord::Field::EditCount, "2");
    ClientFile(home.path() / "clients" / "data" / ClientFile::kFileName).writeRecord(clients, 2);

    ASSERT_EQ(run({"--scores", "--csv"}), 0) << err;
    auto rows = parseCsv(out);
    ASSERT_EQ(rows.size(), 4u) << out;
    ASSERT_EQ(rows[0].size(), 13u + 27u);
    EXPECT_EQ(std::vector<std::string>(rows[0].begin(), rows[0].begin() + 14),
              (std::vector<std::string>{"record", "name", "id", "age", "sex", "sex label", "race",
                                        "race label", "education", "education label", "test date",
                                        "edit count", "validity", "TRUTHFULNESS raw"}));
    EXPECT_EQ(rows[0].back(), "FAMILY ISSUES risk");
    for (const auto& row : rows) {
        EXPECT_EQ(row.size(), rows[0].size());
    }
    EXPECT_EQ(std::vector<std::string>(rows[1].begin(), rows[1].begin() + 17),
              (std::vector<std::string>{"1", "Able, Ann", "123-45-6789", "15", "1", "Male", "1",
                                        "Caucasian", "3", "8th grade", "03/14/2026", "0", "valid",
                                        "0", "0", "LOW", "0"}));
    EXPECT_EQ(rows[2][1], "O\"Neil, \"Bo\"");
    EXPECT_EQ(rows[2][8], "9");
    EXPECT_EQ(rows[2][9], "");
    EXPECT_EQ(rows[2][11], "2");
    EXPECT_EQ(rows[3][1], "Carr, Cy \xC3\xA9") << "names are UTF-8 in the export";
    EXPECT_EQ(rows[3][12], "invalid");
    EXPECT_THAT(out, HasSubstr(",\"O\"\"Neil, \"\"Bo\"\"\",")) << "quotes doubled inside quotes";

    // De-identified, with the answers: no name or ID anywhere, the record number stays.
    ASSERT_EQ(run({"--scores", "--csv", "--deidentified", "--responses"}), 0) << err;
    rows = parseCsv(out);
    ASSERT_EQ(rows.size(), 4u);
    EXPECT_EQ(rows[0][1], "age");
    EXPECT_EQ(rows[0].back(), "responses");
    EXPECT_EQ(rows[1][0], "1");
    EXPECT_EQ(rows[1].back(), clients.at(1).field(ClientRecord::Field::Responses));
    for (const char* secret : {"Able", "Neil", "Carr", "123-45-6789"}) {
        EXPECT_THAT(out, ::testing::Not(HasSubstr(secret)));
    }
    ASSERT_EQ(run({"--scores", "--deidentified"}), 0) << err;
    EXPECT_THAT(out, ::testing::Not(HasSubstr("Able")));
    EXPECT_THAT(out, HasSubstr("INVALID TEST"));

    EXPECT_THROW(parseReportToolArguments({"--list", "--deidentified"}), std::invalid_argument);
    EXPECT_THROW(parseReportToolArguments({"--scores", "--responses"}), std::invalid_argument);
}

#ifdef ORVJ_CORE_ONLY
TEST_F(ReportToolTest, TheTextOnlyToolRefusesPdfAndPrintingAndWritesNothing) {
    EXPECT_EQ(run({"--client", "2", "--pdf", (home.path() / "r.pdf").string()}), 2);
    EXPECT_THAT(err, HasSubstr("need the full build"));
    EXPECT_EQ(run({"--all", "--print"}), 2);
    EXPECT_FALSE(std::filesystem::exists(home.path() / "REPORT.PRN"));
    EXPECT_FALSE(std::filesystem::exists(home.path() / "r.pdf"));
}
#else
TEST_F(ReportToolTest, PrintGoesIntoThePrintFolderWhereOneIsSet) {
    const auto folder = home.path() / "printed";
    std::filesystem::create_directories(folder);
    testplatform::setEnvironment("ORVJ_PRINT_DIR", folder.string());
    const int status = run({"--client", "1", "--print"});
    testplatform::unsetEnvironment("ORVJ_PRINT_DIR");
    ASSERT_EQ(status, 0) << err;
    EXPECT_THAT(out, HasSubstr("Printed 1 report into PDF files in " + folder.string()));
    const std::string text = readFile(home.path() / "REPORT.PRN");
    EXPECT_EQ(pdfPages(folder / "print-001.pdf"), std::count(text.begin(), text.end(), '\f') + 1);
}

TEST_F(ReportToolTest, RunsAsAProcessWithExitStatuses) {
    auto runProcess = [&](const std::string& args) {
        return testplatform::runCommand(std::string(ORVJ_REPORT_BINARY) + " --home '" +
                                        home.path().string() + "' " + args + " " +
                                        testplatform::discardOutput());
    };
    const auto pdf = home.path() / "r.pdf";
    EXPECT_EQ(runProcess("--client 2 --option both --pdf '" + pdf.string() + "'"), 0);
    const std::string text = readFile(home.path() / "REPORT.PRN");
    EXPECT_EQ(pdfPages(pdf), std::count(text.begin(), text.end(), '\f') + 1) << "a sheet a page";
    EXPECT_EQ(runProcess("--frobnicate"), 2);
    EXPECT_EQ(runProcess("--client"), 2);
}
#endif

#ifndef ORVJ_CORE_ONLY // the installed layout of the full build (GNU install folders)
// An installed layout in a temporary folder: the executable in bin/ without a configuration
// file beside it, the template in share/orvj, and a user with an empty home.
TEST(ReportToolInstalled, FirstUseLaysOutThePerUserFolderOnceAndAMissingTemplateIsNamed) {
    namespace fs = std::filesystem;
    TempFolder root;
    const fs::path bin = root.path() / "usr" / "bin";
    const fs::path share = root.path() / "usr" / "share" / "orvj";
    const fs::path user = root.path() / "home";
    fs::create_directories(bin);
    fs::create_directories(user);
    fs::copy_file(ORVJ_REPORT_BINARY, bin / "orvj-report");
    auto run = [&](const std::string& args) {
        const std::string command = "env -u ORVJ_HOME -u XDG_DATA_HOME HOME='" + user.string() +
                                    "' '" + (bin / "orvj-report").string() + "' " + args + " >'" +
                                    (root.path() / "out").string() + "' 2>'" +
                                    (root.path() / "err").string() + "'";
        return testplatform::runCommand(command);
    };
    const fs::path folder = user / ".local" / "share" / "orvj";

    EXPECT_EQ(run("--list"), 1);
    EXPECT_THAT(readFile(root.path() / "err"), HasSubstr(folder.string()));
    EXPECT_THAT(readFile(root.path() / "err"), HasSubstr(share.string()));
    EXPECT_FALSE(fs::exists(folder)) << "nothing is left half laid out";

    fs::create_directories(share.parent_path());
    fs::copy(ORVJ_SAMPLE_HOME, share, fs::copy_options::recursive);
    for (const char* program : {"orvj", "orvj-report", "orvj-mkdata"}) {
        fs::remove(share / program);
    }
    EXPECT_EQ(run("--help"), 0);
    EXPECT_THAT(readFile(root.path() / "out"),
                HasSubstr("Program folder: " + folder.string() + " (the per-user folder"));
    EXPECT_EQ(run("--list"), 0) << readFile(root.path() / "err");
    EXPECT_THAT(readFile(root.path() / "err"), HasSubstr("SAMPLE"));
    EXPECT_THAT(readFile(root.path() / "out"), HasSubstr("  7  "));
    EXPECT_EQ(readFile(folder / "ORVJB.TXT"), readFile(share / "ORVJB.TXT"));
    EXPECT_EQ(run("--client 1"), 0) << readFile(root.path() / "err");
    EXPECT_EQ(readFile(root.path() / "err"), "") << "the notice is given once";
    EXPECT_TRUE(fs::exists(folder / "REPORT.PRN"));
}

#endif

TEST(ReportToolArguments, NumbersArePlainDigitsAndNoOptionIsGivenTwice) {
    const std::vector<std::vector<std::string>> refused = {
        {"--client", " 1"},
        {"--client", "+1"},
        {"--client", "1 "},
        {"--client", "-1"},
        {"--client", "0x1"},
        {"--client", ""},
        {"--client", "99999999999"},
        {"--client", "1", "--client", "2"},
        {"--list", "--list"},
        {"--all", "--option", "both", "--option", "standard"},
        {"--client", "1", "--pdf", "a.pdf", "--pdf", "b.pdf"},
        {"--home", "a", "--home", "b", "--list"},
        {"--scores", "--csv", "--csv"},
    };
    for (const auto& args : refused) {
        std::string joined;
        for (const auto& a : args) {
            joined += "[" + a + "]";
        }
        EXPECT_THROW(parseReportToolArguments(args), std::invalid_argument) << joined;
    }
    try {
        parseReportToolArguments({"--client", "1", "--client", "2"});
    } catch (const std::invalid_argument& e) {
        EXPECT_STREQ(e.what(), "--client is given more than once");
    }
    EXPECT_EQ(parseReportToolArguments({"--client", "007"}).client, 7);
    EXPECT_EQ(runProcess("/nonexistent", "--client 1 --client 2"), 2);
}

TEST_F(ReportToolTest, MessagesNameTheFileAndTheRealReason) {
    const fs::path notAFolder = home.path() / "ORVJB.TXT";
    auto runIn = [&](const fs::path& folder, std::vector<std::string> args) {
        args.insert(args.begin(), {"--home", folder.string()});
        std::ostringstream o;
        std::ostringstream e;
        const int status = runReportTool(parseReportToolArguments(args), "/nonexistent", o, e);
        err = e.str();
        return status;
    };
    EXPECT_EQ(runIn(notAFolder, {"--list"}), 1);
    EXPECT_THAT(err, HasSubstr(notAFolder.string() + ": names a file, not a program folder"));

    TempFolder bare;
    EXPECT_EQ(runIn(bare.path(), {"--list"}), 1);
    EXPECT_THAT(err, HasSubstr((bare.path() / "ORVJTest.ini").string() +
                               ": the configuration file is missing"));
    EXPECT_THAT(err, Not(HasSubstr("\"a:\"")));

    // A record with an answer code its item does not have, as a file written elsewhere holds.
    std::string answers(clients.at(2).field(ClientRecord::Field::Responses));
    answers[9] = '7';
    clients.at(2).set(ClientRecord::Field::Responses, answers);
    const fs::path clientFile = home.path() / "clients" / "data" / ClientFile::kFileName;
    ClientFile(clientFile).writeRecord(clients, 2);
    for (const std::vector<std::string>& args :
         {std::vector<std::string>{"--client", "2"}, std::vector<std::string>{"--all"}}) {
        EXPECT_EQ(run(args), 1);
        EXPECT_THAT(err,
                    HasSubstr(clientFile.string() + ": client record 2: the answer to item 10"));
    }
}

TEST_F(ReportToolTest, AFailedCopyNamesBothFilesInTheProgramsWords) {
    struct Disarm {
        ~Disarm() { platform::disarmWriteFaults(); }
    } disarm;
    // The first rename puts client 1's REPORT.PRN in place, the second its copy temp1.
    platform::armWriteFault(platform::FaultOp::Rename, 2);
    EXPECT_EQ(run({"--all"}), 1);
    EXPECT_TRUE(platform::writeFaultStruck());
    EXPECT_THAT(err, HasSubstr("client 1: cannot copy " + (home.path() / "REPORT.PRN").string() +
                               " to " + (home.path() / "temp1").string() + ": "));
    EXPECT_THAT(err, Not(HasSubstr("filesystem error")));
}

TEST_F(ReportToolTest, ReportFilesStayWholeUnderWriteFaultsAndLeftoversGo) {
    struct Disarm {
        ~Disarm() { platform::disarmWriteFaults(); }
    } disarm;
    ASSERT_EQ(run({"--all"}), 0) << err;
    std::string before[4];
    for (int k = 1; k <= 3; ++k) {
        before[k] = readFile(home.path() / ("temp" + std::to_string(k)));
    }
    // A killed run's temporaries, holding names in clear.
    writeFile(home.path() / "REPORT.PRN.Ab12Cd", "Able, Ann");
    writeFile(home.path() / "temp2.zz99yy", "Baker, Bob");

    const std::set<std::string> copies = {"temp1", "temp2", "temp3"};
    for (const auto op :
         {platform::FaultOp::Write, platform::FaultOp::Close, platform::FaultOp::Rename}) {
        for (int nth = 1; nth <= 6; ++nth) {
            platform::armWriteFault(op, nth, platform::FaultKind::Short);
            EXPECT_EQ(run({"--all", "--option", "both"}), 1) << nth;
            platform::disarmWriteFaults();
            std::set<std::string> names;
            for (const auto& e : fs::directory_iterator(home.path())) {
                const std::string name = e.path().filename().string();
                if (name.rfind("temp", 0) == 0 || name.rfind("REPORT", 0) == 0) {
                    names.insert(name);
                }
            }
            // REPORT.PRN is whole, or gone when the fault struck its own write.
            if (names.erase("REPORT.PRN") == 1) {
                const std::string last = readFile(home.path() / "REPORT.PRN");
                EXPECT_TRUE(last == report(1, ReportOption::Both) ||
                            last == report(2, ReportOption::Both) ||
                            last == report(3, ReportOption::Both))
                    << "REPORT.PRN is torn after fault " << nth;
            }
            EXPECT_EQ(names, copies) << "a temporary stayed after fault " << nth;
            for (int k = 1; k <= 3; ++k) {
                const std::string copy = readFile(home.path() / ("temp" + std::to_string(k)));
                EXPECT_TRUE(copy == before[k] || copy == report(k, ReportOption::Both))
                    << "temp" << k << " is torn after fault " << nth;
            }
        }
    }
}

TEST_F(ReportToolTest, AReadOnlyDataFolderCanBeReported) {
    if (!testplatform::childProcessesAvailable()) {
        GTEST_SKIP() << "needs child processes";
    }
    const fs::path data = home.path() / "clients" / "data";
    const fs::path file = data / ClientFile::kFileName;
    // The unprivileged child writes REPORT.PRN in the program folder.
    fs::permissions(home.path(), fs::perms::all);
    fs::permissions(file, fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read);
    fs::permissions(data, fs::perms::all & ~(fs::perms::owner_write | fs::perms::group_write |
                                             fs::perms::others_write));
    const std::string bytesBefore = readFile(file);
    for (const std::vector<std::string>& args :
         {std::vector<std::string>{"--list"}, std::vector<std::string>{"--scores"},
          std::vector<std::string>{"--client", "1"}, std::vector<std::string>{"--all"}}) {
        // Modes do not bind the administrator: the child gives up those rights first.
        testplatform::Child child(
            [&] { return testplatform::becomeUnprivileged() ? run(args) : 9; });
        EXPECT_EQ(child.wait(), 0) << args.front();
    }
    fs::permissions(data, fs::perms::owner_all, fs::perm_options::add);
    EXPECT_EQ(readFile(file), bytesBefore);
    EXPECT_TRUE(fs::exists(home.path() / "temp3"));
}

#ifndef ORVJ_CORE_ONLY // --pdf is the full build's
void setAnswers(ClientRecord& r, int first, int last, char code) {
    std::string answers(r.field(ClientRecord::Field::Responses));
    for (int item = first; item <= last; ++item) {
        answers[static_cast<std::size_t>(item - 1)] = code;
    }
    r.set(ClientRecord::Field::Responses, answers);
}

// Each report page of every sample client in every form is one printed sheet, also for the
// answers that make the longest blocks (needs in both columns, stressors unanswered).
TEST(ReportToolPdf, OneSheetPerReportPageForEverySampleClientAndForm) {
    TempFolder home;
    for (const auto& entry : fs::directory_iterator(ORVJ_SAMPLE_HOME)) {
        const std::string name = entry.path().filename().string();
        if (entry.is_regular_file() && name != "REPORT.PRN" && name.rfind("temp", 0) != 0) {
            fs::copy_file(entry.path(), home.path() / name);
        }
    }
    fs::create_directory(home.path() / "data");
    const fs::path clientFile = home.path() / "data" / ClientFile::kFileName;
    fs::copy_file(fs::path(ORVJ_SAMPLE_HOME) / "data" / ClientFile::kFileName, clientFile);
    ClientTable sample;
    ClientFile(clientFile).load(sample);
    ASSERT_GE(sample.clientCount, 5);

    ClientTable longBlocks = sample;
    setAnswers(longBlocks.at(2), 136, 143, '0');
    setAnswers(longBlocks.at(4), 121, 131, '1');
    setAnswers(longBlocks.at(1), 121, 131, '1');
    setAnswers(longBlocks.at(1), 76, 120, '0');
    setAnswers(longBlocks.at(3), 121, 131, '1');
    setAnswers(longBlocks.at(3), 132, 143, '0');

    for (const ClientTable* table : {&sample, &longBlocks}) {
        for (int k = 1; k <= table->clientCount; ++k) {
            ClientTable copy = *table;
            ClientFile(clientFile).writeRecord(copy, k);
        }
        for (const char* option : {"standard", "one-page", "both"}) {
            const fs::path pdf = home.path() / (std::string(option) + ".pdf");
            ASSERT_EQ(runProcess(home.path(), std::string("--all --option ") + option + " --pdf '" +
                                                  pdf.string() + "'"),
                      0)
                << option;
            long pages = 0;
            for (int k = 1; k <= table->clientCount; ++k) {
                const std::string text = readFile(home.path() / ("temp" + std::to_string(k)));
                pages += std::count(text.begin(), text.end(), '\f') + 1;
            }
            EXPECT_EQ(pdfPages(pdf), pages)
                << option << (table == &sample ? ", sample clients" : ", long blocks");
        }
    }
}
#endif

} // namespace
