// Two programs on one data folder: every change of the client file is made under its lock,
// on the file as it is now, and a program whose table has fallen behind is brought up to date.
#include "StoreTestSupport.h"

#include "store/ClientFileLock.h"
#include "tests/platform/TestProcess.h"

#include <chrono>
#include <memory>
#include <thread>

using namespace orvj;
using namespace orvj::storetest;
namespace fs = std::filesystem;
using F = ClientRecord::Field;
using namespace std::chrono_literals;

namespace {

class SharedFolder : public DataFolderTest {
protected:
    SharedFolder() { startBoth(); }
    // Two clients on disk, and both programs' tables loaded from it.
    void startBoth() {
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
    // What the other program stored first.
    const char* const others[] = {"nobody else wrote", "the other added a client",
                                  "the other edited client 1"};
    for (int other = 0; other < 3; ++other) {
        SCOPED_TRACE(others[other]);
        startBoth();
        if (other == 1) {
            addClient(path, there, "Other, Olga");
        } else if (other == 2) {
            there.at(1).set(F::Age, "15");
            ClientFile(path).writeRecord(there, 1);
        }

        // An edit of client 2 here writes that record only and takes the other's work in.
        here.currentClient = 2;
        here.at(2).set(F::Age, "16");
        const auto edit = ClientFile(path).writeRecord(here, 2);
        EXPECT_EQ(edit.slot, 2);
        EXPECT_EQ(edit.reloaded, other != 0);

        // A new client here takes the next free record of the file, not of the old table.
        const auto added = addClient(path, here, "New, Nell");
        EXPECT_EQ(added.slot, there.clientCount + 1);
        EXPECT_EQ(here.currentClient, added.slot) << "the client being worked on moved with it";

        ClientTable disk;
        ClientFile(path).load(disk);
        EXPECT_EQ(disk.clientCount, there.clientCount + 1);
        EXPECT_EQ(here.clientCount, disk.clientCount);
        for (int k = 1; k <= disk.clientCount; ++k) {
            EXPECT_EQ(here.at(k), disk.at(k)) << "record " << k;
        }
        EXPECT_EQ(disk.at(1), there.at(1)) << "the other's edit of client 1 is kept";
        EXPECT_EQ(disk.at(2).trimmed(F::Age), "16");
        EXPECT_EQ(disk.at(added.slot).trimmed(F::Name), "New, Nell");
        if (other == 1) {
            EXPECT_EQ(disk.at(3).trimmed(F::Name), "Other, Olga") << "no client overwritten";
        }
    }
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
    EXPECT_EQ(here.at(1), before.at(1));
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
