#include "clients/VerifySession.h"

#include <gtest/gtest.h>

#include <string>

using orvj::VerifySession;
using R = VerifySession::Result;

namespace {

// A valid answer string: item i gets a code its section allows.
std::string validAnswers() {
    std::string s;
    for (int item = 1; item <= 143; ++item) {
        const int options = item <= 50 ? 2 : item <= 75 ? 5 : item <= 120 ? 4 : item <= 131 ? 2 : 4;
        s.push_back(static_cast<char>('0' + (item % (options + 1))));
    }
    return s;
}

R keyAll(VerifySession& v, const std::string& codes) {
    R last = R::Refused;
    for (char c : codes) {
        last = v.key(c);
        EXPECT_NE(last, R::Refused) << "item " << v.currentItem();
    }
    return last;
}

TEST(VerifySession, SameAnswersNeedNoCorrection) {
    const std::string stored = validAnswers();
    VerifySession v(stored);
    EXPECT_EQ(keyAll(v, stored.substr(0, 142)), R::Accepted);
    EXPECT_EQ(v.key(stored[142]), R::NoDifferences);
    EXPECT_EQ(v.reKeyed(), stored);
    EXPECT_EQ(v.key('0'), R::Refused) << "a finished session takes no more keys";
}

TEST(VerifySession, DigitLimitsFollowTheSections) {
    VerifySession v(validAnswers());
    for (int item = 1; item < 10; ++item) {
        v.key('1');
    }
    EXPECT_EQ(v.currentItem(), 10);
    EXPECT_EQ(v.key('3'), R::Refused);
    EXPECT_EQ(v.currentItem(), 10);
    EXPECT_EQ(v.key('a'), R::Refused);
    for (int item = 10; item < 50; ++item) {
        v.key('0');
    }
    EXPECT_EQ(v.currentItem(), 50);
    EXPECT_EQ(v.key('3'), R::Refused);
    EXPECT_EQ(v.key('2'), R::Accepted);
    EXPECT_EQ(v.key('5'), R::Accepted) << "item 51 takes 5";
    while (v.currentItem() < 120) {
        v.key('1');
    }
    EXPECT_EQ(v.key('5'), R::Refused);
    EXPECT_EQ(v.key('4'), R::Accepted);
    EXPECT_EQ(v.key('3'), R::Refused) << "item 121 takes up to 2";
    EXPECT_EQ(v.key('2'), R::Accepted);
}

TEST(VerifySession, BackspaceGoesBackWithoutChangingTheKeying) {
    VerifySession v(validAnswers());
    EXPECT_FALSE(v.backspace());
    v.key('1');
    v.key('2');
    EXPECT_EQ(v.previousItem(), 2);
    EXPECT_EQ(v.previousCode(), '2');
    EXPECT_TRUE(v.backspace());
    EXPECT_EQ(v.currentItem(), 2);
    EXPECT_EQ(v.previousItem(), 1);
    EXPECT_EQ(v.reKeyed().substr(0, 2), "12");
    EXPECT_TRUE(v.backspace());
    EXPECT_EQ(v.previousItem(), 0);
    EXPECT_FALSE(v.backspace());
}

TEST(VerifySession, ThreeDifferencesAreKeyedAgainInOrder) {
    const std::string stored = validAnswers();
    std::string second = stored;
    second[99] = second[99] == '1' ? '2' : '1'; // item 100
    second[4] = second[4] == '1' ? '2' : '1';   // item 5
    second[142] = second[142] == '1' ? '2' : '1';
    VerifySession v(stored);
    EXPECT_EQ(keyAll(v, second), R::CorrectionsNeeded);
    EXPECT_TRUE(v.correctionPass());
    EXPECT_EQ(v.questionList(), (std::vector<int>{5, 100, 143}));
    EXPECT_EQ(v.count(), 3);
    EXPECT_EQ(v.currentItem(), 5);
    EXPECT_EQ(v.previousItem(), 0);

    // Backspace moves through the listed items only.
    EXPECT_EQ(v.key('0'), R::Accepted);
    EXPECT_EQ(v.currentItem(), 100);
    EXPECT_EQ(v.previousItem(), 5);
    EXPECT_TRUE(v.backspace());
    EXPECT_EQ(v.currentItem(), 5);
    EXPECT_EQ(v.key('2'), R::Accepted);
    EXPECT_EQ(v.key('4'), R::Accepted);
    EXPECT_EQ(v.key('3'), R::CorrectionsDone);

    std::string expected = second;
    expected[4] = '2';
    expected[99] = '4';
    expected[142] = '3';
    EXPECT_EQ(v.reKeyed(), expected);
}

TEST(VerifySession, ClearedRecordDiffersEverywhere) {
    VerifySession v(std::string(143, ' '));
    EXPECT_EQ(keyAll(v, std::string(143, '0')), R::CorrectionsNeeded);
    EXPECT_EQ(v.count(), 143);
    VerifySession shorter("01");
    for (int i = 0; i < 143; ++i) {
        shorter.key(i < 2 ? "01"[i] : '0');
    }
    EXPECT_EQ(shorter.count(), 141) << "a short stored string differs past its end";
    EXPECT_EQ(shorter.currentItem(), 3);
}

} // namespace
