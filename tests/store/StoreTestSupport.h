#pragma once

#include "core/ClientRecord.h"
#include "core/ClientTable.h"
#include "store/ClientFile.h"
#include "store/OrvjError.h"
#include "store/platform/WriteFaults.h"
#include "tests/support/Files.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <set>
#include <string>

namespace orvj::storetest {

// A fresh data folder per test, removed afterwards, and the client file's path in it.
class DataFolderTest : public test::TempFolderTest {
protected:
    const std::filesystem::path dir = m_dir;
    const std::filesystem::path path = dir / ClientFile::kFileName;
};

inline ClientRecord client(const std::string& name, char answer = '1') {
    ClientRecord r;
    r.set(ClientRecord::Field::Name, name);
    r.set(ClientRecord::Field::SSN, "N");
    r.set(ClientRecord::Field::Gender, "1");
    r.set(ClientRecord::Field::Responses, std::string(143, answer));
    r.set(ClientRecord::Field::EditCount, "0");
    r.set(ClientRecord::Field::NameDeleted, "0");
    return r;
}

inline std::string bytesOf(const ClientRecord& r) {
    return {r.bytes().begin(), r.bytes().end()};
}

// The client file's bytes for clients named C1 .. Cn.
inline std::string numberedClients(int n) {
    std::string bytes;
    for (int k = 1; k <= n; ++k) {
        bytes += bytesOf(client("C" + std::to_string(k)));
    }
    return bytes;
}

// The names of the files and folders in `folder`.
inline std::set<std::string> namesIn(const std::filesystem::path& folder) {
    std::set<std::string> names;
    for (const auto& e : std::filesystem::directory_iterator(folder)) {
        names.insert(e.path().filename().string());
    }
    return names;
}

// The error code a call raises, 0 when it raises none; its message goes to `what`.
template <typename Fn> int errorOf(Fn fn, std::string* what = nullptr) {
    try {
        fn();
    } catch (const OrvjError& e) {
        if (what != nullptr) {
            *what = e.what();
        }
        return e.code();
    }
    return 0;
}

// Leaves the write-fault seam disarmed when the test ends, however it ends.
struct Disarm {
    ~Disarm() { platform::disarmWriteFaults(); }
};

// Every way the file layer's writing can fail.
struct FaultCase {
    const char* name;
    platform::FaultOp op;
    platform::FaultKind kind;
};
inline constexpr FaultCase kWriteFaults[] = {
    {"write fails", platform::FaultOp::Write, platform::FaultKind::Fail},
    {"short write, then disk full", platform::FaultOp::Write, platform::FaultKind::Short},
    {"flush fails", platform::FaultOp::Flush, platform::FaultKind::Fail},
    {"close fails", platform::FaultOp::Close, platform::FaultKind::Fail},
    {"rename fails", platform::FaultOp::Rename, platform::FaultKind::Fail},
};

// After `prepare`, runs `save` with the fault armed at its first, second, ... call of the kind,
// until a run no longer meets it. A refusal must name `fileName` in the program's own words;
// `check(failed, nth)` judges each run the fault struck.
template <typename Prepare, typename Save, typename Check>
void strikeAtEveryCall(const FaultCase& fc, const std::string& fileName, Prepare prepare, Save save,
                       Check check) {
    Disarm disarm;
    int refused = 0;
    for (int nth = 1; nth < 20; ++nth) {
        prepare();
        platform::armWriteFault(fc.op, nth, fc.kind);
        std::string what;
        const bool failed = errorOf(save, &what) != 0;
        const bool struck = platform::writeFaultStruck();
        platform::disarmWriteFaults();
        if (!struck) {
            EXPECT_FALSE(failed) << fc.name << ": no fault, yet the save failed: " << what;
            break;
        }
        EXPECT_TRUE(!failed || what.find(fileName) != std::string::npos) << what;
        EXPECT_EQ(what.find("filesystem error"), std::string::npos) << "the library's text";
        refused += failed ? 1 : 0;
        check(failed, nth);
    }
    EXPECT_GT(refused, 0) << fc.name << ": the fault never reached the save";
}

} // namespace orvj::storetest
