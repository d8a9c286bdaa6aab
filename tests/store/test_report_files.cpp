// REPORT.PRN and the numbered copies under write faults and kills: the name always holds a
// whole report (the old one or the new one), and no temporary outlives its run.
#include "StoreTestSupport.h"

#include "store/ReportFiles.h"
#include "tests/platform/TestProcess.h"

#include <gmock/gmock.h>

#include <chrono>
#include <random>
#include <thread>

using namespace orvj;
using namespace orvj::storetest;
using ::testing::HasSubstr;
using ::testing::Not;
namespace fs = std::filesystem;

namespace {

using ReportFilesTest = DataFolderTest;

TEST_F(ReportFilesTest, AFailedWriteOrCopyLeavesTheOldFileWholeAndNoTemporary) {
    Disarm disarm;
    const fs::path report = ReportFiles::reportFile(dir);
    const fs::path copy = ReportFiles::copyFile(dir, 3);
    const std::string fresh(9448, 'n');
    for (const auto& fc : kWriteFaults) {
        if (fc.op == platform::FaultOp::Flush) {
            continue; // a report is not flushed to the disk: it can always be composed again
        }
        SCOPED_TRACE(fc.name);
        writeBytes(report, "old report\f");
        writeBytes(copy, "old copy\f");
        std::string what;
        platform::armWriteFault(fc.op, 1, fc.kind);
        EXPECT_NE(errorOf([&] { ReportFiles::write(report, fresh); }, &what), 0);
        EXPECT_THAT(what, HasSubstr(report.string() + ": "));
        EXPECT_THAT(what, Not(HasSubstr(".PRN."))) << "a temporary's name";
        EXPECT_EQ(readBytes(report), "old report\f");

        platform::armWriteFault(fc.op, 1, fc.kind);
        EXPECT_NE(errorOf([&] { ReportFiles::copy(report, copy); }, &what), 0);
        EXPECT_THAT(what,
                    HasSubstr("cannot copy " + report.string() + " to " + copy.string() + ": "));
        EXPECT_THAT(what, Not(HasSubstr("filesystem error")));
        platform::disarmWriteFaults();
        EXPECT_EQ(readBytes(copy), "old copy\f");
        EXPECT_EQ(namesIn(dir), (std::set<std::string>{"REPORT.PRN", "temp3"}));
    }

    ReportFiles::write(report, fresh);
    ReportFiles::copy(report, copy);
    EXPECT_EQ(readBytes(copy), fresh);
    EXPECT_EQ(namesIn(dir), (std::set<std::string>{"REPORT.PRN", "temp3"}));
}

TEST_F(ReportFilesTest, CopyingAMissingReportNamesIt) {
    std::string what;
    EXPECT_NE(errorOf([&] { ReportFiles::copy(dir / "REPORT.PRN", dir / "temp1"); }, &what), 0);
    EXPECT_THAT(what, HasSubstr((dir / "REPORT.PRN").string() + ": "));
    EXPECT_FALSE(fs::exists(dir / "temp1"));
}

TEST_F(ReportFilesTest, LeftoversOfAKilledRunGoAndEverythingElseStays) {
    const std::set<std::string> leftovers = {"REPORT.PRN.x1Y2z3", "temp7.AAAAAA", "TEMP12.a00000"};
    const std::set<std::string> reports = {"REPORT.PRN", "temp1", "Temp2"};
    const std::set<std::string> others = {"REPORT.PRN.bak", "temp3.abcde",       "tempo.abcdef",
                                          "ORVJB.TXT",      "REPORT.PRN.abc-ef", "temp"};
    for (const auto& set : {leftovers, reports, others}) {
        for (const auto& name : set) {
            writeBytes(dir / name, "x");
        }
    }
    fs::create_directory(dir / "temp9.abcdef"); // not a file: not ours to remove

    ReportFiles::removeLeftovers(dir);
    std::set<std::string> expected = reports;
    expected.insert(others.begin(), others.end());
    expected.insert("temp9.abcdef");
    EXPECT_EQ(namesIn(dir), expected);

    for (const auto& name : leftovers) {
        writeBytes(dir / name, "x");
    }
    EXPECT_TRUE(ReportFiles::removeAll(dir).empty());
    expected = others;
    expected.insert("temp9.abcdef");
    EXPECT_EQ(namesIn(dir), expected);
}

TEST_F(ReportFilesTest, AReportNamedInAnotherCaseIsTheReport) {
    EXPECT_EQ(ReportFiles::reportFile(dir), dir / "REPORT.PRN");
    writeBytes(dir / "Report.prn", "x");
    // Names the file that is there (on a file system that ignores case, under either spelling).
    EXPECT_TRUE(fs::equivalent(ReportFiles::reportFile(dir), dir / "Report.prn"));
    writeBytes(dir / "REPORT.PRN", "x");
    EXPECT_EQ(ReportFiles::reportFile(dir), dir / "REPORT.PRN");
}

// Two reports of different lengths, written in turn into REPORT.PRN and copied to temp1
// until the writer is killed.
[[noreturn]] void writeReportsForever(const fs::path& dir, const std::string& a,
                                      const std::string& b) {
    for (int n = 0;; ++n) {
        ReportFiles::write(ReportFiles::reportFile(dir), n % 2 == 0 ? a : b);
        ReportFiles::copy(ReportFiles::reportFile(dir), ReportFiles::copyFile(dir, 1));
    }
}

TEST_F(ReportFilesTest, AKilledRunLeavesWholeReportsAndTheNextRunClearsItsTemporaries) {
    const std::string a(9448, 'a');
    const std::string b(3000, 'b');
    ReportFiles::write(dir / "REPORT.PRN", a);
    ReportFiles::copy(dir / "REPORT.PRN", dir / "temp1");
    if (!testplatform::childProcessesAvailable()) {
        GTEST_SKIP() << "no child processes to kill on this system";
    }
    std::mt19937 random(7);
    std::uniform_int_distribution<int> pause(0, 3000); // microseconds
    for (int attempt = 0; attempt < 150; ++attempt) {
        testplatform::Child writer([&]() -> int { writeReportsForever(dir, a, b); });
        std::this_thread::sleep_for(std::chrono::microseconds(pause(random)));
        writer.kill();
        const int status = writer.wait();
        ASSERT_EQ(status, -1) << "the writer stopped by itself: " << status;
        for (const char* name : {"REPORT.PRN", "temp1"}) {
            const std::string bytes = readBytes(dir / name);
            ASSERT_TRUE(bytes == a || bytes == b)
                << name << " holds " << bytes.size() << " bytes after attempt " << attempt;
        }
        ReportFiles::removeLeftovers(dir);
        ASSERT_EQ(namesIn(dir), (std::set<std::string>{"REPORT.PRN", "temp1"}));
    }
}

} // namespace
