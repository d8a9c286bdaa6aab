#include "testing/AnswerHints.h"

#include <gtest/gtest.h>

namespace {

using orvj::AnswerHints;

bool mentions(const std::string& text, const char* word) {
    return text.find(word) != std::string::npos;
}

TEST(AnswerHints, TabIsOfferedOnlyWhenTheQuestionCanBeHeardAgain) {
    for (bool spanish : {false, true}) {
        SCOPED_TRACE(spanish ? "Spanish" : "English");
        EXPECT_TRUE(mentions(AnswerHints(spanish, true).option(), "Tab"));
        EXPECT_FALSE(mentions(AnswerHints(spanish, false).option(), "Tab"));
        // Sound or not, the question line is the same and names the key that goes back.
        EXPECT_EQ(AnswerHints(spanish, true).question(), AnswerHints(spanish, false).question());
        EXPECT_TRUE(mentions(AnswerHints(spanish, true).question(), "F10"));
    }
}

TEST(AnswerHints, EachLanguageHasItsOwnLines) {
    for (bool audio : {false, true}) {
        const AnswerHints english(false, audio);
        const AnswerHints spanish(true, audio);
        EXPECT_NE(english.option(), spanish.option());
        EXPECT_NE(english.question(), spanish.question());
        EXPECT_NE(english.option(), english.question());
        EXPECT_TRUE(mentions(spanish.option(), "«Enter»"));
    }
}

} // namespace
