#include "StoreTestSupport.h"

#include "store/BankDatabase.h"
#include "store/QuestionBank.h"
#include "tests/session/BankBuilder.h"

#include <sqlite3.h>

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
// two.
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

// An ID is range-checked as it is stored (integer, real or text), before it becomes a number
// of the program: values far outside 16 bits, infinities and fractions are refused with the
// file, table and row named; the edges of the range are items.
TEST_F(QuestionBankTest, AnIdOutsideSixteenBitsIsRefusedWhateverItsStoredType) {
    const std::vector<std::string> bad = {
        "1e300",         "-1e300", "9e999",  "-9e999",     "2.5",
        "32768.0",       "32768",  "-32769", "4294967297", "9223372036854775807",
        "'99999999999'", "'12 '",  "'0x10'", "X'31'",      "'+-3'"};
    std::vector<std::string> sql;
    std::string columns = "ID, TestQuestion, QuestionAudio, ANSWER1, ANSWER2, ANSWER3, ANSWER4, "
                          "ANSWER5, ChoiceAudio1, ChoiceAudio2, ChoiceAudio3, ChoiceAudio4, "
                          "ChoiceAudio5";
    const std::vector<std::string> good = {"32767.0", "-32768", "' +12'", "'7'", "7.0"};
    sql.push_back("CREATE TABLE Good (" + columns + ")");
    for (const auto& value : good) {
        sql.push_back("INSERT INTO Good (ID) VALUES (" + value + ")");
    }
    for (std::size_t i = 0; i < bad.size(); ++i) {
        const std::string name = "Bad" + std::to_string(i);
        sql.push_back("CREATE TABLE " + name + " (" + columns + ")");
        sql.push_back("INSERT INTO " + name + " (ID) VALUES (7), (" + bad[i] + ")");
    }
    test::writeBank(m_bank, {}, sql);
    const QuestionBank bank(m_bank);

    std::vector<int> ids;
    for (const auto& row : bank.rows("Good")) {
        ids.push_back(row.id);
    }
    EXPECT_EQ(ids, (std::vector<int>{32767, -32768, 12, 7, 7}));
    for (std::size_t i = 0; i < bad.size(); ++i) {
        const std::string name = "Bad" + std::to_string(i);
        std::string what;
        EXPECT_EQ(errorOf([&] { bank.rows(name); }, &what), ErrorCode::TypeMismatch) << bad[i];
        EXPECT_EQ(what.rfind(m_bank.string() + ": row 2 of the table \"" + name + "\"", 0), 0u)
            << what;
    }
}

// The bank is opened read-only with the engine's defences on, for every reader and for
// orvj-mkdata's new banks; an oversized text is refused rather than loaded.
TEST_F(QuestionBankTest, TheBankIsOpenedReadOnlyWithTheEngineDefencesOn) {
    auto rows = test::standardRows("English");
    rows[4].testQuestion.assign(static_cast<std::size_t>(kMaxBankValueBytes) + 1, 'x');
    test::writeBank(m_bank, {{"English", rows}});

    for (const BankAccess access : {BankAccess::Read, BankAccess::Create}) {
        const auto path = access == BankAccess::Read ? m_bank : m_dir / "new.db";
        const BankDatabase db = openBankDatabase(path, access);
        for (const auto& [option, expected] :
             std::vector<std::pair<int, int>>{{SQLITE_DBCONFIG_DEFENSIVE, 1},
                                              {SQLITE_DBCONFIG_TRUSTED_SCHEMA, 0},
                                              {SQLITE_DBCONFIG_ENABLE_TRIGGER, 0},
                                              {SQLITE_DBCONFIG_ENABLE_VIEW, 0}}) {
            int now = -1;
            sqlite3_db_config(db.get(), option, -1, &now);
            EXPECT_EQ(now, expected) << "option " << option;
        }
        const int rc = sqlite3_exec(db.get(), "CREATE TABLE Extra (a)", nullptr, nullptr, nullptr);
        EXPECT_EQ(rc == SQLITE_OK, access == BankAccess::Create);
    }

    std::string what;
    EXPECT_EQ(errorOf([&] { QuestionBank(m_bank).rows("English"); }, &what),
              ErrorCode::DbCannotOpen);
    EXPECT_EQ(what.rfind(m_bank.string() + ": ", 0), 0u) << what;
}

} // namespace
