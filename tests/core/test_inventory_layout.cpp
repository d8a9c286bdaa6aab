// The inventory's layout: which answer codes an item takes and the answer format a section's
// options make.
#include "core/InventoryLayout.h"

#include <gtest/gtest.h>

namespace {

using namespace orvj;
namespace TL = orvj::InventoryLayout;
using Fmt = TL::AnswerFormat;

// Nothing below '0' is a code, a blank least of all.
TEST(InventoryLayout, NoCodeBelowZeroIsValid) {
    EXPECT_TRUE(TL::isValidCode(10, '0'));
    EXPECT_FALSE(TL::isValidCode(10, '/'));
}

// The format follows from the second option's text: "Mostly True", and a near miss of "No".
TEST(InventoryLayout, AnswerFormatFromTheSecondOption) {
    EXPECT_EQ(TL::formatOf("Mostly True"), Fmt::MostlyTrue);
    EXPECT_EQ(TL::formatOf("Nobody helps me"), Fmt::Numbered) << "begins with No but is longer";
}

} // namespace
