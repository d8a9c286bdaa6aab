// The program folder and its configuration file, the folders its FilePath names, and the
// switch to another data folder that rewrites it; the Windows-1252 text of that file and of
// the reports.
#include "StoreTestSupport.h"

#include "store/ConfigFile.h"
#include "store/Cp1252.h"
#include "store/DataFolder.h"
#include "store/ProgramFolder.h"

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
// after the last line, which a lone carriage return at the end ends. (That the values read
// before stay is the configuration-file fuzz target's; "True" written, the main menu's.)
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
    ConfigFile cfg(ini); // (FilePath's "a:" is the start-up's diskette box)
    EXPECT_EQ(cfg.GetINISndPath(), "C:");
    EXPECT_TRUE(cfg.ReadNumLock());
    EXPECT_FALSE(fs::exists(ini));
    cfg.WriteNumLock(false);
    // A new file has the system's line ends. (The workgroup setting is the start-up's test's.)
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
// Either way no temporary file is left behind. (A folder that is gone is the main menu's.)
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

class DataFolderSwitch : public ConfigFileTest {
protected:
    DataFolderSwitch() { write(kConfig); }
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
    Disarm m_disarm;
};

// (A new folder under the program folder, a switch back to the old one and a file that is no
// folder are the setup utilities' test's.)
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

    // A new folder outside the program folder is recorded by its full name.
    const fs::path fresh = fs::temp_directory_path() / "orvj-data-new-folder";
    fs::remove_all(fresh);
    EXPECT_EQ(DataFolder::switchTo(dir, ini, fresh, true).clients.clientCount, 0);
    EXPECT_EQ(ConfigFile(ini).GetINIFilePath(), fresh.string());
    fs::remove_all(fresh);
}

// The program folder: which one is chosen, and its first start from the installed template.
class ProgramFolderTest : public test::TempFolderTest {
protected:
    static void put(const fs::path& file, const std::string& bytes) {
        fs::create_directories(file.parent_path());
        test::writeFile(file, bytes);
    }
    // An installed template: share/orvj beside bin/.
    fs::path makeTemplate() const {
        const fs::path t = m_dir / "usr" / "share" / "orvj";
        put(t / "ORVJTest.ini", "[Path]\r\nFilePath=data\r\n");
        put(t / "ORVJB.TXT", "template table");
        put(t / "data" / "DATA301.OVJ", std::string(196, 'x'));
        put(t / "ORVJTest" / "sound" / "English" / "Inst0.wav", "RIFF");
        return t;
    }
};

TEST_F(ProgramFolderTest, TheRuleTakesOptionThenEnvironmentThenPortableThenPerUser) {
    const fs::path exe = m_dir / "bin";
    ProgramFolderInputs in;
    in.option = m_dir / "opt" / ".." / "given";
    in.envHome = (m_dir / "env").string();
    in.executableFolder = exe;
    in.xdgDataHome = (m_dir / "xdg").string();
    in.userHome = (m_dir / "home").string();
    const auto expectChoice = [&](ProgramFolder::Source source, const fs::path& folder) {
        const ProgramFolder chosen = chooseProgramFolder(in);
        EXPECT_EQ(chosen.source, source) << folder;
        EXPECT_EQ(chosen.path, folder);
    };
    using S = ProgramFolder::Source;
    expectChoice(S::Option, m_dir / "given");
    in.option.reset();
    expectChoice(S::Environment, m_dir / "env");

    // The executable's folder counts only while it holds the configuration file (at the end).
    in.envHome.clear();
    expectChoice(S::PerUser, m_dir / "xdg" / "orvj");

    // A relative XDG_DATA_HOME is ignored; then HOME decides; without either there is none.
    // (The --help line of a folder found is the start-up's and the install check's.)
    in.xdgDataHome = "relative/share";
    expectChoice(S::PerUser, m_dir / "home" / ".local" / "share" / "orvj");
    in.userHome.clear();
    EXPECT_THROW(chooseProgramFolder(in), OrvjError);
    EXPECT_NE(programFolderLine(in).find("Program folder: none"), std::string::npos);
    // With the configuration file the executable's folder serves, per-user folder or none.
    put(exe / "ORVJTest.ini", "");
    expectChoice(S::Portable, exe);
}

// A failed layout names the folder and leaves nothing half laid out, so that the next start
// tries again; a whole one keeps what the folder held and is made only once.
TEST_F(ProgramFolderTest, FirstStartLaysTheTemplateOutWholeWithoutOverwritingAndOnlyOnce) {
    const fs::path user = m_dir / "home" / ".local" / "share" / "orvj";
    ProgramFolderInputs in;
    in.executableFolder = m_dir / "usr" / "bin";
    in.userHome = (m_dir / "home").string();
    bool laidOut = false;

    // A file stands where the data folder belongs: the copy fails part way, and what was
    // copied before is removed again; what was there before stays.
    const fs::path t = makeTemplate();
    put(user / "data", "in the way");
    put(user / "ORVJB.TXT", "the office's own table");
    const auto before = namesIn(user);
    std::string what;
    EXPECT_NE(errorOf([&] { prepareProgramFolder(in, laidOut); }, &what), 0) << "went on past it";
    EXPECT_NE(what.find(user.string()), std::string::npos) << what;
    EXPECT_EQ(namesIn(user), before);

    fs::remove(user / "data");
    EXPECT_NE(programFolderLine(in).find("laid out from " + t.string()), std::string::npos);
    EXPECT_EQ(prepareProgramFolder(in, laidOut).path, user);
    EXPECT_TRUE(laidOut);
    EXPECT_EQ(test::readFile(user / "ORVJB.TXT"), "the office's own table");
    EXPECT_EQ(test::readFile(user / "data" / "DATA301.OVJ"), std::string(196, 'x'));
    EXPECT_EQ(test::readFile(user / "ORVJTest.ini"), "[Path]\r\nFilePath=data\r\n");

    // Later starts find the configuration file and copy nothing, not even a lost file. (The
    // first start's notice is the install check's.)
    fs::remove(user / "data" / "DATA301.OVJ");
    prepareProgramFolder(in, laidOut);
    EXPECT_FALSE(laidOut);
    EXPECT_FALSE(fs::exists(user / "data" / "DATA301.OVJ"));
}

// Overlong forms, surrogates, values past U+10FFFF and bytes that lead nothing are the
// Windows-1252 fuzz target's (and the sample tool's refusals of an overlong "/" and a
// surrogate); here a character the code page lacks, the broken shapes the fuzz target cannot
// tell from good ones, and the lowest value of each length, which must still decode.
TEST(Cp1252, RoundTripsTheOfficeCharactersAndRefusesOthers) {
    const std::string utf8 = "Pe\xC3\xB1"
                             "a \xE2\x82\xAC \xE2\x80\x9Cq\xE2\x80\x9D \xC2\xAB\xC3\xBF\xC2\xBB";
    const std::string cp1252 = "Pe\xF1"
                               "a \x80 \x93q\x94 \xAB\xFF\xBB";
    EXPECT_EQ(orvj::utf8ToCp1252(utf8), cp1252);
    EXPECT_EQ(orvj::cp1252ToUtf8(cp1252), utf8);
    // U+0100, a cut-off sequence, a missing continuation byte.
    for (const char* bad : {"\xC4\x80", "\xE2\x82", "\xC3("}) {
        EXPECT_FALSE(orvj::utf8ToCp1252(bad).has_value()) << bad;
    }
    const std::pair<std::string, char32_t> good[] = {{"\xC2\x80", 0x80},
                                                     {"\xE0\xA0\x80", 0x800},
                                                     {"\xF0\x90\x80\x80", 0x10000},
                                                     {"\xF4\x8F\xBF\xBF", 0x10FFFF}};
    for (const auto& [text, cp] : good) {
        const auto d = orvj::decodeUtf8At(text, 0);
        EXPECT_EQ(d.length, text.size());
        EXPECT_EQ(d.codePoint, cp);
    }
}

} // namespace
