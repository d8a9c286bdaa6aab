#include "StoreTestSupport.h"

#include "store/QuestionBank.h"
#include "tests/testing/BankBuilder.h"

#include <fstream>

using namespace orvj;
using orvj::storetest::errorOf;
namespace fs = std::filesystem;

namespace {

class QuestionBankTest : public test::TempFolderTest {
protected:
    // The error code of `f` (0 when it succeeds); its message is kept in m_message.
    template <typename F> int errorCode(F&& f) { return errorOf(f, &m_message); }

    const fs::path m_bank = m_dir / QuestionBank::kFileName;
    std::string m_message;
};

// (Rows in stored order, not ID order, are the entry-method test's refusal of a swapped table;
// the texts and sound names of a plain table are what the question-and-answer form shows and
// plays; tables in database order and a NULL later option are the sample tool's read-back.)
TEST_F(QuestionBankTest, Utf8AndNullOptionsReadAsTexts) {
    auto rows = test::standardRows("English");
    rows[0].answers[1] = "Fals\xc3\xa9"; // UTF-8 survives
    rows[1].answers[0].reset();          // a NULL first option reads as an empty text
    test::writeBank(m_bank, {{"English", rows}});
    const QuestionBank bank(m_bank);
    const auto read = bank.rows("English");
    ASSERT_EQ(read.size(), 143u);
    EXPECT_EQ(*read[0].answers[1], "Fals\xc3\xa9");
    EXPECT_EQ(read[0].choiceAudio[2], "");
    EXPECT_EQ(read[1].answers[0], std::optional<std::string>(""));
}

TEST_F(QuestionBankTest, FaultsAreTypedErrorsThatNameTheFile) {
    const QuestionBank bank(m_bank);
    EXPECT_EQ(errorCode([&] { bank.tableNames(); }), ErrorCode::DbFileNotFound);
    EXPECT_NE(m_message.find(m_bank.string() + ": the question bank was not found"),
              std::string::npos);

    test::writeBank(
        m_bank, {{"English", test::standardRows("English")}},
        {"CREATE TABLE Spanish (ID INTEGER, TestQuestion TEXT, ANSWER1 TEXT)",
         "CREATE TABLE Broken (ID TEXT, TestQuestion TEXT, QuestionAudio TEXT, ANSWER1, ANSWER2, "
         "ANSWER3, ANSWER4, ANSWER5, ChoiceAudio1, ChoiceAudio2, ChoiceAudio3, ChoiceAudio4, "
         "ChoiceAudio5)",
         "INSERT INTO Broken (ID, TestQuestion) VALUES ('7', 'x'), ('seven', 'x')"});
    EXPECT_EQ(errorCode([&] { bank.rows("French"); }), ErrorCode::DbNoTable);
    EXPECT_NE(m_message.find("\"French\""), std::string::npos);
    EXPECT_EQ(errorCode([&] { bank.rows("english"); }), ErrorCode::DbNoTable)
        << "table names are matched exactly";
    EXPECT_EQ(errorCode([&] { bank.rows("Spanish"); }), ErrorCode::DbNoField);
    EXPECT_NE(m_message.find("QuestionAudio, ANSWER2, ANSWER3"), std::string::npos) << m_message;
    EXPECT_NE(m_message.find("ChoiceAudio5"), std::string::npos);
    EXPECT_EQ(errorCode([&] { bank.rows("Broken"); }), ErrorCode::TypeMismatch)
        << "\"7\" as text is item 7, \"seven\" is no number";
    EXPECT_NE(m_message.find("row 2 of the table \"Broken\""), std::string::npos) << m_message;
    EXPECT_EQ(errorCode([&] { bank.rows("English"); }), 0);

    std::ofstream(m_bank) << "this is a text file, not a question bank\n";
    EXPECT_EQ(errorCode([&] { bank.tableNames(); }), ErrorCode::DbCannotOpen);
    EXPECT_NE(m_message.find(m_bank.string()), std::string::npos);
}

} // namespace
