#include "store/Cp1252.h"
#include "store/DemographicLabels.h"

#include <gtest/gtest.h>

namespace L = orvj::DemographicLabels;

TEST(DemographicLabels, CodeZeroIsNotAvailablePaddedToEveryTableWidth) {
    EXPECT_EQ(L::sex(0), "N/A   ");
    EXPECT_EQ(L::race(0), "N/A" + std::string(12, ' '));
    EXPECT_EQ(L::education(0), "N/A" + std::string(25, ' '));
    EXPECT_EQ(L::sex(2), "Female");
    EXPECT_EQ(L::race(5), "Native American");
    EXPECT_EQ(L::education(8), "Some College" + std::string(16, ' '));
    EXPECT_EQ(L::education(7).size(), 28u);
    EXPECT_EQ(L::sex(3), "");
    EXPECT_EQ(L::race(-1), "");
}

TEST(Cp1252, RoundTripsTheOfficeCharacters) {
    const std::string utf8 = "Peña Muñoz \xE2\x82\xAC \xE2\x80\x9Cq\xE2\x80\x9D \xC2\xAB\xC3\xA9\xC2\xBB";
    auto bytes = orvj::utf8ToCp1252(utf8);
    ASSERT_TRUE(bytes.has_value());
    EXPECT_EQ((*bytes)[2], '\xF1');
    EXPECT_EQ(bytes->size(), 20u);
    EXPECT_EQ(orvj::cp1252ToUtf8(*bytes), utf8);
}

TEST(Cp1252, RefusesWhatOneByteCannotHold) {
    EXPECT_FALSE(orvj::utf8ToCp1252("\xE4\xB8\xAD").has_value()); // a CJK character
    EXPECT_FALSE(orvj::utf8ToCp1252("\xC3").has_value());         // cut-off sequence
    EXPECT_FALSE(orvj::cp1252CanHold(U'\u0100'));
    EXPECT_TRUE(orvj::cp1252CanHold(U'\u20AC'));
    EXPECT_TRUE(orvj::cp1252CanHold(U'\u00FF'));
}
