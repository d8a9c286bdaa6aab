// The program folder: which one is chosen, the --home option that names it, and its first
// start from the installed template.
#include "StoreTestSupport.h"

#include "store/ProgramFolder.h"

#include <optional>
#include <stdexcept>
#include <vector>

using namespace orvj;
using namespace orvj::storetest;
namespace fs = std::filesystem;

namespace {

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

// orvj, orvj-report and orvj-mkdata read --home through this one parser: the value apart or
// after "=", the other arguments left alone, and no folder guessed for an empty value.
TEST(HomeOption, TakesTheValueApartOrAfterAnEqualsSignAndRefusesAnEmptyOrSecondOne) {
    const std::vector<std::string> args = {"--list", "--home=/srv/orvj one", "--homes", "--home",
                                           "/srv/two"};
    std::optional<fs::path> home;
    std::size_t i = 0;
    EXPECT_FALSE(takeHomeOption(args, i, home));
    i = 1;
    EXPECT_TRUE(takeHomeOption(args, i, home));
    EXPECT_EQ(home, fs::path("/srv/orvj one"));
    EXPECT_EQ(i, 1u);
    i = 2;
    EXPECT_FALSE(takeHomeOption(args, i, home)) << "another option that begins alike";
    home.reset();
    i = 3;
    EXPECT_TRUE(takeHomeOption(args, i, home));
    EXPECT_EQ(home, fs::path("/srv/two"));
    EXPECT_EQ(i, 4u) << "the value given apart is taken with the option";

    // The message of a refusal; "taken" when the arguments were taken.
    const auto refusal = [](const std::vector<std::string>& bad, std::optional<fs::path> given) {
        std::size_t at = 0;
        try {
            takeHomeOption(bad, at, given);
        } catch (const std::invalid_argument& e) {
            return std::string(e.what());
        }
        return std::string("taken");
    };
    const std::string needsFolder = "--home needs the program folder after it";
    EXPECT_EQ(refusal({"--home="}, {}), needsFolder);
    EXPECT_EQ(refusal({"--home", ""}, {}), needsFolder);
    EXPECT_EQ(refusal({"--home"}, {}), needsFolder);
    EXPECT_EQ(refusal({"--home=/a"}, fs::path("/a")), "--home is given more than once");
}

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

    // Later starts find the configuration file and copy nothing, not even a lost file.
    fs::remove(user / "data" / "DATA301.OVJ");
    prepareProgramFolder(in, laidOut);
    EXPECT_FALSE(laidOut);
    EXPECT_FALSE(fs::exists(user / "data" / "DATA301.OVJ"));
}

} // namespace
