#include "store/BankDatabase.h"

#include "store/OrvjError.h"

#include <sqlite3.h>

#include <system_error>
#include <utility>

namespace orvj {
namespace {

[[noreturn]] void cannotOpen(const std::filesystem::path& path, BankAccess access,
                             const std::string& reason) {
    throw OrvjError(ErrorCode::DbCannotOpen,
                    path.string() +
                        (access == BankAccess::Read ? ": the question bank cannot be opened: "
                                                    : ": the question bank cannot be created: ") +
                        reason);
}

} // namespace

void BankDatabaseCloser::operator()(sqlite3* db) const {
    sqlite3_close(db);
}

BankDatabase openBankDatabase(const std::filesystem::path& path, BankAccess access) {
    if (access == BankAccess::Read) {
        std::error_code ec;
        if (!std::filesystem::is_regular_file(path, ec)) {
            throw OrvjError(ErrorCode::DbFileNotFound,
                            path.string() + ": the question bank was not found");
        }
    }
    // No SQLITE_OPEN_NOFOLLOW: it refuses a path with a symbolic link anywhere in it (a home
    // folder on another disk), and a link gains nothing a replaced file would not.
    const int flags = access == BankAccess::Read ? SQLITE_OPEN_READONLY
                                                 : SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE;
    sqlite3* raw = nullptr;
    // SQLite takes the name in UTF-8; string() would be the ANSI code page on Windows.
    const std::u8string name = path.u8string();
    const int rc =
        sqlite3_open_v2(reinterpret_cast<const char*>(name.c_str()), &raw, flags, nullptr);
    BankDatabase db(raw);
    if (rc != SQLITE_OK) {
        cannotOpen(path, access, raw != nullptr ? sqlite3_errmsg(raw) : sqlite3_errstr(rc));
    }
    const std::pair<int, int> settings[] = {{SQLITE_DBCONFIG_DEFENSIVE, 1},
                                            {SQLITE_DBCONFIG_TRUSTED_SCHEMA, 0},
                                            {SQLITE_DBCONFIG_ENABLE_TRIGGER, 0},
                                            {SQLITE_DBCONFIG_ENABLE_VIEW, 0}};
    for (const auto& [option, value] : settings) {
        int now = -1;
        if (sqlite3_db_config(db.get(), option, value, &now) != SQLITE_OK || now != value) {
            cannotOpen(path, access, "the database engine refused a safety setting");
        }
    }
    sqlite3_limit(db.get(), SQLITE_LIMIT_LENGTH, kMaxBankValueBytes);
    // A damaged page is found when it is read, not after its cells were trusted.
    if (sqlite3_exec(db.get(), "PRAGMA cell_size_check = ON", nullptr, nullptr, nullptr) !=
        SQLITE_OK) {
        cannotOpen(path, access, sqlite3_errmsg(db.get()));
    }
    return db;
}

} // namespace orvj
