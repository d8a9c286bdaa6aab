// The client file: loading what is there, typed refusals, and writes of the client file and
// the configuration file that fail part-way or a writer killed at random moments: afterwards
// the file holds exactly the records it held before (or the new ones), whole, and the table
// in memory agrees with it.
#include "StoreTestSupport.h"

#include "store/ConfigFile.h"
#include "tests/platform/TestProcess.h"

#include <chrono>
#include <fstream>
#include <random>
#include <thread>

using namespace orvj;
using namespace orvj::storetest;
namespace fs = std::filesystem;
using F = ClientRecord::Field;

namespace {

using ClientFileTest = DataFolderTest;

TEST(ClientRecordTest, FieldsArePaddedOrCutInPlace) {
    ClientRecord r;
    r.set(F::Name, "Ann");
    EXPECT_EQ(r.field(F::Name), "Ann" + std::string(22, ' '));
    r.set(F::Name, std::string(30, 'x'));
    EXPECT_EQ(r.field(F::Name), std::string(25, 'x'));
    EXPECT_EQ(r.field(F::SSN), std::string(11, ' ')) << "a long name must not spill into SSN";
}

TEST_F(ClientFileTest, MissingFileIsCreatedEmptyAndLoadsNoClients) {
    ClientTable t;
    t.currentClient = 5;
    EXPECT_FALSE(ClientFile(path).load(t).overflow);
    EXPECT_EQ(read(path), "");
    EXPECT_TRUE(fs::exists(path));
    EXPECT_EQ(t.clientCount, 0);
    EXPECT_EQ(t.currentClient, 0);
}

// Neither loading nor writing cuts the file: a part record past the last whole one counts when
// it holds at least half a record (its missing part reads as spaces). (Counting, the 51-client
// limit and an unchanged write-back of whole records are the client-file fuzz target's; an
// edit and an append amid other records are the shared data folder's test's; codes that are
// not digits, reported and kept, are the start-up's.)
TEST_F(ClientFileTest, APartRecordAtTheEndLoadsByTheRoundingRuleAndIsKept) {
    const std::string two = numberedClients(2);
    const std::pair<std::string, int> files[] = {{two + std::string(100, 'z'), 3},
                                                 {two + std::string(97, 'z'), 2}};
    for (const auto& [bytes, count] : files) {
        SCOPED_TRACE(bytes.size());
        test::writeFile(path, bytes);
        ClientTable t;
        ClientFile file(path);
        const auto report = file.load(t);
        EXPECT_EQ(t.clientCount, count);
        EXPECT_TRUE(report.partialLastRecord);
        EXPECT_FALSE(report.overflow);
        EXPECT_EQ(t.at(count).trimmed(F::Name), count == 3 ? std::string(25, 'z') : "C2");
        if (count == 3) {
            EXPECT_EQ(t.at(3).bytes()[100], ' ') << "the missing part reads as spaces";
        }
        EXPECT_THROW(file.writeRecord(t, 52), OrvjError);
        // An odd tail is not the program's to drop.
        file.writeRecord(t, 1);
        EXPECT_EQ(read(path), bytes) << "an unchanged write-back changed the file";
    }
}

bool readOnlyFileIsRefused(const fs::path& path) {
    ClientTable t;
    t.clientCount = 1;
    return errorOf([&] { ClientFile(path).load(t); }) == ErrorCode::PermissionDenied &&
           errorOf([&] { ClientFile(path).writeRecord(t, 1); }) == ErrorCode::PermissionDenied;
}

TEST_F(ClientFileTest, MissingFolderAndReadOnlyFileAreTypedErrors) {
    ClientTable t;
    std::string what;
    EXPECT_EQ(errorOf([&] { ClientFile(dir / "nowhere" / ClientFile::kFileName).load(t); }, &what),
              ErrorCode::PathNotFound);
    EXPECT_NE(what.find("nowhere"), std::string::npos) << what;

    test::writeFile(path, bytesOf(client("Ann")));
    fs::permissions(path, fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read);
    fs::permissions(dir, fs::perms::all);
    // File modes do not bind an administrator (root; Wine run as root): the check then runs in
    // a child without privileges, where there are children.
    const bool modesBind = !std::ofstream(path, std::ios::binary | std::ios::app).is_open();
    if (modesBind) {
        EXPECT_TRUE(readOnlyFileIsRefused(path));
    } else if (testplatform::childProcessesAvailable()) {
        testplatform::Child child([&] {
            return testplatform::becomeUnprivileged() && readOnlyFileIsRefused(path) ? 0 : 1;
        });
        EXPECT_EQ(child.wait(), 0);
    }
    EXPECT_EQ(read(path), bytesOf(client("Ann"))) << "a refused write leaves the file as it was";
    fs::permissions(path, fs::perms::owner_read | fs::perms::owner_write); // removable again
    if (!modesBind && !testplatform::childProcessesAvailable()) {
        GTEST_SKIP() << "file modes do not bind this user, and there is no child to give that up";
    }
}

// Each failed write must leave the file and the table exactly as before; each that succeeds
// must leave the new record whole.
TEST_F(DataFolderTest, AFailedAppendOrUpdateLeavesTheFileAndNoPhantomClient) {
    // A new fourth client, and a changed second one.
    const std::pair<int, ClientRecord> saves[] = {{4, client("Dunn, Dee")},
                                                  {2, client("Baker, Roberta", '4')}};
    const std::string three = numberedClients(3);
    for (const auto& [slot, record] : saves) {
        for (const auto& fc : kWriteFaults) {
            SCOPED_TRACE(std::string(fc.name) + ", record " + std::to_string(slot));
            ClientTable t;
            ClientTable changed;
            const auto prepare = [&] {
                test::writeFile(path, three);
                t = ClientTable();
                ClientFile(path).load(t);
                t.at(slot) = record;
                changed = t;
            };
            const auto check = [&](bool failed, int nth) {
                SCOPED_TRACE(nth);
                ClientTable reread;
                ClientFile(path).load(reread);
                if (failed) {
                    EXPECT_EQ(read(path), three);
                    EXPECT_EQ(reread.clientCount, 3) << "a failed save left a client";
                    EXPECT_FALSE(fs::exists(ClientFile(path).pendingPath()));
                } else {
                    EXPECT_EQ(reread.at(slot), changed.at(slot));
                }
                // A failed write leaves the table as the caller had made it, so the caller can
                // restore the one record it changed; a successful one leaves table and file equal.
                for (int k = 1; k <= 4; ++k) {
                    EXPECT_EQ(t.at(k), failed || k == 4 ? changed.at(k) : reread.at(k)) << k;
                }
                // The new client's test is counted by the caller once it is stored.
                EXPECT_EQ(t.clientCount, failed || slot != 4 ? 3 : reread.clientCount - 1);
            };
            strikeAtEveryCall(
                fc, ClientFile::kFileName, prepare, [&] { ClientFile(path).writeRecord(t, slot); },
                check);
        }
    }
}

TEST_F(DataFolderTest, FailedConfigurationWriteLeavesTheFileAsItWas) {
    const fs::path ini = dir / ConfigFile::kFileName;
    const std::string original = "[Path]\r\nFilePath=data\r\n[Engine]\r\nKeep=this\r\n";
    for (const auto& fc : kWriteFaults) {
        SCOPED_TRACE(fc.name);
        strikeAtEveryCall(
            fc, ConfigFile::kFileName, [&] { test::writeFile(ini, original); },
            [&] { ConfigFile(ini).WriteNumLock(false); },
            [&](bool failed, int nth) {
                if (failed) {
                    EXPECT_EQ(read(ini), original) << nth;
                } else {
                    EXPECT_FALSE(ConfigFile(ini).ReadNumLock()) << nth;
                }
                EXPECT_EQ(namesIn(dir).size(), 1u) << "a temporary file was left behind";
            });
    }
}

// The record a writer writes in its n-th generation: every field tells the same n, so a
// record made of two writes shows.
ClientRecord generation(int slot, int n) {
    ClientRecord r = client("Client " + std::to_string(slot) + " gen " + std::to_string(n),
                            static_cast<char>('0' + n % 6));
    r.set(F::SSN, std::to_string(n));
    return r;
}

// The generation a record was written in, -1 when it is torn or foreign.
int generationOf(const ClientRecord& r, int slot) {
    const std::string ssn = r.trimmed(F::SSN);
    const bool number = !ssn.empty() && ssn.find_first_not_of("0123456789") == std::string::npos;
    return number && r == generation(slot, std::stoi(ssn)) ? std::stoi(ssn) : -1;
}

[[noreturn]] void writeForever(const fs::path& path) {
    ClientFile file(path);
    ClientTable t;
    file.load(t);
    int n = 0;
    for (int k = 1; k <= t.clientCount; ++k) {
        n = std::max(n, generationOf(t.at(k), k));
    }
    for (;;) {
        ++n;
        // Grows the file to ten clients, then rewrites them in turn.
        const int slot = t.clientCount < 10 ? t.clientCount + 1 : n % 10 + 1;
        t.at(slot) = generation(slot, n);
        file.writeRecord(t, slot);
        if (slot > t.clientCount) {
            t.countNewTest();
        }
    }
}

TEST_F(DataFolderTest, AWriterKilledAtRandomMomentsLeavesEveryRecordWhole) {
    std::mt19937 random(20261207);
    std::uniform_int_distribution<int> pause(0, 12000); // microseconds
    std::vector<int> last(11, 0);
    int count = 0;
    if (!testplatform::childProcessesAvailable()) {
        GTEST_SKIP() << "no child processes to kill on this system";
    }
    for (int attempt = 0; attempt < 300; ++attempt) {
        testplatform::Child writer([&]() -> int { writeForever(path); });
        // Now and then a longer run, so that the writer gets on even on a busy machine.
        std::this_thread::sleep_for(
            std::chrono::microseconds(attempt % 10 == 9 ? 50000 : pause(random)));
        writer.kill();
        const int status = writer.wait();
        ASSERT_EQ(status, -1) << "the writer stopped by itself: " << status;

        const std::string bytes = read(path);
        ASSERT_EQ(bytes.size() % ClientRecord::kSize, 0u) << "attempt " << attempt;
        ClientTable t;
        ClientFile(path).load(t);
        ASSERT_GE(t.clientCount, count) << "a client was lost, attempt " << attempt;
        count = t.clientCount;
        for (int k = 1; k <= t.clientCount; ++k) {
            const int n = generationOf(t.at(k), k);
            ASSERT_GE(n, 0) << "record " << k << " is torn after attempt " << attempt;
            ASSERT_GE(n, last[static_cast<std::size_t>(k)]) << "record " << k << " went back";
            last[static_cast<std::size_t>(k)] = n;
        }
    }
    EXPECT_EQ(count, 10) << "the writers never got far enough to test rewrites";
}

} // namespace
