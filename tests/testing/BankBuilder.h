#pragma once

#include "store/QuestionBank.h"
#include "testing/TestLayout.h"

#include <sqlite3.h>

#include <filesystem>
#include <stdexcept>
#include <string>
#include <vector>

namespace orvj::test {

// Writes small question banks for the tests: tables of rows shaped like the inventory's
// sections, in the table order they are added.
class BankBuilder {
public:
    explicit BankBuilder(std::filesystem::path path) : m_path(std::move(path)) {
        std::filesystem::remove(m_path);
        if (sqlite3_open(m_path.c_str(), &m_db) != SQLITE_OK) {
            throw std::runtime_error("cannot create " + m_path.string());
        }
    }
    ~BankBuilder() { sqlite3_close(m_db); }
    BankBuilder(const BankBuilder&) = delete;
    BankBuilder& operator=(const BankBuilder&) = delete;

    // The 143 rows of a language, answer texts by section as the sample bank has them.
    static std::vector<QuestionRow> standardRows(const std::string& language) {
        std::vector<QuestionRow> rows;
        for (int id = 1; id <= TestLayout::kItemCount; ++id) {
            QuestionRow r;
            r.id = id;
            r.testQuestion = language + " question " + std::to_string(id);
            r.questionAudio = stem(id);
            std::vector<std::string> texts;
            switch (TestLayout::sectionOf(id)) {
            case 1:
                texts = {"True", "False"};
                break;
            case 2:
                texts = {"Very Often Calm", "Often Calm", "Can't Decide", "Often Tense",
                         "Very Often Tense"};
                break;
            case 3:
                texts = {"Rare or Never", "Sometimes", "Often", "Very Often"};
                break;
            case 4:
                texts = {"Yes", "No"};
                break;
            default:
                texts = {"I am fine.", "I am mostly fine.", "I struggle.", "I struggle a lot."};
                break;
            }
            for (std::size_t k = 0; k < texts.size(); ++k) {
                r.answers[k] = texts[k];
                r.choiceAudio[k] = stem(id) + "A" + std::to_string(k + 1);
            }
            rows.push_back(r);
        }
        return rows;
    }

    static std::string stem(int id) {
        std::string digits = std::to_string(id);
        return "Q" + std::string(3 - digits.size(), '0') + digits;
    }

    void addTable(const std::string& name, const std::vector<QuestionRow>& rows) {
        exec("CREATE TABLE \"" + name +
             "\" (ID INTEGER, TestQuestion TEXT, QuestionAudio TEXT, ANSWER1 TEXT, ANSWER2 TEXT, "
             "ANSWER3 TEXT, ANSWER4 TEXT, ANSWER5 TEXT, ChoiceAudio1 TEXT, ChoiceAudio2 TEXT, "
             "ChoiceAudio3 TEXT, ChoiceAudio4 TEXT, ChoiceAudio5 TEXT)");
        sqlite3_stmt* s = nullptr;
        const std::string sql = "INSERT INTO \"" + name + "\" VALUES (?,?,?,?,?,?,?,?,?,?,?,?,?)";
        sqlite3_prepare_v2(m_db, sql.c_str(), -1, &s, nullptr);
        exec("BEGIN");
        for (const auto& r : rows) {
            sqlite3_reset(s);
            sqlite3_bind_int(s, 1, r.id);
            bindText(s, 2, r.testQuestion);
            bindText(s, 3, r.questionAudio);
            for (int k = 0; k < 5; ++k) {
                const auto& a = r.answers[static_cast<std::size_t>(k)];
                if (a) {
                    bindText(s, 4 + k, *a);
                } else {
                    sqlite3_bind_null(s, 4 + k);
                }
                const auto& audio = r.choiceAudio[static_cast<std::size_t>(k)];
                if (audio.empty()) {
                    sqlite3_bind_null(s, 9 + k);
                } else {
                    bindText(s, 9 + k, audio);
                }
            }
            sqlite3_step(s);
        }
        exec("COMMIT");
        sqlite3_finalize(s);
    }

    void exec(const std::string& sql) {
        char* err = nullptr;
        if (sqlite3_exec(m_db, sql.c_str(), nullptr, nullptr, &err) != SQLITE_OK) {
            std::string msg = err != nullptr ? err : "?";
            sqlite3_free(err);
            throw std::runtime_error(sql + ": " + msg);
        }
    }

private:
    static void bindText(sqlite3_stmt* s, int i, const std::string& t) {
        sqlite3_bind_text(s, i, t.c_str(), static_cast<int>(t.size()), SQLITE_TRANSIENT);
    }

    std::filesystem::path m_path;
    sqlite3* m_db = nullptr;
};

} // namespace orvj::test
