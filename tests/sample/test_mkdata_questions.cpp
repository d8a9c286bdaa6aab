#include "sample/tool/QuestionBankWriter.h"
#include "sample/tool/QuestionSource.h"
#include "sample/tool/QuestionText.h"
#include "store/QuestionBank.h"
#include "testing/TestLayout.h"
#include "tests/sample/TempDir.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace orvj::mkdata;
namespace TL = orvj::TestLayout;

namespace {

const char* const kHeader = "ID\tTestQuestion\tQuestionAudio\tANSWER1\tANSWER2\tANSWER3\tANSWER4\t"
                            "ANSWER5\tChoiceAudio1\tChoiceAudio2\tChoiceAudio3\tChoiceAudio4\t"
                            "ChoiceAudio5";

std::string itemLine(int id, const std::string& question = {}) {
    std::vector<std::string> answers;
    switch (TL::sectionOf(id)) {
    case 1:
        answers = {"True", "False"};
        break;
    case 2:
        answers = {"Very Often Calm", "Often Calm", "Can't Decide", "Often Upset",
                   "Very Often Upset"};
        break;
    case 3:
        answers = {"Rare or Never", "Sometimes", "Often", "Very Often"};
        break;
    case 4:
        answers = {"Yes", "No"};
        break;
    default:
        answers = {"First.", "Second.", "Third.", "Fourth."};
        break;
    }
    std::string line = std::to_string(id) + "\t" +
                       (question.empty() ? "Question " + std::to_string(id) : question) + "\tQ" +
                       std::to_string(id);
    for (std::size_t k = 0; k < 5; ++k) {
        line += "\t" + (k < answers.size() ? answers[k] : std::string());
    }
    for (std::size_t k = 0; k < 5; ++k) {
        line += "\t" + (k < answers.size() ? "Q" + std::to_string(id) + "A" + std::to_string(k + 1)
                                           : std::string());
    }
    return line;
}

// A complete source; `replace` swaps in one item's line, `lastItem` cuts it short.
std::string source(int replaceId = 0, const std::string& replacement = {},
                   int lastItem = TL::kItemCount) {
    std::string text = std::string(kHeader) + "\n";
    for (int id = 1; id <= lastItem; ++id) {
        text += (id == replaceId ? replacement : itemLine(id)) + "\n";
    }
    return text;
}

std::string refusal(const std::string& text, bool english = true) {
    try {
        parseQuestionSource(text, "bank.tsv", english);
    } catch (const SourceError& e) {
        return e.what();
    }
    return "accepted";
}

TEST(QuestionSource, ReadsEveryItemWithItsOptionsAndAudioStems) {
    // CR LF line ends and a byte-order mark are what a Windows editor leaves.
    std::string text = "\xEF\xBB\xBF" + source();
    std::string crlf;
    for (char c : text) {
        if (c == '\n') {
            crlf += '\r';
        }
        crlf += c;
    }
    QuestionSource s = parseQuestionSource(crlf, "bank.tsv", true);
    ASSERT_EQ(s.rows.size(), 143u);
    EXPECT_TRUE(s.warnings.empty());
    EXPECT_EQ(s.rows[0].id, 1);
    EXPECT_EQ(s.rows[0].optionCount(), 2);
    EXPECT_FALSE(s.rows[0].answers[2].has_value());
    EXPECT_FALSE(s.rows[0].choiceAudio[2].has_value());
    EXPECT_EQ(s.rows[60].optionCount(), 5);
    EXPECT_EQ(*s.rows[60].choiceAudio[4], "Q61A5");
    EXPECT_EQ(s.rows[142].question, "Question 143");
    EXPECT_EQ(s.rows[142].line, 144u);
}

TEST(QuestionSource, RefusesMalformedLinesNamingFileAndLine) {
    EXPECT_EQ(refusal(source(5, itemLine(5) + "\textra")),
              "bank.tsv:6: expected 13 tab-separated columns, found 14");
    EXPECT_EQ(refusal(source(7, itemLine(8))), "bank.tsv:8: ID out of order: expected 7, found 8");
    EXPECT_EQ(refusal(source(7, "seven" + itemLine(7).substr(1))),
              "bank.tsv:8: ID \"seven\" is not a whole number");
    EXPECT_EQ(refusal("ID\tQuestion\n" + source().substr(source().find('\n') + 1))
                  .rfind("bank.tsv:1: the header line", 0),
              0u);
    EXPECT_EQ(refusal(source(3, "3\t\tQ3\tTrue\tFalse\t\t\t\tA\tB\t\t\t")),
              "bank.tsv:4: item 3: TestQuestion is empty");
}

TEST(QuestionSource, RefusesMissingFirstOptionsAndGaps) {
    EXPECT_EQ(refusal(source(9, "9\tQ\tQ9\t\tFalse\t\t\t\t\tB\t\t\t")),
              "bank.tsv:10: item 9: ANSWER1 is empty (options 1 and 2 are always shown)");
    EXPECT_EQ(refusal(source(9, "9\tQ\tQ9\tTrue\t\t\t\t\tA\t\t\t\t")),
              "bank.tsv:10: item 9: ANSWER2 is empty (options 1 and 2 are always shown)");
    EXPECT_EQ(refusal(source(140, "140\tQ\tQ\tA\tB\t\tD\t\ta\tb\t\td\t")),
              "bank.tsv:141: item 140: ANSWER4 is given but ANSWER3 is empty (options are "
              "shown in order without gaps)");
    EXPECT_EQ(refusal(source(140, "140\tQ\tQ\tA\tB\tC\t\t\ta\tb\tc\td\t")),
              "bank.tsv:141: item 140: ChoiceAudio4 is given but ANSWER4 is empty");
}

TEST(QuestionSource, RefusesTextWindows1252CannotHold) {
    EXPECT_EQ(refusal(source(12, itemLine(12, "I feel \xE2\x98\x83 most days."))),
              "bank.tsv:13: TestQuestion, character 8: \"\xE2\x98\x83\" (U+2603) cannot be "
              "stored in Windows-1252");
    EXPECT_EQ(refusal(source(12, itemLine(12, "Bad \xC3 byte"))),
              "bank.tsv:13: TestQuestion, character 5: the text is not valid UTF-8 (save the "
              "file as UTF-8)");
    // Accented letters, curly quotes and the euro sign all have a Windows-1252 byte.
    EXPECT_EQ(refusal(source(12, itemLine(12, "\xC2\xBF"
                                              "C\xC3\xB3"
                                              "mo \xE2\x80\x9C"
                                              "est\xC3\xA1s\xE2\x80\x9D"
                                              "? \xE2\x82\xAC"))),
              "accepted");
}

TEST(QuestionSource, OptionCountsMustFitTheSection) {
    // A fifth option on a section 3 item could be chosen on screen but never keyed.
    EXPECT_EQ(refusal(source(80, "80\tQ\tQ\tA\tSometimes\tC\tD\tE\ta\tb\tc\td\te")),
              "bank.tsv:81: item 80 has 5 options, but section 3 allows at most 4");
    // In the English table the second option picks the answer-sheet grid.
    std::string msg = refusal(source(80, "80\tQ\tQ\tRare\tOften\tC\tD\t\ta\tb\tc\td\t"));
    EXPECT_EQ(msg.rfind("bank.tsv:81: item 80: ANSWER2 \"Often\" selects an answer-sheet grid "
                        "with 5 options, but section 3 has 4",
                        0),
              0u)
        << msg;
    EXPECT_EQ(refusal(source(80, "80\tQ\tQ\tRare\tOften\tC\tD\t\ta\tb\tc\td\t"), false),
              "accepted");
    EXPECT_NE(refusal(source(125, "125\tQ\tQ\tYes\tNo way\t\t\t\ta\tb\t\t\t")), "accepted");

    QuestionSource fewer =
        parseQuestionSource(source(133, "133\tQ\tQ\tA\tB\tC\t\t\ta\tb\tc\t\t"), "bank.tsv", true);
    ASSERT_EQ(fewer.warnings.size(), 1u);
    EXPECT_EQ(fewer.warnings[0], "bank.tsv:134: item 133 has only 3 of the 4 options of section 5");
}

TEST(QuestionSource, ShortAndLongFiles) {
    try {
        parseQuestionSource(source(0, {}, 100), "es.tsv", false);
        FAIL() << "a short file was accepted";
    } catch (const IncompleteSource& e) {
        EXPECT_STREQ(e.what(), "es.tsv: holds 100 items; all 143 are needed");
    }
    EXPECT_THROW(parseQuestionSource("", "es.tsv", false), IncompleteSource);
    EXPECT_EQ(refusal(source() + itemLine(144)), "bank.tsv:145: more than 143 item lines");
    // Blank lines are skipped, and IDs are still counted in order.
    EXPECT_EQ(refusal(source(20, "\n" + itemLine(20))), "accepted");
}

TEST(QuestionSource, SecondLanguageMustOfferTheSameOptions) {
    QuestionSource en = parseQuestionSource(source(), "en.tsv", true);
    QuestionSource es =
        parseQuestionSource(source(135, "135\tQ\tQ\tA\tB\tC\t\t\ta\tb\tc\t\t"), "es.tsv", false);
    try {
        checkSameOptions(en, es, "es.tsv");
        FAIL() << "a differing option count was accepted";
    } catch (const SourceError& e) {
        EXPECT_STREQ(e.what(), "es.tsv:136: item 135 has 3 options, but the first language has 4");
    }
    EXPECT_NO_THROW(checkSameOptions(en, en, "en.tsv"));
}

TEST(QuestionText, FiveCharacterPrefixWindows1252AndCrLf) {
    QuestionSource s = parseQuestionSource(source(121, itemLine(121, "Consejer\xC3\xAD"
                                                                     "a familiar")),
                                           "b", true);
    std::string text = questionTextFile(s, "b");
    std::vector<std::string> lines;
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t end = text.find("\r\n", start);
        ASSERT_NE(end, std::string::npos) << "every line ends with CR LF";
        lines.push_back(text.substr(start, end - start));
        start = end + 2;
    }
    ASSERT_EQ(lines.size(), 143u);
    EXPECT_EQ(lines[0], "  1. Question 1");
    EXPECT_EQ(lines[6], "  7. Question 7");
    EXPECT_EQ(lines[98], " 99. Question 99");
    EXPECT_EQ(lines[120], "121. Consejer\xED"
                          "a familiar");
    EXPECT_EQ(lines[142], "143. Question 143");
    EXPECT_EQ(text.find('\n'), text.find("\r\n") + 1);
}

class QuestionBankWriterTest : public orvj::testsupport::TempDirTest {};

TEST_F(QuestionBankWriterTest, TablesReadBackThroughTheProgramsReader) {
    QuestionSource en = parseQuestionSource(source(), "en.tsv", true);
    QuestionSource es = parseQuestionSource(source(2, itemLine(2, "Bebo alcohol.")), "es", false);
    const auto file = m_dir / "ORVj32.db";
    write("ORVj32.db", "an older file that must be replaced");
    writeQuestionBank(file, {{"English", &en}, {"Spanish", &es}});

    orvj::QuestionBank bank(file);
    EXPECT_EQ(bank.tableNames(), (std::vector<std::string>{"English", "Spanish"}));
    auto rows = bank.rows("Spanish");
    ASSERT_EQ(rows.size(), 143u);
    for (std::size_t i = 0; i < rows.size(); ++i) {
        ASSERT_EQ(rows[i].id, static_cast<int>(i) + 1);
    }
    EXPECT_EQ(rows[1].testQuestion, "Bebo alcohol.");
    EXPECT_EQ(rows[1].questionAudio, "Q2");
    EXPECT_FALSE(rows[1].hasOption(2)) << "an empty option is stored as NULL";
    EXPECT_TRUE(rows[70].hasOption(4));
    EXPECT_EQ(*rows[70].answers[4], "Very Often Upset");
    EXPECT_EQ(rows[70].choiceAudio[4], "Q71A5");
    EXPECT_FALSE(std::filesystem::exists(m_dir / "ORVj32.db.part"));

    writeQuestionBank(file, {{"English", &en}});
    EXPECT_EQ(orvj::QuestionBank(file).tableNames(), std::vector<std::string>{"English"});
}

TEST_F(QuestionBankWriterTest, FailedWriteLeavesTheOldFile) {
    QuestionSource en = parseQuestionSource(source(), "en.tsv", true);
    const auto file = write("ORVj32.db", "old");
    // The same table twice cannot be created: the run fails after work has begun.
    EXPECT_THROW(writeQuestionBank(file, {{"English", &en}, {"English", &en}}), SourceError);
    EXPECT_EQ(read(file), "old");
    EXPECT_FALSE(std::filesystem::exists(m_dir / "ORVj32.db.part"));
}

} // namespace
