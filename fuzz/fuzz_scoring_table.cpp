// Any bytes as ORVJB.TXT beside the sample's other files: the inventory loads, or the refusal
// names the file and the line.
#include "FuzzSupport.h"

#include "scoring/InventoryLoader.h"
#include "store/OrvjError.h"

using namespace orvj;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const auto home = fuzz::sampleHome();
    fuzz::writeFile(home / "ORVJB.TXT",
                    std::string_view(reinterpret_cast<const char*>(data), size));
    try {
        loadInventory(home);
    } catch (const OrvjError& e) {
        const std::string what = e.what();
        fuzz::check(what.find("ORVJB.TXT") != std::string::npos, "the refusal names the file",
                    what);
        fuzz::check(what.find("line") != std::string::npos, "the refusal names the line", what);
    }
    return 0;
}
