#include "core/TestLayout.h"

#include <gtest/gtest.h>

namespace TL = orvj::TestLayout;
using Fmt = TL::AnswerFormat;

TEST(TestLayout, SectionBoundariesAreInclusiveAtTheTop) {
    const int bounds[][2] = {{1, 1},   {50, 1},  {51, 2},  {75, 2},  {76, 3},
                             {120, 3}, {121, 4}, {131, 4}, {132, 5}, {143, 5}};
    for (const auto& b : bounds) {
        EXPECT_EQ(TL::sectionOf(b[0]), b[1]) << b[0];
    }
    EXPECT_EQ(TL::sectionOf(0), 0);
    EXPECT_EQ(TL::sectionOf(144), 0);
    EXPECT_EQ(TL::firstItemOf(2), 51);
    EXPECT_EQ(TL::firstItemOf(5), 132);
}

TEST(TestLayout, CodesAreValidUpToTheSectionsOptionCount) {
    EXPECT_TRUE(TL::isValidCode(50, '2'));
    EXPECT_FALSE(TL::isValidCode(50, '3'));
    EXPECT_TRUE(TL::isValidCode(51, '5'));
    EXPECT_TRUE(TL::isValidCode(120, '4'));
    EXPECT_FALSE(TL::isValidCode(120, '5'));
    EXPECT_FALSE(TL::isValidCode(121, '3'));
    EXPECT_TRUE(TL::isValidCode(143, '0'));
    EXPECT_FALSE(TL::isValidCode(10, ' '));
    EXPECT_FALSE(TL::isValidCode(10, '/'));
}

TEST(TestLayout, AnswerFormatFromTheSecondOption) {
    EXPECT_EQ(TL::formatOf("False"), Fmt::TrueFalse);
    EXPECT_EQ(TL::formatOf("Often Unfriendly"), Fmt::OppositeTerms);
    EXPECT_EQ(TL::formatOf("Sometimes"), Fmt::Frequency);
    EXPECT_EQ(TL::formatOf("Mostly True"), Fmt::MostlyTrue);
    EXPECT_EQ(TL::formatOf("No"), Fmt::YesNo);
    EXPECT_EQ(TL::formatOf("Nobody helps me"), Fmt::Numbered) << "begins with No but is longer";
    EXPECT_EQ(TL::formatOf("false"), Fmt::Numbered) << "the comparison is case-sensitive";
    EXPECT_EQ(TL::formatOf(""), Fmt::Numbered);
}

TEST(TestLayout, ResponseStringTakesTheLastDigitOfEachElement) {
    TL::ResponseArray a{};
    a[1] = 1;
    a[51] = 5;
    a[143] = 4;
    a[0] = 9; // never read
    std::string s = TL::buildResponseString(a);
    ASSERT_EQ(s.size(), 143u);
    EXPECT_EQ(s.substr(0, 2) + s[50] + s[142], "1054");
}
