#include "StoreTestSupport.h"

#include "tests/platform/TestProcess.h"

#include <fstream>

namespace fs = std::filesystem;
using namespace orvj;
using namespace orvj::storetest;
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
    EXPECT_EQ(readBytes(path), "");
    EXPECT_TRUE(fs::exists(path));
    EXPECT_EQ(t.clientCount, 0);
    EXPECT_EQ(t.currentClient, 0);
}

TEST_F(ClientFileTest, TwoRecordsLoadAndAThirdIsAppendedAndRoundTrips) {
    writeBytes(path, bytesOf(client("Ann")) + bytesOf(client("Bob")));
    ClientTable t;
    ClientFile file(path);
    file.load(t);
    EXPECT_EQ(t.clientCount, 2);
    EXPECT_EQ(t.currentClient, 1);
    EXPECT_EQ(t.at(2).trimmed(F::Name), "Bob");

    t.at(3).set(F::Name, "Cy");
    file.writeRecord(t, 3);
    t.at(1).set(F::Name, "Anna");
    file.writeRecord(t, 1);

    EXPECT_EQ(readBytes(path), bytesOf(t.at(1)) + bytesOf(client("Bob")) + bytesOf(t.at(3)))
        << "record 2 must stay untouched";
}

// Neither loading nor writing cuts the file: a part record past the last whole one counts when
// it holds at least half a record (its missing part reads as spaces), and past the 51st
// nothing counts.
TEST_F(ClientFileTest, OddAndOverlongFilesLoadWhatFitsAndKeepTheRest) {
    const std::string two = numberedClients(2);
    const struct {
        std::string bytes;
        int count;
        bool partial;
        bool overflow;
    } files[] = {
        {two + std::string(100, 'z'), 3, true, false},
        {two + std::string(97, 'z'), 2, true, false},
        {numberedClients(53), 51, false, true},
    };
    for (const auto& f : files) {
        SCOPED_TRACE(f.bytes.size());
        writeBytes(path, f.bytes);
        ClientTable t;
        ClientFile file(path);
        const auto report = file.load(t);
        EXPECT_EQ(t.clientCount, f.count);
        EXPECT_EQ(report.partialLastRecord, f.partial);
        EXPECT_EQ(report.overflow, f.overflow);
        EXPECT_EQ(report.recordsInFile, f.overflow ? 53 : f.count);
        EXPECT_EQ(t.at(f.count).trimmed(F::Name),
                  f.count == 3 ? std::string(25, 'z') : "C" + std::to_string(f.count));
        if (f.partial) {
            EXPECT_EQ(t.at(3).bytes()[100], ' ') << "the missing part reads as spaces";
        }
        EXPECT_THROW(file.writeRecord(t, 52), OrvjError);
        // Odd tails and records past the 51st are not the program's to drop.
        file.writeRecord(t, 1);
        EXPECT_EQ(readBytes(path), f.bytes) << "an unchanged write-back changed the file";
    }
}

TEST_F(ClientFileTest, NonDigitCodesAreReportedAndKept) {
    std::string r = bytesOf(client("Ann"));
    r[38] = 'X'; // Gender
    writeBytes(path, r);
    ClientTable t;
    const auto report = ClientFile(path).load(t);
    ASSERT_EQ(report.fieldProblems.size(), 1u);
    EXPECT_NE(report.fieldProblems[0].find("Gender"), std::string::npos);
    EXPECT_EQ(t.at(1).field(F::Gender), "X");
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

    writeBytes(path, bytesOf(client("Ann")));
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
    EXPECT_EQ(readBytes(path), bytesOf(client("Ann")))
        << "a refused write leaves the file as it was";
    fs::permissions(path, fs::perms::owner_read | fs::perms::owner_write); // removable again
    if (!modesBind && !testplatform::childProcessesAvailable()) {
        GTEST_SKIP() << "file modes do not bind this user, and there is no child to give that up";
    }
}

} // namespace
