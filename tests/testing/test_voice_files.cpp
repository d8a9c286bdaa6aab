#include "store/OrvjError.h"
#include "testing/VoiceFiles.h"

#include <gtest/gtest.h>

#include <unistd.h>

#include <filesystem>
#include <fstream>

using namespace orvj;
namespace fs = std::filesystem;

namespace {

class VoiceFilesTest : public ::testing::Test {
protected:
    void SetUp() override {
        m_dir = fs::temp_directory_path() /
                (std::string("orvj-voices-") + std::to_string(::getpid()) + "-" +
                 ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(m_dir);
        fs::create_directories(m_dir / "source");
    }
    void TearDown() override { fs::remove_all(m_dir); }

    static void write(const fs::path& p, const std::string& content) {
        fs::create_directories(p.parent_path());
        std::ofstream(p, std::ios::binary) << content;
    }
    static std::string read(const fs::path& p) {
        std::ifstream in(p, std::ios::binary);
        return {std::istreambuf_iterator<char>(in), {}};
    }

    fs::path m_dir;
};

TEST_F(VoiceFilesTest, SoundFolderPerLanguage) {
    EXPECT_EQ(VoiceFiles::soundFolder("/data/snd", "/opt/orvj", "Spanish"),
              fs::path("/data/snd/ORVJTest/sound/Spanish"));
    EXPECT_EQ(VoiceFiles::soundFolder(".", "/opt/orvj", "English"),
              fs::path("/opt/orvj/ORVJTest/sound/English"))
        << "a relative sound path counts from the program folder";
    EXPECT_EQ(VoiceFiles::soundFolder("", "/opt/orvj", "English"),
              fs::path("/opt/orvj/ORVJTest/sound/English"));
}

TEST_F(VoiceFilesTest, FindsTrimmedNamesAndIgnoresLetterCase) {
    const fs::path folder = m_dir / "sound";
    write(folder / "Inst0.wav", "a");
    write(folder / "Q001A1.WAV", "b");
    EXPECT_EQ(VoiceFiles::find(folder, "  Inst0.wav "), folder / "Inst0.wav");
    EXPECT_EQ(VoiceFiles::find(folder, "Q001A1.wav"), folder / "Q001A1.WAV");
    EXPECT_TRUE(VoiceFiles::find(folder, ".wav").empty()) << "an empty audio stem finds nothing";
    EXPECT_TRUE(VoiceFiles::find(folder, "").empty());
    EXPECT_TRUE(VoiceFiles::find(folder, "Q002.wav").empty());
    EXPECT_TRUE(VoiceFiles::find(m_dir / "missing", "Inst0.wav").empty());
}

TEST_F(VoiceFilesTest, InstallCopiesWaveFilesAndCounts) {
    const fs::path source = m_dir / "source";
    write(source / "Inst0.wav", "new0");
    write(source / "Q001.WAV", "q1");
    write(source / "notes.txt", "not a sound");
    fs::create_directories(source / "sub.wav");
    const auto files = VoiceFiles::waveFilesIn(source);
    ASSERT_EQ(files.size(), 2u);
    EXPECT_EQ(files[0].filename(), "Inst0.wav");

    const fs::path target = m_dir / "home" / "ORVJTest" / "sound" / "English";
    write(target / "Inst0.wav", "old0");
    std::vector<std::pair<int, int>> steps;
    auto result = VoiceFiles::install(
        files, target, [&](int done, int total) { steps.emplace_back(done, total); });
    EXPECT_EQ(result.copied, 2);
    EXPECT_EQ(result.replaced, 1);
    EXPECT_TRUE(result.failed.empty());
    EXPECT_EQ(read(target / "Inst0.wav"), "new0");
    EXPECT_EQ(read(target / "Q001.WAV"), "q1");
    EXPECT_FALSE(fs::exists(target / "notes.txt"));
    EXPECT_EQ(steps, (std::vector<std::pair<int, int>>{{1, 2}, {2, 2}}));
}

TEST_F(VoiceFilesTest, AFailedCopyKeepsTheOlderRecording) {
    const fs::path source = m_dir / "source";
    write(source / "Inst1.wav", "new1");
    write(source / "Inst2.wav", "new2");
    const auto files = VoiceFiles::waveFilesIn(source);
    fs::remove(source / "Inst1.wav"); // gone before it could be copied
    const fs::path target = m_dir / "target";
    write(target / "Inst1.wav", "old1");
    auto result = VoiceFiles::install(files, target);
    EXPECT_EQ(result.copied, 1);
    ASSERT_EQ(result.failed.size(), 1u);
    EXPECT_EQ(result.failed[0].rfind("Inst1.wav: ", 0), 0u) << result.failed[0];
    EXPECT_EQ(read(target / "Inst1.wav"), "old1");
    EXPECT_FALSE(fs::exists(target / "Inst1.wav.partial"));
    EXPECT_EQ(read(target / "Inst2.wav"), "new2");
}

TEST_F(VoiceFilesTest, AMissingFolderIsAClearError) {
    try {
        VoiceFiles::waveFilesIn(m_dir / "nowhere");
        FAIL() << "no error";
    } catch (const OrvjError& e) {
        EXPECT_EQ(e.code(), ErrorCode::PathNotFound);
        EXPECT_NE(std::string(e.what()).find("nowhere"), std::string::npos);
    }
    // A target that cannot be a folder: every file is reported, none silently lost.
    write(m_dir / "source" / "Inst3.wav", "x");
    write(m_dir / "blocker", "a file where the folder should be");
    auto result = VoiceFiles::install(VoiceFiles::waveFilesIn(m_dir / "source"),
                                      m_dir / "blocker" / "English");
    EXPECT_EQ(result.copied, 0);
    EXPECT_EQ(result.failed.size(), 1u);
}

} // namespace
