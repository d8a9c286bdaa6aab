#include "core/TestLayout.h"

#include <gtest/gtest.h>

namespace TL = orvj::TestLayout;
using Fmt = TL::AnswerFormat;

// The section ends and option counts themselves are the scoring tests' and golden reports'
// to check; here the lookups over them, at every edge.
TEST(TestLayout, SectionsEndInclusivelyAndTakeCodesUpToTheirOptionCount) {
    for (int s = 1; s <= TL::kSectionCount; ++s) {
        const int first = TL::firstItemOf(s);
        const int last = TL::SectionEnd[static_cast<std::size_t>(s)];
        const char top = static_cast<char>('0' + TL::SectionOptions[static_cast<std::size_t>(s)]);
        EXPECT_EQ(TL::sectionOf(first - 1), s - 1) << s;
        EXPECT_EQ(TL::sectionOf(first), s) << s;
        EXPECT_EQ(TL::sectionOf(last), s) << s;
        EXPECT_TRUE(TL::isValidCode(last, top) && TL::isValidCode(first, '0')) << s;
        EXPECT_FALSE(TL::isValidCode(last, static_cast<char>(top + 1))) << s;
    }
    EXPECT_EQ(TL::sectionOf(TL::kItemCount + 1), 0);
    EXPECT_FALSE(TL::isValidCode(10, ' '));
    EXPECT_FALSE(TL::isValidCode(10, '/'));
}

// The formats of the sample's sections are the sample content's test's; here the one no section
// of the sample uses, and the near misses.
TEST(TestLayout, AnswerFormatFromTheSecondOption) {
    EXPECT_EQ(TL::formatOf("Mostly True"), Fmt::MostlyTrue);
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
