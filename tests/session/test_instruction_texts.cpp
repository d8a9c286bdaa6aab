#include "session/InstructionTexts.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>

using namespace orvj;

namespace {

TEST(InstructionTexts, ExactLinesOfTheScreens) {
    using namespace InstructionTexts;
    const std::string s1 = text(false, 1);
    EXPECT_EQ(s1.substr(s1.size() - 30), "\r\n\r\n     Press Enter to begin.");
    for (int s = 0; s < kScreenCount; ++s) {
        for (const bool sp : {false, true}) {
            const std::string t = text(sp, s);
            EXPECT_EQ(std::count(t.begin(), t.end(), '\n'), std::count(t.begin(), t.end(), '\r'));
        }
    }
}

} // namespace
