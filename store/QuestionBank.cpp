#include "store/QuestionBank.h"

#include "store/BankDatabase.h"
#include "store/OrvjError.h"

#include <sqlite3.h>

#include <cctype>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <limits>
#include <memory>
#include <optional>
#include <set>

namespace orvj {
namespace {

constexpr std::array<const char*, 13> kFields = {
    "ID",           "TestQuestion", "QuestionAudio", "ANSWER1",      "ANSWER2",
    "ANSWER3",      "ANSWER4",      "ANSWER5",       "ChoiceAudio1", "ChoiceAudio2",
    "ChoiceAudio3", "ChoiceAudio4", "ChoiceAudio5"};

std::string describe(const std::filesystem::path& p, const std::string& what) {
    return p.string() + ": " + what;
}

struct StmtFinalizer {
    void operator()(sqlite3_stmt* s) const { sqlite3_finalize(s); }
};
using Stmt = std::unique_ptr<sqlite3_stmt, StmtFinalizer>;

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

// An item number is a 16-bit whole number, stored as an integer, a real or a text ("12").
// Every range is checked on the stored value itself, before it becomes an int.
std::optional<int> itemIdOf(sqlite3_stmt* stmt, int column) {
    constexpr auto kMin = std::numeric_limits<std::int16_t>::min();
    constexpr auto kMax = std::numeric_limits<std::int16_t>::max();
    switch (sqlite3_column_type(stmt, column)) {
    case SQLITE_INTEGER: {
        const sqlite3_int64 v = sqlite3_column_int64(stmt, column);
        if (v < kMin || v > kMax) {
            return std::nullopt;
        }
        return static_cast<int>(v);
    }
    case SQLITE_FLOAT: {
        const double v = sqlite3_column_double(stmt, column);
        if (!std::isfinite(v) || v < kMin || v > kMax || v != std::trunc(v)) {
            return std::nullopt;
        }
        return static_cast<int>(v);
    }
    case SQLITE_TEXT: {
        const std::string text = textOf(stmt, column);
        // Leading blanks and a plus sign are allowed, as in a number typed into a cell.
        const char* first = text.data();
        const char* last = text.data() + text.size();
        while (first != last && std::isspace(static_cast<unsigned char>(*first))) {
            ++first;
        }
        if (last - first > 1 && *first == '+' && first[1] != '-') {
            ++first;
        }
        std::int16_t v = 0;
        const auto [end, ec] = std::from_chars(first, last, v);
        if (ec != std::errc() || end != last) {
            return std::nullopt;
        }
        return v;
    }
    default:
        return std::nullopt;
    }
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
    const BankDatabase db = openBankDatabase(m_path, BankAccess::Read);
    return listTables(db.get(), m_path);
}

std::vector<QuestionRow> QuestionBank::rows(const std::string& table) const {
    const BankDatabase db = openBankDatabase(m_path, BankAccess::Read);
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
        const auto id = itemIdOf(s, 0);
        if (!id) {
            throw OrvjError(ErrorCode::TypeMismatch,
                            describe(m_path, "row " + std::to_string(rows.size() + 1) +
                                                 " of the table \"" + table +
                                                 "\" has an ID that is not a whole number from " +
                                                 "-32768 to 32767: \"" + textOf(s, 0) + "\""));
        }
        row.id = *id;
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
