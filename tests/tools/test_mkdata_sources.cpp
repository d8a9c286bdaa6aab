#include "store/QuestionBank.h"
#include "tests/support/Files.h"
#include "tools/mkdata/ClientSource.h"
#include "tools/mkdata/QuestionBankWriter.h"
#include "tools/mkdata/QuestionSource.h"
#include "tools/mkdata/SourceText.h"

#include <gtest/gtest.h>

#include <functional>

using namespace orvj::mkdata;
using Field = orvj::ClientRecord::Field;

namespace {

std::string refusal(const std::function<void()>& run) {
    try {
        run();
    } catch (const SourceError& e) {
        return e.what();
    }
    return "accepted";
}

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

// The byte-order mark and CR LF line ends are read by splitLines (TextConversion below); each
// field of a row, and the sample's whole English source, are read back through the program's own
// reader in QuestionBankWriterTest. The question text file the build makes from that source is
// held through the treatment-needs lines of the golden reports.
TEST(QuestionSource, RefusesMalformedLinesNamingFileAndLine) {
    auto refused = [](const std::string& text) {
        return refusal([&] { parseQuestionSource(text, "bank.tsv", true); });
    };
    EXPECT_EQ(refused(withItem(5, itemLine(5) + "\textra")),
              "bank.tsv:6: expected 13 tab-separated columns, found 14");
    EXPECT_EQ(refused(withItem(80, "80\tQ\tQ\tA\tSometimes\tC\tD\tE\ta\tb\tc\td\te")),
              "bank.tsv:81: item 80 has 5 options, but section 3 allows at most 4");
    EXPECT_THROW(parseQuestionSource(english().substr(0, lineStart(101)), "es.tsv", false),
                 IncompleteSource);
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

// Line 9 is the first answers line: section 1 True/False, 2 five steps, 3 frequency, 4 Yes/No,
// 5 four statements; item 50 is the last True/False item. The refusal names the line (after
// "clients.txt:") and what is wrong with it.
TEST(ClientSource, RefusesAnAnswerCodeTheItemDoesNotHave) {
    const std::string text = "[client]\nname: Doe, Sample\nid: S-1001\nage: 15\nsex: 2\nrace: 5\n"
                             "education: 3\ndate: 02/29/2024\nanswers: " +
                             std::string(49, '1') + "3\nanswers: 12345 12345 12345 12345 12345\n" +
                             "answers: " + std::string(45, '4') +
                             "\nanswers: " + std::string(11, '2') + "\nanswers: 0123 4123 4123\n";
    const std::string got = refusal([&] { parseClientSource(text, "clients.txt"); });
    EXPECT_TRUE(got.starts_with("clients.txt:9: item 50 has answer code 3, but it has only 2 "
                                "options (0 means no answer)"))
        << got;
}

// An overlong "/" (C0 AF) is not UTF-8, though a lenient decoder reads it as one; the
// conversion's fuzz target holds every other malformed sequence.
TEST(TextConversion, Windows1252WithCrLf) {
    EXPECT_EQ(textToCp1252("\xEF\xBB\xBF[Path]\nFilePath=data\r\nCaf\xC3\xA9", "a.ini"),
              "[Path]\r\nFilePath=data\r\nCaf\xE9\r\n");
    EXPECT_EQ(refusal([] { textToCp1252("ok\nok\nbad \xE2\x86\x92 arrow\n", "notes.txt"); }),
              "notes.txt:3: character 5: \"\xE2\x86\x92\" (U+2192) cannot be stored in "
              "Windows-1252");
    const std::string got = refusal([] { textToCp1252("Ann\xC0\xAF", "names.txt"); });
    EXPECT_TRUE(got.starts_with("names.txt:1: character 4: the text is not valid UTF-8")) << got;
}

} // namespace
