// The file layer on each system: a replace while another program reads the old file. (The
// lock between two handles is the shared data folder's test's.)
#include "StoreTestSupport.h"

#include "store/ConfigFile.h"
#include "store/ReportFiles.h"

#include <chrono>
#include <thread>

using namespace orvj;
using orvj::storetest::namesIn;
using platform::File;
namespace fs = std::filesystem;

namespace {

class FileLayer : public test::TempFolderTest {
protected:
    static std::string readAllOf(const File& f) {
        std::string bytes(64, '\0');
        bytes.resize(f.readAt(0, bytes.data(), bytes.size(), "read"));
        return bytes;
    }

    const fs::path dir = m_dir;
};

// REPORT.PRN shown in a viewer, ORVJTest.ini open in an editor: the replace still happens
// whole, the reader keeps the old bytes it opened, and nothing is left beside the file.
TEST_F(FileLayer, AFileHeldOpenByAReaderIsReplacedWhole) {
    const fs::path ini = write("ORVJTest.ini", "[Settings]\r\nNumLock=True\r\n");
    const fs::path report = write("REPORT.PRN", "old report");
    {
        const File iniReader = File::open(ini, File::Mode::Read, "read");
        const File reportReader = File::open(report, File::Mode::Read, "read");

        ConfigFile(ini).WriteNumLock(false);
        EXPECT_EQ(read(ini), "[Settings]\r\nNumLock=False\r\n");
        EXPECT_FALSE(iniReader.stillNamedBy(ini)) << "the name now stands for the new file";

        // The report's way: a new file beside it, renamed over the old name.
        ReportFiles::write(report, "new report");
        EXPECT_EQ(read(report), "new report");

        EXPECT_EQ(readAllOf(iniReader), "[Settings]\r\nNumLock=True\r\n");
        EXPECT_EQ(readAllOf(reportReader), "old report");
    }
    EXPECT_EQ(namesIn(dir), (std::set<std::string>{"ORVJTest.ini", "REPORT.PRN"}));
}

// (A failed open's kind and message are the client file's test's.)
TEST_F(FileLayer, AFailedRenameThrowsAndMakesNothing) {
    EXPECT_THROW(platform::renameOver(dir / "missing", dir / "target", "replace"), OrvjError);
    EXPECT_TRUE(namesIn(dir).empty());
}

#ifdef _WIN32
// Where a replace puts the old file aside for a moment (Wine), a program opening the missing
// file then must wait for the new one rather than create an empty file in its place.
TEST_F(FileLayer, AFileMissingDuringAnotherProgramsReplaceIsNotCreatedEmpty) {
    const fs::path data = dir / "DATA301.OVJ";
    const fs::path aside = write("DATA301.OVJ.old-4242", "old records");
    std::error_code renamed;
    std::thread other([&] {
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
        write("new", "new records");
        fs::rename(dir / "new", data, renamed); // fails over an empty file opened meanwhile
        std::error_code ignored;
        fs::remove(aside, ignored);
    });
    const File f = File::open(data, File::Mode::ReadWriteCreate, "open");
    other.join();
    EXPECT_EQ(readAllOf(f), "new records");
    EXPECT_FALSE(renamed) << renamed.message();
}
#endif

} // namespace
