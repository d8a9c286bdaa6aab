#include "StoreTestSupport.h"

#include "store/ProgramFolder.h"

using namespace orvj;
using orvj::storetest::errorOf;
namespace fs = std::filesystem;

namespace {

class ProgramFolderTest : public test::TempFolderTest {
protected:
    static void put(const fs::path& file, const std::string& bytes) {
        fs::create_directories(file.parent_path());
        test::writeFile(file, bytes);
    }
    // Every file and folder below `folder`, as relative names.
    static std::set<std::string> entries(const fs::path& folder) {
        std::set<std::string> names;
        for (const auto& e : fs::recursive_directory_iterator(folder)) {
            names.insert(e.path().lexically_relative(folder).generic_string());
        }
        return names;
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
    const auto before = entries(user);
    EXPECT_NE(errorOf([&] { layOutProgramFolder(user, t); }, &what), 0) << "went on past it";
    EXPECT_NE(what.find(user.string()), std::string::npos) << what;
    EXPECT_EQ(entries(user), before);
    EXPECT_EQ(test::readFile(user / "ORVJB.TXT"), "kept");

    // A folder that cannot be made at all.
    put(m_dir / "plainfile", "x");
    EXPECT_THROW(layOutProgramFolder(m_dir / "plainfile" / "orvj", t), OrvjError);
}

} // namespace
