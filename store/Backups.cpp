#include "store/Backups.h"

#include "store/AuditTrail.h"
#include "store/ConfigFile.h"
#include "store/FileReplace.h"
#include "store/OrvjError.h"
#include "store/platform/File.h"

#include <algorithm>
#include <mutex>

namespace orvj {
namespace Backups {
namespace {

namespace fs = std::filesystem;

constexpr std::string_view kHead = "DATA301-";
constexpr std::string_view kTail = ".OVJ";
constexpr std::size_t kStampLength = 15; // YYYYMMDD-HHMMSS
constexpr std::uint64_t kMaxBytes = std::uint64_t{1} << 20;
constexpr std::size_t kRecord = ClientRecord::kSize;

std::mutex& optionsMutex() {
    static std::mutex m;
    return m;
}
Options& current() {
    static Options o;
    return o;
}

bool digits(std::string_view s) {
    return !s.empty() &&
           std::all_of(s.begin(), s.end(), [](char c) { return c >= '0' && c <= '9'; });
}

// The stamp and the number of a copy made in the same second as another (0 for the first).
struct NameParts {
    std::string stamp;
    int number = 0;
};

std::optional<NameParts> partsOf(const std::string& name) {
    if (name.size() < kHead.size() + kStampLength + kTail.size() ||
        name.compare(0, kHead.size(), kHead) != 0 ||
        name.compare(name.size() - kTail.size(), kTail.size(), kTail) != 0) {
        return std::nullopt;
    }
    const std::string_view middle =
        std::string_view(name).substr(kHead.size(), name.size() - kHead.size() - kTail.size());
    const std::string_view stamp = middle.substr(0, kStampLength);
    if (!digits(stamp.substr(0, 8)) || stamp[8] != '-' || !digits(stamp.substr(9, 6))) {
        return std::nullopt;
    }
    NameParts parts{std::string(stamp), 0};
    const std::string_view rest = middle.substr(kStampLength);
    if (!rest.empty()) {
        if (rest.size() < 2 || rest.size() > 4 || rest[0] != '-' || !digits(rest.substr(1))) {
            return std::nullopt;
        }
        parts.number = std::stoi(std::string(rest.substr(1)));
    }
    return parts;
}

std::string stampOf(std::time_t now) {
    const std::tm t = platform::localTime(now);
    char text[32] = {};
    std::strftime(text, sizeof text, "%Y%m%d-%H%M%S", &t);
    return text;
}

std::vector<std::pair<NameParts, fs::path>> copiesIn(const fs::path& folder) {
    std::vector<std::pair<NameParts, fs::path>> found;
    std::error_code ec;
    for (fs::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
        const auto parts = partsOf(it->path().filename().string());
        std::error_code sec;
        if (parts && fs::symlink_status(it->path(), sec).type() == fs::file_type::regular) {
            found.emplace_back(*parts, it->path());
        }
    }
    std::sort(found.begin(), found.end(), [](const auto& a, const auto& b) {
        return std::tie(a.first.stamp, a.first.number) > std::tie(b.first.stamp, b.first.number);
    });
    return found;
}

void requireFolder(const fs::path& folder) {
    std::error_code ec;
    const fs::file_status status = fs::symlink_status(folder, ec);
    if (status.type() == fs::file_type::not_found) {
        platform::makeFolder(folder, "cannot make the backup folder");
        return;
    }
    if (status.type() != fs::file_type::directory) {
        throw OrvjError(ErrorCode::BadFileName,
                        folder.string() + ": cannot make a backup of the client file: the name "
                                          "is no folder (a link or a file), and backups are "
                                          "never written through it");
    }
}

ClientRecord recordAt(const std::string& bytes, std::size_t k) {
    ClientRecord rec;
    const std::size_t at = (k - 1) * kRecord;
    if (at < bytes.size()) {
        std::copy_n(bytes.begin() + static_cast<std::ptrdiff_t>(at),
                    std::min(kRecord, bytes.size() - at), rec.bytes().begin());
    }
    return rec;
}

std::size_t recordsIn(const std::string& bytes) {
    return (bytes.size() + kRecord / 2) / kRecord;
}

} // namespace

Options optionsFrom(const ConfigFile& config, const fs::path& home) {
    Options o;
    const std::string folder = config.GetPrivateProfileString("Backup", "Folder", "", 260);
    if (!folder.empty()) {
        o.folder = resolveConfiguredFolder(home, folder);
    }
    const std::string keep = config.GetPrivateProfileString("Backup", "Keep", "", 10);
    if (digits(keep) && keep.size() <= 3 && std::stoi(keep) >= 1) {
        o.keep = std::stoi(keep);
    }
    return o;
}

void setOptions(Options options) {
    const std::lock_guard guard(optionsMutex());
    current() = std::move(options);
}

Options options() {
    const std::lock_guard guard(optionsMutex());
    return current();
}

fs::path folderFor(const fs::path& clientFile) {
    const Options o = options();
    return o.folder.empty() ? clientFile.parent_path() / "backups" : o.folder;
}

bool isBackupName(const std::string& fileName) {
    return partsOf(fileName).has_value();
}

std::vector<Backup> list(const fs::path& folder) {
    std::vector<Backup> out;
    for (const auto& [parts, file] : copiesIn(folder)) {
        const std::string& s = parts.stamp;
        out.push_back({file, s.substr(0, 4) + "-" + s.substr(4, 2) + "-" + s.substr(6, 2) + " " +
                                 s.substr(9, 2) + ":" + s.substr(11, 2) + ":" + s.substr(13, 2)});
    }
    return out;
}

bool madeOn(const fs::path& folder, std::time_t now) {
    const std::string day = stampOf(now).substr(0, 8);
    const auto copies = copiesIn(folder);
    return std::any_of(copies.begin(), copies.end(),
                       [&](const auto& c) { return c.first.stamp.compare(0, 8, day) == 0; });
}

fs::path make(const fs::path& folder, const std::string& bytes, std::time_t now, int keep) {
    requireFolder(folder);
    const std::string stamp = stampOf(now);
    // After the newest copy of the same second, so a name rotation freed is never reused.
    int number = 0;
    for (const auto& [parts, file] : copiesIn(folder)) {
        if (parts.stamp == stamp) {
            number = std::max(number, parts.number == 0 ? 1 : parts.number);
        }
    }
    const fs::path target =
        folder / (std::string(kHead) + stamp +
                  (number == 0 ? "" : "-" + std::to_string(number + 1)) + std::string(kTail));
    std::error_code ec;
    if (number >= 999 || fs::exists(fs::symlink_status(target, ec))) {
        throw OrvjError(ErrorCode::BadFileName,
                        target.string() + ": cannot make a backup of the client file: the name "
                                          "is taken");
    }
    replaceFileContent(target, bytes, "cannot make a backup of the client file");
    rotate(folder, keep);
    return target;
}

void rotate(const fs::path& folder, int keep) {
    const auto copies = copiesIn(folder);
    for (std::size_t i = static_cast<std::size_t>(std::max(keep, 1)); i < copies.size(); ++i) {
        platform::removeFile(copies[i].second);
    }
}

std::string read(const fs::path& backup) {
    const platform::File file =
        platform::File::open(backup, platform::File::Mode::Read, "cannot read the backup");
    return file.readAll(kMaxBytes, "cannot read the backup");
}

Difference compare(const std::string& backupBytes, const std::string& currentBytes) {
    Difference d;
    const std::size_t inBackup = recordsIn(backupBytes);
    const std::size_t now = recordsIn(currentBytes);
    d.clients = static_cast<int>(inBackup);
    for (std::size_t k = 1; k <= now; ++k) {
        const ClientRecord after = recordAt(currentBytes, k);
        if (k > inBackup) {
            d.added.push_back(static_cast<int>(k));
            continue;
        }
        const ClientRecord before = recordAt(backupBytes, k);
        if (before == after) {
            continue;
        }
        if (after.field(ClientRecord::Field::NameDeleted) !=
                before.field(ClientRecord::Field::NameDeleted) &&
            after.digit(ClientRecord::Field::NameDeleted) > 0) {
            d.namesDeleted.push_back(static_cast<int>(k));
        } else {
            d.changed.push_back(static_cast<int>(k));
        }
    }
    return d;
}

std::string describe(const Difference& d) {
    std::string out;
    const auto part = [&](const std::vector<int>& records, const std::string& what) {
        if (!records.empty()) {
            out += (out.empty() ? "" : "; ") + std::to_string(records.size()) + " " + what + " (" +
                   recordList(records) + ")";
        }
    };
    part(d.added, d.added.size() == 1 ? "client added" : "clients added");
    part(d.changed, "changed");
    part(d.namesDeleted, "names deleted");
    return out.empty() ? "the same as today's file" : out;
}

std::vector<std::string> scrubNames(const fs::path& folder,
                                    const std::function<bool(ClientRecord&)>& scramble) {
    std::vector<std::string> removed;
    for (const auto& [parts, file] : copiesIn(folder)) {
        try {
            std::string bytes = read(file);
            for (std::size_t k = 1; k * kRecord <= bytes.size(); ++k) {
                ClientRecord rec = recordAt(bytes, k);
                if (scramble(rec)) {
                    std::copy(rec.bytes().begin(), rec.bytes().end(),
                              bytes.begin() + static_cast<std::ptrdiff_t>((k - 1) * kRecord));
                }
            }
            // A part of a record at the end may hold a name too: it goes.
            bytes.resize(bytes.size() - bytes.size() % kRecord);
            replaceFileContent(file, bytes, "cannot delete the names in the backup");
        } catch (const std::exception&) {
            platform::removeFile(file);
            std::error_code ec;
            removed.push_back(fs::exists(fs::symlink_status(file, ec))
                                  ? file.string() + " still holds names and could not be removed"
                                  : file.string() + " could not be rewritten and was removed");
        }
    }
    return removed;
}

} // namespace Backups
} // namespace orvj
