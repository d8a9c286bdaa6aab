#include "ui/Scramble.h"

#include <gtest/gtest.h>

#include <string>

using namespace orvj;
using F = ClientRecord::Field;

namespace {

int code(const std::string& one) {
    return static_cast<unsigned char>(one.at(0));
}

TEST(ScrambleText, ShiftsEvenAndOddCodesAndKeepsSpaces) {
    EXPECT_EQ(ScrambleText("A B  ", 0), "D I  ") << "65 + 3, 66 + 7; spaces inside and after stay";
    const std::string plain = "Jo Ann-Smith 12";
    EXPECT_EQ(ScrambleText(ScrambleText(plain, 0), 1), plain) << "other modes shift back";
}

TEST(ScrambleText, EveryResultIsOneVisibleByte) {
    // Codes whose plain shift would pass 255, or land on DEL or an undefined byte.
    for (int c = 33; c <= 255; ++c) {
        const int r = code(ScrambleText(std::string(1, static_cast<char>(c)), 0));
        EXPECT_GE(r, 33) << "code " << c;
        for (int invisible : {0x7F, 0x81, 0x8D, 0x8F, 0x90, 0x9D, 0xA0, 0xAD}) {
            EXPECT_NE(r, invisible) << "code " << c;
        }
    }
    EXPECT_EQ(code(ScrambleText("\xFF", 0)), 35) << "255 + 3 wraps past 255 to 35";
    EXPECT_EQ(code(ScrambleText("x", 0)), 0x80) << "120 + 7 is DEL; the next visible is 128";
}

// Only the name and ID change. (That a scrambled record is marked and never scrambled twice
// is checked with Delete Names, which relies on it.)
TEST(ScrambleRecord, KeepsTheAnswersAndAnyMarkButZeroCounts) {
    ClientRecord r;
    EXPECT_FALSE(isNameDeleted(r)) << "a blank field is the number 0";
    r.set(F::Name, "AB");
    r.set(F::Responses, std::string(143, '2'));
    ASSERT_TRUE(scrambleClientName(r));
    EXPECT_EQ(r.field(F::Responses), std::string(143, '2'));
    r.set(F::NameDeleted, "2");
    EXPECT_TRUE(isNameDeleted(r)) << "any number but 0 counts";
}

} // namespace
