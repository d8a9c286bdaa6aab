#include "store/OrvjError.h"
#include "testing/AnswerGrids.h"
#include "testing/InstructionTexts.h"
#include "testing/QuestionSequence.h"
#include "tests/testing/BankBuilder.h"

#include <gtest/gtest.h>

#include <algorithm>

using namespace orvj;
using Fmt = TestLayout::AnswerFormat;

namespace {

std::vector<QuestionRow> rows() {
    return test::BankBuilder::standardRows("English");
}

int errorCodeOf(const std::vector<QuestionRow>& r, std::string* message = nullptr) {
    try {
        QuestionSequence::validate(r, "Spanish");
    } catch (const OrvjError& e) {
        if (message != nullptr) {
            *message = e.what();
        }
        return e.code();
    }
    return 0;
}

TEST(QuestionSequence, TablesThatCannotCarryAWholeTestAreRefused) {
    std::string message;
    auto r = rows();
    EXPECT_EQ(errorCodeOf(r), 0);

    auto shortTable = r;
    shortTable.resize(120);
    EXPECT_NE(errorCodeOf(shortTable, &message), 0);
    EXPECT_NE(message.find("\"Spanish\" holds 120 questions"), std::string::npos) << message;

    auto swapped = r;
    std::swap(swapped[10], swapped[11]);
    EXPECT_NE(errorCodeOf(swapped, &message), 0);
    EXPECT_NE(message.find("row 11 holds item 12"), std::string::npos) << message;

    auto gap = r;
    gap.erase(gap.begin() + 70);
    EXPECT_NE(errorCodeOf(gap, &message), 0);
    EXPECT_NE(message.find("row 71 holds item 72"), std::string::npos) << message;

    EXPECT_NE(errorCodeOf({}), 0);
}

TEST(QuestionSequence, ForwardStepsAnnounceEachSectionOnce) {
    QuestionSequence seq(rows());
    std::vector<int> starts;
    int shown = 0;
    for (;;) {
        auto step = seq.next();
        if (step.finished) {
            break;
        }
        ++shown;
        EXPECT_EQ(seq.item(), shown);
        EXPECT_EQ(seq.current().id, shown);
        if (step.sectionInstructions != 0) {
            starts.push_back(seq.item());
            EXPECT_EQ(TestLayout::firstItemOf(step.sectionInstructions), seq.item());
        }
    }
    EXPECT_EQ(shown, 143);
    EXPECT_EQ(starts, (std::vector<int>{51, 76, 121, 132}));
}

TEST(QuestionSequence, GoingBackAcrossASectionStart) {
    QuestionSequence seq(rows());
    EXPECT_EQ(seq.next().sectionInstructions, 0);
    EXPECT_EQ(seq.back(), QuestionSequence::Back::Beep) << "item 1 has no previous question";
    EXPECT_EQ(seq.item(), 1);
    for (int i = 2; i <= 51; ++i) {
        seq.next();
    }
    ASSERT_EQ(seq.item(), 51);
    EXPECT_EQ(seq.back(), QuestionSequence::Back::SteppedBack);
    EXPECT_EQ(seq.item(), 50);
    EXPECT_EQ(seq.current().id, 50);
    // The step forward from 50 is an ordinary step: section 2 is announced again.
    EXPECT_EQ(seq.next().sectionInstructions, 2);
    EXPECT_EQ(seq.item(), 51);

    // Back from item 2 reaches item 1, and back again beeps.
    QuestionSequence two(rows());
    two.next();
    two.next();
    EXPECT_EQ(two.back(), QuestionSequence::Back::SteppedBack);
    EXPECT_EQ(two.item(), 1);
    EXPECT_EQ(two.back(), QuestionSequence::Back::Beep);

    // Going back from the last item does not finish the test.
    QuestionSequence last(rows());
    for (int i = 1; i <= 143; ++i) {
        last.next();
    }
    EXPECT_EQ(last.back(), QuestionSequence::Back::SteppedBack);
    EXPECT_EQ(last.item(), 142);
    EXPECT_FALSE(last.next().finished);
    EXPECT_EQ(last.item(), 143);
    EXPECT_TRUE(last.next().finished);
}

TEST(QuestionSequence, RowsPastTheLastItemAreNeverShown) {
    auto r = rows();
    QuestionRow extra = r.back();
    extra.id = 144;
    r.push_back(extra);
    EXPECT_EQ(errorCodeOf(r), 0);
    QuestionSequence seq(r);
    for (int i = 1; i <= 143; ++i) {
        ASSERT_FALSE(seq.next().finished);
    }
    EXPECT_TRUE(seq.next().finished);
}

std::string codes(char c) {
    return std::string(143, c);
}

TEST(AnswerGrids, OneGridPerFormatInFirstOccurrenceOrder) {
    AnswerGrids grids(rows(), codes('0'));
    ASSERT_EQ(grids.gridCount(), 5);
    const Fmt expected[] = {Fmt::TrueFalse, Fmt::OppositeTerms, Fmt::Frequency, Fmt::YesNo,
                            Fmt::Numbered};
    const int counts[] = {50, 25, 45, 11, 12};
    const int options[] = {2, 5, 4, 2, 4};
    for (int g = 0; g < 5; ++g) {
        EXPECT_EQ(grids.grid(g).format, expected[g]) << g;
        EXPECT_EQ(static_cast<int>(grids.grid(g).items.size()), counts[g]) << g;
        EXPECT_EQ(grids.grid(g).optionCount, options[g]) << g;
    }
    EXPECT_EQ(grids.itemAt(1, 1), 51);
    EXPECT_EQ(grids.itemAt(4, 12), 143);

    // Formats interleaved in the table: grids follow the first occurrence, items stay in
    // table order within their grid.
    auto mixed = rows();
    std::rotate(mixed.begin(), mixed.begin() + 120, mixed.begin() + 131); // 121..131 first
    AnswerGrids m(mixed, codes('0'));
    EXPECT_EQ(m.grid(0).format, Fmt::YesNo);
    EXPECT_EQ(m.itemAt(0, 1), 121);
    EXPECT_EQ(m.grid(1).format, Fmt::TrueFalse);
}

TEST(AnswerGrids, MarksFollowTheStoredCodes) {
    std::string c = codes('0');
    c[0] = '2';  // item 1
    c[50] = '5'; // item 51
    c[1] = ' ';  // a cleared code marks nothing
    c[2] = '4';  // higher than a True/False item can hold: no column shows it
    AnswerGrids grids(rows(), c);
    EXPECT_EQ(grids.markedColumn(0, 1), 2);
    EXPECT_EQ(grids.markedColumn(1, 1), 5);
    EXPECT_EQ(grids.markedColumn(0, 2), 0);
    EXPECT_EQ(grids.markedColumn(0, 3), 0);
    EXPECT_EQ(grids.markedColumn(0, 4), 0);
    EXPECT_EQ(grids.responseString(), c) << "codes are kept as they were until typed over";
    EXPECT_EQ(grids.cell(0, 1, 2), AnswerGrids::Cell::CursorChosen);
    EXPECT_EQ(grids.cell(0, 1, 1), AnswerGrids::Cell::Cursor);
    EXPECT_EQ(grids.cell(0, 1, 0), AnswerGrids::Cell::Plain) << "the item number is never lit";
    EXPECT_EQ(grids.cell(1, 1, 5), AnswerGrids::Cell::Chosen);
}

TEST(AnswerGrids, DigitsAcceptedPerFormat) {
    AnswerGrids grids(rows(), codes('0'));
    auto r = grids.type('3');
    EXPECT_TRUE(r.beep);
    EXPECT_EQ(grids.grid(0).cursorRow, 1) << "a refused digit does not move";
    EXPECT_EQ(grids.code(1), '0');
    EXPECT_TRUE(grids.type('a').beep);
    EXPECT_TRUE(grids.type(' ').beep);
    EXPECT_FALSE(grids.type('2').beep);
    EXPECT_EQ(grids.code(1), '2');
    EXPECT_EQ(grids.grid(0).cursorRow, 2);
    EXPECT_FALSE(grids.type('0').beep);
    EXPECT_EQ(grids.code(2), '0');

    grids.focusGrid(1); // opposite terms: 0..5
    EXPECT_FALSE(grids.type('5').beep);
    EXPECT_EQ(grids.code(51), '5');
    EXPECT_TRUE(grids.type('6').beep);
    grids.focusGrid(2); // frequency: 0..4
    EXPECT_TRUE(grids.type('5').beep);
    EXPECT_FALSE(grids.type('4').beep);
    EXPECT_EQ(grids.code(76), '4');
    grids.focusGrid(3); // yes/no
    EXPECT_TRUE(grids.type('3').beep);
    grids.focusGrid(4); // statements: 0..4
    EXPECT_FALSE(grids.type('4').beep);
    EXPECT_EQ(grids.code(132), '4');
}

TEST(AnswerGrids, UpAndDownCrossGridsAndBeepAtBothEnds) {
    AnswerGrids grids(rows(), codes('0'));
    EXPECT_TRUE(grids.up().beep) << "row 1 of the first grid";
    for (int i = 1; i < 50; ++i) {
        ASSERT_FALSE(grids.down().gridChanged);
    }
    EXPECT_EQ(grids.grid(0).cursorRow, 50);
    auto r = grids.down();
    EXPECT_TRUE(r.gridChanged);
    EXPECT_FALSE(r.beep);
    EXPECT_EQ(grids.currentGrid(), 1);
    EXPECT_EQ(grids.grid(1).cursorRow, 1);
    EXPECT_EQ(grids.grid(0).cursorRow, 50) << "the grid keeps its cursor";

    grids.focusGrid(2);
    r = grids.up();
    EXPECT_TRUE(r.gridChanged);
    EXPECT_EQ(grids.currentGrid(), 1);
    EXPECT_EQ(grids.grid(1).cursorRow, 25) << "to the last row of the previous grid";

    grids.setCursor(4, 12, 0);
    r = grids.type('3');
    EXPECT_TRUE(r.beep) << "stored, then Down at the very end beeps";
    EXPECT_EQ(grids.code(143), '3');
    EXPECT_EQ(grids.grid(4).cursorRow, 12);
    EXPECT_TRUE(grids.down().beep);
}

TEST(AnswerGrids, SeventeenRowsShowAndTheTopRowFollowsTheCursor) {
    AnswerGrids grids(rows(), codes('0'));
    const auto& g = grids.grid(0); // 50 items, 51 rows with the header
    for (int row = 2; row <= 17; ++row) {
        grids.down();
        EXPECT_EQ(g.topRow, 1) << row;
    }
    grids.down(); // row 18 is the first hidden row
    EXPECT_EQ(g.cursorRow, 18);
    EXPECT_EQ(g.topRow, 17) << "the row above the cursor goes to the top";
    grids.setCursor(0, 36, 0);
    EXPECT_EQ(g.topRow, 34) << "near the end the last 17 rows show";
    grids.setCursor(0, 50, 0);
    EXPECT_EQ(g.topRow, 34);
    grids.setCursor(0, 20, 0);
    EXPECT_EQ(g.topRow, 19);
    grids.setCursor(0, 1, 0);
    EXPECT_EQ(g.topRow, 1);
    grids.setCursor(0, 30, 0);
    EXPECT_EQ(g.topRow, 29);
    grids.up();
    grids.up();
    EXPECT_EQ(g.cursorRow, 28);
    EXPECT_EQ(g.topRow, 27) << "Up past the top row";

    // Short grids never scroll.
    grids.setCursor(3, 11, 0);
    EXPECT_EQ(grids.grid(3).topRow, 1);
    // Down from the last row of grid 0 shows row 1 of the next grid.
    grids.setCursor(1, 25, 0);
    EXPECT_EQ(grids.grid(1).topRow, 9);
}

TEST(AnswerGrids, ItemNumbersOutsideTheTestAreRefused) {
    auto r = rows();
    r[5].id = 200;
    EXPECT_THROW(AnswerGrids(r, codes('0')), OrvjError);
    auto twice = rows();
    twice[6].id = 6;
    EXPECT_THROW(AnswerGrids(twice, codes('0')), OrvjError);
}

TEST(InstructionTexts, LinesAndEndsOfTheScreens) {
    using namespace InstructionTexts;
    const std::string s1 = text(false, 1);
    EXPECT_EQ(s1.substr(0, 11), "Section 1\r\n");
    EXPECT_EQ(s1.substr(s1.size() - 30), "\r\n\r\n     Press Enter to begin.");
    const std::string sp2 = text(true, 2);
    EXPECT_EQ(sp2.find('\n'), std::string::npos) << "one line without a break";
    EXPECT_EQ(sp2.back(), '.');
    // Lines per screen, counted by their separators.
    auto lineCount = [](const std::string& t) {
        return 1 + static_cast<int>(std::count(t.begin(), t.end(), '\n'));
    };
    const int english[] = {11, 9, 14, 12, 9, 8};
    const int spanish[] = {6, 1, 1, 6, 9, 8};
    for (int s = 0; s < kScreenCount; ++s) {
        EXPECT_EQ(lineCount(text(false, s)), english[s]) << s;
        EXPECT_EQ(lineCount(text(true, s)), spanish[s]) << s;
        const std::string t = text(false, s);
        EXPECT_EQ(std::count(t.begin(), t.end(), '\n'), std::count(t.begin(), t.end(), '\r'));
    }
    EXPECT_NE(text(true, 4).find("«Sí»"), std::string::npos);
    EXPECT_NE(text(true, 5).find("Sección 5"), std::string::npos);
    EXPECT_NE(text(false, 0).find("identify your  concerns"), std::string::npos);
    EXPECT_EQ(helpLine(true, 3), "Oprima la tecla «Enter» para comenzar.");
    EXPECT_EQ(helpLine(true, 4), "");
    EXPECT_EQ(helpLine(false, 0), "");
    EXPECT_EQ(soundFile(5), "Inst5.wav");
    EXPECT_EQ(soundFile(6), "");
}

} // namespace
