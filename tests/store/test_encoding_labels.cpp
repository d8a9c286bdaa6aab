#include "store/Cp1252.h"
#include "store/DemographicLabels.h"

#include <gtest/gtest.h>

namespace L = orvj::DemographicLabels;

TEST(DemographicLabels, LabelsArePaddedToTheirTableWidth) {
    EXPECT_EQ(L::sex(0), "N/A   ");
    EXPECT_EQ(L::race(0), "N/A" + std::string(12, ' '));
    EXPECT_EQ(L::education(0), "N/A" + std::string(25, ' '));
    EXPECT_EQ(L::education(8), "Some College" + std::string(16, ' '));
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
