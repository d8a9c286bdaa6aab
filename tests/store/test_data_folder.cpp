// The switch to another data folder, which rewrites FilePath in the configuration file: a
// folder that cannot serve is refused and nothing changes.
#include "StoreTestSupport.h"

#include "store/ConfigFile.h"
#include "store/DataFolder.h"

using namespace orvj;
using namespace orvj::storetest;
namespace fs = std::filesystem;

namespace {

class DataFolderSwitch : public test::TempFolderTest {
protected:
    DataFolderSwitch() { test::writeFile(ini, kConfig); }
    std::string read() const { return test::readFile(ini); }
    // The refusal's message; the configuration file and the folder's files are unchanged.
    std::string refused(const fs::path& folder, bool makeNew) {
        const bool hadFile = fs::exists(folder / "DATA301.OVJ");
        std::string what;
        EXPECT_NE(errorOf([&] { DataFolder::switchTo(dir, ini, folder, makeNew); }, &what), 0)
            << folder << " was taken";
        EXPECT_EQ(read(), kConfig);
        EXPECT_EQ(fs::exists(folder / "DATA301.OVJ"), hadFile);
        return what;
    }

    static constexpr const char* kConfig = "[Path]\r\nFilePath=data\r\nSndPath=.\r\n";
    const fs::path dir = m_dir;
    const fs::path ini = dir / ConfigFile::kFileName;
    Disarm m_disarm;
};

TEST_F(DataFolderSwitch, AFolderThatCannotServeIsRefusedAndNothingChanges) {
    EXPECT_NE(refused(dir / "missing", false).find("does not exist"), std::string::npos);

    EXPECT_NE(refused(dir, true).find("not empty"), std::string::npos);

    // A folder that takes no file (a write-protected disk or share).
    fs::create_directories(dir / "locked");
    platform::armWriteFault(platform::FaultOp::Write, 1);
    const std::string why = refused(dir / "locked", false);
    EXPECT_NE(why.find((dir / "locked").string()), std::string::npos) << why;
    EXPECT_NE(why.find("cannot be written"), std::string::npos) << why;
    EXPECT_TRUE(fs::is_empty(dir / "locked")) << "no test file and no client file are left";

    // A new folder that cannot be recorded in the configuration file is removed again.
    platform::armWriteFault(platform::FaultOp::Rename, 1);
    refused(dir / "new", true);
    EXPECT_FALSE(fs::exists(dir / "new"));

    // FilePath keeps 49 characters: a longer folder name would be cut when read back.
    const fs::path deep = fs::temp_directory_path() / std::string(60, 'd');
    EXPECT_NE(refused(deep, true).find("keeps only 49"), std::string::npos);

    // Nor can a name with letters Windows-1252 has not: refused before the folder is made.
    EXPECT_NE(refused(dir / u8"Данные", true).find("Windows-1252"), std::string::npos);
    EXPECT_FALSE(fs::exists(dir / u8"Данные"));

    // A new folder outside the program folder is recorded by its full name.
    const fs::path fresh = fs::temp_directory_path() / "orvj-data-new-folder";
    fs::remove_all(fresh);
    EXPECT_EQ(DataFolder::switchTo(dir, ini, fresh, true).clients.clientCount, 0);
    EXPECT_EQ(ConfigFile(ini).GetINIFilePath(), fresh.string());
    fs::remove_all(fresh);

    // Other letters are recorded in Windows-1252, and the value names the folder again.
    const fs::path office = dir / u8"Büro é";
    DataFolder::switchTo(dir, ini, office, true);
    EXPECT_EQ(ConfigFile(ini).GetINIFilePath(), "B\xFCro \xE9");
    EXPECT_EQ(resolveConfiguredFolder(dir, ConfigFile(ini).GetINIFilePath()), office);
}

} // namespace
