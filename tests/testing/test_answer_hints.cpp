#include "testing/AnswerHints.h"

#include <gtest/gtest.h>

namespace {

using orvj::AnswerHints;

bool mentions(const std::string& text, const char* word) {
    return text.find(word) != std::string::npos;
}

// Tab is offered only when the question can be heard again; the question line is the same
// either way and names the key that goes back; each language has its own lines.
TEST(AnswerHints, TabOnlyWithSoundAndEachLanguageItsOwnLines) {
    for (bool spanish : {false, true}) {
        SCOPED_TRACE(spanish ? "Spanish" : "English");
        const AnswerHints sound(spanish, true), silent(spanish, false);
        EXPECT_TRUE(mentions(sound.option(), "Tab"));
        EXPECT_FALSE(mentions(silent.option(), "Tab"));
        EXPECT_EQ(sound.question(), silent.question());
        EXPECT_TRUE(mentions(sound.question(), "F10"));
        EXPECT_NE(sound.option(), sound.question());
        EXPECT_NE(sound.question(), AnswerHints(!spanish, true).question());
        EXPECT_NE(sound.option(), AnswerHints(!spanish, true).option());
        EXPECT_NE(silent.option(), AnswerHints(!spanish, false).option());
        EXPECT_EQ(mentions(silent.option(), "«Enter»"), spanish);
    }
}

} // namespace
