// Any bytes as ORVJTest.ini: values are read within their buffers, and writing the Num Lock
// option changes that option only.
#include "FuzzSupport.h"

#include "store/ConfigFile.h"
#include "store/OrvjError.h"

using namespace orvj;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const auto path = fuzz::scratch() / ConfigFile::kFileName;
    fuzz::writeFile(path, std::string_view(reinterpret_cast<const char*>(data), size));
    const ConfigFile config(path);

    const std::string filePath = config.GetINIFilePath();
    const std::string sndPath = config.GetINISndPath();
    fuzz::check(filePath.size() <= 49 && sndPath.size() <= 49, "at most 49 characters");
    fuzz::check(filePath.empty() || (filePath.front() != ' ' && filePath.back() != ' '),
                "values are trimmed", filePath);
    const bool numLock = config.ReadNumLock();

    if (size > 0 && data[0] % 4 == 0) { // writing flushes to the disk: one input in four
        config.WriteNumLock(!numLock);
        fuzz::check(config.ReadNumLock() == !numLock, "the option reads back as written");
        fuzz::check(config.GetINIFilePath() == filePath, "FilePath unchanged by the write",
                    filePath + " / " + config.GetINIFilePath());
        fuzz::check(config.GetINISndPath() == sndPath, "SndPath unchanged by the write");
    }
    return 0;
}
