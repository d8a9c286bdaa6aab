#include "sample/tool/ClientSource.h"
#include "sample/tool/QuestionBankWriter.h"
#include "sample/tool/QuestionSource.h"
#include "sample/tool/QuestionText.h"
#include "sample/tool/SourceText.h"
#include "store/QuestionBank.h"
#include "tests/support/Files.h"

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
// field of a row is read back through the program's own reader in QuestionBankWriterTest, and
// the sample's whole English source in test_sample.
TEST(QuestionSource, RefusesMalformedLinesNamingFileAndLine) {
    const std::pair<std::string, std::string> cases[] = {
        {withItem(5, itemLine(5) + "\textra"),
         "bank.tsv:6: expected 13 tab-separated columns, found 14"},
        {withItem(7, itemLine(8)), "bank.tsv:8: ID out of order: expected 7, found 8"},
        {withItem(80, "80\tQ\tQ\tA\tSometimes\tC\tD\tE\ta\tb\tc\td\te"),
         "bank.tsv:81: item 80 has 5 options, but section 3 allows at most 4"},
        {english() + "144" + itemLine(143).substr(3), "bank.tsv:145: more than 143 item lines"},
    };
    for (const auto& [text, message] : cases) {
        EXPECT_EQ(refusal([&] { parseQuestionSource(text, "bank.tsv", true); }), message);
    }
    EXPECT_THROW(parseQuestionSource(english().substr(0, lineStart(101)), "es.tsv", false),
                 IncompleteSource);
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

// Line 9 is the first answers line: section 1 True/False, 2 five steps, 3 frequency, 4 Yes/No,
// 5 four statements.
std::string client(const std::string& name = "Doe, Sample", const std::string& extra = {}) {
    return "[client]\nname: " + name +
           "\nid: S-1001\nage: 15\nsex: 2\nrace: 5\neducation: 3\ndate: 02/29/2024\n" + extra +
           "answers: " + std::string(50, '1') + "\nanswers: 12345 12345 12345 12345 12345\n" +
           "answers: " + std::string(45, '4') + "\nanswers: " + std::string(11, '2') +
           "\nanswers: 0123 4123 4123\n";
}
std::string clientWith(const std::string& from, const std::string& to) {
    std::string text = client();
    return text.replace(text.find(from), from.size(), to);
}
// Where each field lands in the record, and that the file loads, is held byte for byte by the
// golden reports of the sample clients built from sample/clients.txt; the keys no sample
// client uses are checked here.
TEST(ClientSource, CommentsBlankLinesAndTheRarelyUsedKeys) {
    const auto recs = parseClientSource(
        "# sample\n\n" + client() + client("N", "edit-count: 2\nname-deleted: 1\n"), "c.txt");
    ASSERT_EQ(recs.size(), 2u);
    EXPECT_EQ(recs[0].field(Field::EditCount), "0");
    EXPECT_EQ(recs[0].field(Field::NameDeleted), "0");
    EXPECT_EQ(recs[1].field(Field::EditCount), "2");
    EXPECT_EQ(recs[1].field(Field::NameDeleted), "1");
}

// Each refusal names the line (after "clients.txt:") and what is wrong with it.
TEST(ClientSourceRefusals, NameTheLineAndWhatIsWrong) {
    const std::string notUtf8 = "2: name, character 4: the text is not valid UTF-8 (save the file";
    const std::pair<std::string, std::string> cases[] = {
        {clientWith(std::string(50, '1'), std::string(49, '1') + "3"),
         "9: item 50 has answer code 3, but it has only 2 options (0 means no answer)"},
        {clientWith("0123 4123 4123", "0123 4123 412"),
         "13: the answers lines hold 142 codes; 143 are needed, one per item"},
        {client("Z\xC3\xA9no \xE2\x9C\x93"),
         "2: name, character 6: \"\xE2\x9C\x93\" (U+2713) cannot be stored in Windows-1252"},
        // An overlong "/" (C0 AF) is not UTF-8, though a lenient decoder reads it as one; the
        // conversion's fuzz target holds every other malformed sequence.
        {client("Ann\xC0\xAF"), notUtf8},
        {client("A name far too long for the file"),
         "2: name \"A name far too long for the file\" is longer than the 25 characters"},
        {clientWith("02/29/2024", "02/29/2023"),
         "8: date \"02/29/2023\" is not a valid date written mm/dd/yyyy"},
        {clientWith("sex: 2\n", ""), "1: client has no \"sex\" line"},
    };
    for (const auto& [text, message] : cases) {
        const std::string got = refusal([&] { parseClientSource(text, "clients.txt"); });
        EXPECT_TRUE(got.starts_with("clients.txt:" + message)) << got;
    }
}

TEST(TextConversion, Windows1252WithCrLf) {
    EXPECT_EQ(textToCp1252("\xEF\xBB\xBF[Path]\nFilePath=data\r\nCaf\xC3\xA9", "a.ini"),
              "[Path]\r\nFilePath=data\r\nCaf\xE9\r\n");
    EXPECT_EQ(refusal([] { textToCp1252("ok\nok\nbad \xE2\x86\x92 arrow\n", "notes.txt"); }),
              "notes.txt:3: character 5: \"\xE2\x86\x92\" (U+2192) cannot be stored in "
              "Windows-1252");
}

} // namespace
