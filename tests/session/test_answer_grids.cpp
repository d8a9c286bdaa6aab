// The answer-sheet grids without their widgets: the items they hold, the marks of the stored
// codes, and the digits each answer format takes.
#include "session/AnswerGrids.h"
#include "store/OrvjError.h"
#include "tests/session/BankBuilder.h"

#include <gtest/gtest.h>

using namespace orvj;

namespace {

const std::vector<QuestionRow> kRows = test::standardRows("English");
const std::string kZeros(143, '0');

TEST(AnswerGrids, RefuseAnItemOutsideTheTestOrTwice) {
    auto bad = kRows;
    bad[5].id = 200;
    EXPECT_THROW(AnswerGrids(bad, kZeros), OrvjError);
    bad[5].id = 7; // item 7 twice
    EXPECT_THROW(AnswerGrids(bad, kZeros), OrvjError);
}

// Marks follow the stored codes; the answers count as changed only while a code differs from
// the opened string.
TEST(AnswerGrids, MarksFollowTheStoredCodesAndOnlyRealChangesCount) {
    std::string c = kZeros;
    c[0] = '2';
    c[50] = '5';
    c[1] = ' '; // a cleared code marks nothing
    c[2] = '4'; // more than a True/False item holds: no column shows it
    AnswerGrids grids(kRows, c + "tail past the items");
    EXPECT_EQ(grids.markedColumn(0, 2) + grids.markedColumn(0, 3), 0);
    EXPECT_EQ(grids.responseString(), c) << "codes are kept until typed over";
    EXPECT_FALSE(grids.answersChanged()) << "codes no grid shows do not count as typed";
    grids.type('2'); // item 1 keeps its code
    EXPECT_FALSE(grids.answersChanged());
    grids.up();
    grids.type('1');
    EXPECT_TRUE(grids.answersChanged());
    grids.up();
    grids.type('2');
    EXPECT_FALSE(grids.answersChanged()) << "typed back to what was stored";
}

TEST(AnswerGrids, DigitsAcceptedPerFormat) {
    AnswerGrids grids(kRows, kZeros);
    const char highest[] = {'2', '5', '4', '2', '4'};
    for (int g = 0; g < 5; ++g) {
        grids.focusGrid(g);
        for (const char refused : {static_cast<char>(highest[g] + 1), 'a', ' ', '/'}) {
            EXPECT_TRUE(grids.type(refused).beep) << g << refused;
        }
        EXPECT_EQ(grids.grid(g).cursorRow, 1) << "a refused digit does not move";
        EXPECT_FALSE(grids.type(highest[g]).beep);
        EXPECT_EQ(grids.code(grids.itemAt(g, 1)), highest[g]);
        EXPECT_FALSE(grids.type('0').beep);
        EXPECT_EQ(grids.grid(g).cursorRow, 3);
    }
}

} // namespace
