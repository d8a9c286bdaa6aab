// REPORT.PRN and the numbered copies under write faults and kills: the name always holds a
// whole report (the old one or the new one), and no temporary outlives its run; the next run
// clears what a killed one left, but never what a live run is writing.
#include "StoreTestSupport.h"

#include "store/ReportFiles.h"
#include "store/ReportFolderLock.h"
#include "tests/platform/TestProcess.h"

#include <chrono>
#include <optional>
#include <random>
#include <thread>

using namespace orvj;
using namespace orvj::storetest;
using platform::File;
namespace fs = std::filesystem;

namespace {

using ReportFilesTest = DataFolderTest;

// A refusal names the report file (never a temporary) or both files of a copy.
TEST_F(ReportFilesTest, AFailedWriteOrCopyLeavesTheOldFileWholeAndNoTemporary) {
    const fs::path report = ReportFiles::reportFile(dir);
    const fs::path copy = ReportFiles::copyFile(dir, 3);
    const std::string fresh(9448, 'n');
    const std::set<std::string> names = {"REPORT.PRN", "temp3"};
    const auto prepare = [&] {
        test::writeFile(report, "old report\f");
        test::writeFile(copy, "old copy\f");
    };
    for (const auto& fc : kWriteFaults) {
        if (fc.op == platform::FaultOp::Flush) {
            continue; // a report is not flushed to the disk: it can always be composed again
        }
        SCOPED_TRACE(fc.name);
        strikeAtEveryCall(
            fc, report.string() + ": ", prepare, [&] { ReportFiles::write(report, fresh); },
            [&](bool failed, int) {
                EXPECT_EQ(read(report), failed ? "old report\f" : fresh);
                EXPECT_EQ(namesIn(dir), names);
            });
        strikeAtEveryCall(
            fc, "cannot copy " + report.string() + " to " + copy.string() + ": ", prepare,
            [&] { ReportFiles::copy(report, copy); },
            [&](bool failed, int) {
                EXPECT_EQ(read(copy), failed ? "old copy\f" : "old report\f");
                EXPECT_EQ(namesIn(dir), names);
            });
    }
}

// Two reports of different lengths, written in turn into REPORT.PRN and copied to temp1
// until the writer is killed.
[[noreturn]] void writeReportsForever(const fs::path& dir, const std::string& a,
                                      const std::string& b) {
    const ReportFolderLock lock(dir, std::chrono::milliseconds(0));
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
            const std::string bytes = read(dir / name);
            ASSERT_TRUE(bytes == a || bytes == b)
                << name << " holds " << bytes.size() << " bytes after attempt " << attempt;
        }
        const ReportFolderLock next(dir, std::chrono::seconds(10));
        ASSERT_EQ(namesIn(dir), (std::set<std::string>{"REPORT.PRN", "temp1", "REPORT.LCK"}));
    }
}

// A second run (another PC on the share) finds a run at work: it waits, touches nothing of
// the other's and, after the wait, says who holds the lock and what to do. Once the holder
// is gone, the temporary it left is abandoned and the next holder removes it.
TEST_F(ReportFilesTest, ARunWaitsForTheLockAndLeavesTheHoldersTemporaries) {
    test::writeFile(dir / "temp1", "client 1\f");
    std::optional<ReportFolderLock> holder(std::in_place, dir, std::chrono::milliseconds(0));
    const fs::path live =
        File::createTemporaryBeside(ReportFiles::copyFile(dir, 2), "write").path();
    std::string message;
    EXPECT_EQ(errorOf([&] { ReportFolderLock(dir, std::chrono::milliseconds(150)); }, &message),
              ErrorCode::FileLocked);
    for (const std::string& part :
         {dir.string() +
              ": the report files of this program folder are in use by a report run "
              "on PC " +
              platform::computerName() + " (process " + std::to_string(platform::processId()) +
              ") since ",
          std::string("not released within 0.2 seconds"), std::string("restart that PC"),
          "delete " + ReportFolderLock::lockPathFor(dir).string() + "."}) {
        EXPECT_NE(message.find(part), std::string::npos) << part << "\nin: " << message;
    }
    EXPECT_TRUE(fs::exists(live));

    holder.reset();
    // Windows may drop a closed file's lock a moment later.
    const ReportFolderLock next(dir, std::chrono::seconds(2));
    EXPECT_EQ(namesIn(dir), (std::set<std::string>{"temp1", "REPORT.LCK"}));
    EXPECT_EQ(ReportFiles::removeAll(next), std::vector<std::string>{});
    EXPECT_EQ(namesIn(dir), std::set<std::string>{"REPORT.LCK"});
}

#ifndef _WIN32
// Another user of a shared program folder links REPORT.LCK to one of this user's files.
TEST_F(ReportFilesTest, ALockFileThatIsALinkIsRefusedAndItsTargetKept) {
    test::TempFolder outside;
    const fs::path sentinel = outside.path() / "sentinel";
    test::writeFile(sentinel, "keep me");
    fs::create_symlink(sentinel, ReportFolderLock::lockPathFor(dir));
    std::string message;
    EXPECT_NE(errorOf([&] { ReportFolderLock(dir, std::chrono::milliseconds(0)); }, &message), 0);
    EXPECT_NE(message.find(ReportFolderLock::lockPathFor(dir).string()), std::string::npos)
        << message;
    EXPECT_EQ(read(sentinel), "keep me");
}
#endif

} // namespace
