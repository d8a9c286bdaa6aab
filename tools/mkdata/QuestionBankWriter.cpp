#include "tools/mkdata/QuestionBankWriter.h"

#include "store/BankDatabase.h"
#include "store/OrvjError.h"
#include "store/platform/File.h"

#include <sqlite3.h>

#include <memory>
#include <system_error>

namespace orvj::mkdata {
namespace {

struct StmtFinalizer {
    void operator()(sqlite3_stmt* st) const { sqlite3_finalize(st); }
};
using Stmt = std::unique_ptr<sqlite3_stmt, StmtFinalizer>;

void check(int rc, sqlite3* db, const std::filesystem::path& file, const char* what) {
    if (rc != SQLITE_OK && rc != SQLITE_DONE && rc != SQLITE_ROW) {
        throw SourceError(file.string() + ": " + what + ": " + sqlite3_errmsg(db));
    }
}

void exec(sqlite3* db, const std::string& sql, const std::filesystem::path& file) {
    char* message = nullptr;
    int rc = sqlite3_exec(db, sql.c_str(), nullptr, nullptr, &message);
    if (rc != SQLITE_OK) {
        std::string text = message ? message : sqlite3_errstr(rc);
        sqlite3_free(message);
        throw SourceError(file.string() + ": " + text);
    }
}

void bindText(sqlite3_stmt* st, int index, const std::optional<std::string>& value) {
    if (value) {
        sqlite3_bind_text(st, index, value->c_str(), static_cast<int>(value->size()),
                          SQLITE_TRANSIENT);
    } else {
        sqlite3_bind_null(st, index);
    }
}

void writeTable(sqlite3* db, const std::filesystem::path& file, const std::string& name,
                const QuestionSource& source) {
    const auto& cols = questionColumns();
    std::string create = "CREATE TABLE \"" + name + "\" (ID INTEGER PRIMARY KEY";
    std::string insert = "INSERT INTO \"" + name + "\" VALUES (?";
    for (std::size_t c = 1; c < cols.size(); ++c) {
        create += std::string(", ") + cols[c] + " TEXT";
        insert += ", ?";
    }
    create += ")";
    insert += ")";
    exec(db, create, file);

    sqlite3_stmt* raw = nullptr;
    check(sqlite3_prepare_v2(db, insert.c_str(), -1, &raw, nullptr), db, file, "prepare");
    Stmt st(raw);
    for (const QuestionRow& row : source.rows) {
        sqlite3_reset(st.get());
        sqlite3_bind_int(st.get(), 1, row.id);
        bindText(st.get(), 2, row.question);
        bindText(st.get(), 3, row.questionAudio);
        for (int k = 0; k < 5; ++k) {
            bindText(st.get(), 4 + k, row.answers[static_cast<std::size_t>(k)]);
            bindText(st.get(), 9 + k, row.choiceAudio[static_cast<std::size_t>(k)]);
        }
        check(sqlite3_step(st.get()), db, file, ("insert into " + name).c_str());
    }
}

} // namespace

void writeQuestionBank(const std::filesystem::path& file,
                       const std::vector<std::pair<std::string, const QuestionSource*>>& tables) {
    // An empty file under a random name made exclusively beside the bank (an empty file opens
    // as a new database), so two runs, or a link planted under a fixed name, meet nothing.
    std::filesystem::path temp;
    try {
        platform::File made =
            platform::File::createTemporaryBeside(file, "cannot create the question bank", ".");
        temp = made.path();
        made.close("cannot create the question bank");
    } catch (const OrvjError& e) {
        throw SourceError(e.what());
    }
    std::error_code ignored;
    try {
        BankDatabase db;
        try {
            db = openBankDatabase(temp, BankAccess::Create);
        } catch (const OrvjError& e) {
            throw SourceError(e.what());
        }
        exec(db.get(), "BEGIN", temp);
        for (const auto& [name, source] : tables) {
            writeTable(db.get(), temp, name, *source);
        }
        exec(db.get(), "COMMIT", temp);
    } catch (...) {
        std::filesystem::remove(temp, ignored);
        throw;
    }
    try {
        platform::renameOver(temp, file, "cannot replace the file");
    } catch (const OrvjError& e) {
        std::filesystem::remove(temp, ignored);
        throw SourceError(e.what());
    }
}

} // namespace orvj::mkdata
