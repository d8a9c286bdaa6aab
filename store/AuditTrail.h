#pragma once

#include <chrono>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace orvj {

// What the audit trail records. The names are the texts written into the trail.
enum class AuditEvent {
    ClientAdded,
    ClientEdited,
    TestStored,
    VerificationCorrections,
    TestAborted,
    NamesDeleted,
    DataFolderSwitched,
    DataFolderStarted,
    InventoryInstalled,
    VoiceFilesInstalled,
    SecretCodeChanged,
    ReportViewed,
    ReportPrinted,
    ReportSavedAsPdf,
    CsvExported,
    BackupMade,
    BackupRestored,
    ChangeFailed, // a change an earlier line announced did not reach the client file
    TrailResumed, // the first line after a torn one: a new segment of the chain
};

std::string_view auditEventName(AuditEvent event);

// One event as a caller describes it: the record numbers ("3", "1-7", or empty) and what
// changed (field names and item numbers only, never a name, ID, answer or score).
struct AuditEntry {
    AuditEvent event = AuditEvent::ClientEdited;
    std::string records;
    std::string detail;
};

// One line of the trail as read back.
struct AuditLine {
    int line = 0;          // line number in the file, from 1
    std::uint64_t seq = 0; // the line's own count in the chain
    std::string time;      // UTC, "2026-12-08T04:55:00Z"
    std::string pc;
    std::string user;
    std::string program;
    std::string event;
    std::string records;
    std::string detail;
    std::string fileHash; // the client file after the change, "-" for events that change none
    bool failed = false;  // a later line says this line's change did not reach the file

    bool mentionsRecord(int record) const;
};

// The chain's state: intact, or the first line that breaks it and how.
struct AuditCheck {
    bool intact = true;
    int badLine = 0;          // the first line that breaks the chain, 0 when intact
    std::string problem;      // "line 12 was changed", ...; empty when intact
    int resumedAfterTorn = 0; // torn lines a later append closed with a new segment
};

struct AuditRead {
    std::vector<AuditLine> lines; // every line that could be read, in file order
    AuditCheck check;
};

// DATA301.LOG beside the client file: an append-only UTF-8 text file, one line per event,
// each line carrying a BLAKE2b hash over the line and the hash of the line before it, so a
// changed, removed or inserted line breaks the chain. Every append is made under the client
// file's lock, so programs sharing a data folder append in turn.
class AuditTrail {
public:
    static constexpr const char* kFileName = "DATA301.LOG";
    // A trail larger than this is refused unread.
    static constexpr std::uint64_t kMaxBytes = std::uint64_t{256} << 20;

    explicit AuditTrail(const std::filesystem::path& clientFile);

    const std::filesystem::path& path() const { return m_path; }

    // What every line names as the program ("orvj 3.1.0"); set once by each program.
    static void setProgram(std::string program);

    // Appends `entry`; the caller holds the client file's lock. `fileAfter` is the client
    // file as the change will leave it (none for events that change no file); the line
    // carries its hash, so that a change that never reached the file can be told later.
    // `fileNow` is the client file as it is now: when the last line announced a change the
    // file does not hold (its program stopped before the rename), a line saying so goes
    // first. A torn last line is closed and a new, marked segment begun. Returns the new
    // line's sequence number. Throws OrvjError naming the trail when it cannot be written.
    std::uint64_t appendLocked(const AuditEntry& entry, const std::string* fileAfter,
                               const std::string& fileNow) const;
    // The lines of one change, in one write; returns the last one's number.
    std::uint64_t appendLocked(const std::vector<AuditEntry>& entries, const std::string* fileAfter,
                               const std::string& fileNow) const;

    // Says that the change of lines `first` to `last` failed; the caller holds the lock.
    // Never throws: when even this cannot be written, the next append finds the change
    // missing.
    void appendFailureLocked(std::uint64_t first, std::uint64_t last, const std::string& records,
                             const std::string& fileNow) const noexcept;

    // Takes the client file's lock (waiting at most `wait`) and appends an event that
    // changes no file.
    void record(const AuditEntry& entry,
                std::chrono::milliseconds wait = std::chrono::milliseconds(10000)) const;

    // The whole trail with its chain checked; a missing trail is empty and intact.
    AuditRead read() const;

    // The trail's bytes read and checked, for a trail held in memory.
    static AuditRead parse(std::string_view bytes);

    // The short hash a line names the client file by.
    static std::string fileHash(std::string_view bytes);

private:
    std::filesystem::path m_clientFile;
    std::filesystem::path m_path;
};

// The parts of `text` between the `sep` characters: one more than there are separators.
std::vector<std::string_view> splitAuditText(std::string_view text, char sep);

// Record numbers as a trail line writes them: "3", "1-3, 7".
std::string recordList(const std::vector<int>& records);

} // namespace orvj
