#include "store/OrvjError.h"
#include "store/QuestionBank.h"
#include "tests/testing/BankBuilder.h"

#include <gtest/gtest.h>

#include <unistd.h>

#include <filesystem>
#include <fstream>

using namespace orvj;
namespace fs = std::filesystem;

namespace {

class QuestionBankTest : public ::testing::Test {
protected:
    void SetUp() override {
        m_dir = fs::temp_directory_path() /
                ("orvj-bank-" + std::to_string(::getpid()) + "-" +
                 ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(m_dir);
        fs::create_directories(m_dir);
        m_bank = m_dir / QuestionBank::kFileName;
    }
    void TearDown() override { fs::remove_all(m_dir); }

    template <typename F> int errorCode(F&& f) {
        try {
            f();
        } catch (const OrvjError& e) {
            m_message = e.what();
            return e.code();
        }
        return 0;
    }

    fs::path m_dir;
    fs::path m_bank;
    std::string m_message;
};

TEST_F(QuestionBankTest, TableNamesComeInDatabaseOrderWithExactCase) {
    {
        test::BankBuilder b(m_bank);
        b.addTable("Spanish", {});
        b.addTable("Notes", {});
        b.addTable("english", {});
    }
    QuestionBank bank(m_bank);
    EXPECT_EQ(bank.tableNames(), (std::vector<std::string>{"Spanish", "Notes", "english"}));
}

TEST_F(QuestionBankTest, RowsKeepStoredOrderAndNullOptions) {
    auto rows = test::BankBuilder::standardRows("English");
    rows[0].answers[1] = "Fals\xc3\xa9"; // UTF-8 survives
    std::swap(rows[3], rows[4]);
    {
        test::BankBuilder b(m_bank);
        b.addTable("English", rows);
    }
    auto read = QuestionBank(m_bank).rows("English");
    ASSERT_EQ(read.size(), 143u);
    EXPECT_EQ(read[3].id, 5) << "stored order, not ID order";
    EXPECT_EQ(read[4].id, 4);
    EXPECT_EQ(read[0].testQuestion, "English question 1");
    EXPECT_EQ(read[0].questionAudio, "Q001");
    EXPECT_EQ(*read[0].answers[1], "Fals\xc3\xa9");
    EXPECT_FALSE(read[0].answers[2].has_value());
    EXPECT_FALSE(read[0].hasOption(4));
    EXPECT_EQ(read[0].choiceAudio[1], "Q001A2");
    EXPECT_EQ(read[0].choiceAudio[2], "");
    EXPECT_TRUE(read[60].hasOption(4));
    EXPECT_EQ(*read[60].answers[4], "Very Often Tense");
    EXPECT_EQ(read[60].choiceAudio[4], "Q061A5");
}

TEST_F(QuestionBankTest, NullFirstOptionsReadAsEmptyTextNotAbsent) {
    auto rows = test::BankBuilder::standardRows("English");
    rows.resize(1);
    rows[0].answers[0].reset();
    {
        test::BankBuilder b(m_bank);
        b.addTable("English", rows);
    }
    auto read = QuestionBank(m_bank).rows("English");
    ASSERT_EQ(read.size(), 1u);
    ASSERT_TRUE(read[0].answers[0].has_value());
    EXPECT_EQ(*read[0].answers[0], "");
}

TEST_F(QuestionBankTest, FaultsAreTypedErrorsThatNameTheFile) {
    QuestionBank bank(m_bank);
    EXPECT_EQ(errorCode([&] { bank.tableNames(); }), ErrorCode::DbFileNotFound);
    EXPECT_NE(m_message.find(m_bank.string()), std::string::npos);
    EXPECT_NE(m_message.find("not found"), std::string::npos);

    {
        test::BankBuilder b(m_bank);
        b.addTable("English", test::BankBuilder::standardRows("English"));
        b.exec("CREATE TABLE Spanish (ID INTEGER, TestQuestion TEXT, ANSWER1 TEXT)");
        b.exec("CREATE TABLE Broken (ID TEXT, TestQuestion TEXT, QuestionAudio TEXT, ANSWER1, "
               "ANSWER2, ANSWER3, ANSWER4, ANSWER5, ChoiceAudio1, ChoiceAudio2, ChoiceAudio3, "
               "ChoiceAudio4, ChoiceAudio5)");
        b.exec("INSERT INTO Broken (ID, TestQuestion) VALUES ('7', 'x')");
        b.exec("INSERT INTO Broken (ID, TestQuestion) VALUES ('seven', 'x')");
    }
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
    EXPECT_NE(m_message.find("seven"), std::string::npos);

    EXPECT_EQ(errorCode([&] { bank.rows("English"); }), 0);
}

TEST_F(QuestionBankTest, AFileThatIsNoDatabaseIsRefusedClearly) {
    {
        std::ofstream out(m_bank);
        out << "this is a text file, not a question bank\n";
    }
    QuestionBank bank(m_bank);
    EXPECT_EQ(errorCode([&] { bank.tableNames(); }), ErrorCode::DbCannotOpen);
    EXPECT_NE(m_message.find(m_bank.string()), std::string::npos);
    EXPECT_EQ(errorCode([&] { bank.rows("English"); }), ErrorCode::DbCannotOpen);
}

} // namespace
