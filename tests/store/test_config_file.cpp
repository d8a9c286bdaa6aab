// The configuration file ORVJTest.ini: the values read from it, the Num Lock option written
// into it, and the folders its FilePath and SndPath name.
#include "StoreTestSupport.h"

#include "store/ConfigFile.h"

using namespace orvj;
using namespace orvj::storetest;
namespace fs = std::filesystem;

namespace {

class ConfigFileTest : public test::TempFolderTest {
protected:
    void write(const std::string& text) const { test::writeFile(ini, text); }
    std::string read() const { return test::readFile(ini); }

    const fs::path dir = m_dir;
    const fs::path ini = dir / ConfigFile::kFileName;
};

TEST_F(ConfigFileTest, FilePathIsTrimmedAndCutTo49Characters) {
    const std::pair<std::string, std::string> cases[] = {
        {"[Path]\nFilePath =   /data/office one   \n", "/data/office one"},
        {"\xEF\xBB\xBF[Path]\r\nFilePath=/bom\r\n", "/bom"},
        {"[Engine]\nFilePath=/wrong\n[Path]\n; FilePath=/comment\n", "a:"},
        // A value is cut to 49 characters, UTF-8 ones by character: the 49th, an accented
        // letter, is kept whole.
        {"[Path]\nFilePath=" + std::string(48, 'p') + "\xC3\xA9\xC3\xA9\n",
         std::string(48, 'p') + "\xC3\xA9"},
    };
    for (const auto& [file, filePath] : cases) {
        write(file);
        EXPECT_EQ(ConfigFile(ini).GetINIFilePath(), filePath) << file;
    }
    // The quotes keep the blanks from the file; the buffer rule then trims the front only.
    write("[Path]\nSndPath=\"  /snd \"\n");
    EXPECT_EQ(ConfigFile(ini).GetINISndPath(), "/snd ");
}

// Sections and keys are found regardless of case; the value by its first three letters.
TEST_F(ConfigFileTest, NumLockReadsOnOnlyForTru) {
    const std::pair<const char*, bool> cases[] = {
        {"[Settings]\nNumLock=Truth\n", true}, {"[Settings]\nNumLock=TRUE\n", false},
        {"[Settings]\nNumLock=  Tru\n", true}, {"[Settings]\nNumLock=Tr\n", false},
        {"[Settings]\nOther=1\n", true},       {"[settings]\nNUMLOCK=False\n", false},
    };
    for (const auto& [file, on] : cases) {
        write(file);
        EXPECT_EQ(ConfigFile(ini).ReadNumLock(), on) << file;
    }
}

// Writing the Num Lock option changes its line only (an editor's byte-order mark and CR LF
// endings stay as they were), adds it after the last line of its section, or adds its section
// after the last line, which a lone carriage return at the end ends.
TEST_F(ConfigFileTest, WritingNumLockChangesItsLineOrAddsItsSectionAndKeepsEveryOtherLine) {
    const auto office = [](const std::string& numLock) {
        return "\xEF\xBB\xBF; office settings\r\n[Path]\r\nSndPath=/snd\r\n\r\n[Settings]\r\n"
               "numlock=" +
               numLock + "\r\n\r\n[Engine 4.0]\r\nSystemDB=keep me\r\n";
    };
    const std::string added = "[Path]\r\nSndPath=/snd\r\n\r\n[Settings]\r\nNumLock=False\r\n";
    const std::string last = "[Path]\r\nSndPath=/snd\r\n[Settings]\r\nNumLock=";
    const std::pair<std::string, std::string> files[] = {
        {office("True"), office("False")},
        {"[Path]\r\nSndPath=/snd\r", added},
        {"[Path]\r\nSndPath=/snd", added},
        {last + "True\r", last + "False\r"},
        {"[settings]\nA=1\n\n[Engine]\nX=1", "[settings]\nA=1\nNumLock=False\n\n[Engine]\nX=1"},
    };
    for (const auto& [before, after] : files) {
        SCOPED_TRACE(before);
        write(before);
        ConfigFile(ini).WriteNumLock(false);
        EXPECT_EQ(read(), after);
    }
}

TEST_F(ConfigFileTest, AMissingFileGivesTheDefaultsAndAWriteCreatesIt) {
    ConfigFile cfg(ini);
    EXPECT_EQ(cfg.GetINISndPath(), "C:");
    EXPECT_TRUE(cfg.ReadNumLock());
    EXPECT_FALSE(fs::exists(ini));
    cfg.WriteNumLock(false);
    // A new file has the system's line ends.
    const std::string eol = fs::path::preferred_separator == '\\' ? "\r\n" : "\n";
    EXPECT_EQ(read(), "[Settings]" + eol + "NumLock=False" + eol);
}

// [Folders] keeps the data folders used, newest first, each once, at most nine.
TEST_F(ConfigFileTest, RememberedFoldersComeNewestFirstOnceEach) {
    ConfigFile cfg(ini);
    EXPECT_TRUE(cfg.ReadFolders().empty());
    write("[Path]\r\nFilePath=data\r\n");
    cfg.RememberFolder("C:\\ORVJ\\old");
    cfg.RememberFolder("data2");
    cfg.RememberFolder("C:\\ORVJ\\old");
    EXPECT_EQ(cfg.ReadFolders(), (std::vector<std::string>{"C:\\ORVJ\\old", "data2"}));
    for (int k = 1; k <= 10; ++k) {
        cfg.RememberFolder("f" + std::to_string(k));
    }
    const auto folders = cfg.ReadFolders();
    ASSERT_EQ(folders.size(), 9u);
    EXPECT_EQ(folders.front(), "f10");
    EXPECT_EQ(folders.back(), "f2");
    EXPECT_EQ(cfg.GetINIFilePath(), "data");
}

// A write that fails part-way leaves the file as it was; one the fault misses adds the option.
// Either way no temporary file is left behind.
TEST_F(ConfigFileTest, AFailedWriteLeavesTheFileAndNoTemporaryBehind) {
    const std::string original = "[Path]\r\nFilePath=data\r\n[Engine]\r\nKeep=this\r\n";
    for (const auto& fc : kWriteFaults) {
        SCOPED_TRACE(fc.name);
        strikeAtEveryCall(
            fc, ConfigFile::kFileName, [&] { write(original); },
            [&] { ConfigFile(ini).WriteNumLock(false); },
            [&](bool failed, int nth) {
                EXPECT_EQ(read(),
                          failed ? original : original + "\r\n[Settings]\r\nNumLock=False\r\n")
                    << nth;
                EXPECT_EQ(namesIn(dir).size(), 1u) << "a temporary file was left behind";
            });
    }
}

// A FilePath names a folder under the program folder unless it is a full name; on Windows a
// drive letter alone or before a relative name means the top of that drive, and a share is
// taken as it is, and a name from the top of no drive ("\\srv") takes the program folder's
// drive; elsewhere a drive letter names no folder. Either separator serves.
TEST(ConfiguredFolder, NamesResolveAgainstTheProgramFolder) {
#ifdef _WIN32
    const fs::path home = "C:\\ORV";
    const std::pair<const char*, fs::path> cases[] = {
        {"a:", "a:\\"},
        {"d:clients", "d:\\clients"},
        {"C:/ORV/Data/", "C:\\ORV\\Data"},
        {"//server/share/orvj/", "\\\\server\\share\\orvj"},
        {".\\data\\office 2", "C:\\ORV\\data\\office 2"},
        {"\\srv\\data", "C:\\srv\\data"},
        {"", home}};
#else
    const fs::path home = "/opt/orvj";
    const std::pair<const char*, fs::path> cases[] = {
        {".\\data\\office 2\\", "/opt/orvj/data/office 2"},
        {"\\srv\\data\\", "/srv/data"},
        {"/", "/"},
        {"a:", ""},
        {"", home}};
#endif
    for (const auto& [value, folder] : cases) {
        EXPECT_EQ(resolveConfiguredFolder(home, value), folder) << value;
    }
    // The configuration file is Windows-1252: "B\xFCro" is "Büro" in the file system's names,
    // and a folder of that name made by the system is the one the program finds.
    const test::TempFolder made("orvj-names");
    fs::create_directories(made.path() / fs::path(u8"B\u00FCro \u20AC"));
    EXPECT_EQ(resolveConfiguredFolder(made.path(), "B\xFCro \x80"),
              made.path() / fs::path(u8"B\u00FCro \u20AC"));
}

} // namespace
