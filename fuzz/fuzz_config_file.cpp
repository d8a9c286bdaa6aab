// Any bytes as ORVJTest.ini: values are read within their buffers, and writing the Num Lock
// option changes that option only.
#include "FuzzSupport.h"

#include "store/ConfigFile.h"
#include "store/OrvjError.h"

using namespace orvj;

namespace {

// Code points of a well-formed UTF-8 text, bytes of any other text.
std::size_t characters(const std::string& s) {
    std::size_t n = 0;
    for (std::size_t i = 0; i < s.size(); ++n) {
        const auto c = static_cast<unsigned char>(s[i]);
        const std::size_t len = c < 0x80             ? 1
                                : (c & 0xE0) == 0xC0 ? 2
                                : (c & 0xF0) == 0xE0 ? 3
                                : (c & 0xF8) == 0xF0 ? 4
                                                     : 0;
        if (len == 0 || i + len > s.size()) {
            return s.size();
        }
        for (std::size_t k = 1; k < len; ++k) {
            if ((static_cast<unsigned char>(s[i + k]) & 0xC0) != 0x80) {
                return s.size();
            }
        }
        i += len;
    }
    return n;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const auto path = fuzz::scratch() / ConfigFile::kFileName;
    fuzz::writeFile(path, std::string_view(reinterpret_cast<const char*>(data), size));
    const ConfigFile config(path);

    const std::string filePath = config.GetINIFilePath();
    const std::string sndPath = config.GetINISndPath();
    // A value is cut after 49 characters: code points when it is UTF-8, bytes otherwise. It
    // is trimmed before the cut (so the cut may end on a blank), and quotes keep the blanks
    // inside them; only the front is always free of blanks.
    for (const std::string* value : {&filePath, &sndPath}) {
        fuzz::check(characters(*value) <= 49, "at most 49 characters", *value);
        fuzz::check(value->empty() || value->front() != ' ', "no blank in front", *value);
    }
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
