#include "store/Cp1252.h"
#include "store/DemographicLabels.h"

#include <gtest/gtest.h>

namespace L = orvj::DemographicLabels;

TEST(DemographicLabels, LabelsOfOneListShareOneWidthAndCodesOutsideItHaveNone) {
    for (int code = 1; !L::education(code).empty(); ++code) {
        EXPECT_EQ(L::education(code).size(), L::education(0).size()) << code;
    }
    EXPECT_EQ(L::sex(0).size(), L::sex(1).size());
    EXPECT_EQ(L::sex(3), "");
    EXPECT_EQ(L::race(-1), "");
}

TEST(Cp1252, RoundTripsTheOfficeCharactersAndRefusesOthers) {
    const std::string utf8 = "Pe\xC3\xB1"
                             "a \xE2\x82\xAC \xE2\x80\x9Cq\xE2\x80\x9D \xC2\xAB\xC3\xBF\xC2\xBB";
    const auto bytes = orvj::utf8ToCp1252(utf8);
    ASSERT_TRUE(bytes.has_value());
    EXPECT_EQ(*bytes, "Pe\xF1"
                      "a \x80 \x93q\x94 \xAB\xFF\xBB");
    EXPECT_EQ(orvj::cp1252ToUtf8(*bytes), utf8);
    EXPECT_FALSE(orvj::utf8ToCp1252("\xE4\xB8\xAD").has_value()); // a CJK character
    EXPECT_FALSE(orvj::utf8ToCp1252("\xC4\x80").has_value());     // U+0100
    EXPECT_FALSE(orvj::utf8ToCp1252("\xC3").has_value());         // cut-off sequence
}

// Overlong forms, surrogates and values past U+10FFFF are the Windows-1252 fuzz target's; here
// the broken shapes, and the lowest value of each length that must still decode.
TEST(Cp1252, RefusesMalformedUtf8AndDecodesEachLengthFromItsLowerBound) {
    const struct {
        const char* what;
        std::string bytes;
    } bad[] = {
        {"overlong slash", "\xC0\xAF"},     {"stray continuation", "a\x80"},   {"lead FF", "\xFF"},
        {"cut-off three-byte", "\xE2\x82"}, {"continuation missing", "\xC3("},
    };
    for (const auto& b : bad) {
        EXPECT_FALSE(orvj::utf8ToCp1252(b.bytes).has_value()) << b.what;
        const std::size_t at = b.bytes[0] == 'a' ? 1 : 0;
        EXPECT_EQ(orvj::decodeUtf8At(b.bytes, at).length, 0u) << b.what;
    }
    const struct {
        std::string bytes;
        char32_t cp;
    } good[] = {{"\xC2\x80", 0x80},
                {"\xE0\xA0\x80", 0x800},
                {"\xEE\x80\x80", 0xE000},
                {"\xF0\x90\x80\x80", 0x10000},
                {"\xF4\x8F\xBF\xBF", 0x10FFFF}};
    for (const auto& g : good) {
        const auto d = orvj::decodeUtf8At(g.bytes, 0);
        EXPECT_EQ(d.length, g.bytes.size());
        EXPECT_EQ(d.codePoint, g.cp);
    }
}
