// The program folder and its configuration file, the folders its FilePath names, and the
// switch to another data folder that rewrites it; the Windows-1252 text of that file and of
// the reports, and the demographic labels.
#include "StoreTestSupport.h"

#include "store/ConfigFile.h"
#include "store/Cp1252.h"
#include "store/DataFolder.h"
#include "store/DemographicLabels.h"
#include "store/ProgramFolder.h"

using namespace orvj;
using namespace orvj::storetest;
namespace fs = std::filesystem;
namespace L = orvj::DemographicLabels;

namespace {

class ConfigFileTest : public test::TempFolderTest {
protected:
    void write(const std::string& text) const { test::writeFile(ini, text); }
    std::string read() const { return test::readFile(ini); }

    const fs::path dir = m_dir;
    const fs::path ini = dir / ConfigFile::kFileName;
};

TEST_F(ConfigFileTest, FilePathIsTrimmedCutTo49AndFoundRegardlessOfCase) {
    const std::pair<std::string, std::string> cases[] = {
        {"[Path]\r\nFilePath=" + std::string(60, 'x') + "\r\n", std::string(49, 'x')},
        {"[Path]\nFilePath =   /data/office one   \n", "/data/office one"},
        {"[PATH]\nfilepath=/one\n", "/one"},
        {"\xEF\xBB\xBF[Path]\r\nFilePath=/bom\r\n", "/bom"},
        {"[Engine]\nFilePath=/wrong\n[Path]\n; FilePath=/comment\n", "a:"},
        // A UTF-8 value is cut by character: the 49th, an accented letter, is kept whole.
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

TEST_F(ConfigFileTest, NumLockReadsOnOnlyForTru) {
    const std::pair<const char*, bool> cases[] = {
        {"[Settings]\nNumLock=True\n", true},   {"[Settings]\nNumLock=Truth\n", true},
        {"[Settings]\nNumLock=true\n", false},  {"[Settings]\nNumLock=\n", false},
        {"[Settings]\nNumLock=False\n", false}, {"[Settings]\nNumLock=TRUE\n", false},
        {"[Settings]\nOther=1\n", true},        {"[settings]\nNUMLOCK=False\n", false},
        {"[Settings]\nNumLock=  Tru\n", true},  {"[Settings]\nNumLock=Tr\n", false},
    };
    for (const auto& [file, on] : cases) {
        write(file);
        EXPECT_EQ(ConfigFile(ini).ReadNumLock(), on) << file;
    }
}

// Writing the Num Lock option changes its line only (an editor's byte-order mark and CR LF
// endings stay as they were) or adds its section after the last line, which a lone carriage
// return at the end ends. (That the values read before stay is the configuration-file fuzz
// target's.)
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
    };
    for (const auto& [before, after] : files) {
        SCOPED_TRACE(before);
        write(before);
        ConfigFile(ini).WriteNumLock(false);
        EXPECT_EQ(read(), after);
    }
    ConfigFile(ini).WriteNumLock(true);
    EXPECT_EQ(read(), last + "True\r");
}

TEST_F(ConfigFileTest, AMissingFileGivesTheDefaultsAndAWriteCreatesIt) {
    ConfigFile cfg(ini); // (FilePath's "a:" is the start-up's diskette box)
    EXPECT_EQ(cfg.GetINISndPath(), "C:");
    EXPECT_TRUE(cfg.ReadNumLock());
    EXPECT_FALSE(fs::exists(ini));
    cfg.WriteNumLock(false);
#ifdef _WIN32
    EXPECT_EQ(read(), "[Settings]\r\nNumLock=False\r\n") << "a new file has the system's line ends";
#else
    EXPECT_EQ(read(), "[Settings]\nNumLock=False\n");
#endif

    write("[Path]\nFilePath=/data\n\n[Engine]\nX=1");
    cfg.WritePrivateProfileString("path", "SndPath", "/snd");
    cfg.WriteSystemDB("/opt/orvj");
    const std::string workgroup = (fs::path("/opt/orvj") / "qlnvex.mda").string();
    EXPECT_EQ(read(), "[Path]\nFilePath=/data\nSndPath=/snd\n\n[Engine]\nX=1\n\n"
                      "[Options]\nSystemDB=" +
                          workgroup + "\n");
    // Written again at the next start: replaced, not added twice.
    cfg.WriteSystemDB("/srv/orvj");
    EXPECT_EQ(cfg.GetPrivateProfileString("Options", "SystemDB", "", 200),
              (fs::path("/srv/orvj") / "qlnvex.mda").string());
    EXPECT_EQ(read().find("/opt/orvj"), std::string::npos);
}

// A write that fails part-way leaves the file as it was; one the fault misses adds the option.
// Either way no temporary file is left behind, nor when the write cannot begin at all.
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
    EXPECT_THROW(ConfigFile(dir / "no such folder" / "x.ini").WriteNumLock(true), OrvjError);
    // A folder where the file should be: nothing can be read, so nothing is replaced.
    fs::create_directories(dir / "sub" / ConfigFile::kFileName);
    EXPECT_THROW(ConfigFile(dir / "sub" / ConfigFile::kFileName).WriteNumLock(true), OrvjError);
    EXPECT_TRUE(fs::is_directory(dir / "sub" / ConfigFile::kFileName));
    EXPECT_EQ(namesIn(dir).size(), 2u);

#ifndef _WIN32 // links are not for ordinary users on Windows (nor made by Wine)
    // Writing through a link keeps the link.
    fs::remove(ini);
    std::ofstream(dir / "shared.ini") << "[Path]\nFilePath=/data\n";
    fs::create_symlink(dir / "shared.ini", ini);
    ConfigFile(ini).WriteNumLock(false);
    EXPECT_TRUE(fs::is_symlink(ini));
    EXPECT_FALSE(ConfigFile(dir / "shared.ini").ReadNumLock());
#endif
}

#ifdef _WIN32
TEST(ConfiguredFolder, DrivesAndSharesNameRealFoldersAndRelativeNamesAreUnderTheProgramFolder) {
    const fs::path home = "C:\\ORV";
    EXPECT_EQ(resolveConfiguredFolder(home, "a:"), fs::path("a:\\")) << "the top of drive A";
    EXPECT_EQ(resolveConfiguredFolder(home, " A:\\ "), fs::path("A:\\"));
    EXPECT_EQ(resolveConfiguredFolder(home, "d:clients"), fs::path("d:\\clients"));
    EXPECT_EQ(resolveConfiguredFolder(home, "C:\\ORV\\Data\\"), fs::path("C:\\ORV\\Data"));
    EXPECT_EQ(resolveConfiguredFolder(home, "C:/ORV/Data"), fs::path("C:\\ORV\\Data"));
    EXPECT_EQ(resolveConfiguredFolder(home, "\\\\server\\share\\orvj\\"),
              fs::path("\\\\server\\share\\orvj"));
    EXPECT_EQ(resolveConfiguredFolder(home, "//server/share/orvj"),
              fs::path("\\\\server\\share\\orvj"));
    EXPECT_EQ(resolveConfiguredFolder(home, "data\\office 2"), fs::path("C:\\ORV\\data\\office 2"));
    EXPECT_EQ(resolveConfiguredFolder(home, ".\\data"), fs::path("C:\\ORV\\data"));
    EXPECT_EQ(resolveConfiguredFolder(home, "\\srv\\data"), fs::path("C:\\srv\\data"))
        << "the top of the program folder's drive";
    EXPECT_EQ(resolveConfiguredFolder(home, ""), home);
}
#else
TEST(ConfiguredFolder, RelativeNamesAreUnderTheProgramFolderAndDrivesNameNone) {
    const fs::path home = "/opt/orvj";
    EXPECT_EQ(resolveConfiguredFolder(home, "data"), fs::path("/opt/orvj/data"));
    EXPECT_EQ(resolveConfiguredFolder(home, "data\\office 2\\"),
              fs::path("/opt/orvj/data/office 2"));
    EXPECT_EQ(resolveConfiguredFolder(home, ".\\data"), fs::path("/opt/orvj/data"));
    EXPECT_EQ(resolveConfiguredFolder(home, ""), home);
    EXPECT_EQ(resolveConfiguredFolder(home, "/srv/orvj/data/"), fs::path("/srv/orvj/data"));
    EXPECT_EQ(resolveConfiguredFolder(home, "\\srv\\data"), fs::path("/srv/data"));
    EXPECT_EQ(resolveConfiguredFolder(home, "/"), fs::path("/"));
    EXPECT_TRUE(resolveConfiguredFolder(home, "a:").empty());
    EXPECT_TRUE(resolveConfiguredFolder(home, "C:\\ORVJ").empty());
    EXPECT_EQ(resolveConfiguredFolder(home, "data:x"), fs::path("/opt/orvj/data:x"));
}
#endif

// The configuration file is Windows-1252: "B\xFCro" is "Büro" in the file system's names, and a
// folder of that name made by the system is the one the program finds.
TEST(ConfiguredFolder, Windows1252NamesAreTheSameCharactersOnDisk) {
    const test::TempFolder home("orvj-names");
    const fs::path made = home.path() / fs::path(u8"B\u00FCro \u20AC");
    fs::create_directories(made);
    const fs::path found = resolveConfiguredFolder(home.path(), "B\xFCro \x80");
    EXPECT_EQ(found, made);
    EXPECT_TRUE(fs::is_directory(found));
}

class DataFolderSwitch : public ConfigFileTest {
protected:
    DataFolderSwitch() {
        fs::create_directories(dir / "data");
        write(kConfig);
    }
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

// (Going back and forth between two folders through the form is the setup utilities' test's.)
TEST_F(DataFolderSwitch, AnotherFolderAndANewEmptyFolderBecomeTheDataFolder) {
    // A client file that is too long loads with the start-up's notices; the folder is recorded
    // relative to the program folder.
    fs::create_directories(dir / "office" / "2027");
    test::writeFile(dir / "office" / "2027" / "DATA301.OVJ", numberedClients(52) + "half");
    auto s = DataFolder::switchTo(dir, ini, dir / "office" / "2027", false);
    EXPECT_TRUE(s.report.overflow);
    EXPECT_TRUE(s.report.partialLastRecord);
    EXPECT_EQ(s.clients.clientCount, 51);
    EXPECT_EQ(s.filePathValue, "office/2027");
    EXPECT_EQ(ConfigFile(ini).GetINIFilePath(), "office/2027");
    EXPECT_EQ(resolveConfiguredFolder(dir, "office/2027"), s.dataFolder);

    // A new folder outside the program folder: made, empty, named absolutely.
    const fs::path fresh = fs::temp_directory_path() / "orvj-data-new-folder";
    fs::remove_all(fresh);
    s = DataFolder::switchTo(dir, ini, fresh, true);
    EXPECT_EQ(s.clients.clientCount, 0);
    EXPECT_EQ(ConfigFile(ini).GetINIFilePath(), fresh.string());
    EXPECT_TRUE(fs::exists(fresh / "DATA301.OVJ"));
    fs::remove_all(fresh);
}

TEST_F(DataFolderSwitch, AFolderThatCannotServeIsRefusedAndNothingChanges) {
    test::writeFile(dir / "afile", "x");
    EXPECT_NE(refused(dir / "missing", false).find("does not exist"), std::string::npos);
    EXPECT_NE(refused(dir / "afile", false).find("not a folder"), std::string::npos);
    EXPECT_FALSE(fs::exists(dir / "missing"));

    test::writeFile(dir / "data" / "DATA301.OVJ", numberedClients(2));
    EXPECT_NE(refused(dir / "data", true).find("not empty"), std::string::npos);

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
    EXPECT_FALSE(fs::exists(deep));
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
        fs::create_directories(m_dir / "usr" / "bin");
        return t;
    }
};

TEST_F(ProgramFolderTest, TheRuleTakesOptionThenEnvironmentThenPortableThenPerUser) {
    const fs::path exe = m_dir / "bin";
    fs::create_directories(exe);
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

    // The executable's folder counts only while it holds the configuration file.
    in.envHome.clear();
    expectChoice(S::PerUser, m_dir / "xdg" / "orvj");
    put(exe / "ORVJTest.ini", "");
    expectChoice(S::Portable, exe);
    fs::remove(exe / "ORVJTest.ini");

    // A relative XDG_DATA_HOME is ignored; then HOME decides; without either there is none.
    in.xdgDataHome = "relative/share";
    expectChoice(S::PerUser, m_dir / "home" / ".local" / "share" / "orvj");
    in.xdgDataHome.clear();
    expectChoice(S::PerUser, m_dir / "home" / ".local" / "share" / "orvj");
    in.userHome.clear();
    EXPECT_THROW(chooseProgramFolder(in), OrvjError);
    EXPECT_NE(programFolderLine(in).find("Program folder: none"), std::string::npos);

    in.envHome = (m_dir / "env").string();
    EXPECT_EQ(programFolderLine(in),
              "Program folder: " + (m_dir / "env").string() + " (named by ORVJ_HOME)");
}

TEST_F(ProgramFolderTest, FirstStartLaysTheTemplateOutWithoutOverwritingAndOnlyOnce) {
    const fs::path t = makeTemplate();
    const fs::path user = m_dir / "home" / ".local" / "share" / "orvj";
    put(user / "ORVJB.TXT", "the office's own table");

    ProgramFolderInputs in;
    in.executableFolder = m_dir / "usr" / "bin";
    in.userHome = (m_dir / "home").string();
    EXPECT_NE(programFolderLine(in).find("laid out from " + t.string()), std::string::npos);

    bool laidOut = false;
    const ProgramFolder chosen = prepareProgramFolder(in, laidOut);
    EXPECT_TRUE(laidOut);
    EXPECT_EQ(chosen.path, user);
    EXPECT_EQ(test::readFile(user / "ORVJB.TXT"), "the office's own table");
    EXPECT_EQ(test::readFile(user / "data" / "DATA301.OVJ"), std::string(196, 'x'));
    EXPECT_EQ(test::readFile(user / "ORVJTest.ini"), "[Path]\r\nFilePath=data\r\n");
    EXPECT_TRUE(fs::exists(user / "ORVJTest" / "sound" / "English" / "Inst0.wav"));

    // Later starts find the configuration file and copy nothing, not even a lost file.
    fs::remove(user / "data" / "DATA301.OVJ");
    prepareProgramFolder(in, laidOut);
    EXPECT_FALSE(laidOut);
    EXPECT_FALSE(fs::exists(user / "data" / "DATA301.OVJ"));
    EXPECT_NE(firstStartNotice(user).find(user.string()), std::string::npos);
    EXPECT_NE(firstStartNotice(user).find("SAMPLE"), std::string::npos);
}

TEST_F(ProgramFolderTest, AFailedLayoutNamesTheFolderAndLeavesNothingHalfLaidOut) {
    const fs::path user = m_dir / "user" / "orvj";

    // No template: nothing is made at all.
    std::string what;
    EXPECT_NE(errorOf([&] { layOutProgramFolder(user, m_dir / "missing"); }, &what), 0);
    EXPECT_NE(what.find(user.string()), std::string::npos) << what;
    EXPECT_NE(what.find((m_dir / "missing").string()), std::string::npos) << what;
    EXPECT_FALSE(fs::exists(m_dir / "user"));

    // A file stands where the data folder belongs: the copy fails part way, and what was
    // copied before is removed again; what was there before stays.
    const fs::path t = makeTemplate();
    put(user / "data", "in the way");
    put(user / "ORVJB.TXT", "kept");
    const auto before = namesIn(user);
    EXPECT_NE(errorOf([&] { layOutProgramFolder(user, t); }, &what), 0) << "went on past it";
    EXPECT_NE(what.find(user.string()), std::string::npos) << what;
    EXPECT_EQ(namesIn(user), before);
    EXPECT_EQ(test::readFile(user / "ORVJB.TXT"), "kept");

    // A folder that cannot be made at all.
    put(m_dir / "plainfile", "x");
    EXPECT_THROW(layOutProgramFolder(m_dir / "plainfile" / "orvj", t), OrvjError);
}

TEST(DemographicLabels, LabelsOfOneListShareOneWidthAndCodesOutsideItHaveNone) {
    for (int code = 1; !L::education(code).empty(); ++code) {
        EXPECT_EQ(L::education(code).size(), L::education(0).size()) << code;
    }
    EXPECT_EQ(L::sex(0).size(), L::sex(1).size());
    EXPECT_EQ(L::sex(3), "");
    EXPECT_EQ(L::race(-1), "");
}

TEST(Cp1252, RoundTripsTheOfficeCharactersAndRefusesOthers) {
    const std::string utf8 = "Pe\xC3\xB1"
                             "a \xE2\x82\xAC \xE2\x80\x9Cq\xE2\x80\x9D \xC2\xAB\xC3\xBF\xC2\xBB";
    const auto bytes = orvj::utf8ToCp1252(utf8);
    ASSERT_TRUE(bytes.has_value());
    EXPECT_EQ(*bytes, "Pe\xF1"
                      "a \x80 \x93q\x94 \xAB\xFF\xBB");
    EXPECT_EQ(orvj::cp1252ToUtf8(*bytes), utf8);
    EXPECT_FALSE(orvj::utf8ToCp1252("\xC4\x80").has_value()); // U+0100
    EXPECT_FALSE(orvj::utf8ToCp1252("\xC3").has_value());     // cut-off sequence
}

// Overlong forms, surrogates and values past U+10FFFF are the Windows-1252 fuzz target's (and
// the sample tool's refusals of an overlong "/" and a surrogate); here the broken shapes, and
// the lowest value of each length that must still decode.
TEST(Cp1252, RefusesMalformedUtf8AndDecodesEachLengthFromItsLowerBound) {
    const std::pair<const char*, std::string> bad[] = {
        {"stray continuation", "a\x80"},
        {"lead FF", "\xFF"},
        {"cut-off three-byte", "\xE2\x82"},
        {"continuation missing", "\xC3("},
    };
    for (const auto& [what, bytes] : bad) {
        EXPECT_FALSE(orvj::utf8ToCp1252(bytes).has_value()) << what;
        EXPECT_EQ(orvj::decodeUtf8At(bytes, bytes[0] == 'a' ? 1 : 0).length, 0u) << what;
    }
    const std::pair<std::string, char32_t> good[] = {{"\xC2\x80", 0x80},
                                                     {"\xE0\xA0\x80", 0x800},
                                                     {"\xEE\x80\x80", 0xE000},
                                                     {"\xF0\x90\x80\x80", 0x10000},
                                                     {"\xF4\x8F\xBF\xBF", 0x10FFFF}};
    for (const auto& [bytes, cp] : good) {
        const auto d = orvj::decodeUtf8At(bytes, 0);
        EXPECT_EQ(d.length, bytes.size());
        EXPECT_EQ(d.codePoint, cp);
    }
}

} // namespace
