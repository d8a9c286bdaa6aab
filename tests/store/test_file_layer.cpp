// The file layer on each system: a file replaced while another program reads the old one.
#include "StoreTestSupport.h"

#include "store/ConfigFile.h"

#include <chrono>
#include <thread>

using namespace orvj;
using namespace orvj::storetest;
using platform::File;
namespace fs = std::filesystem;

namespace {

using FileLayer = DataFolderTest;

std::string readAllOf(const File& f) {
    std::string bytes(64, '\0');
    bytes.resize(f.readAt(0, bytes.data(), bytes.size(), "read"));
    return bytes;
}

// ORVJTest.ini open in an editor: the replace still happens whole, the reader keeps the old
// bytes it opened, and nothing is left beside the file. (The report's write ends in the same
// rename over the old name; a failed rename is the write-fault loops'.)
TEST_F(FileLayer, AFileHeldOpenByAReaderIsReplacedWhole) {
    const fs::path ini = write("ORVJTest.ini", "[Settings]\r\nNumLock=True\r\n");
    {
        const File reader = File::open(ini, File::Mode::Read, "read");
        ConfigFile(ini).WriteNumLock(false);
        EXPECT_EQ(read(ini), "[Settings]\r\nNumLock=False\r\n");
        EXPECT_FALSE(reader.stillNamedBy(ini)) << "the name now stands for the new file";
        EXPECT_EQ(readAllOf(reader), "[Settings]\r\nNumLock=True\r\n");
    }
    EXPECT_EQ(namesIn(dir), std::set<std::string>{"ORVJTest.ini"});
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
