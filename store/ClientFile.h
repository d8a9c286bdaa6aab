#pragma once

#include "store/ClientTable.h"

#include <filesystem>
#include <string>
#include <vector>

namespace orvj {

// DATA301.OVJ: fixed 196-byte records, no header, record numbers from 1.
class ClientFile {
public:
    static constexpr const char* kFileName = "DATA301.OVJ";

    explicit ClientFile(std::filesystem::path path) : m_path(std::move(path)) {}

    const std::filesystem::path& path() const { return m_path; }

    struct LoadReport {
        int recordsInFile = 0; // whole number nearest to length / 196
        bool overflow = false; // the file holds more than 51 records; only 51 were loaded
        bool partialLastRecord = false;
        std::vector<std::string> fieldProblems; // one line per one-digit field that holds no digit
    };

    // Reads the whole file into slots 1..n; a missing file is created empty. Sets clientCount
    // and currentClient (1 when there are clients, else 0). Throws OrvjError (53 file not
    // found is never raised for the file itself; 76 when the folder is missing, 70 when the
    // file cannot be created or read for lack of permission, 57 on a read fault).
    LoadReport load(ClientTable& table) const;

    // Writes slot k as record k, in place, then flushes it to disk. The file grows when k is
    // past its end. Throws OrvjError; on a fault the file keeps what it had.
    void writeRecord(const ClientTable& table, int slot) const;

private:
    std::filesystem::path m_path;
};

} // namespace orvj
