#pragma once

#include <filesystem>
#include <memory>

struct sqlite3;

namespace orvj {

struct BankDatabaseCloser {
    void operator()(sqlite3* db) const;
};
using BankDatabase = std::unique_ptr<sqlite3, BankDatabaseCloser>;

enum class BankAccess { Read, Create };

// The largest text or row a bank may hold; question texts are a few hundred bytes.
constexpr int kMaxBankValueBytes = 1'000'000;

// Opens a question bank file for the program, the inventory installer and orvj-mkdata alike.
// A bank may come from anyone who can write to the program folder or a data disk, so its
// schema is never trusted: defensive mode (no writes to the schema or through it), no
// functions or virtual tables of the schema that are not marked harmless, no triggers or
// views, and no value larger than kMaxBankValueBytes. Read opens an existing file
// read-only; Create makes a new file. Throws OrvjError naming the file.
BankDatabase openBankDatabase(const std::filesystem::path& path, BankAccess access);

} // namespace orvj
