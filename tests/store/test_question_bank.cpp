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
    const fs::path m_bank = m_dir / QuestionBank::kFileName;
};

// A NULL first or second option reads as an empty text, unlike a later one: every item has
// two. (Rows in stored order, not ID order, are the entry-method test's refusal of a swapped
// table; the texts and sound names of a plain table and a NULL later option or sound are what
// the question-and-answer form shows and plays; tables in database order are the sample
// tool's read-back.)
TEST_F(QuestionBankTest, ANullFirstOptionReadsAsAnEmptyText) {
    auto rows = test::standardRows("English");
    rows[1].answers[0].reset();
    test::writeBank(m_bank, {{"English", rows}});
    const auto read = QuestionBank(m_bank).rows("English");
    ASSERT_EQ(read.size(), 143u);
    EXPECT_EQ(read[1].answers[0], std::optional<std::string>(""));
}

TEST_F(QuestionBankTest, FaultsAreTypedErrorsThatNameTheFile) {
    const QuestionBank bank(m_bank);
    std::string what;
    EXPECT_EQ(errorOf([&] { bank.tableNames(); }, &what), ErrorCode::DbFileNotFound);
    EXPECT_NE(what.find(m_bank.string() + ": the question bank was not found"), std::string::npos);

    test::writeBank(
        m_bank, {{"English", test::standardRows("English")}},
        {"CREATE TABLE Spanish (ID INTEGER, TestQuestion TEXT, ANSWER1 TEXT)",
         "CREATE TABLE Broken (ID TEXT, TestQuestion TEXT, QuestionAudio TEXT, ANSWER1, ANSWER2, "
         "ANSWER3, ANSWER4, ANSWER5, ChoiceAudio1, ChoiceAudio2, ChoiceAudio3, ChoiceAudio4, "
         "ChoiceAudio5)",
         "INSERT INTO Broken (ID, TestQuestion) VALUES ('7', 'x'), ('seven', 'x')"});
    EXPECT_EQ(errorOf([&] { bank.rows("French"); }, &what), ErrorCode::DbNoTable);
    EXPECT_NE(what.find("\"French\""), std::string::npos);
    EXPECT_EQ(errorOf([&] { bank.rows("Spanish"); }, &what), ErrorCode::DbNoField);
    EXPECT_NE(what.find("QuestionAudio, ANSWER2, ANSWER3"), std::string::npos) << what;
    EXPECT_EQ(errorOf([&] { bank.rows("Broken"); }, &what), ErrorCode::TypeMismatch)
        << "\"7\" as text is item 7, \"seven\" is no number";
    EXPECT_NE(what.find("row 2 of the table \"Broken\""), std::string::npos) << what;
    EXPECT_EQ(errorOf([&] { bank.rows("English"); }, &what), 0);

    std::ofstream(m_bank) << "this is a text file, not a question bank\n";
    EXPECT_EQ(errorOf([&] { bank.tableNames(); }, &what), ErrorCode::DbCannotOpen);
    EXPECT_NE(what.find(m_bank.string()), std::string::npos);
}

} // namespace
