#include "store/ClientFile.h"

#include "store/ClientFileLock.h"
#include "store/FileReplace.h"
#include "store/OrvjError.h"
#include "store/platform/File.h"

#include <algorithm>

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

std::string readAll(const File& file, const std::string& what) {
    std::string bytes(static_cast<std::size_t>(file.size(what)), '\0');
    bytes.resize(file.readAt(0, bytes.data(), bytes.size(), what));
    return bytes;
}

} // namespace

std::filesystem::path ClientFile::pendingPath() const {
    return m_path.parent_path() / ("." + m_path.filename().string() + ".new");
}

ClientFile::LoadReport ClientFile::load(ClientTable& table) const {
    requireFolder(m_path);
    // Opened for reading and writing, as the offices' program always did: a missing file is
    // created empty, and a write-protected one is reported now rather than at the first save.
    const File file = File::open(m_path, File::Mode::ReadWriteCreate,
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
    const ClientFileLock lock(m_path, m_lockWait);

    // The file as it is now, under the lock: another program may have written since.
    const std::filesystem::path target = followLink(m_path);
    // Opened for writing although only read here: a write-protected client file is refused
    // as before, not silently replaced by the rename below.
    const std::string bytes =
        readAll(File::open(target, File::Mode::ReadWriteCreate,
                           "cannot open the client file to write record " + number),
                "cannot read the client file to write record " + number);
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

    replaceFileContent(target, pendingPath(), updated, "cannot write record " + number);

    // The table now takes what the file holds.
    WriteOutcome outcome;
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

} // namespace orvj
