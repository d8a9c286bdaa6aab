#include "session/AnswerGrids.h"
#include "session/EndOfTest.h"
#include "session/InstructionTexts.h"
#include "store/OrvjError.h"
#include "tests/session/BankBuilder.h"
#include "tests/support/FakeRecordWriter.h"

#include <gtest/gtest.h>

#include <algorithm>

using namespace orvj;
using F = ClientRecord::Field;

namespace {

const std::vector<QuestionRow> kRows = test::standardRows("English");
const std::string kZeros(143, '0');

// The five grids of the standard table are walked key by key in test_new_entry.
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

// Whatever the writes do, the answers end in the new client's record and the client is counted
// once; a failed write is retried for as long as the supervisor answers Yes.
TEST(EndOfTest, RetriesWhileAskedAndKeepsTheAnswersEitherWay) {
    const struct {
        const char* name;
        int failures, answersYes;
        EndOfTest::Outcome outcome;
        int writes;
    } cases[] = {
        {"first write works, nothing asked", 0, 0, EndOfTest::Outcome::Stored, 1},
        {"two failures, then stored", 2, 5, EndOfTest::Outcome::Stored, 3},
        {"one retry, then declined", 10, 1, EndOfTest::Outcome::KeptInMemory, 2},
    };
    const std::string answers = std::string(50, '1') + std::string(93, '2');
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        ClientTable clients;
        clients.at(1).set(F::Name, "SAVED");
        clients.clientCount = 1;
        clients.currentClient = 2;
        clients.at(2).set(F::Responses, std::string(143, '0'));
        test::FakeRecordWriter writer;
        writer.failures = c.failures;
        std::vector<std::string> faults;
        const auto outcome = EndOfTest::store(clients, answers, writer, [&](const std::string& f) {
            faults.push_back(f);
            return static_cast<int>(faults.size()) <= c.answersYes;
        });
        EXPECT_EQ(outcome, c.outcome);
        EXPECT_EQ(writer.calls, c.writes);
        EXPECT_EQ(writer.responsesSeen, answers);
        EXPECT_EQ(faults, std::vector<std::string>(std::min(c.failures, c.writes),
                                                   "DATA301.OVJ: cannot write record 2"));
        EXPECT_EQ(clients.clientCount, 2);
        EXPECT_EQ(clients.at(2).field(F::Responses), answers);
        EXPECT_EQ(clients.at(1).trimmed(F::Name), "SAVED");
    }
}

} // namespace
