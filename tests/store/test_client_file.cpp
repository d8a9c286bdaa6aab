#include "store/ClientFile.h"
#include "store/OrvjError.h"
#include "store/platform/File.h"
#include "tests/platform/TestProcess.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

namespace fs = std::filesystem;
using namespace orvj;
using F = ClientRecord::Field;

namespace {

class ClientFileTest : public ::testing::Test {
protected:
    void SetUp() override {
        fs::remove_all(dir);
        fs::create_directories(dir);
    }
    void TearDown() override { fs::remove_all(dir); }
    void writeBytes(const std::string& bytes) { std::ofstream(path, std::ios::binary) << bytes; }
    std::string readBytes() {
        std::ifstream in(path, std::ios::binary);
        return {std::istreambuf_iterator<char>(in), {}};
    }
    static std::string record(const std::string& name) {
        ClientRecord r;
        r.set(F::Name, name);
        r.set(F::Gender, "1");
        r.set(F::Responses, std::string(143, '0'));
        return {r.bytes().begin(), r.bytes().end()};
    }

    const fs::path dir = fs::temp_directory_path() /
                         ("orvj_cf_" + std::to_string(orvj::platform::processId()) + "_" +
                          ::testing::UnitTest::GetInstance()->current_test_info()->name());
    const fs::path path = dir / ClientFile::kFileName;
};

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
    EXPECT_TRUE(fs::exists(path));
    EXPECT_EQ(fs::file_size(path), 0u);
    EXPECT_EQ(t.clientCount, 0);
    EXPECT_EQ(t.currentClient, 0);
}

TEST_F(ClientFileTest, TwoRecordsLoadAndAThirdIsAppendedAndRoundTrips) {
    writeBytes(record("Ann") + record("Bob")); // 392 bytes
    ClientTable t;
    ClientFile file(path);
    file.load(t);
    EXPECT_EQ(t.clientCount, 2);
    EXPECT_EQ(t.currentClient, 1);
    EXPECT_EQ(t.at(2).trimmed(F::Name), "Bob");

    t.at(3).set(F::Name, "Cy");
    file.writeRecord(t, 3);
    EXPECT_EQ(fs::file_size(path), 3 * ClientRecord::kSize);
    t.at(1).set(F::Name, "Anna");
    file.writeRecord(t, 1);

    ClientTable again;
    file.load(again);
    EXPECT_EQ(again.clientCount, 3);
    for (int k = 1; k <= 3; ++k) {
        EXPECT_EQ(again.at(k), t.at(k)) << "record " << k;
    }
    EXPECT_EQ(readBytes().substr(196, 196), record("Bob")) << "record 2 must stay untouched";
}

TEST_F(ClientFileTest, OddLengthRoundsToTheNearestRecordAndKeepsTheTail) {
    const std::string two = record("Ann") + record("Bob");
    for (const auto& [tail, count] : {std::pair{100, 3}, std::pair{97, 2}}) {
        writeBytes(two + std::string(static_cast<std::size_t>(tail), 'z'));
        ClientTable t;
        EXPECT_TRUE(ClientFile(path).load(t).partialLastRecord);
        EXPECT_EQ(t.clientCount, count) << tail;
        EXPECT_EQ(fs::file_size(path), two.size() + static_cast<std::size_t>(tail))
            << "loading never cuts the file";
        if (count == 3) {
            EXPECT_EQ(t.at(3).field(F::Name), std::string(25, 'z'));
            EXPECT_EQ(t.at(3).bytes()[100], ' ') << "the missing part reads as spaces";
        }
    }
}

TEST_F(ClientFileTest, MoreThanFiftyOneRecordsLoadsFiftyOneAndNeverWritesPastThem) {
    std::string all;
    for (int k = 1; k <= 53; ++k) {
        all += record("C" + std::to_string(k));
    }
    writeBytes(all);
    ClientTable t;
    ClientFile file(path);
    const auto report = file.load(t);
    EXPECT_TRUE(report.overflow);
    EXPECT_EQ(report.recordsInFile, 53);
    EXPECT_EQ(t.clientCount, 51);
    EXPECT_EQ(t.at(51).trimmed(F::Name), "C51");
    EXPECT_THROW(file.writeRecord(t, 52), OrvjError);
    EXPECT_EQ(readBytes(), all);
}

TEST_F(ClientFileTest, NonDigitCodesAreReportedAndKept) {
    std::string r = record("Ann");
    r[38] = 'X'; // Gender
    writeBytes(r);
    ClientTable t;
    const auto report = ClientFile(path).load(t);
    ASSERT_EQ(report.fieldProblems.size(), 1u);
    EXPECT_NE(report.fieldProblems[0].find("Gender"), std::string::npos);
    EXPECT_EQ(t.at(1).field(F::Gender), "X");
}

// The error number a call raises, 0 when it raises none.
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

    writeBytes(record("Ann"));
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
    EXPECT_EQ(readBytes(), record("Ann")) << "a refused write leaves the file as it was";
    fs::permissions(path, fs::perms::owner_read | fs::perms::owner_write); // removable again
    if (!modesBind && !testplatform::childProcessesAvailable()) {
        GTEST_SKIP() << "file modes do not bind this user, and there is no child to give that up";
    }
}

} // namespace
