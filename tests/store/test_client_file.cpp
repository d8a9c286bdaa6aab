// The client file: loading what is there, typed refusals, and writes that fail part-way or a
// writer killed at random moments: afterwards the file holds exactly the records it held
// before (or the new ones), whole, and the table in memory agrees with it. Then two programs on one
// data folder.
#include "StoreTestSupport.h"

#include "store/ClientFileLock.h"
#include "tests/platform/TestProcess.h"

#include <chrono>
#include <fstream>
#include <memory>
#include <random>
#include <thread>

using namespace orvj;
using namespace orvj::storetest;
namespace fs = std::filesystem;
using F = ClientRecord::Field;
using namespace std::chrono_literals;

namespace {

TEST_F(DataFolderTest, MissingFileIsCreatedEmptyAndLoadsNoClients) {
    ClientTable t;
    t.currentClient = 5;
    EXPECT_FALSE(ClientFile(path).load(t).overflow);
    EXPECT_EQ(read(path), "");
    EXPECT_TRUE(fs::exists(path));
    EXPECT_EQ(t.currentClient, 0);
}

// Neither loading nor writing cuts the file: a part record past the last whole one counts when
// it holds at least half a record, and its missing part reads as spaces.
TEST_F(DataFolderTest, APartRecordAtTheEndLoadsAsAClientAndIsKept) {
    const std::string bytes = numberedClients(2) + std::string(100, 'z');
    test::writeFile(path, bytes);
    ClientTable t;
    ClientFile file(path);
    const auto report = file.load(t);
    EXPECT_EQ(t.clientCount, 3);
    EXPECT_TRUE(report.partialLastRecord);
    EXPECT_EQ(t.at(3).trimmed(F::Name), std::string(25, 'z'));
    EXPECT_EQ(t.at(3).bytes()[100], ' ') << "the missing part reads as spaces";
    EXPECT_THROW(file.writeRecord(t, 52), OrvjError);
    // An odd tail is not the program's to drop.
    file.writeRecord(t, 1);
    EXPECT_EQ(read(path), bytes) << "an unchanged write-back changed the file";
}

bool readOnlyFileIsRefused(const fs::path& path) {
    ClientTable t;
    t.clientCount = 1;
    return errorOf([&] { ClientFile(path).load(t); }) == ErrorCode::PermissionDenied &&
           errorOf([&] { ClientFile(path).writeRecord(t, 1); }) == ErrorCode::PermissionDenied;
}

TEST_F(DataFolderTest, MissingFolderAndReadOnlyFileAreTypedErrors) {
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
                    for (const auto& entry : fs::directory_iterator(path.parent_path())) {
                        EXPECT_FALSE(
                            ClientFile(path).isTemporaryName(entry.path().filename().string()))
                            << "a temporary stayed: " << entry.path();
                    }
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

// Two programs on one data folder: every change of the client file is made under its lock,
// on the file as it is now, and a program whose table has fallen behind is brought up to date.
class SharedFolder : public DataFolderTest {
protected:
    // Two clients on disk, and both programs' tables loaded from it.
    SharedFolder() {
        test::writeFile(path, bytesOf(client("Able, Ann")) + bytesOf(client("Baker, Bob")));
        ClientFile(path).load(here);
        ClientFile(path).load(there);
    }

    // Registers a new client the way the forms do and stores it.
    static ClientFile::WriteOutcome addClient(const fs::path& file, ClientTable& t,
                                              const std::string& name) {
        const int slot = t.clientCount + 1;
        t.currentClient = static_cast<std::int16_t>(slot);
        t.at(slot) = client(name);
        const auto outcome = ClientFile(file).writeRecord(t, slot);
        t.countNewTest();
        return outcome;
    }

    ClientTable here;  // this program's table
    ClientTable there; // the other PC's
};

TEST_F(SharedFolder, ChangesMeetOnTheFileAsItIsNow) {
    // The other program edits client 1 and adds a third client.
    there.at(1).set(F::Age, "15");
    ClientFile(path).writeRecord(there, 1);
    addClient(path, there, "Other, Olga");

    // An edit of client 2 here writes that record only and takes the other's work in.
    here.currentClient = 2;
    here.at(2).set(F::Age, "16");
    EXPECT_TRUE(ClientFile(path).writeRecord(here, 2).reloaded);

    // A new client here takes the next free record of the file, not of the old table.
    const auto added = addClient(path, here, "New, Nell");
    EXPECT_EQ(added.slot, 4);
    EXPECT_EQ(here.currentClient, 4) << "the client being worked on moved with it";

    ClientTable disk;
    ClientFile(path).load(disk);
    ASSERT_EQ(disk.clientCount, 4);
    EXPECT_EQ(here.clientCount, 4);
    for (int k = 1; k <= 4; ++k) {
        EXPECT_EQ(here.at(k), disk.at(k)) << "record " << k;
    }
    EXPECT_EQ(disk.at(1), there.at(1)) << "the other's edit of client 1 is kept";
    EXPECT_EQ(disk.at(2).trimmed(F::Age), "16");
    EXPECT_EQ(disk.at(3).trimmed(F::Name), "Other, Olga") << "no client overwritten";
    EXPECT_EQ(disk.at(4).trimmed(F::Name), "New, Nell");
}

TEST_F(SharedFolder, AFullFileRefusesTheNewClientAndKeepsTheTable) {
    const std::string full = numberedClients(ClientTable::kMaxClients);
    test::writeFile(path, full); // the other program filled it after this one loaded two
    const ClientTable before = here;
    here.at(3) = client("Late, Lou");
    std::string what;
    EXPECT_NE(errorOf([&] { ClientFile(path).writeRecord(here, 3); }, &what), 0);
    EXPECT_NE(what.find("51 clients"), std::string::npos) << what;
    EXPECT_EQ(read(path), full);
    EXPECT_EQ(here.clientCount, before.clientCount);
}

TEST_F(SharedFolder, ALockHeldTooLongIsReportedWithWhatToDoAndNeverWaitedOnForever) {
    const std::string before = read(path);
    ClientFile file(path);
    file.setLockWait(300ms);
    {
        const ClientFileLock held(path, 0ms); // a program that stopped while saving
        here.at(1).set(F::Age, "17");
        const auto start = std::chrono::steady_clock::now();
        std::string what;
        EXPECT_EQ(errorOf([&] { file.writeRecord(here, 1); }, &what), ErrorCode::FileLocked);
        for (const char* part : {"locked by the program on PC", "process", "since",
                                 "restart that PC", ClientFileLock::kFileName}) {
            EXPECT_NE(what.find(part), std::string::npos) << part << " in: " << what;
        }
        EXPECT_LT(std::chrono::steady_clock::now() - start, 20s);
        EXPECT_EQ(read(path), before);
        EXPECT_EQ(here.at(1).trimmed(F::Age), "17") << "the change stays in memory to retry";

#ifndef _WIN32
        // The supervisor removes the stale lock file as the message says: saving works again
        // even though the stopped program still holds its lock on the removed file. (Windows
        // keeps a file's name while a program holds it open, and ends the lock with the
        // program, so there is nothing to remove there.)
        fs::remove(ClientFileLock::lockPathFor(path));
        EXPECT_NO_THROW(file.writeRecord(here, 1));
#endif
    }
    EXPECT_NO_THROW(file.writeRecord(here, 1)) << "a released lock is taken at once";
    ClientTable disk;
    ClientFile(path).load(disk);
    EXPECT_EQ(disk.at(1).trimmed(F::Age), "17");
}

// Two processes add clients to one data folder at the same time, each from the table it
// loaded before either wrote: every client of both is kept, each in its own record.
TEST_F(SharedFolder, TwoProcessesAddingAtOnceKeepEveryClient) {
    constexpr int kEach = 12;
    if (!testplatform::childProcessesAvailable()) {
        GTEST_SKIP() << "no child processes on this system";
    }
    // Each says it has loaded its table with a "ready" file; both start adding when the "go"
    // file appears.
    const fs::path go = path.parent_path() / "go";
    auto ready = [&](int w) { return path.parent_path() / ("ready" + std::to_string(w)); };
    std::vector<std::unique_ptr<testplatform::Child>> writers;
    for (int w = 0; w < 2; ++w) {
        writers.push_back(std::make_unique<testplatform::Child>([&, w] {
            ClientTable t;
            ClientFile(path).load(t);
            test::writeFile(ready(w), "ready");
            while (!fs::exists(go)) {
                std::this_thread::sleep_for(1ms);
            }
            for (int i = 1; i <= kEach; ++i) {
                addClient(path, t, std::string(1, static_cast<char>('A' + w)) + std::to_string(i));
            }
            return 0;
        }));
    }
    while (!fs::exists(ready(0)) || !fs::exists(ready(1))) {
        std::this_thread::sleep_for(1ms);
    }
    test::writeFile(go, "go");
    for (auto& writer : writers) {
        EXPECT_EQ(writer->wait(), 0);
    }
    ClientTable disk;
    ClientFile(path).load(disk);
    ASSERT_EQ(disk.clientCount, 2 + 2 * kEach);
    std::set<std::string> names;
    for (int k = 1; k <= disk.clientCount; ++k) {
        names.insert(disk.at(k).trimmed(F::Name));
    }
    EXPECT_EQ(names.size(), static_cast<std::size_t>(disk.clientCount)) << "a client was lost";
    EXPECT_EQ(names.count("A12") + names.count("B12") + names.count("Able, Ann"), 3u);
}

} // namespace
