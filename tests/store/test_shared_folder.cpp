// A data folder shared with other users and PCs: what another user of the share can plant in
// it, a PC that stops in the middle of a save, links an office makes on purpose, a folder
// shared by a group, and files larger than any of their kind.
#include "StoreTestSupport.h"

#include "store/ClientFileLock.h"
#include "store/ConfigFile.h"
#include "store/DataFolder.h"
#include "store/ProgramFolder.h"
#include "tests/platform/TestProcess.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdint>

namespace orvj::storetest {
namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;

constexpr const char* kSentinel = "the victim's own file\n";

class SharedFolderSafety : public DataFolderTest {
protected:
    // A file of the victim's outside the data folder, which nothing may change.
    const fs::path sentinel = dir / "victim.txt";
    const fs::path data = dir / "data";
    const fs::path clientFile = data / ClientFile::kFileName;

    void SetUp() override {
        test::writeFile(sentinel, kSentinel);
        fs::create_directory(data);
        test::writeFile(clientFile, numberedClients(2));
    }

    // Saves a changed record 1 through a fresh load, as a program's next save would.
    void saveFirst(const fs::path& file, const std::string& name, int slot = 1) const {
        ClientFile cf(file);
        cf.setLockWait(200ms);
        ClientTable t;
        cf.load(t);
        t.at(slot) = client(name);
        cf.writeRecord(t, slot);
    }

    static bool isLink(const fs::path& p) { return fs::is_symlink(fs::symlink_status(p)); }
};

// Links, file modes, other users and a lock file deleted while held: POSIX only, as Windows
// keeps an open file's name and makes no links here.
#ifndef _WIN32
TEST_F(SharedFolderSafety, NamesPlantedAsLinksOrFoldersAreNeverWrittenThrough) {
    // The name the temporary had before it was random: a save passes it by and removes it.
    fs::create_symlink(sentinel, data / ".DATA301.OVJ.new");
    saveFirst(clientFile, "Changed");
    EXPECT_EQ(test::readFile(sentinel), kSentinel);
    EXPECT_FALSE(isLink(clientFile)) << "the client file must stay a regular file";
    EXPECT_EQ(test::readFile(clientFile).substr(0, 7), "Changed");

    // The lock: a link or a folder under its name stops the save and is named.
    const std::string before = test::readFile(clientFile);
    fs::remove(data / ClientFileLock::kFileName);
    fs::create_symlink(sentinel, data / ClientFileLock::kFileName);
    std::string what;
    EXPECT_NE(errorOf([&] { saveFirst(clientFile, "Again"); }, &what), 0);
    EXPECT_NE(what.find(ClientFileLock::kFileName), std::string::npos) << what;
    EXPECT_NE(what.find("link"), std::string::npos) << what;
    fs::remove(data / ClientFileLock::kFileName);
    fs::create_directory(data / ClientFileLock::kFileName);
    EXPECT_NE(errorOf([&] { saveFirst(clientFile, "Again"); }, &what), 0);
    EXPECT_NE(what.find(ClientFileLock::kFileName), std::string::npos) << what;
    EXPECT_EQ(test::readFile(clientFile), before);
    fs::remove(data / ClientFileLock::kFileName);

    // The write probe of the data-folder window.
    fs::create_symlink(sentinel, data / "DATA301.WRITE-TEST");
    DataFolder::checkWritable(data);
    EXPECT_EQ(test::readFile(sentinel), kSentinel);
    EXPECT_TRUE(isLink(data / "DATA301.WRITE-TEST")) << "someone else's file is left alone";
}

TEST_F(SharedFolderSafety, ASaveStoppedHalfWayNeverUndoesWhatOthersSavedMeanwhile) {
    const struct {
        const char* name;
        bool deleteLock; // the supervisor deleted the lock of a PC that seemed to hang
    } cases[] = {{"the lock was deleted and another PC saved", true},
                 {"the file was replaced without the lock", false}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        test::writeFile(clientFile, numberedClients(2));
        ClientFile stopped(clientFile);
        ClientTable mine;
        stopped.load(mine);
        mine.at(1) = client("Stopped PC's edit");
        stopped.setBeforeReplace([&] {
            if (c.deleteLock) {
                fs::remove(data / ClientFileLock::kFileName);
                ClientFile other(clientFile);
                ClientTable theirs;
                other.load(theirs);
                theirs.at(3) = client("Other PC's client");
                other.writeRecord(theirs, 3);
            } else {
                test::writeFile(clientFile, numberedClients(2) + bytesOf(client("Restored")));
            }
        });
        const std::string expected = test::readFile(clientFile);
        std::string what;
        EXPECT_EQ(errorOf([&] { stopped.writeRecord(mine, 1); }, &what), ErrorCode::FileLocked);
        EXPECT_NE(what.find("was not saved"), std::string::npos) << what;
        EXPECT_NE(what.find(clientFile.string()), std::string::npos) << what;
        const std::string now = test::readFile(clientFile);
        EXPECT_EQ(now.size(), 3 * ClientRecord::kSize) << "the other client is still there";
        EXPECT_EQ(now.find("Stopped PC's edit"), std::string::npos);
        EXPECT_EQ(mine.at(1), client("Stopped PC's edit")) << "the caller restores its record";
        for (const auto& name : namesIn(data)) {
            EXPECT_FALSE(stopped.isTemporaryName(name)) << name;
        }
    }
}

TEST_F(SharedFolderSafety, AnOfficesOwnLinkIsLockedAndReplacedWhereItsFileIs) {
    // Two data folders of one office that link the same client file.
    const fs::path first = dir / "first", second = dir / "second";
    fs::create_directory(first);
    fs::create_directory(second);
    fs::create_symlink(clientFile, first / ClientFile::kFileName);
    fs::create_symlink(clientFile, second / ClientFile::kFileName);

    saveFirst(first / ClientFile::kFileName, "Through the first", 3);
    EXPECT_TRUE(isLink(first / ClientFile::kFileName)) << "the office's link stays";
    EXPECT_EQ(test::readFile(clientFile).size(), 3 * ClientRecord::kSize);
    EXPECT_FALSE(fs::exists(first / ClientFileLock::kFileName)) << "locked where the file is";

    // One lock for both: a save through the second folder waits for the first's.
    {
        const ClientFileLock held(clientFile, 1s);
        EXPECT_EQ(errorOf([&] { saveFirst(second / ClientFile::kFileName, "Waits"); }),
                  ErrorCode::FileLocked);
    }
    saveFirst(second / ClientFile::kFileName, "Through the second", 4);
    EXPECT_EQ(test::readFile(clientFile).size(), 4 * ClientRecord::kSize) << "no client lost";
}

TEST_F(SharedFolderSafety, AClientFileOnAnotherFileSystemSavesThroughTheOfficesLink) {
    const fs::path shm = "/dev/shm";
    if (testplatform::deviceOf(shm.string()) < 0 ||
        testplatform::deviceOf(shm.string()) == testplatform::deviceOf(dir.string())) {
        GTEST_SKIP() << "no second file system to try";
    }
    const fs::path real =
        shm / ("orvj-" + std::to_string(platform::processId()) + "-" + ClientFile::kFileName);
    test::writeFile(real, numberedClients(2));
    fs::remove(clientFile);
    fs::create_symlink(real, clientFile);
    const std::string failure = [&] {
        std::string what;
        errorOf([&] { saveFirst(clientFile, "Across", 3); }, &what);
        return what;
    }();
    const std::string saved = test::readFile(real);
    fs::remove(real);
    fs::remove(shm / ClientFileLock::kFileName);
    EXPECT_EQ(failure, "");
    EXPECT_EQ(saved.size(), 3 * ClientRecord::kSize);
    EXPECT_TRUE(isLink(clientFile));
}

TEST_F(SharedFolderSafety, ALinkAnotherUserMadeIsRefused) {
    if (!testplatform::isAdministrator()) {
        GTEST_SKIP() << "only the administrator can make a link another user owns";
    }
    const fs::path link = dir / "linked";
    fs::create_directory(link);
    fs::create_symlink(sentinel, link / ClientFile::kFileName);
    ASSERT_TRUE(testplatform::setLinkOwner((link / ClientFile::kFileName).string(), 4242));
    std::string what;
    EXPECT_EQ(errorOf([&] { saveFirst(link / ClientFile::kFileName, "Injected"); }, &what),
              ErrorCode::PermissionDenied);
    EXPECT_NE(what.find("another user"), std::string::npos) << what;
    EXPECT_EQ(test::readFile(sentinel), kSentinel);
}

TEST_F(SharedFolderSafety, TwoAccountsOfOneGroupSharedFolderBothKeepSaving) {
    if (!testplatform::isAdministrator() || !testplatform::childProcessesAvailable()) {
        GTEST_SKIP() << "playing two users needs the administrator and child processes";
    }
    constexpr unsigned kGroup = 4343;
    const fs::path shared = dir / "shared";
    fs::create_directory(shared);
    ASSERT_EQ(testplatform::runCommand("chgrp " + std::to_string(kGroup) + " '" + shared.string() +
                                       "' && chmod 2770 '" + shared.string() + "' && chmod o+x '" +
                                       dir.string() + "'"),
              0);
    const fs::path file = shared / ClientFile::kFileName;
    int added = 0;
    for (const unsigned user : {4201u, 4202u, 4201u}) {
        SCOPED_TRACE(user);
        const std::string name =
            "Client of " + std::to_string(user) + "-" + std::to_string(++added);
        testplatform::Child child([&] {
            if (!testplatform::becomeUser(user, kGroup)) {
                return 9;
            }
            ClientFile cf(file);
            ClientTable t;
            cf.load(t);
            t.at(t.clientCount + 1) = client(name);
            cf.writeRecord(t, t.clientCount + 1);
            return 0;
        });
        EXPECT_EQ(child.wait(), 0);
    }
    EXPECT_EQ(test::readFile(file).size(), 3 * ClientRecord::kSize);
    EXPECT_EQ(testplatform::modeOf(file.string()), 0660);
    EXPECT_EQ(testplatform::modeOf((shared / ClientFileLock::kFileName).string()), 0660);
}

TEST_F(SharedFolderSafety, NewFilesAndFoldersArePrivateWhateverTheUmask) {
    const unsigned before = testplatform::setFileModeMask(022);
    struct Restore {
        unsigned mask;
        ~Restore() { testplatform::setFileModeMask(mask); }
    } restore{before};

    // A new data folder and the client file and lock of its first save.
    const fs::path home = dir / "home";
    fs::create_directory(home);
    test::writeFile(home / "ORVJTest.ini", "[Path]\r\nFilePath=data\r\n");
    const DataFolder::Switched s =
        DataFolder::switchTo(home, home / "ORVJTest.ini", home / "fresh", true);
    ClientTable t = s.clients;
    t.at(1) = client("First");
    ClientFile(s.clientFile).writeRecord(t, 1);
    EXPECT_EQ(testplatform::modeOf(s.dataFolder.string()), 0700);
    EXPECT_EQ(testplatform::modeOf(s.clientFile.string()), 0600);
    EXPECT_EQ(testplatform::modeOf((s.dataFolder / ClientFileLock::kFileName).string()), 0600);

    // An existing file keeps the mode the office gave it.
    fs::permissions(s.clientFile,
                    fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
    ClientFile(s.clientFile).writeRecord(t, 1);
    EXPECT_EQ(testplatform::modeOf(s.clientFile.string()), 0640);

    // The first start's per-user folder, laid out from a template readable by everybody.
    const fs::path templ = dir / "template";
    fs::create_directories(templ / "data");
    test::writeFile(templ / "ORVJTest.ini", "[Path]\r\nFilePath=data\r\n");
    test::writeFile(templ / "data" / ClientFile::kFileName, numberedClients(1));
    const fs::path user = dir / "user" / "orvj";
    ASSERT_TRUE(layOutProgramFolder(user, templ));
    for (const auto& e : fs::recursive_directory_iterator(user)) {
        EXPECT_EQ(testplatform::modeOf(e.path().string()) & 077, 0) << e.path();
    }
    EXPECT_EQ(testplatform::modeOf(user.string()) & 077, 0);
}

#endif

TEST_F(SharedFolderSafety, FilesLargerThanTheirKindAreRefusedUnread) {
    // Sparse: they claim gigabytes and take no room.
    fs::resize_file(clientFile, std::uintmax_t{3} << 30);
    ClientTable t;
    std::string what;
    EXPECT_NE(errorOf([&] { ClientFile(clientFile).load(t); }, &what), 0);
    EXPECT_NE(what.find(clientFile.string()), std::string::npos) << what;
    EXPECT_NE(what.find("bytes"), std::string::npos) << what;

    const fs::path ini = dir / "ORVJTest.ini";
    test::writeFile(ini, "[Path]\r\nFilePath=data\r\n");
    fs::resize_file(ini, std::uintmax_t{2} << 30);
    const ConfigFile config(ini);
    EXPECT_EQ(config.GetPrivateProfileString("Path", "FilePath", "a:", 50), "a:");
    EXPECT_NE(errorOf([&] { config.WritePrivateProfileString("Path", "FilePath", "x"); }), 0)
        << "a file that could not be read is never rewritten";
    EXPECT_EQ(fs::file_size(ini), std::uintmax_t{2} << 30);
}

TEST_F(SharedFolderSafety, ATrailingPartOfARecordIsKeptBesideTheFileWhenANewClientComes) {
    const std::string fragment(40, 'Q');
    test::writeFile(clientFile, numberedClients(2) + fragment);
    ClientFile cf(clientFile);
    ClientTable t;
    cf.load(t);
    ASSERT_EQ(t.clientCount, 2);
    t.at(3) = client("New");
    const RecordSave save = t.saveRecord(
        3, [](ClientRecord&) {}, cf);
    ASSERT_TRUE(save.saved) << save.fault;
    EXPECT_EQ(test::readFile(clientFile).size(), 3 * ClientRecord::kSize);
    fs::path kept;
    for (const auto& e : fs::directory_iterator(data)) {
        if (e.path().filename().string().starts_with("DATA301.OVJ.fragment-")) {
            kept = e.path();
        }
    }
    ASSERT_FALSE(kept.empty());
    EXPECT_EQ(test::readFile(kept), fragment);
    EXPECT_NE(save.notice.find(kept.string()), std::string::npos) << save.notice;

    // Said once: the next save has nothing to tell.
    t.at(1) = client("Edited");
    const RecordSave next = t.saveRecord(
        1, [](ClientRecord&) {}, cf);
    EXPECT_TRUE(next.saved);
    EXPECT_EQ(next.notice, "");
}

} // namespace
} // namespace orvj::storetest
