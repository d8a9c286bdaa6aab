#include "store/ConfigFile.h"

#include "store/OrvjError.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

using namespace orvj;
namespace fs = std::filesystem;

namespace {

class ConfigFileTest : public ::testing::Test {
protected:
    void SetUp() override {
        dir = fs::temp_directory_path() /
              ("orvj-config-" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) +
               "-" + ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(dir);
        fs::create_directories(dir);
        ini = dir / ConfigFile::kFileName;
    }
    void TearDown() override { fs::remove_all(dir); }

    void write(const std::string& text) {
        std::ofstream out(ini, std::ios::binary);
        out << text;
    }
    std::string read() const {
        std::ifstream in(ini, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }

    fs::path dir;
    fs::path ini;
};

TEST_F(ConfigFileTest, MissingFileGivesTheDefaults) {
    ConfigFile cfg(ini);
    EXPECT_EQ(cfg.GetINIFilePath(), "a:");
    EXPECT_EQ(cfg.GetINISndPath(), "C:");
    EXPECT_TRUE(cfg.ReadNumLock());
    EXPECT_FALSE(fs::exists(ini));
}

TEST_F(ConfigFileTest, SixtyCharacterValuesAreCutTo49) {
    const std::string sixty(60, 'x');
    const std::string sound = std::string(30, 's') + "/" + std::string(29, 't');
    write("[Path]\r\nFilePath=" + sixty + "\r\nSndPath=" + sound + "\r\n");
    ConfigFile cfg(ini);
    EXPECT_EQ(cfg.GetINIFilePath(), std::string(49, 'x'));
    EXPECT_EQ(cfg.GetINISndPath(), sound.substr(0, 49));
}

TEST_F(ConfigFileTest, ValuesAreTrimmedAndQuotesRemoved) {
    write("[Path]\nFilePath =   /data/office one   \nSndPath=\"  /snd \"\n");
    ConfigFile cfg(ini);
    EXPECT_EQ(cfg.GetINIFilePath(), "/data/office one");
    // The quotes keep the blanks from the file; the buffer rule then trims the front only.
    EXPECT_EQ(cfg.GetPrivateProfileString("Path", "SndPath", "", 50), "  /snd ");
    EXPECT_EQ(cfg.GetINISndPath(), "/snd ");
}

TEST_F(ConfigFileTest, BufferRuleKeepsAtMostLengthMinusOne) {
    EXPECT_EQ(applyReadBuffer("", 50), "");
    EXPECT_EQ(applyReadBuffer("abc", 50), "abc");
    EXPECT_EQ(applyReadBuffer(std::string(49, 'z'), 50), std::string(49, 'z'));
    EXPECT_EQ(applyReadBuffer("True", 10), "True");
    EXPECT_EQ(applyReadBuffer("   ", 10), "");
}

TEST_F(ConfigFileTest, UnicodeValuesAreCutByCharacter) {
    // 48 ASCII characters and then two accented ones: the 49th is kept whole.
    const std::string value = std::string(48, 'p') + "\xC3\xA9\xC3\xA9";
    write("[Path]\nFilePath=" + value + "\n");
    EXPECT_EQ(ConfigFile(ini).GetINIFilePath(), std::string(48, 'p') + "\xC3\xA9");
}

TEST_F(ConfigFileTest, NumLockReadsOnOnlyForTru) {
    struct Case {
        const char* file;
        bool on;
    };
    const Case cases[] = {
        {"[Settings]\nNumLock=True\n", true},   {"[Settings]\nNumLock=Truth\n", true},
        {"[Settings]\nNumLock=true\n", false},  {"[Settings]\nNumLock=\n", false},
        {"[Settings]\nNumLock=False\n", false}, {"[Settings]\nNumLock=TRUE\n", false},
        {"[Settings]\nOther=1\n", true},        {"[Path]\nFilePath=x\n", true},
        {"[Settings]\nNumLock=  Tru\n", true},  {"[Settings]\nNumLock=Tr\n", false},
    };
    for (const Case& c : cases) {
        write(c.file);
        EXPECT_EQ(ConfigFile(ini).ReadNumLock(), c.on) << c.file;
    }
}

TEST_F(ConfigFileTest, SectionAndKeyNamesIgnoreCase) {
    write("[PATH]\nfilepath=/one\n[settings]\nNUMLOCK=False\n");
    ConfigFile cfg(ini);
    EXPECT_EQ(cfg.GetINIFilePath(), "/one");
    EXPECT_FALSE(cfg.ReadNumLock());
}

TEST_F(ConfigFileTest, AByteOrderMarkIsNotPartOfTheFirstSection) {
    write("\xEF\xBB\xBF[Path]\r\nFilePath=/bom\r\n");
    ConfigFile cfg(ini);
    EXPECT_EQ(cfg.GetINIFilePath(), "/bom");
    cfg.WritePrivateProfileString("Path", "SndPath", "/snd");
    EXPECT_EQ(read(), "\xEF\xBB\xBF[Path]\r\nFilePath=/bom\r\nSndPath=/snd\r\n");
}

TEST_F(ConfigFileTest, KeysOfOtherSectionsDoNotLeakIn) {
    write("[Engine]\nFilePath=/wrong\n[Path]\n; FilePath=/comment\nSndPath=/snd\n");
    ConfigFile cfg(ini);
    EXPECT_EQ(cfg.GetINIFilePath(), "a:");
    EXPECT_EQ(cfg.GetINISndPath(), "/snd");
}

TEST_F(ConfigFileTest, WritingKeepsEveryOtherLine) {
    const std::string original = "; office settings\r\n"
                                 "[Path]\r\n"
                                 "FilePath=D:\\Data\r\n"
                                 "SndPath=C:\r\n"
                                 "\r\n"
                                 "[Settings]\r\n"
                                 "numlock=True\r\n"
                                 "\r\n"
                                 "[Engine 4.0]\r\n"
                                 "PageTimeout=5000\r\n"
                                 "SystemDB=keep me\r\n";
    write(original);
    ConfigFile cfg(ini);
    cfg.WriteNumLock(false);
    std::string expected = original;
    expected.replace(expected.find("numlock=True"), 12, "numlock=False");
    EXPECT_EQ(read(), expected);
    EXPECT_FALSE(cfg.ReadNumLock());

    cfg.WriteNumLock(true);
    EXPECT_TRUE(cfg.ReadNumLock());
    EXPECT_EQ(read(), original);
}

TEST_F(ConfigFileTest, WritingAddsMissingKeysAndSections) {
    write("[Path]\nFilePath=/data\n\n[Engine]\nX=1");
    ConfigFile cfg(ini);
    cfg.WritePrivateProfileString("path", "SndPath", "/snd");
    cfg.WriteSystemDB("/opt/orvj");
    EXPECT_EQ(read(), "[Path]\nFilePath=/data\nSndPath=/snd\n\n[Engine]\nX=1\n\n"
                      "[Options]\nSystemDB=/opt/orvj/qlnvex.mda\n");
    // Written again at the next start: replaced, not added twice.
    cfg.WriteSystemDB("/srv/orvj");
    EXPECT_EQ(cfg.GetPrivateProfileString("Options", "SystemDB", "", 200), "/srv/orvj/qlnvex.mda");
    EXPECT_EQ(read().find("/opt/orvj"), std::string::npos);
}

TEST_F(ConfigFileTest, WritingCreatesAMissingFile) {
    ConfigFile cfg(ini);
    cfg.WriteNumLock(false);
    EXPECT_EQ(read(), "[Settings]\nNumLock=False\n");
    EXPECT_EQ(cfg.GetINIFilePath(), "a:");
    EXPECT_FALSE(cfg.ReadNumLock());
}

TEST_F(ConfigFileTest, AFailedWriteLeavesTheFileAndNoTemporaryBehind) {
    write("[Path]\nFilePath=/data\n");
    ConfigFile gone(dir / "no such folder" / ConfigFile::kFileName);
    EXPECT_THROW(gone.WriteNumLock(true), OrvjError);

    // A folder where the file should be: nothing can be read, so nothing is replaced.
    fs::create_directories(dir / "sub" / ConfigFile::kFileName);
    ConfigFile folder(dir / "sub" / ConfigFile::kFileName);
    EXPECT_THROW(folder.WriteNumLock(true), OrvjError);
    EXPECT_TRUE(fs::is_directory(dir / "sub" / ConfigFile::kFileName));
    EXPECT_EQ(folder.GetINIFilePath(), "a:");

    int entries = 0;
    for ([[maybe_unused]] const auto& e : fs::directory_iterator(dir)) {
        ++entries;
    }
    EXPECT_EQ(entries, 2); // the configuration file and "sub"
    EXPECT_EQ(read(), "[Path]\nFilePath=/data\n");
}

TEST_F(ConfigFileTest, WritingThroughALinkKeepsTheLink) {
    fs::create_directories(dir / "real");
    std::ofstream(dir / "real" / "shared.ini") << "[Path]\nFilePath=/data\n";
    fs::create_symlink(dir / "real" / "shared.ini", ini);
    ConfigFile(ini).WriteNumLock(false);
    EXPECT_TRUE(fs::is_symlink(ini));
    EXPECT_FALSE(ConfigFile(dir / "real" / "shared.ini").ReadNumLock());
}

TEST(ConfiguredFolder, RelativeNamesAreUnderTheProgramFolder) {
    const fs::path home = "/opt/orvj";
    EXPECT_EQ(resolveConfiguredFolder(home, "data"), fs::path("/opt/orvj/data"));
    EXPECT_EQ(resolveConfiguredFolder(home, "data\\office 2\\"),
              fs::path("/opt/orvj/data/office 2"));
    EXPECT_EQ(resolveConfiguredFolder(home, ".\\data"), fs::path("/opt/orvj/data"));
    EXPECT_EQ(resolveConfiguredFolder(home, ""), home);
    EXPECT_EQ(resolveConfiguredFolder(home, "/srv/orvj/data/"), fs::path("/srv/orvj/data"));
    EXPECT_EQ(resolveConfiguredFolder(home, "\\srv\\data"), fs::path("/srv/data"));
}

#ifndef _WIN32
TEST(ConfiguredFolder, DriveLettersNameNoFolderHere) {
    EXPECT_TRUE(resolveConfiguredFolder("/opt/orvj", "a:").empty());
    EXPECT_TRUE(resolveConfiguredFolder("/opt/orvj", "C:\\ORVJ").empty());
    EXPECT_TRUE(startsWithDriveLetter("a:"));
    EXPECT_FALSE(startsWithDriveLetter("data:x"));
    EXPECT_FALSE(startsWithDriveLetter("/a:"));
}
#endif

} // namespace
