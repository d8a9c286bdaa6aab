#include "supervisor/VerifySession.h"

#include <gtest/gtest.h>

#include <string>

using orvj::VerifySession;
using R = VerifySession::Result;

namespace {

TEST(VerifySession, EachItemTakesTheDigitsOfItsSection) {
    VerifySession v(std::string(143, '0'));
    const std::pair<int, char> highest[] = {{10, '2'}, {50, '2'},  {51, '5'},
                                            {60, '5'}, {120, '4'}, {121, '2'}};
    for (auto [item, top] : highest) {
        while (v.currentItem() < item) {
            ASSERT_EQ(v.key('0'), R::Accepted);
        }
        EXPECT_EQ(v.key(static_cast<char>(top + 1)), R::Refused) << "item " << item;
        EXPECT_EQ(v.key('a'), R::Refused) << "item " << item;
        EXPECT_EQ(v.key(top), R::Accepted) << "item " << item;
    }
}

} // namespace
