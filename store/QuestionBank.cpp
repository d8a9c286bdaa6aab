#include "store/QuestionBank.h"

#include "store/OrvjError.h"

#include <sqlite3.h>

#include <memory>
#include <set>
#include <system_error>

namespace orvj {
namespace {

constexpr std::array<const char*, 13> kFields = {
    "ID",           "TestQuestion", "QuestionAudio", "ANSWER1",      "ANSWER2",
    "ANSWER3",      "ANSWER4",      "ANSWER5",       "ChoiceAudio1", "ChoiceAudio2",
    "ChoiceAudio3", "ChoiceAudio4", "ChoiceAudio5"};

std::string describe(const std::filesystem::path& p, const std::string& what) {
    return p.string() + ": " + what;
}

struct DbCloser {
    void operator()(sqlite3* db) const { sqlite3_close(db); }
};
struct StmtFinalizer {
    void operator()(sqlite3_stmt* s) const { sqlite3_finalize(s); }
};
using Db = std::unique_ptr<sqlite3, DbCloser>;
using Stmt = std::unique_ptr<sqlite3_stmt, StmtFinalizer>;

Db openBank(const std::filesystem::path& path) {
    std::error_code ec;
    if (!std::filesystem::is_regular_file(path, ec)) {
        throw OrvjError(ErrorCode::DbFileNotFound,
                        describe(path, "the question bank was not found"));
    }
    sqlite3* raw = nullptr;
    const int rc = sqlite3_open_v2(path.c_str(), &raw, SQLITE_OPEN_READONLY, nullptr);
    Db db(raw);
    if (rc != SQLITE_OK) {
        throw OrvjError(
            ErrorCode::DbCannotOpen,
            describe(path, std::string("the question bank cannot be opened: ") +
                               (raw != nullptr ? sqlite3_errmsg(raw) : sqlite3_errstr(rc))));
    }
    return db;
}

Stmt prepare(sqlite3* db, const std::filesystem::path& path, const std::string& sql) {
    sqlite3_stmt* raw = nullptr;
    if (sqlite3_prepare_v2(db, sql.c_str(), -1, &raw, nullptr) != SQLITE_OK) {
        throw OrvjError(
            ErrorCode::DbCannotOpen,
            describe(path, std::string("the question bank cannot be read: ") + sqlite3_errmsg(db)));
    }
    return Stmt(raw);
}

// Steps a statement; a fault (a damaged file, not a database at all) becomes an OrvjError.
bool step(sqlite3* db, sqlite3_stmt* stmt, const std::filesystem::path& path) {
    const int rc = sqlite3_step(stmt);
    if (rc == SQLITE_ROW) {
        return true;
    }
    if (rc == SQLITE_DONE) {
        return false;
    }
    throw OrvjError(
        ErrorCode::DbCannotOpen,
        describe(path, std::string("the question bank cannot be read: ") + sqlite3_errmsg(db)));
}

std::string quoted(const std::string& name) {
    std::string out = "\"";
    for (char c : name) {
        out.push_back(c);
        if (c == '"') {
            out.push_back('"');
        }
    }
    out.push_back('"');
    return out;
}

std::string textOf(sqlite3_stmt* stmt, int column) {
    const auto* text = sqlite3_column_text(stmt, column);
    if (text == nullptr) {
        return {};
    }
    return {reinterpret_cast<const char*>(text),
            static_cast<std::size_t>(sqlite3_column_bytes(stmt, column))};
}

std::vector<std::string> listTables(sqlite3* db, const std::filesystem::path& path) {
    // rowid order of the schema table is the order the tables were created in.
    Stmt stmt =
        prepare(db, path, "SELECT name FROM sqlite_master WHERE type = 'table' ORDER BY rowid");
    std::vector<std::string> names;
    while (step(db, stmt.get(), path)) {
        names.push_back(textOf(stmt.get(), 0));
    }
    return names;
}

} // namespace

std::vector<std::string> QuestionBank::tableNames() const {
    Db db = openBank(m_path);
    return listTables(db.get(), m_path);
}

std::vector<QuestionRow> QuestionBank::rows(const std::string& table) const {
    Db db = openBank(m_path);
    bool found = false;
    for (const auto& name : listTables(db.get(), m_path)) {
        found = found || name == table;
    }
    if (!found) {
        throw OrvjError(ErrorCode::DbNoTable,
                        describe(m_path, "the question bank holds no table \"" + table + "\""));
    }

    std::set<std::string> columns;
    {
        Stmt info = prepare(db.get(), m_path, "PRAGMA table_info(" + quoted(table) + ")");
        while (step(db.get(), info.get(), m_path)) {
            columns.insert(textOf(info.get(), 1));
        }
    }
    std::string missing;
    for (const char* field : kFields) {
        if (columns.count(field) == 0) {
            missing += missing.empty() ? "" : ", ";
            missing += field;
        }
    }
    if (!missing.empty()) {
        throw OrvjError(
            ErrorCode::DbNoField,
            describe(m_path, "the table \"" + table + "\" lacks the field(s) " + missing));
    }

    std::string sql = "SELECT ";
    for (std::size_t i = 0; i < kFields.size(); ++i) {
        sql += (i == 0 ? "" : ", ") + quoted(kFields[i]);
    }
    sql += " FROM " + quoted(table);
    Stmt stmt = prepare(db.get(), m_path, sql);

    std::vector<QuestionRow> rows;
    while (step(db.get(), stmt.get(), m_path)) {
        sqlite3_stmt* s = stmt.get();
        QuestionRow row;
        const int idType = sqlite3_column_type(s, 0);
        double idValue = sqlite3_column_double(s, 0);
        bool whole = idType == SQLITE_INTEGER ||
                     (idType == SQLITE_FLOAT && idValue == static_cast<int>(idValue));
        if (idType == SQLITE_TEXT) {
            // A number stored as text ("12") still names the item.
            const std::string text = textOf(s, 0);
            std::size_t used = 0;
            try {
                idValue = std::stoi(text, &used);
                whole = used == text.size();
            } catch (const std::exception&) {
                whole = false;
            }
        }
        whole = whole && idValue >= -32768 && idValue <= 32767;
        if (!whole) {
            throw OrvjError(ErrorCode::TypeMismatch,
                            describe(m_path, "row " + std::to_string(rows.size() + 1) +
                                                 " of the table \"" + table +
                                                 "\" has an ID that is not a whole number: \"" +
                                                 textOf(s, 0) + "\""));
        }
        row.id = static_cast<int>(idValue);
        row.testQuestion = textOf(s, 1);
        row.questionAudio = textOf(s, 2);
        for (int k = 0; k < 5; ++k) {
            const auto idx = static_cast<std::size_t>(k);
            const bool isNull = sqlite3_column_type(s, 3 + k) == SQLITE_NULL;
            if (!isNull || k < 2) {
                row.answers[idx] = textOf(s, 3 + k);
            }
            row.choiceAudio[idx] = textOf(s, 8 + k);
        }
        rows.push_back(std::move(row));
    }
    return rows;
}

} // namespace orvj
