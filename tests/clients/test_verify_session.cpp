#include "clients/VerifySession.h"

#include <gtest/gtest.h>

#include <string>

using orvj::VerifySession;
using R = VerifySession::Result;

namespace {

R keyAll(VerifySession& v, const std::string& codes) {
    R last = R::Refused;
    for (char c : codes) {
        last = v.key(c);
        EXPECT_NE(last, R::Refused) << "item " << v.currentItem();
    }
    return last;
}

TEST(VerifySession, EachItemTakesTheDigitsOfItsSection) {
    const std::pair<int, char> highest[] = {{10, '2'}, {50, '2'},  {51, '5'},
                                            {60, '5'}, {120, '4'}, {121, '2'}};
    for (auto [item, top] : highest) {
        VerifySession v(std::string(143, '0'));
        keyAll(v, std::string(static_cast<std::size_t>(item - 1), '0'));
        ASSERT_EQ(v.currentItem(), item);
        EXPECT_EQ(v.key(static_cast<char>(top + 1)), R::Refused) << "item " << item;
        EXPECT_EQ(v.key('a'), R::Refused) << "item " << item;
        EXPECT_EQ(v.key(top), R::Accepted) << "item " << item;
    }
}

TEST(VerifySession, BackspaceGoesBackWithoutChangingTheKeying) {
    VerifySession v(std::string(143, '0'));
    EXPECT_FALSE(v.backspace());
    keyAll(v, "12");
    EXPECT_EQ(v.previousCode(), '2');
    EXPECT_TRUE(v.backspace());
    EXPECT_EQ(v.currentItem(), 2);
    EXPECT_EQ(v.previousItem(), 1);
    EXPECT_EQ(v.reKeyed().substr(0, 2), "12");
    EXPECT_EQ(keyAll(v, std::string(142, '0')), R::CorrectionsNeeded);
    EXPECT_EQ(v.questionList(), std::vector<int>{1}) << "item 2 was keyed again";
    EXPECT_EQ(v.key('0'), R::CorrectionsDone);
    EXPECT_EQ(v.key('0'), R::Refused) << "a finished session takes no more keys";
}

} // namespace
