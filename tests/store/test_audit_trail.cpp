// The audit trail beside the client file and the client file's backups: the chain finds every
// changed, removed or inserted byte, a torn last line is closed by the next append, a change
// never reaches the client file without its line, and copies rotate, compare, restore and lose
// their names.
#include "StoreTestSupport.h"

#include "store/AuditTrail.h"
#include "store/Backups.h"

#include "tests/platform/TestProcess.h"

#include <algorithm>
#include <chrono>
#include <iostream>
#include <random>
#include <set>
#include <thread>

using namespace orvj;
using namespace orvj::storetest;
namespace fs = std::filesystem;
using F = ClientRecord::Field;

namespace {

class AuditTest : public DataFolderTest {
protected:
    fs::path trailPath() const { return dir / AuditTrail::kFileName; }
    std::string trailBytes() const { return test::readFile(trailPath()); }

    // A client file of n clients saved one by one through the program's write.
    ClientTable saved(int n) {
        ClientTable t;
        ClientFile file(path);
        file.load(t);
        for (int k = 1; k <= n; ++k) {
            t.at(k) = client("C" + std::to_string(k));
            file.writeRecord(t, k);
            t.countNewTest();
        }
        return t;
    }
    void TearDown() override { Backups::setOptions({}); }
};

std::vector<std::string> linesOf(const std::string& bytes) {
    std::vector<std::string> lines;
    std::size_t from = 0;
    for (std::size_t at; (at = bytes.find('\n', from)) != std::string::npos; from = at + 1) {
        lines.push_back(bytes.substr(from, at - from + 1));
    }
    return lines;
}

TEST_F(AuditTest, SavesLeaveChainedLinesNamingFieldsAndItemsOnly) {
    ClientTable t = saved(2);
    t.at(2).set(F::Age, "15");
    std::string answers(143, '1');
    answers[16] = '2';
    answers[17] = '2';
    t.at(2).set(F::Responses, answers.substr(0, 2) + "3" + answers.substr(3));
    ClientFile file(path);
    file.setAuditEvent(AuditEvent::VerificationCorrections);
    file.writeRecord(t, 2);

    const AuditRead trail = AuditTrail(path).read();
    EXPECT_TRUE(trail.check.intact) << trail.check.problem;
    // The first save found no file to copy, the second copied the file of one client.
    ASSERT_EQ(trail.lines.size(), 4u);
    EXPECT_EQ(trail.lines[0].event, "client added");
    EXPECT_EQ(trail.lines[1].event, "backup made");
    EXPECT_EQ(trail.lines[2].records, "2");
    const AuditLine& last = trail.lines[3];
    EXPECT_EQ(last.event, "verification corrections");
    EXPECT_EQ(last.detail, "fields Age; items 3, 17-18");
    EXPECT_FALSE(last.failed);
    EXPECT_EQ(last.fileHash, AuditTrail::fileHash(test::readFile(path)));
    EXPECT_EQ(trailBytes().find("C2"), std::string::npos) << "a name reached the trail";
    EXPECT_TRUE(last.mentionsRecord(2));
    EXPECT_FALSE(last.mentionsRecord(1));
    EXPECT_EQ(recordList({7, 1, 2, 3, 5}), "1-3, 5, 7");
}

// A new client's stored test is the client added and the test stored; a later answer sheet
// for the same client says how far it got.
TEST_F(AuditTest, AStoredTestSaysHowItWasGivenAndWhetherItIsComplete) {
    ClientTable t = saved(1);
    t.at(2) = client("New");
    ClientFile file(path);
    file.setAuditEvent(AuditEvent::TestStored, "on-screen");
    file.writeRecord(t, 2);
    t.countNewTest();
    std::string partial(143, '2');
    partial[4] = partial[9] = '0';
    t.at(2).set(F::Responses, partial);
    file.setAuditEvent(AuditEvent::TestStored, "answer sheet");
    file.writeRecord(t, 2);

    const AuditRead trail = AuditTrail(path).read();
    ASSERT_GE(trail.lines.size(), 3u);
    const auto& l = trail.lines;
    const std::size_t n = l.size();
    EXPECT_EQ(l[n - 3].event, "client added");
    EXPECT_EQ(l[n - 3].records, "2");
    EXPECT_EQ(l[n - 2].event, "test stored");
    EXPECT_EQ(l[n - 2].detail, "on-screen, completed");
    EXPECT_EQ(l[n - 1].detail, "answer sheet, not completed (2 unanswered); items 1-143");
}

TEST_F(AuditTest, EveryChangedRemovedOrInsertedByteIsFoundAndNamed) {
    saved(3);
    const std::string good = trailBytes();
    ASSERT_TRUE(AuditTrail::parse(good).check.intact);
    const std::vector<std::string> lines = linesOf(good);
    const auto lineOf = [&](std::size_t at) {
        return static_cast<int>(
                   std::count(good.begin(), good.begin() + static_cast<long>(at), '\n')) +
               1;
    };
    for (std::size_t at = 0; at < good.size(); ++at) {
        std::string changed = good;
        changed[at] = changed[at] == 'x' ? 'y' : 'x';
        std::string removed = good;
        removed.erase(at, 1);
        std::string inserted = good;
        inserted.insert(at, 1, '7');
        for (const std::string* bad : {&changed, &removed, &inserted}) {
            const AuditCheck check = AuditTrail::parse(*bad).check;
            EXPECT_FALSE(check.intact) << "byte " << at;
            // A removed line break joins two lines: either may be the one named.
            EXPECT_GE(check.badLine, lineOf(at) - 1) << "byte " << at << ": " << check.problem;
            EXPECT_LE(check.badLine, lineOf(at) + 1) << "byte " << at << ": " << check.problem;
        }
    }
    EXPECT_EQ(AuditTrail::parse(lines[0] + lines[2]).check.problem,
              "a line was removed before line 2");
    EXPECT_EQ(AuditTrail::parse(lines[0] + lines[0] + lines[1] + lines[2]).check.problem,
              "line 2 was inserted");
}

TEST_F(AuditTest, ATornLastLineIsNamedAndTheNextAppendStartsANewSegment) {
    saved(2);
    const std::string whole = trailBytes();
    test::writeFile(trailPath(), whole.substr(0, whole.size() - 30));
    EXPECT_EQ(AuditTrail(path).read().check.problem,
              "line 3 is torn: the program stopped while writing it");

    AuditTrail(path).record({AuditEvent::ReportViewed, "1", ""});
    const AuditRead repaired = AuditTrail(path).read();
    EXPECT_TRUE(repaired.check.intact) << repaired.check.problem;
    EXPECT_EQ(repaired.check.resumedAfterTorn, 1);
    ASSERT_EQ(repaired.lines.size(), 4u); // the torn line reads as no line
    EXPECT_EQ(repaired.lines[2].event, "trail resumed");
    EXPECT_EQ(repaired.lines[3].event, "report viewed");

    // A line whole but for its line end is torn too, and mended alike.
    const std::string mended = trailBytes();
    test::writeFile(trailPath(), mended.substr(0, mended.size() - 1));
    EXPECT_EQ(AuditTrail(path).read().check.problem,
              "line 5 is torn: the program stopped while writing it");
    AuditTrail(path).record({AuditEvent::ReportPrinted, "1", ""});
    const AuditRead twice = AuditTrail(path).read();
    EXPECT_TRUE(twice.check.intact) << twice.check.problem;
    EXPECT_EQ(twice.check.resumedAfterTorn, 2);
}

// Each way a write can fail, at each call of its kind: the client file changed only with an
// unfailed line for it, the chain whole (at most a torn last line), and the next save mends it.
TEST_F(AuditTest, AFaultAnywhereNeverLeavesAChangeWithoutItsLine) {
    for (const FaultCase& fc : kWriteFaults) {
        SCOPED_TRACE(fc.name);
        ClientTable t;
        strikeAtEveryCall(
            fc, ClientFile::kFileName,
            [&] {
                fs::remove_all(dir);
                fs::create_directories(dir);
                t = saved(1);
                t.at(1).set(F::Age, "16");
            },
            [&] { ClientFile(path).writeRecord(t, 1); },
            [&](bool failed, int) {
                const std::string now = test::readFile(path);
                const bool changed = ClientRecord::layout(F::Age).offset < now.size() &&
                                     now.substr(ClientRecord::layout(F::Age).offset, 2) == "16";
                EXPECT_EQ(changed, !failed);
                const AuditRead trail = AuditTrail(path).read();
                EXPECT_TRUE(trail.check.intact ||
                            trail.check.problem.find("torn") != std::string::npos)
                    << trail.check.problem;
                const auto edit =
                    std::find_if(trail.lines.begin(), trail.lines.end(),
                                 [](const AuditLine& l) { return l.event == "client edited"; });
                if (changed) {
                    ASSERT_NE(edit, trail.lines.end());
                    EXPECT_FALSE(edit->failed);
                } else if (edit != trail.lines.end() && fc.op == platform::FaultOp::Rename) {
                    EXPECT_TRUE(edit->failed) << "a rename that failed left an unmarked line";
                }
                ClientFile(path).writeRecord(t, 1);
                const AuditRead after = AuditTrail(path).read();
                EXPECT_TRUE(after.check.intact) << after.check.problem;
            });
    }
}

TEST_F(AuditTest, ALineWhoseChangeNeverReachedTheFileIsMarkedByTheNextAppend) {
    ClientTable t = saved(1);
    const std::string before = test::readFile(path);
    t.at(1).set(F::Age, "17");
    ClientFile file(path);
    // As a program killed between its line and its rename: the hook puts the old file back
    // under the lock, as if the rename never came.
    file.setBeforeReplace([&] { throw OrvjError(ErrorCode::DeviceIO, "killed"); });
    EXPECT_THROW(file.writeRecord(t, 1), OrvjError);
    EXPECT_EQ(test::readFile(path), before);
    // The failure line said so; without it the next append must find the change missing.
    std::string trail = trailBytes();
    const std::vector<std::string> lines = linesOf(trail);
    test::writeFile(trailPath(), trail.substr(0, trail.size() - lines.back().size()));
    AuditTrail(path).record({AuditEvent::ReportPrinted, "1", ""});
    const AuditRead read = AuditTrail(path).read();
    EXPECT_TRUE(read.check.intact) << read.check.problem;
    ASSERT_GE(read.lines.size(), 3u);
    EXPECT_TRUE(read.lines[read.lines.size() - 3].failed);
    EXPECT_EQ(read.lines[read.lines.size() - 2].event, "change failed");
}

TEST_F(AuditTest, BackupsAreDailyRotateCompareRestoreAndLoseTheirNames) {
    Backups::setOptions({dir / "copies", 3});
    ClientTable t = saved(2);
    ClientFile file(path);
    const fs::path copies = dir / "copies";
    // The second save of the day found the first client's file and copied it, once.
    ASSERT_EQ(Backups::list(copies).size(), 1u);
    const std::string oneClient = Backups::read(Backups::list(copies)[0].file);
    EXPECT_EQ(oneClient, bytesOf(client("C1")));

    for (int i = 0; i < 5; ++i) {
        Backups::make(copies, test::readFile(path), std::time(nullptr), 3);
    }
    const auto listed = Backups::list(copies);
    ASSERT_EQ(listed.size(), 3u) << "Keep=3";
    EXPECT_GT(listed[0].file.filename().string(), listed[2].file.filename().string());

    t.at(1).set(F::Name, "#####");
    t.at(1).set(F::NameDeleted, "1");
    file.writeRecord(t, 1);
    const Backups::Difference d = Backups::compare(oneClient, test::readFile(path));
    EXPECT_EQ(d.clients, 1);
    EXPECT_EQ(Backups::describe(d), "1 client added (2); 1 names deleted (1)");

    // A restore copies today's file first, gives back the copy's bytes exactly and logs itself.
    const std::string today = test::readFile(path);
    const fs::path oldest = Backups::make(copies, oneClient, std::time(nullptr), 3);
    file.replaceAll(Backups::read(oldest),
                    {AuditEvent::BackupRestored, "", oldest.filename().string()});
    EXPECT_EQ(test::readFile(path), oneClient);
    EXPECT_EQ(Backups::read(Backups::list(copies)[0].file), today);
    const AuditRead trail = AuditTrail(path).read();
    EXPECT_TRUE(trail.check.intact);
    EXPECT_EQ(trail.lines.back().event, "backup restored");
    EXPECT_EQ(trail.lines[trail.lines.size() - 2].event, "backup made");

    const auto scrub = [](ClientRecord& r) {
        if (r.field(F::NameDeleted)[0] == '1') {
            return false;
        }
        r.set(F::Name, "#####");
        r.set(F::NameDeleted, "1");
        return true;
    };
    EXPECT_TRUE(Backups::scrubNames(copies, scrub).empty());
    for (const auto& b : Backups::list(copies)) {
        const std::string bytes = Backups::read(b.file);
        EXPECT_EQ(bytes.find("C1"), std::string::npos) << b.file;
        EXPECT_EQ(bytes.find("C2"), std::string::npos) << b.file;
    }
}

// Edits record `k` through the program's write with an age drawn from `n`, and now and then
// adds an event that changes no file.
void mixedEvents(const fs::path& path, int k, int count) {
    ClientTable t;
    for (int i = 0; i < count; ++i) {
        if (i % 3 == 2) {
            AuditTrail(path).record({AuditEvent::ReportViewed, std::to_string(k), ""});
            continue;
        }
        ClientFile file(path);
        file.load(t);
        t.at(k).set(F::Age, std::to_string(10 + i % 80));
        file.writeRecord(t, k);
    }
}

TEST_F(AuditTest, TwoProcessesAppendingAThousandEventsKeepTheChainWhole) {
    if (!testplatform::childProcessesAvailable()) {
        GTEST_SKIP() << "needs child processes";
    }
    saved(2);
    const std::size_t before = AuditTrail(path).read().lines.size();
    {
        testplatform::Child a([&] {
            mixedEvents(path, 1, 500);
            return 0;
        });
        testplatform::Child b([&] {
            mixedEvents(path, 2, 500);
            return 0;
        });
        ASSERT_EQ(a.wait(), 0);
        ASSERT_EQ(b.wait(), 0);
    }
    const AuditRead trail = AuditTrail(path).read();
    EXPECT_TRUE(trail.check.intact) << trail.check.problem;
    EXPECT_EQ(trail.check.resumedAfterTorn, 0);
    const auto count = [&](const std::string& event) {
        return std::count_if(trail.lines.begin(), trail.lines.end(),
                             [&](const AuditLine& l) { return l.event == event; });
    };
    EXPECT_EQ(count("client edited") + count("report viewed"), 1000);
    EXPECT_EQ(trail.lines.size(), before + 1000);
    EXPECT_EQ(count("change failed"), 0);
    EXPECT_EQ(trail.lines.back().fileHash == "-" ? AuditTrail::fileHash(test::readFile(path))
                                                 : trail.lines.back().fileHash,
              AuditTrail::fileHash(test::readFile(path)));
}

// A writer killed at random moments: whatever the client file holds was announced by an
// unfailed line, the chain is whole but for a torn last line, and the next append mends it.
TEST_F(AuditTest, AWriterKilledAtRandomMomentsNeverLeavesAChangeWithoutItsLine) {
    if (!testplatform::childProcessesAvailable()) {
        GTEST_SKIP() << "needs child processes";
    }
    saved(1);
    std::mt19937 random(20261208);
    std::uniform_int_distribution<int> pause(0, 15000); // microseconds
    int torn = 0;
    for (int attempt = 0; attempt < 150; ++attempt) {
        testplatform::Child writer([&]() -> int {
            mixedEvents(path, 1, 1 << 30);
            return 0;
        });
        std::this_thread::sleep_for(std::chrono::microseconds(pause(random)));
        writer.kill();
        ASSERT_EQ(writer.wait(), -1);

        const AuditRead trail = AuditTrail(path).read();
        if (!trail.check.intact) {
            ASSERT_NE(trail.check.problem.find("torn"), std::string::npos)
                << "attempt " << attempt << ": " << trail.check.problem;
            ++torn;
        }
        std::set<std::string> announced;
        for (const AuditLine& l : trail.lines) {
            if (!l.failed) {
                announced.insert(l.fileHash);
            }
        }
        ASSERT_EQ(announced.count(AuditTrail::fileHash(test::readFile(path))), 1u)
            << "attempt " << attempt << ": the client file holds a change without its line";
        AuditTrail(path).record({AuditEvent::ReportViewed, "1", ""});
        const AuditRead mended = AuditTrail(path).read();
        ASSERT_TRUE(mended.check.intact) << "attempt " << attempt << ": " << mended.check.problem;
    }
    std::cout << torn << " of 150 kills left a torn line\n";
}

} // namespace
