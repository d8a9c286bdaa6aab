#pragma once

#include "core/ClientTable.h"
#include "store/AuditTrail.h"

#include <chrono>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace orvj {
namespace platform {
class File;
}
class ClientFileLock;

// DATA301.OVJ: fixed 196-byte records, no header, record numbers from 1.
class ClientFile : public RecordWriter {
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

    // Reads the file as load() does but opens it for reading only and never creates it, so a
    // data set on a write-protected folder (an archive on a read-only share or disc) can be
    // reported. A missing file throws OrvjError naming it.
    LoadReport loadReadOnly(ClientTable& table) const;

    using WriteOutcome = RecordWriter::Outcome;

    // Writes slot k of the table to the client file, under the client file's lock and after
    // reading the file as it is now; only that record changes in the file.
    // - A slot past the table's clients (a new client) takes the next free record of the file,
    //   which is slot k unless another program has added clients meanwhile; the table's
    //   clientCount is left for the caller to count the new test.
    // - Records the file holds that differ from the table (another program's changes) are
    //   taken into the table.
    // The new file is written whole beside the old one, flushed and renamed over it, so a
    // failed or interrupted write leaves the file exactly as it was. On a fault throws
    // OrvjError and leaves the table as it was.
    WriteOutcome writeRecord(ClientTable& table, int slot) const override;

    // Replaces the whole file with `bytes` (a client file built elsewhere), under the lock and
    // through the same safe replace as writeRecord; an office's own link is kept. `entry` is
    // what the audit trail says of it (a copy is always made first when it is a restore).
    void replaceAll(const std::string& bytes,
                    const AuditEntry& entry = {AuditEvent::ClientEdited, "",
                                               "file replaced"}) const;

    // What the audit trail says of the next writes: the event and a word on it ("on-screen,
    // completed"); the changed fields and items are added to it. Without it a write is
    // "client added" or "client edited".
    void setAuditEvent(AuditEvent event, std::string detail = {}) {
        m_event = event;
        m_eventDetail = std::move(detail);
    }

    // Copies the client file to the backups now, under the lock, and records the copy in the
    // audit trail with `why` ("before name deletion"). Returns the copy; nothing for a
    // missing or empty file. Throws OrvjError naming what could not be written.
    std::filesystem::path backupNow(const std::string& why) const;

    // Fields and items that differ between two records: "fields Name, Age; items 3, 17-19".
    static std::string describeChange(const ClientRecord& before, const ClientRecord& after);

    // How long a write waits for another program's lock before giving up (10 seconds).
    void setLockWait(std::chrono::milliseconds wait) { m_lockWait = wait; }

    // Runs in every write once the file has been read under the lock, before the new file is
    // written: where tests stop a save half-way, as a hung or stopped PC would.
    void setBeforeReplace(std::function<void()> hook) { m_beforeReplace = std::move(hook); }

    // True for the temporaries a write prepares beside the client file.
    bool isTemporaryName(const std::string& fileName) const;

private:
    LoadReport readInto(const platform::File& file, ClientTable& table) const;
    // Under the lock: the backup a change needs, its trail line, the replace, and a line
    // saying so when the replace fails.
    void commit(const ClientFileLock& lock, const std::filesystem::path& target,
                const std::string& before, const std::string& after,
                const std::vector<AuditEntry>& entries, bool backupFirst,
                const std::function<void()>& beforeRename) const;

    std::filesystem::path m_path;
    std::chrono::milliseconds m_lockWait{10000};
    std::function<void()> m_beforeReplace;
    std::optional<AuditEvent> m_event;
    std::string m_eventDetail;
};

} // namespace orvj
