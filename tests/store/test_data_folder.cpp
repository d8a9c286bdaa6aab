#include "store/ConfigFile.h"
#include "store/DataFolder.h"
#include "store/OrvjError.h"
#include "store/platform/WriteFaults.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

using namespace orvj;
namespace fs = std::filesystem;

namespace {

class DataFolderTest : public ::testing::Test {
protected:
    void SetUp() override {
        const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
        m_home = fs::temp_directory_path() / (std::string("orvj-data-") + info->name());
        fs::remove_all(m_home);
        fs::create_directories(m_home / "data");
        m_config = m_home / "ORVJTest.ini";
        put(m_config, kConfig);
    }
    void TearDown() override {
        platform::disarmWriteFaults();
        fs::remove_all(m_home);
    }
    static void put(const fs::path& file, const std::string& bytes) {
        std::ofstream(file, std::ios::binary) << bytes;
    }
    static std::string read(const fs::path& file) {
        std::ifstream in(file, std::ios::binary);
        return {std::istreambuf_iterator<char>(in), {}};
    }
    static std::string records(int n) {
        std::string bytes;
        for (int i = 0; i < n; ++i) {
            std::string r(196, ' ');
            r.replace(0, 8, "Client " + std::to_string(i % 10));
            bytes += r;
        }
        return bytes;
    }
    // The refusal's message; the configuration file and the folder's files are unchanged.
    std::string refused(const fs::path& folder, bool makeNew) {
        const bool hadFile = fs::exists(folder / "DATA301.OVJ");
        try {
            DataFolder::switchTo(m_home, m_config, folder, makeNew);
        } catch (const OrvjError& e) {
            EXPECT_EQ(read(m_config), kConfig);
            EXPECT_EQ(fs::exists(folder / "DATA301.OVJ"), hadFile);
            return e.what();
        }
        ADD_FAILURE() << folder << " was taken";
        return {};
    }

    static constexpr const char* kConfig = "[Path]\r\nFilePath=data\r\nSndPath=.\r\n";
    fs::path m_home;
    fs::path m_config;
};

TEST_F(DataFolderTest, AnotherFolderAndANewEmptyFolderBecomeTheDataFolder) {
    fs::create_directories(m_home / "office" / "2027");
    put(m_home / "office" / "2027" / "DATA301.OVJ", records(3));

    auto s = DataFolder::switchTo(m_home, m_config, m_home / "office" / "2027", false);
    EXPECT_EQ(s.clients.clientCount, 3);
    EXPECT_EQ(s.clients.currentClient, 1);
    EXPECT_EQ(s.filePathValue, "office/2027");
    EXPECT_EQ(ConfigFile(m_config).GetINIFilePath(), "office/2027");
    EXPECT_EQ(resolveConfiguredFolder(m_home, "office/2027"), s.dataFolder);
    EXPECT_EQ(ConfigFile(m_config).GetINISndPath(), ".") << "other keys stay";

    // A new folder outside the program folder: made, empty, named absolutely.
    const fs::path fresh = fs::temp_directory_path() / "orvj-data-new-folder";
    fs::remove_all(fresh);
    s = DataFolder::switchTo(m_home, m_config, fresh, true);
    EXPECT_EQ(s.clients.clientCount, 0);
    EXPECT_EQ(ConfigFile(m_config).GetINIFilePath(), fresh.string());
    EXPECT_TRUE(fs::exists(fresh / "DATA301.OVJ"));
    fs::remove_all(fresh);

    // A client file that is too long loads with the start-up's notices.
    put(m_home / "data" / "DATA301.OVJ", records(52) + "half");
    s = DataFolder::switchTo(m_home, m_config, m_home / "data", false);
    EXPECT_TRUE(s.report.overflow);
    EXPECT_TRUE(s.report.partialLastRecord);
    EXPECT_EQ(s.clients.clientCount, 51);
}

TEST_F(DataFolderTest, AFolderThatCannotServeIsRefusedAndNothingChanges) {
    put(m_home / "afile", "x");
    EXPECT_NE(refused(m_home / "missing", false).find("does not exist"), std::string::npos);
    EXPECT_NE(refused(m_home / "afile", false).find("not a folder"), std::string::npos);
    EXPECT_FALSE(fs::exists(m_home / "missing"));

    put(m_home / "data" / "DATA301.OVJ", records(2));
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
