// The holder text of the client file's lock, which anybody who can write into a shared data
// folder may have written: what the program shows of it is one short line of printable text,
// the same when shown again, and it is read from the file as it is.
#include "FuzzSupport.h"

#include "store/ClientFileLock.h"
#include "store/LockFile.h"

using namespace orvj;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view input(reinterpret_cast<const char*>(data), size);

    const std::string shown = LockFile::holderText(input);
    fuzz::check(shown.size() <= LockFile::kMaxHolderText, "the text is short");
    for (const char c : shown) {
        const auto b = static_cast<unsigned char>(c);
        fuzz::check(b >= 0x20 && b != 0x7f, "no control byte is shown");
    }
    fuzz::check(shown.empty() || (shown.front() != ' ' && shown.back() != ' '), "no outer spaces");
    fuzz::check(LockFile::holderText(shown) == shown, "shown text is shown unchanged");

    // Through the file: the lock file's first line, whatever else the file holds.
    const std::filesystem::path folder = fuzz::scratch() / "lock";
    std::filesystem::create_directories(folder);
    fuzz::writeFile(folder / ClientFileLock::kFileName, input);
    const std::string fromFile = ClientFileLock::holder(folder / "DATA301.OVJ");
    fuzz::check(fromFile == LockFile::holderText(input.substr(0, 512)),
                "the file reads as its text");
    return 0;
}
