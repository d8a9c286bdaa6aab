#include "scoring/InventoryInstaller.h"
#include "store/platform/WriteFaults.h"
#include "tests/scoring/InventoryFixture.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <map>
#include <string>

using namespace orvj;
using namespace orvj::testing;
using ::testing::HasSubstr;
namespace fs = std::filesystem;
namespace installer = orvj::InventoryInstaller;

namespace {

// Every file below a folder, by relative name, with its bytes.
std::map<std::string, std::string> snapshot(const fs::path& folder) {
    std::map<std::string, std::string> files;
    for (const auto& e : fs::recursive_directory_iterator(folder)) {
        if (e.is_regular_file()) {
            files[e.path().lexically_relative(folder).generic_string()] = readFile(e.path());
        }
    }
    return files;
}

// A program folder holding the sample set, and a publisher's folder holding the sample set
// with another publisher line.
class InstallerTest : public ::testing::Test {
protected:
    TempFolder home;
    TempFolder source;

    void SetUp() override {
        for (const std::string& name : installer::fileNames()) {
            fs::copy_file(fs::path(ORVJ_SAMPLE_HOME) / name, home.path() / name);
            fs::copy_file(fs::path(ORVJ_SAMPLE_HOME) / name, source.path() / name);
        }
        writeFile(home.path() / "PUBLISHER.TXT", "The old publisher\r\n");
        writeFile(home.path() / "ORVJTest.ini", "[Path]\r\nFilePath=data\r\n");
        writeFile(source.path() / "PUBLISHER.TXT", "The licensed publisher\r\n");
    }
    void TearDown() override { platform::disarmWriteFaults(); }

    // The problems the refused set in `source` was refused for.
    std::vector<installer::Problem> refusal() {
        try {
            installer::install(source.path(), home.path(), "2026-12-07-101500");
            ADD_FAILURE() << "a bad set was installed";
        } catch (const installer::Refused& e) {
            return e.problems();
        }
        return {};
    }
};

TEST_F(InstallerTest, AGoodSetReplacesTheOldOneWhichGoesToTheBackup) {
    const auto result = installer::install(source.path(), home.path(), "2026-12-07-101500");
    EXPECT_EQ(result.installed.size(), installer::fileNames().size());
    EXPECT_EQ(result.backupFolder, home.path() / "inventory-backup-2026-12-07-101500");
    EXPECT_EQ(readFile(home.path() / "PUBLISHER.TXT"), "The licensed publisher\r\n");
    EXPECT_EQ(readFile(result.backupFolder / "PUBLISHER.TXT"), "The old publisher\r\n");
    EXPECT_EQ(snapshot(home.path()).count("ORVJTest.ini"), 1u) << "other files stay";
    for (const auto& [name, bytes] : snapshot(home.path())) {
        EXPECT_EQ(name.find(".install"), std::string::npos) << name;
    }
    EXPECT_THAT(installer::summary(result), HasSubstr(result.backupFolder.string()));

    // A second install the same second gets a backup folder of its own.
    const auto again = installer::install(source.path(), home.path(), "2026-12-07-101500");
    EXPECT_EQ(again.backupFolder, home.path() / "inventory-backup-2026-12-07-101500-2");
    EXPECT_EQ(readFile(again.backupFolder / "PUBLISHER.TXT"), "The licensed publisher\r\n");
}

TEST_F(InstallerTest, OneBadFileIsNamedAndNothingIsReplaced) {
    const auto before = snapshot(home.path());
    const struct {
        const char* file;
        std::string bytes;
        const char* reason;
    } cases[] = {
        {"DORVSE.txt", "LOW\r\nText\r\nEND\r\n", "MEDIUM-LOW"},
        {"ORVJB.TXT", "1,2,3\r\n", "entry 4 of 89"},
        {"INVAL.TXT", "No end line\r\n", "END"},
        {"ORVj32.db", "not a database", ""},
    };
    for (const auto& c : cases) {
        const std::string good = readFile(source.path() / c.file);
        writeFile(source.path() / c.file, c.bytes);
        const auto problems = refusal();
        ASSERT_EQ(problems.size(), 1u) << c.file;
        EXPECT_EQ(problems[0].file, c.file);
        EXPECT_THAT(problems[0].reason, HasSubstr(c.reason));
        EXPECT_EQ(snapshot(home.path()), before) << c.file;
        writeFile(source.path() / c.file, good);
    }
    fs::remove(source.path() / "ORVJFA.txt");
    fs::remove(source.path() / "INVAL.TXT");
    const auto problems = refusal();
    ASSERT_EQ(problems.size(), 2u);
    EXPECT_EQ(problems[0].file + " " + problems[1].file, "INVAL.TXT ORVJFA.txt");
    EXPECT_EQ(installer::check(source.path() / "none")[0].reason, "the folder does not exist");
}

// One kind of write fault, struck at every call of an install in turn.
struct InstallFault {
    const char* name;
    platform::FaultOp op;
    platform::FaultKind kind;
};

class InstallerFault : public InstallerTest, public ::testing::WithParamInterface<InstallFault> {};

TEST_P(InstallerFault, AFaultAnywhereLeavesTheCurrentSetUntouched) {
    const auto before = snapshot(home.path());
    std::string error;
    std::size_t faults = 0;
    eachWriteFault(
        GetParam().op, GetParam().kind,
        [&] {
            error = errorOf(
                [&] { installer::install(source.path(), home.path(), "2026-12-07-101500"); });
        },
        [&](int n) {
            ++faults;
            EXPECT_THAT(error, HasSubstr(home.path().string())) << "fault " << n;
            ASSERT_EQ(snapshot(home.path()), before) << "fault " << n;
        });
    EXPECT_GE(faults, installer::fileNames().size()) << "every file's step met a fault";
}

INSTANTIATE_TEST_SUITE_P(
    WriteFaults, InstallerFault,
    ::testing::Values(
        InstallFault{"ShortWrite", platform::FaultOp::Write, platform::FaultKind::Short},
        InstallFault{"FailedFlush", platform::FaultOp::Flush, platform::FaultKind::Fail},
        InstallFault{"FailedClose", platform::FaultOp::Close, platform::FaultKind::Fail},
        InstallFault{"FailedRename", platform::FaultOp::Rename, platform::FaultKind::Fail}),
    [](const ::testing::TestParamInfo<InstallFault>& fault) {
        return std::string(fault.param.name);
    });

} // namespace
