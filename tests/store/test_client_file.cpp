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

} // namespace
