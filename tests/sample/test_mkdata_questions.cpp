#include "sample/tool/QuestionBankWriter.h"
#include "sample/tool/QuestionSource.h"
#include "sample/tool/QuestionText.h"
#include "store/QuestionBank.h"
#include "tests/support/Files.h"

#include <gtest/gtest.h>

#include <regex>

using namespace orvj::mkdata;

namespace {

// The sample's English source: a complete, well-formed file to change one line of.
const std::string& english() {
    static const std::string text =
        readFile(std::filesystem::path(ORVJ_SOURCE_DIR) / "sample/questions/english.tsv");
    return text;
}
std::size_t lineStart(int id) {
    return english().find("\n" + std::to_string(id) + "\t") + 1;
}
std::string itemLine(int id) {
    return english().substr(lineStart(id), english().find('\n', lineStart(id)) - lineStart(id));
}
std::string withItem(int id, const std::string& line) {
    return std::string(english()).replace(lineStart(id), itemLine(id).size(), line);
}

TEST(QuestionSource, ReadsEveryItemFromAWindowsEditorsFile) {
    const std::string crlf =
        "\xEF\xBB\xBF" + std::regex_replace(english(), std::regex("\n"), "\r\n");
    const QuestionSource s = parseQuestionSource(crlf, "bank.tsv", true);
    ASSERT_EQ(s.rows.size(), 143u);
    EXPECT_EQ(s.rows[1].question, "I have had alcohol without my parents or guardians knowing.");
    EXPECT_FALSE(s.rows[1].choiceAudio[2].has_value());
    EXPECT_EQ(*s.rows[70].choiceAudio[4], "Q071A5");
    EXPECT_EQ(s.rows[142].line, 144u);
    EXPECT_THROW(parseQuestionSource(english().substr(0, lineStart(101)), "es.tsv", false),
                 IncompleteSource);
}

TEST(QuestionSource, RefusesMalformedLinesNamingFileAndLine) {
    const std::pair<std::string, std::string> cases[] = {
        {withItem(5, itemLine(5) + "\textra"),
         "bank.tsv:6: expected 13 tab-separated columns, found 14"},
        {withItem(7, itemLine(8)), "bank.tsv:8: ID out of order: expected 7, found 8"},
        {withItem(12, "12\tI feel \xE2\x98\x83 today.\tQ\tTrue\tFalse\t\t\t\ta\tb\t\t\t"),
         "bank.tsv:13: TestQuestion, character 8: \"\xE2\x98\x83\" (U+2603) cannot be stored in "
         "Windows-1252"},
        {withItem(80, "80\tQ\tQ\tA\tSometimes\tC\tD\tE\ta\tb\tc\td\te"),
         "bank.tsv:81: item 80 has 5 options, but section 3 allows at most 4"},
        {english() + "144" + itemLine(143).substr(3), "bank.tsv:145: more than 143 item lines"},
    };
    for (const auto& [text, message] : cases) {
        try {
            parseQuestionSource(text, "bank.tsv", true);
            ADD_FAILURE() << "accepted: " << message;
        } catch (const SourceError& e) {
            EXPECT_EQ(e.what(), message);
        }
    }
}

TEST(QuestionText, FiveCharacterPrefixWindows1252AndCrLf) {
    const std::string text =
        questionTextFile(parseQuestionSource(withItem(121, "121\tConsejer\xC3\xAD"
                                                           "a\tQ\tYes\tNo\t\t\t\ta\tb\t\t\t"),
                                             "b", true),
                         "b");
    EXPECT_EQ(text.substr(0, 5), "  1. ");
    EXPECT_NE(text.find("\r\n 99. "), std::string::npos);
    EXPECT_NE(text.find("\r\n121. Consejer\xED"
                        "a\r\n"),
              std::string::npos);
    EXPECT_NE(text.find("\r\n143. " + itemLine(143).substr(4, 10)), std::string::npos);
    EXPECT_EQ(std::count(text.begin(), text.end(), '\n'), 143);
    EXPECT_EQ(std::count(text.begin(), text.end(), '\r'), 143);
}

class QuestionBankWriterTest : public orvj::test::TempFolderTest {};

TEST_F(QuestionBankWriterTest, TablesReadBackThroughTheProgramsReaderOrTheOldFileStays) {
    const QuestionSource en = parseQuestionSource(english(), "en.tsv", true);
    const QuestionSource es = parseQuestionSource(
        withItem(2, "2\tBebo alcohol.\tQ002\tVerdadero\tFalso\t\t\t\ta\tb\t\t\t"), "es", false);
    const auto file = write("ORVj32.db", "an older file that must be replaced");
    writeQuestionBank(file, {{"English", &en}, {"Spanish", &es}});
    orvj::QuestionBank bank(file);
    EXPECT_EQ(bank.tableNames(), (std::vector<std::string>{"English", "Spanish"}));
    const auto rows = bank.rows("Spanish");
    ASSERT_EQ(rows.size(), 143u);
    EXPECT_EQ(rows[1].testQuestion, "Bebo alcohol.");
    EXPECT_FALSE(rows[1].hasOption(2)) << "an empty option is stored as NULL";
    EXPECT_EQ(*rows[70].answers[4], *en.rows[70].answers[4]);
    EXPECT_EQ(rows[70].choiceAudio[4], "Q071A5");

    // The same table twice cannot be created: the run fails after work has begun.
    write("ORVj32.db", "old");
    EXPECT_THROW(writeQuestionBank(file, {{"English", &en}, {"English", &en}}), SourceError);
    EXPECT_EQ(read(file), "old");
    EXPECT_FALSE(std::filesystem::exists(m_dir / "ORVj32.db.part"));
}

} // namespace
