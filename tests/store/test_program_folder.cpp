#include "store/OrvjError.h"
#include "store/ProgramFolder.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <set>
#include <string>

using namespace orvj;
namespace fs = std::filesystem;

namespace {

class ProgramFolderTest : public ::testing::Test {
protected:
    void SetUp() override {
        const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
        m_dir = fs::temp_directory_path() / (std::string("orvj-folder-") + info->name());
        fs::remove_all(m_dir);
        fs::create_directories(m_dir);
    }
    void TearDown() override { fs::remove_all(m_dir); }

    static void put(const fs::path& file, const std::string& bytes) {
        fs::create_directories(file.parent_path());
        std::ofstream(file, std::ios::binary) << bytes;
    }
    static std::string read(const fs::path& file) {
        std::ifstream in(file, std::ios::binary);
        return {std::istreambuf_iterator<char>(in), {}};
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

    fs::path m_dir;
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

    auto chosen = chooseProgramFolder(in);
    EXPECT_EQ(chosen.source, ProgramFolder::Source::Option);
    EXPECT_EQ(chosen.path, m_dir / "given");

    in.option.reset();
    chosen = chooseProgramFolder(in);
    EXPECT_EQ(chosen.source, ProgramFolder::Source::Environment);
    EXPECT_EQ(chosen.path, m_dir / "env");

    // The executable's folder counts only while it holds the configuration file.
    in.envHome.clear();
    chosen = chooseProgramFolder(in);
    EXPECT_EQ(chosen.source, ProgramFolder::Source::PerUser);
    EXPECT_EQ(chosen.path, m_dir / "xdg" / "orvj");
    put(exe / "ORVJTest.ini", "");
    chosen = chooseProgramFolder(in);
    EXPECT_EQ(chosen.source, ProgramFolder::Source::Portable);
    EXPECT_EQ(chosen.path, exe);
    fs::remove(exe / "ORVJTest.ini");

    // A relative XDG_DATA_HOME is ignored; then HOME decides; without either there is none.
    in.xdgDataHome = "relative/share";
    EXPECT_EQ(chooseProgramFolder(in).path, m_dir / "home" / ".local" / "share" / "orvj");
    in.xdgDataHome.clear();
    EXPECT_EQ(chooseProgramFolder(in).path, m_dir / "home" / ".local" / "share" / "orvj");
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
    EXPECT_EQ(read(user / "ORVJB.TXT"), "the office's own table");
    EXPECT_EQ(read(user / "data" / "DATA301.OVJ"), std::string(196, 'x'));
    EXPECT_EQ(read(user / "ORVJTest.ini"), "[Path]\r\nFilePath=data\r\n");
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
    try {
        layOutProgramFolder(user, m_dir / "missing");
        FAIL() << "a missing template was taken";
    } catch (const OrvjError& e) {
        EXPECT_NE(std::string(e.what()).find(user.string()), std::string::npos) << e.what();
        EXPECT_NE(std::string(e.what()).find((m_dir / "missing").string()), std::string::npos);
    }
    EXPECT_FALSE(fs::exists(m_dir / "user"));

    // A file stands where the data folder belongs: the copy fails part way, and what was
    // copied before is removed again; what was there before stays.
    const fs::path t = makeTemplate();
    put(user / "data", "in the way");
    put(user / "ORVJB.TXT", "kept");
    const auto before = entries(user);
    try {
        layOutProgramFolder(user, t);
        FAIL() << "the layout went on past a file in the way";
    } catch (const OrvjError& e) {
        EXPECT_NE(std::string(e.what()).find(user.string()), std::string::npos) << e.what();
    }
    EXPECT_EQ(entries(user), before);
    EXPECT_EQ(read(user / "ORVJB.TXT"), "kept");

    // A folder that cannot be made at all.
    put(m_dir / "plainfile", "x");
    EXPECT_THROW(layOutProgramFolder(m_dir / "plainfile" / "orvj", t), OrvjError);
}

} // namespace
