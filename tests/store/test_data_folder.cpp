#include "StoreTestSupport.h"

#include "store/ConfigFile.h"
#include "store/DataFolder.h"

using namespace orvj;
using namespace orvj::storetest;
namespace fs = std::filesystem;

namespace {

class DataFolderSwitch : public test::TempFolderTest {
protected:
    DataFolderSwitch() {
        fs::create_directories(m_home / "data");
        test::writeFile(m_config, kConfig);
    }
    // The refusal's message; the configuration file and the folder's files are unchanged.
    std::string refused(const fs::path& folder, bool makeNew) {
        const bool hadFile = fs::exists(folder / "DATA301.OVJ");
        std::string what;
        EXPECT_NE(errorOf([&] { DataFolder::switchTo(m_home, m_config, folder, makeNew); }, &what),
                  0)
            << folder << " was taken";
        EXPECT_EQ(read(m_config), kConfig);
        EXPECT_EQ(fs::exists(folder / "DATA301.OVJ"), hadFile);
        return what;
    }

    static constexpr const char* kConfig = "[Path]\r\nFilePath=data\r\nSndPath=.\r\n";
    Disarm m_disarm;
    const fs::path m_home = m_dir;
    const fs::path m_config = m_home / "ORVJTest.ini";
};

// (Going back and forth between two folders through the form is the setup utilities' test's.)
TEST_F(DataFolderSwitch, AnotherFolderAndANewEmptyFolderBecomeTheDataFolder) {
    // A client file that is too long loads with the start-up's notices; the folder is recorded
    // relative to the program folder.
    fs::create_directories(m_home / "office" / "2027");
    test::writeFile(m_home / "office" / "2027" / "DATA301.OVJ", numberedClients(52) + "half");
    auto s = DataFolder::switchTo(m_home, m_config, m_home / "office" / "2027", false);
    EXPECT_TRUE(s.report.overflow);
    EXPECT_TRUE(s.report.partialLastRecord);
    EXPECT_EQ(s.clients.clientCount, 51);
    EXPECT_EQ(s.clients.currentClient, 1);
    EXPECT_EQ(s.filePathValue, "office/2027");
    EXPECT_EQ(ConfigFile(m_config).GetINIFilePath(), "office/2027");
    EXPECT_EQ(resolveConfiguredFolder(m_home, "office/2027"), s.dataFolder);

    // A new folder outside the program folder: made, empty, named absolutely.
    const fs::path fresh = fs::temp_directory_path() / "orvj-data-new-folder";
    fs::remove_all(fresh);
    s = DataFolder::switchTo(m_home, m_config, fresh, true);
    EXPECT_EQ(s.clients.clientCount, 0);
    EXPECT_EQ(ConfigFile(m_config).GetINIFilePath(), fresh.string());
    EXPECT_TRUE(fs::exists(fresh / "DATA301.OVJ"));
    fs::remove_all(fresh);
}

TEST_F(DataFolderSwitch, AFolderThatCannotServeIsRefusedAndNothingChanges) {
    test::writeFile(m_home / "afile", "x");
    EXPECT_NE(refused(m_home / "missing", false).find("does not exist"), std::string::npos);
    EXPECT_NE(refused(m_home / "afile", false).find("not a folder"), std::string::npos);
    EXPECT_FALSE(fs::exists(m_home / "missing"));

    test::writeFile(m_home / "data" / "DATA301.OVJ", numberedClients(2));
    EXPECT_NE(refused(m_home / "data", true).find("not empty"), std::string::npos);

    // A folder that takes no file (a write-protected disk or share).
    fs::create_directories(m_home / "locked");
    platform::armWriteFault(platform::FaultOp::Write, 1);
    const std::string why = refused(m_home / "locked", false);
    EXPECT_NE(why.find((m_home / "locked").string()), std::string::npos) << why;
    EXPECT_NE(why.find("cannot be written"), std::string::npos) << why;
    EXPECT_TRUE(fs::is_empty(m_home / "locked")) << "no test file and no client file are left";

    // A new folder that cannot be recorded in the configuration file is removed again.
    platform::armWriteFault(platform::FaultOp::Rename, 1);
    refused(m_home / "new", true);
    EXPECT_FALSE(fs::exists(m_home / "new"));

    // FilePath keeps 49 characters: a longer folder name would be cut when read back.
    const fs::path deep = fs::temp_directory_path() / std::string(60, 'd');
    EXPECT_NE(refused(deep, true).find("keeps only 49"), std::string::npos);
    EXPECT_FALSE(fs::exists(deep));
}

} // namespace
