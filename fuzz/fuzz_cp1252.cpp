// The Windows-1252 conversion both ways: every byte string survives the round trip through
// UTF-8, every accepted UTF-8 string survives the way back, and only shortest-form UTF-8 is
// accepted.
#include "FuzzSupport.h"

#include "store/Cp1252.h"

using namespace orvj;

namespace {

std::size_t shortestLength(char32_t cp) {
    return cp < 0x80 ? 1 : cp < 0x800 ? 2 : cp < 0x10000 ? 3 : 4;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view input(reinterpret_cast<const char*>(data), size);

    const std::string utf8 = cp1252ToUtf8(input);
    const auto back = utf8ToCp1252(utf8);
    fuzz::check(back.has_value() && *back == input, "bytes -> UTF-8 -> bytes");

    bool valid = true;
    for (std::size_t i = 0; i < input.size();) {
        const Utf8Char c = decodeUtf8At(input, i);
        if (c.length == 0) {
            valid = false;
            break;
        }
        fuzz::check(c.length == shortestLength(c.codePoint), "only shortest forms decode");
        fuzz::check(c.codePoint <= 0x10FFFF && (c.codePoint < 0xD800 || c.codePoint > 0xDFFF),
                    "no surrogate or value past U+10FFFF decodes");
        i += c.length;
    }
    if (const auto bytes = utf8ToCp1252(input)) {
        fuzz::check(valid, "only valid UTF-8 converts");
        fuzz::check(cp1252ToUtf8(*bytes) == input, "UTF-8 -> bytes -> UTF-8");
    }
    return 0;
}
