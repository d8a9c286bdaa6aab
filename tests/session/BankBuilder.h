#pragma once

#include "core/InventoryLayout.h"
#include "store/QuestionBank.h"

#include <sqlite3.h>

#include <filesystem>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

namespace orvj::test {

using Tables = std::vector<std::pair<std::string, std::vector<QuestionRow>>>;

// The 143 rows of a language with option texts shaped like each section's answer format.
inline std::vector<QuestionRow> standardRows(const std::string& language) {
    static const std::vector<std::string> texts[] = {
        {},
        {"True", "False"},
        {"Very Often Calm", "Often Calm", "Can't Decide", "Often Tense", "Very Often Tense"},
        {"Rare or Never", "Sometimes", "Often", "Very Often"},
        {"Yes", "No"},
        {"I am fine.", "I am mostly fine.", "I struggle.", "I struggle a lot."}};
    std::vector<QuestionRow> rows(InventoryLayout::kItemCount);
    for (int id = 1; id <= InventoryLayout::kItemCount; ++id) {
        QuestionRow& r = rows[static_cast<std::size_t>(id - 1)];
        r.id = id;
        r.testQuestion = language + " question " + std::to_string(id);
        const std::string number = std::to_string(id);
        r.questionAudio = "Q" + std::string(3 - number.size(), '0') + number;
        const auto& t = texts[InventoryLayout::sectionOf(id)];
        for (std::size_t k = 0; k < t.size(); ++k) {
            r.answers[k] = t[k];
            r.choiceAudio[k] = r.questionAudio + "A" + std::to_string(k + 1);
        }
    }
    return rows;
}

// Writes a question bank holding the tables in the order given, then runs `moreSql`.
inline void writeBank(const std::filesystem::path& path, const Tables& tables,
                      const std::vector<std::string>& moreSql = {}) {
    std::filesystem::remove(path);
    sqlite3* db = nullptr;
    sqlite3_open(path.c_str(), &db);
    const std::unique_ptr<sqlite3, int (*)(sqlite3*)> closer(db, sqlite3_close);
    auto exec = [db](const std::string& sql) {
        if (sqlite3_exec(db, sql.c_str(), nullptr, nullptr, nullptr) != SQLITE_OK) {
            throw std::runtime_error(sql + ": " + sqlite3_errmsg(db));
        }
    };
    exec("BEGIN");
    for (const auto& [name, rows] : tables) {
        exec("CREATE TABLE \"" + name +
             "\" (ID INTEGER, TestQuestion TEXT, QuestionAudio TEXT, ANSWER1 TEXT, ANSWER2 TEXT, "
             "ANSWER3 TEXT, ANSWER4 TEXT, ANSWER5 TEXT, ChoiceAudio1 TEXT, ChoiceAudio2 TEXT, "
             "ChoiceAudio3 TEXT, ChoiceAudio4 TEXT, ChoiceAudio5 TEXT)");
        for (const auto& r : rows) {
            // Options that are not there are NULL.
            auto a = [&r](std::size_t k) { return r.answers[k] ? r.answers[k]->c_str() : nullptr; };
            auto c = [&r](std::size_t k) {
                return r.choiceAudio[k].empty() ? nullptr : r.choiceAudio[k].c_str();
            };
            char* sql = sqlite3_mprintf(
                "INSERT INTO \"%w\" VALUES (%d, %Q, %Q, %Q, %Q, %Q, %Q, %Q, %Q, %Q, %Q, %Q, %Q)",
                name.c_str(), r.id, r.testQuestion.c_str(), r.questionAudio.c_str(), a(0), a(1),
                a(2), a(3), a(4), c(0), c(1), c(2), c(3), c(4));
            exec(sql);
            sqlite3_free(sql);
        }
    }
    for (const auto& sql : moreSql) {
        exec(sql);
    }
    exec("COMMIT");
}

} // namespace orvj::test
