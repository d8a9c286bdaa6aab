#include "store/ClientFile.h"

#include "store/Backups.h"
#include "store/ClientFileLock.h"
#include "store/FileReplace.h"
#include "store/OrvjError.h"
#include "store/platform/File.h"

#include <algorithm>
#include <ctime>

namespace orvj {
namespace {

using platform::File;

constexpr std::size_t kRecord = ClientRecord::kSize;

std::string describe(const std::filesystem::path& p, const std::string& what) {
    return p.string() + ": " + what;
}

const ClientRecord::Field kDigitFields[] = {
    ClientRecord::Field::Gender, ClientRecord::Field::Race, ClientRecord::Field::Education,
    ClientRecord::Field::EditCount, ClientRecord::Field::NameDeleted};

void requireFolder(const std::filesystem::path& file) {
    const std::filesystem::path folder = file.parent_path();
    std::error_code ec;
    if (!folder.empty() && !std::filesystem::is_directory(folder, ec)) {
        throw OrvjError(ErrorCode::PathNotFound,
                        describe(file, "the data folder " + folder.string() + " does not exist"));
    }
}

// The whole number nearest to length / 196: a trailing half record or more counts as a
// record and reads space-padded.
std::size_t recordsIn(std::size_t length) {
    return (length + kRecord / 2) / kRecord;
}

// Record k (from 1) of the file's bytes; the missing part of a short last record is spaces.
ClientRecord recordOf(const std::string& bytes, std::size_t k) {
    ClientRecord rec;
    const std::size_t at = (k - 1) * kRecord;
    if (at < bytes.size()) {
        const std::size_t n = std::min(kRecord, bytes.size() - at);
        std::copy_n(bytes.begin() + static_cast<std::ptrdiff_t>(at), n, rec.bytes().begin());
    }
    return rec;
}

// Far more than the 51 clients of a client file; a larger file (a sparse one that claims
// gigabytes) is refused before it is read.
constexpr std::uint64_t kMaxClientFileBytes = 1 << 20;

std::string readAll(const File& file, const std::string& what) {
    return file.readAll(kMaxClientFileBytes, what);
}

// Under the lock only the lock's holder writes temporaries beside the client file: any found
// then were left by a program that stopped or lost its lock, and hold client names.
void removeAbandonedTemporaries(const std::filesystem::path& target) {
    const std::string name = target.filename().string();
    std::error_code ec;
    for (std::filesystem::directory_iterator it(target.parent_path(), ec), end; !ec && it != end;
         it.increment(ec)) {
        const std::string found = it->path().filename().string();
        if (isReplaceTemporary(found, name) || found == "." + name + ".new") {
            platform::removeFile(it->path());
        }
    }
}

// The bytes of a trailing part of a record that a new record is about to take the place of,
// kept in a file of their own beside the client file. Returns that file.
std::filesystem::path keepFragment(const std::filesystem::path& target, const std::string& bytes) {
    const std::tm now = platform::localTime(std::time(nullptr));
    char stamp[32] = {};
    std::strftime(stamp, sizeof stamp, "%Y%m%d-%H%M%S", &now);
    const std::string what = "cannot keep the incomplete last record of the client file";
    File out = File::createTemporaryBeside(
        target.parent_path() / (target.filename().string() + ".fragment-" + stamp), what);
    out.copyPermissionsFrom(target);
    out.writeAll(bytes.data(), bytes.size(), what);
    out.flush(what);
    out.close(what);
    return out.path();
}

} // namespace

bool ClientFile::isTemporaryName(const std::string& fileName) const {
    return isReplaceTemporary(fileName, m_path.filename().string());
}

ClientFile::LoadReport ClientFile::load(ClientTable& table) const {
    requireFolder(m_path);
    // Opened for reading and writing, as the offices' program always did: a missing file is
    // created empty, and a write-protected one is reported now rather than at the first save.
    const std::filesystem::path target = resolveOwnLink(m_path, "cannot open the client file");
    const File file = File::open(target, File::Mode::ReadWriteCreate,
                                 "cannot open the client file for reading and writing");
    return readInto(file, table);
}

ClientFile::LoadReport ClientFile::loadReadOnly(ClientTable& table) const {
    requireFolder(m_path);
    const File file = File::open(m_path, File::Mode::Read, "cannot open the client file");
    return readInto(file, table);
}

ClientFile::LoadReport ClientFile::readInto(const platform::File& file, ClientTable& table) const {
    const std::string bytes = readAll(file, "cannot read the client file");
    std::size_t records = recordsIn(bytes.size());

    LoadReport report;
    report.recordsInFile = static_cast<int>(records);
    report.partialLastRecord = bytes.size() % kRecord != 0;
    if (records > static_cast<std::size_t>(ClientTable::kMaxClients)) {
        report.overflow = true;
        records = ClientTable::kMaxClients;
    }

    ClientTable fresh;
    for (std::size_t k = 1; k <= records; ++k) {
        const ClientRecord rec = recordOf(bytes, k);
        for (auto f : kDigitFields) {
            std::string_view v = rec.field(f);
            if (v[0] != ' ' && (v[0] < '0' || v[0] > '9')) {
                report.fieldProblems.push_back("record " + std::to_string(k) + ": field " +
                                               ClientRecord::layout(f).name + " holds \"" +
                                               std::string(v) + "\", not a digit");
            }
        }
        fresh.records[k] = rec;
    }
    fresh.clientCount = static_cast<std::int16_t>(records);
    fresh.currentClient = records > 0 ? 1 : 0;
    table = fresh;
    return report;
}

ClientFile::WriteOutcome ClientFile::writeRecord(ClientTable& table, int slot) const {
    if (slot < 1 || slot > ClientTable::kMaxClients) {
        throw OrvjError(ErrorCode::BadFileName,
                        describe(m_path, "record number " + std::to_string(slot) +
                                             " is outside 1 to " +
                                             std::to_string(ClientTable::kMaxClients)));
    }
    requireFolder(m_path);
    const std::string number = std::to_string(slot);
    // An office's own link is locked and replaced where its file is, so that two folders
    // linking one file share one lock and a file on another file system can be replaced.
    const std::filesystem::path target = resolveOwnLink(m_path, "cannot write record " + number);
    const ClientFileLock lock(target, m_lockWait);
    removeAbandonedTemporaries(target);

    // The file as it is now, under the lock: another program may have written since.
    // Opened for writing although only read here: a write-protected client file is refused
    // as before, not silently replaced by the rename below.
    const File current = File::open(target, File::Mode::ReadWriteCreate,
                                    "cannot open the client file to write record " + number);
    const platform::FileIdentity readIdentity = current.identity();
    const std::string bytes =
        readAll(current, "cannot read the client file to write record " + number);
    const std::size_t inFile =
        std::min(recordsIn(bytes.size()), static_cast<std::size_t>(ClientTable::kMaxClients));

    // A client past the table's count is new: it goes after the last client of the file and
    // of the table, so it takes no record another program has stored meanwhile.
    const std::size_t counted = static_cast<std::size_t>(std::max<int>(table.clientCount, 0));
    const bool isNew = slot > table.clientCount;
    const std::size_t at = isNew ? std::max(inFile, counted) + 1 : static_cast<std::size_t>(slot);
    if (at > static_cast<std::size_t>(ClientTable::kMaxClients)) {
        throw OrvjError(ErrorCode::SubscriptOutOfRange,
                        describe(m_path, "the client file already holds " +
                                             std::to_string(ClientTable::kMaxClients) +
                                             " clients, so no new client can be added; use a "
                                             "new data folder"));
    }

    // Only this record's bytes change; everything else, a short tail or records past the
    // 51st included, is kept as the file holds it. A file that has lost records the table
    // still holds (cut short or replaced) gets them back from the table rather than a gap.
    const ClientRecord& mine = table.at(slot);
    std::string updated = bytes;
    if (updated.size() < at * kRecord) {
        updated.resize(at * kRecord, ' ');
        for (std::size_t k = inFile + 1; k < at; ++k) {
            const auto& gap = table.records[k].bytes();
            std::copy(gap.begin(), gap.end(),
                      updated.begin() + static_cast<std::ptrdiff_t>((k - 1) * kRecord));
        }
    }
    std::copy(mine.bytes().begin(), mine.bytes().end(),
              updated.begin() + static_cast<std::ptrdiff_t>((at - 1) * kRecord));

    // A part of a record at the end (a file cut short) that the new record takes the place of
    // is kept beside the file rather than lost.
    WriteOutcome outcome;
    const std::size_t tail = bytes.size() % kRecord;
    if (tail != 0 && bytes.size() < at * kRecord && tail < kRecord / 2) {
        const std::filesystem::path kept = keepFragment(target, bytes.substr(bytes.size() - tail));
        outcome.notice = "The client file " + m_path.string() + " ended in " +
                         std::to_string(tail) +
                         " bytes that were not a whole record. They were kept in " + kept.string() +
                         " before the new client took their place.";
    }

    // Just before the rename: a save may only replace the file it read, under a lock that
    // is still its own. A program stopped mid-save whose lock a supervisor deleted would
    // otherwise undo what others saved meanwhile.
    const auto stillMine = [&] {
        if (!lock.stillHeld()) {
            throw OrvjError(ErrorCode::FileLocked,
                            m_path.string() + ": record " + number +
                                " was not saved: the client file's lock (" +
                                ClientFileLock::lockPathFor(target).string() +
                                ") was deleted or taken over while this program was saving, so "
                                "another program may have saved meanwhile. Nothing was written; "
                                "try again.");
        }
        bool same = false;
        try {
            const File now = File::open(target, File::Mode::Read, "cannot read the client file");
            same = now.identity() == readIdentity &&
                   readAll(now, "cannot read the client file") == bytes;
        } catch (const OrvjError&) {
            same = false;
        }
        if (!same) {
            throw OrvjError(ErrorCode::FileLocked,
                            m_path.string() + ": record " + number +
                                " was not saved: another program changed the client file while "
                                "this program was saving. Nothing was written; try again.");
        }
    };
    // A new client's stored test is two events: the client added, with what was filled in,
    // and the test stored.
    const std::string changed = describeChange(recordOf(bytes, at), mine);
    std::vector<AuditEntry> entries;
    const AuditEvent event =
        m_event.value_or(isNew ? AuditEvent::ClientAdded : AuditEvent::ClientEdited);
    std::string detail = m_eventDetail;
    if (event == AuditEvent::TestStored) {
        const std::string_view answers = mine.field(ClientRecord::Field::Responses);
        const auto open = std::count(answers.begin(), answers.end(), '0');
        detail +=
            std::string(detail.empty() ? "" : ", ") +
            (open == 0 ? "completed" : "not completed (" + std::to_string(open) + " unanswered)");
        if (isNew) {
            entries.push_back({AuditEvent::ClientAdded, std::to_string(at), changed});
        } else if (!changed.empty()) {
            detail += "; " + changed;
        }
    } else if (!changed.empty()) {
        detail += (detail.empty() ? "" : "; ") + changed;
    }
    entries.push_back({event, std::to_string(at), detail});
    commit(lock, target, bytes, updated, entries, false, stillMine);

    // The table now takes what the file holds.
    outcome.slot = static_cast<int>(at);
    ClientTable next = table;
    const std::size_t lastInFile = std::max(inFile, at);
    for (std::size_t k = 1; k <= lastInFile; ++k) {
        next.records[k] = k == at ? mine : recordOf(updated, k);
        if (k != static_cast<std::size_t>(slot) && !(next.records[k] == table.records[k])) {
            outcome.reloaded = true;
        }
    }
    if (isNew && at != static_cast<std::size_t>(slot) &&
        static_cast<std::size_t>(slot) > lastInFile) {
        next.records[static_cast<std::size_t>(slot)].clear();
    }
    next.clientCount = static_cast<std::int16_t>(std::max(counted, isNew ? inFile : lastInFile));
    if (counted < inFile) {
        outcome.reloaded = true;
    }
    if (table.currentClient == slot) {
        next.currentClient = static_cast<std::int16_t>(at);
    }
    if (outcome.slot != slot) {
        outcome.reloaded = true;
    }
    table = next;
    return outcome;
}

void ClientFile::replaceAll(const std::string& bytes, const AuditEntry& entry) const {
    requireFolder(m_path);
    const std::filesystem::path target = resolveOwnLink(m_path, "cannot replace the client file");
    const ClientFileLock lock(target, m_lockWait);
    removeAbandonedTemporaries(target);
    std::string before;
    {
        const File current = File::open(target, File::Mode::ReadWriteCreate,
                                        "cannot open the client file to replace it");
        before = readAll(current, "cannot read the client file to replace it");
    }
    commit(lock, target, before, bytes, {entry}, entry.event == AuditEvent::BackupRestored, [&] {
        if (!lock.stillHeld()) {
            throw OrvjError(ErrorCode::FileLocked,
                            m_path.string() +
                                ": the client file was not replaced: its lock was deleted or "
                                "taken over meanwhile. Nothing was written; try again.");
        }
    });
}

void ClientFile::commit([[maybe_unused]] const ClientFileLock& lock,
                        const std::filesystem::path& target,
                        [[maybe_unused]] const std::string& before, const std::string& after,
                        const std::vector<AuditEntry>& entries, [[maybe_unused]] bool backupFirst,
                        const std::function<void()>& beforeRename) const {
    const std::string& records = entries.back().records;
    const std::string what = records.empty() ? std::string("cannot replace the client file")
                                             : "cannot write record " + records;
#ifdef ORVJ_HAVE_SODIUM
    // The trail and the copies go first: a change never reaches the file without its line,
    // and never on a day without a copy of the file as it was.
    const AuditTrail trail(m_path);
    std::uint64_t first = 0;
    std::uint64_t last = 0;
    try {
        const std::filesystem::path backups = Backups::folderFor(m_path);
        const std::time_t now = std::time(nullptr);
        if (!before.empty() && (backupFirst || !Backups::madeOn(backups, now))) {
            const auto copy = Backups::make(backups, before, now, Backups::options().keep);
            trail.appendLocked({AuditEvent::BackupMade, "", copy.filename().string()}, nullptr,
                               before);
        }
        last = trail.appendLocked(entries, &after, before);
        first = last + 1 - entries.size();
    } catch (const OrvjError& e) {
        // Reported like a failed save: nothing was changed.
        throw OrvjError(e.code(),
                        describe(m_path, what + ": nothing was changed, because " + e.what()));
    }
#endif
    try {
        if (m_beforeReplace) {
            m_beforeReplace();
        }
        replaceFileContent(target, after, what, beforeRename);
    } catch (...) {
#ifdef ORVJ_HAVE_SODIUM
        if (lock.stillHeld()) {
            trail.appendFailureLocked(first, last, records, before);
        }
#endif
        throw;
    }
}

std::filesystem::path ClientFile::backupNow(const std::string& why) const {
    std::filesystem::path copy;
#ifdef ORVJ_HAVE_SODIUM
    std::error_code ec;
    if (!std::filesystem::is_directory(m_path.parent_path(), ec)) {
        return copy; // no data folder, nothing to copy
    }
    const std::filesystem::path target = resolveOwnLink(m_path, "cannot make a backup");
    const ClientFileLock lock(target, m_lockWait);
    std::string bytes;
    {
        if (!std::filesystem::exists(target, ec)) {
            return copy;
        }
        const File current = File::open(target, File::Mode::Read, "cannot make a backup");
        bytes = readAll(current, "cannot make a backup");
    }
    if (bytes.empty()) {
        return copy;
    }
    copy = Backups::make(Backups::folderFor(m_path), bytes, std::time(nullptr),
                         Backups::options().keep);
    AuditTrail(m_path).appendLocked(
        {AuditEvent::BackupMade, "", copy.filename().string() + ", " + why}, nullptr, bytes);
#else
    static_cast<void>(why);
#endif
    return copy;
}

std::string ClientFile::describeChange(const ClientRecord& before, const ClientRecord& after) {
    using F = ClientRecord::Field;
    std::string fields;
    std::vector<int> items;
    for (F f : {F::Name, F::SSN, F::Age, F::Gender, F::Race, F::Education, F::TestDate,
                F::Responses, F::EditCount, F::NameDeleted}) {
        const std::string_view was = before.field(f);
        const std::string_view is = after.field(f);
        if (was == is) {
            continue;
        }
        if (f == F::Responses) {
            for (std::size_t i = 0; i < is.size(); ++i) {
                if (was[i] != is[i]) {
                    items.push_back(static_cast<int>(i + 1));
                }
            }
        } else {
            fields +=
                (fields.empty() ? "fields " : ", ") + std::string(ClientRecord::layout(f).name);
        }
    }
    if (!items.empty()) {
        fields += (fields.empty() ? "" : "; ") +
                  std::string(items.size() == 1 ? "item " : "items ") + recordList(items);
    }
    return fields;
}

} // namespace orvj
