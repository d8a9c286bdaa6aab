#include "store/ClientFile.h"
#include "store/OrvjError.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace fs = std::filesystem;
using orvj::ClientFile;
using orvj::ClientRecord;
using orvj::ClientTable;
using F = ClientRecord::Field;

namespace {

class ClientFileTest : public ::testing::Test {
protected:
    void SetUp() override {
        dir = fs::temp_directory_path() /
              ("orvj_cf_" + std::to_string(::getpid()) + "_" +
               ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(dir);
        fs::create_directories(dir);
        path = dir / ClientFile::kFileName;
    }
    void TearDown() override {
        fs::permissions(dir, fs::perms::owner_all, fs::perm_options::add);
        fs::remove_all(dir);
    }
    void writeBytes(const std::string& bytes) {
        std::ofstream(path, std::ios::binary) << bytes;
    }
    std::string readBytes() {
        std::ifstream in(path, std::ios::binary);
        return {std::istreambuf_iterator<char>(in), {}};
    }
    static std::string record(const std::string& name, char fill = '0') {
        ClientRecord r;
        r.set(F::Name, name);
        r.set(F::SSN, "123-45");
        r.set(F::Age, "15");
        r.set(F::Gender, "1");
        r.set(F::Race, "2");
        r.set(F::Education, "3");
        r.set(F::TestDate, "01/02/2026");
        r.set(F::Responses, std::string(143, fill));
        r.set(F::EditCount, "0");
        r.set(F::NameDeleted, "0");
        return {r.bytes().begin(), r.bytes().end()};
    }

    fs::path dir;
    fs::path path;
};

TEST(ClientRecordTest, FieldsSitAtTheirOffsetsAndArePaddedOrCut) {
    ClientRecord r;
    EXPECT_TRUE(r.isCleared());
    r.set(F::Name, "Ann");
    EXPECT_EQ(r.field(F::Name), "Ann" + std::string(22, ' '));
    r.set(F::Name, std::string(30, 'x'));
    EXPECT_EQ(r.field(F::Name), std::string(25, 'x'));
    EXPECT_EQ(r.field(F::SSN), std::string(11, ' ')) << "a long name must not spill into SSN";
    r.set(F::NameDeleted, "1");
    EXPECT_EQ(r.bytes()[195], '1');
    r.set(F::Responses, "12");
    EXPECT_EQ(r.bytes()[51], '1');
    EXPECT_EQ(r.bytes()[52], '2');
    EXPECT_EQ(r.bytes()[53], ' ');
    EXPECT_EQ(r.digit(F::NameDeleted), 1);
    EXPECT_EQ(r.digit(F::Gender), -1);
    r.set(F::SSN, "  7 8  ");
    EXPECT_EQ(r.trimmed(F::SSN), "7 8");
}

TEST_F(ClientFileTest, MissingFileIsCreatedEmptyAndLoadsNoClients) {
    ClientTable t;
    t.currentClient = 5;
    auto report = ClientFile(path).load(t);
    EXPECT_TRUE(fs::exists(path));
    EXPECT_EQ(fs::file_size(path), 0u);
    EXPECT_EQ(t.clientCount, 0);
    EXPECT_EQ(t.currentClient, 0);
    EXPECT_FALSE(report.overflow);
}

TEST_F(ClientFileTest, TwoRecordsLoadIntoSlotsOneAndTwo) {
    writeBytes(record("Ann") + record("Bob"));
    ClientTable t;
    ClientFile(path).load(t);
    EXPECT_EQ(t.clientCount, 2);
    EXPECT_EQ(t.currentClient, 1);
    EXPECT_EQ(t.at(1).trimmed(F::Name), "Ann");
    EXPECT_EQ(t.at(2).trimmed(F::Name), "Bob");
    EXPECT_TRUE(t.at(0).isCleared());
    EXPECT_TRUE(t.at(3).isCleared());
}

TEST_F(ClientFileTest, WritingPastTheEndAppendsAndRoundTrips) {
    writeBytes(record("Ann") + record("Bob"));
    ClientTable t;
    ClientFile file(path);
    file.load(t);
    t.at(3).bytes() = ClientTable{}.at(0).bytes();
    t.at(3).set(F::Name, "Cy");
    t.at(3).set(F::Responses, std::string(143, '1'));
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
    writeBytes(two + std::string(100, 'z')); // 2.51 records
    ClientTable t;
    auto report = ClientFile(path).load(t);
    EXPECT_EQ(t.clientCount, 3);
    EXPECT_TRUE(report.partialLastRecord);
    EXPECT_EQ(t.at(3).field(F::Name), std::string(25, 'z'));
    EXPECT_EQ(t.at(3).bytes()[100], ' ') << "the missing part reads as spaces";
    EXPECT_EQ(fs::file_size(path), two.size() + 100) << "loading never cuts the file";

    writeBytes(two + std::string(97, 'z')); // 2.49 records
    ClientFile(path).load(t);
    EXPECT_EQ(t.clientCount, 2);
    EXPECT_EQ(fs::file_size(path), two.size() + 97);
}

TEST_F(ClientFileTest, MoreThanFiftyOneRecordsLoadsFiftyOneAndNeverWritesPastThem) {
    std::string all;
    for (int k = 1; k <= 53; ++k) {
        all += record("C" + std::to_string(k));
    }
    writeBytes(all);
    ClientTable t;
    ClientFile file(path);
    auto report = file.load(t);
    EXPECT_TRUE(report.overflow);
    EXPECT_EQ(report.recordsInFile, 53);
    EXPECT_EQ(t.clientCount, 51);
    EXPECT_EQ(t.at(51).trimmed(F::Name), "C51");
    EXPECT_THROW(file.writeRecord(t, 52), orvj::OrvjError);
    EXPECT_EQ(readBytes(), all);
}

TEST_F(ClientFileTest, NonDigitCodesAreReportedAndKept) {
    std::string r = record("Ann");
    r[38] = 'X';
    writeBytes(r);
    ClientTable t;
    auto report = ClientFile(path).load(t);
    ASSERT_EQ(report.fieldProblems.size(), 1u);
    EXPECT_NE(report.fieldProblems[0].find("Gender"), std::string::npos);
    EXPECT_EQ(t.at(1).field(F::Gender), "X");
}

TEST_F(ClientFileTest, MissingFolderAndReadOnlyFileAreTypedErrors) {
    ClientTable t;
    try {
        ClientFile(dir / "nowhere" / ClientFile::kFileName).load(t);
        FAIL() << "no error for a missing folder";
    } catch (const orvj::OrvjError& e) {
        EXPECT_EQ(e.code(), orvj::ErrorCode::PathNotFound);
        EXPECT_NE(std::string(e.what()).find("nowhere"), std::string::npos);
    }

    writeBytes(record("Ann"));
    fs::permissions(path, fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read,
                    fs::perm_options::replace);
    fs::permissions(dir, fs::perms::all, fs::perm_options::add);
    // File modes do not bind root: the check then runs in a child without privileges.
    auto check = [&]() -> int {
        ClientTable u;
        try {
            ClientFile(path).load(u);
            return 1;
        } catch (const orvj::OrvjError& e) {
            if (e.code() != orvj::ErrorCode::PermissionDenied) {
                return 2;
            }
        }
        ClientTable one;
        one.clientCount = 1;
        try {
            ClientFile(path).writeRecord(one, 1);
            return 3;
        } catch (const orvj::OrvjError& e) {
            return e.code() == orvj::ErrorCode::PermissionDenied ? 0 : 4;
        }
    };
    if (::geteuid() == 0) {
        pid_t pid = ::fork();
        ASSERT_GE(pid, 0);
        if (pid == 0) {
            if (::setgid(65534) != 0 || ::setuid(65534) != 0) {
                ::_exit(9);
            }
            ::_exit(check());
        }
        int status = 0;
        ::waitpid(pid, &status, 0);
        ASSERT_TRUE(WIFEXITED(status));
        EXPECT_EQ(WEXITSTATUS(status), 0) << "1: loaded, 2/4: wrong code, 3: wrote, 9: setuid";
    } else {
        EXPECT_EQ(check(), 0);
    }
    EXPECT_EQ(readBytes(), record("Ann")) << "a refused write leaves the file as it was";
}

} // namespace
