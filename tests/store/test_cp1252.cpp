// The Windows-1252 text of the configuration file, the client file and the reports, and the
// UTF-8 it is shown and written in.
#include "store/Cp1252.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>

namespace {

// A character the code page lacks and a broken UTF-8 sequence are refused; the lowest value
// of each UTF-8 length still decodes.
TEST(Cp1252, RoundTripsTheOfficeCharactersAndRefusesOthers) {
    const std::string utf8 = "Pe\xC3\xB1"
                             "a \xE2\x82\xAC \xE2\x80\x9Cq\xE2\x80\x9D \xC2\xAB\xC3\xBF\xC2\xBB";
    const std::string cp1252 = "Pe\xF1"
                               "a \x80 \x93q\x94 \xAB\xFF\xBB";
    EXPECT_EQ(orvj::utf8ToCp1252(utf8), cp1252);
    EXPECT_EQ(orvj::cp1252ToUtf8(cp1252), utf8);
    // U+0100, a cut-off sequence, a missing continuation byte.
    for (const char* bad : {"\xC4\x80", "\xE2\x82", "\xC3("}) {
        EXPECT_FALSE(orvj::utf8ToCp1252(bad).has_value()) << bad;
    }
    const std::pair<std::string, char32_t> good[] = {{"\xC2\x80", 0x80},
                                                     {"\xE0\xA0\x80", 0x800},
                                                     {"\xF0\x90\x80\x80", 0x10000},
                                                     {"\xF4\x8F\xBF\xBF", 0x10FFFF}};
    for (const auto& [text, cp] : good) {
        const auto d = orvj::decodeUtf8At(text, 0);
        EXPECT_EQ(d.length, text.size());
        EXPECT_EQ(d.codePoint, cp);
    }
}

} // namespace
