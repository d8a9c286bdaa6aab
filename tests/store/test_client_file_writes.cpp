// Writes of the client file and the configuration file that fail part-way, and a writer
// killed at random moments: afterwards the file holds exactly the records it held before (or
// the new ones), whole, and the table in memory agrees with it.
#include "StoreTestSupport.h"

#include "store/ConfigFile.h"
#include "store/OrvjError.h"
#include "store/platform/WriteFaults.h"
#include "tests/platform/TestProcess.h"

#include <gtest/gtest.h>

#include <chrono>
#include <random>
#include <thread>

using namespace orvj;
using namespace orvj::storetest;
using platform::FaultKind;
using platform::FaultOp;
namespace fs = std::filesystem;
using F = ClientRecord::Field;

namespace {

struct Disarm {
    ~Disarm() { platform::disarmWriteFaults(); }
};

const struct FaultCase {
    const char* name;
    FaultOp op;
    FaultKind kind;
} kFaults[] = {
    {"write fails", FaultOp::Write, FaultKind::Fail},
    {"short write, then disk full", FaultOp::Write, FaultKind::Short},
    {"flush fails", FaultOp::Flush, FaultKind::Fail},
    {"close fails", FaultOp::Close, FaultKind::Fail},
    {"rename fails", FaultOp::Rename, FaultKind::Fail},
};

class ClientFileFaults : public DataFolderTest {
protected:
    // Three clients on disk and in the table.
    ClientTable threeClients() {
        ClientTable t;
        writeBytes(path, bytesOf(client("Able, Ann")) + bytesOf(client("Baker, Bob")) +
                             bytesOf(client("Carr, Cy")));
        ClientFile(path).load(t);
        return t;
    }

    // Runs `change` then writes `slot` with the fault armed at the first, second, ... call of
    // its kind until a write no longer meets the fault. Each failed write must leave the file
    // and the table exactly as before; each that succeeds must leave the new record whole.
    void everyFaultPosition(const FaultCase& fc, int slot, void (*change)(ClientTable&)) {
        Disarm disarm;
        int refused = 0;
        for (int nth = 1; nth < 20; ++nth) {
            ClientTable t = threeClients();
            const std::string before = readBytes(path);
            change(t);
            const ClientTable changed = t;
            platform::armWriteFault(fc.op, nth, fc.kind);
            bool failed = false;
            try {
                ClientFile(path).writeRecord(t, slot);
            } catch (const OrvjError& e) {
                failed = true;
                EXPECT_NE(std::string(e.what()).find(ClientFile::kFileName), std::string::npos)
                    << e.what();
            }
            const bool struck = platform::writeFaultStruck();
            platform::disarmWriteFaults();
            if (!struck) {
                EXPECT_FALSE(failed) << fc.name << ": no fault, yet the write failed";
                break;
            }
            ClientTable reread;
            ClientFile(path).load(reread);
            if (failed) {
                ++refused;
                EXPECT_EQ(readBytes(path), before) << fc.name << ", call " << nth;
                EXPECT_EQ(reread.clientCount, 3) << fc.name << ": a failed save left a client";
                EXPECT_FALSE(fs::exists(ClientFile(path).pendingPath())) << fc.name;
            } else {
                EXPECT_EQ(reread.at(slot), changed.at(slot)) << fc.name << ", call " << nth;
            }
            // A failed write leaves the table as the caller had made it, so the caller can
            // restore the one record it changed; a successful one leaves table and file equal.
            for (int k = 1; k <= 4; ++k) {
                EXPECT_EQ(t.at(k), failed || k == 4 ? changed.at(k) : reread.at(k))
                    << fc.name << ", call " << nth << ", record " << k;
            }
            // The new client's test is counted by the caller once it is stored.
            EXPECT_EQ(t.clientCount, failed || slot != 4 ? 3 : reread.clientCount - 1);
        }
        EXPECT_GT(refused, 0) << fc.name << ": the fault never reached the save";
    }
};

TEST_F(ClientFileFaults, FailedAppendLeavesTheOldLengthAndNoPhantomClient) {
    for (const auto& fc : kFaults) {
        everyFaultPosition(fc, 4, [](ClientTable& t) { t.at(4) = client("Dunn, Dee"); });
    }
}

TEST_F(ClientFileFaults, FailedUpdateLeavesTheOldRecordOnDiskAndInMemory) {
    for (const auto& fc : kFaults) {
        everyFaultPosition(fc, 2, [](ClientTable& t) {
            t.at(2).set(F::Name, "Baker, Roberta");
            t.at(2).set(F::Responses, std::string(143, '4'));
        });
    }
}

TEST_F(ClientFileFaults, AnUnchangedWriteBackKeepsTheFileByteForByte) {
    // Odd tails and records past the 51st are not the program's to drop.
    std::string bytes;
    for (int k = 1; k <= 53; ++k) {
        bytes += bytesOf(client("C" + std::to_string(k)));
    }
    for (const std::string& tail : {std::string(), std::string(60, 'z'), std::string(120, 'y')}) {
        writeBytes(path, bytes + tail);
        ClientTable t;
        ClientFile(path).load(t);
        ClientFile(path).writeRecord(t, 7);
        EXPECT_EQ(readBytes(path), bytes + tail) << tail.size();
    }
}

TEST_F(DataFolderTest, FailedConfigurationWriteLeavesTheFileAsItWas) {
    const fs::path ini = dir / ConfigFile::kFileName;
    const std::string original = "[Path]\r\nFilePath=data\r\n[Engine]\r\nKeep=this\r\n";
    Disarm disarm;
    for (const auto& fc : kFaults) {
        int refused = 0;
        for (int nth = 1; nth < 10; ++nth) {
            writeBytes(ini, original);
            platform::armWriteFault(fc.op, nth, fc.kind);
            bool failed = false;
            try {
                ConfigFile(ini).WriteNumLock(false);
            } catch (const OrvjError& e) {
                failed = true;
                EXPECT_NE(std::string(e.what()).find(ConfigFile::kFileName), std::string::npos);
            }
            const bool struck = platform::writeFaultStruck();
            platform::disarmWriteFaults();
            if (!struck) {
                break;
            }
            if (failed) {
                ++refused;
                EXPECT_EQ(readBytes(ini), original) << fc.name;
            } else {
                EXPECT_FALSE(ConfigFile(ini).ReadNumLock()) << fc.name;
            }
            EXPECT_EQ(std::distance(fs::directory_iterator(dir), fs::directory_iterator()), 1)
                << fc.name << ": a temporary file was left behind";
        }
        EXPECT_GT(refused, 0) << fc.name;
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
    if (ssn.empty() || ssn.find_first_not_of("0123456789") != std::string::npos) {
        return -1;
    }
    const int n = std::stoi(ssn);
    return r == generation(slot, n) ? n : -1;
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

        const std::string bytes = readBytes(path);
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
