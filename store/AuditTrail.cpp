#include "store/AuditTrail.h"

#include "store/ClientFileLock.h"
#include "store/FileReplace.h"
#include "store/OrvjError.h"
#include "store/platform/File.h"

#include <sodium.h>

#include <algorithm>
#include <array>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <mutex>

namespace orvj {
namespace {

using platform::File;

constexpr std::size_t kFields = 10; // nine described fields and the hash
constexpr std::size_t kHashHex = 64;
constexpr std::size_t kMaxField = 80;
// How much of the trail's end an append reads to find the last line: far more than a line.
constexpr std::size_t kTailBytes = 64 * 1024;
const std::string kChainStart(kHashHex, '0');

std::mutex& programMutex() {
    static std::mutex m;
    return m;
}
std::string& programName() {
    static std::string name = std::string("orvj ") + ORVJ_VERSION;
    return name;
}

void startSodium() {
    if (::sodium_init() < 0) {
        throw OrvjError(ErrorCode::DeviceIO,
                        "the audit trail cannot be written: libsodium cannot be started");
    }
}

std::string hexOf(const unsigned char* data, std::size_t n) {
    static constexpr char kDigits[] = "0123456789abcdef";
    std::string out;
    out.reserve(n * 2);
    for (std::size_t i = 0; i < n; ++i) {
        out += kDigits[data[i] >> 4];
        out += kDigits[data[i] & 0x0F];
    }
    return out;
}

std::string blake2b(std::string_view bytes, std::size_t length) {
    startSodium();
    std::array<unsigned char, crypto_generichash_BYTES_MAX> out{};
    ::crypto_generichash(out.data(), length, reinterpret_cast<const unsigned char*>(bytes.data()),
                         bytes.size(), nullptr, 0);
    return hexOf(out.data(), length);
}

// A line's hash: over the hash of the line before it and the line's own fields.
std::string chainHash(const std::string& previous, std::string_view body) {
    std::string input = previous;
    input += '\n';
    input += body;
    return blake2b(input, crypto_generichash_BYTES);
}

bool validUtf8(std::string_view s) {
    for (std::size_t i = 0; i < s.size();) {
        const auto c = static_cast<unsigned char>(s[i]);
        const std::size_t n = c < 0x80         ? 1
                              : (c >> 5) == 6  ? 2
                              : (c >> 4) == 14 ? 3
                              : (c >> 3) == 30 ? 4
                                               : 0;
        if (n == 0 || i + n > s.size()) {
            return false;
        }
        for (std::size_t k = 1; k < n; ++k) {
            if ((static_cast<unsigned char>(s[i + k]) & 0xC0) != 0x80) {
                return false;
            }
        }
        i += n;
    }
    return true;
}

// A field as a line holds it: no tab, line break or other control byte, valid UTF-8 (other
// bytes become "?"), at most kMaxField bytes, "-" when empty.
std::string field(std::string_view raw) {
    const bool utf8 = validUtf8(raw);
    std::string out;
    for (char ch : raw) {
        const auto c = static_cast<unsigned char>(ch);
        out += c < 0x20 || c == 0x7F ? ' ' : (c >= 0x80 && !utf8) ? '?' : ch;
    }
    if (out.size() > kMaxField) {
        std::size_t cut = kMaxField;
        while (cut > 0 && (static_cast<unsigned char>(out[cut]) & 0xC0) == 0x80) {
            --cut;
        }
        out.resize(cut);
    }
    return out.empty() ? "-" : out;
}

std::string userName() {
    for (const char* name : {"USER", "USERNAME", "LOGNAME"}) {
        if (const char* v = std::getenv(name); v != nullptr && *v != '\0') {
            return v;
        }
    }
    return platform::userId();
}

std::string utcNow() {
    using namespace std::chrono;
    const auto now = floor<seconds>(system_clock::now());
    const auto day = floor<days>(now);
    const year_month_day ymd{day};
    const hh_mm_ss<seconds> t{now - day};
    char text[32] = {};
    std::snprintf(text, sizeof text, "%04d-%02u-%02uT%02d:%02d:%02dZ", static_cast<int>(ymd.year()),
                  static_cast<unsigned>(ymd.month()), static_cast<unsigned>(ymd.day()),
                  static_cast<int>(t.hours().count()), static_cast<int>(t.minutes().count()),
                  static_cast<int>(t.seconds().count()));
    return text;
}

struct Parsed {
    AuditLine line;
    std::string_view body; // everything before the hash
    std::string hash;
};

std::optional<Parsed> parseLine(std::string_view text) {
    const auto parts = splitAuditText(text, '\t');
    if (parts.size() != kFields || parts[0].empty() || parts[0].size() > 19 ||
        parts[9].size() != kHashHex) {
        return std::nullopt;
    }
    Parsed p;
    for (char c : parts[0]) {
        if (c < '0' || c > '9') {
            return std::nullopt;
        }
        p.line.seq = p.line.seq * 10 + static_cast<std::uint64_t>(c - '0');
    }
    for (char c : parts[9]) {
        if (!((c >= '0' && c <= '9') || (c >= 'a' && c <= 'f'))) {
            return std::nullopt;
        }
    }
    p.line.time = parts[1];
    p.line.pc = parts[2];
    p.line.user = parts[3];
    p.line.program = parts[4];
    p.line.event = parts[5];
    p.line.records = parts[6];
    p.line.detail = parts[7];
    p.line.fileHash = parts[8];
    p.body = text.substr(0, text.size() - kHashHex - 1);
    p.hash = parts[9];
    return p;
}

struct Written {
    std::string text;
    std::string hash;
};

Written makeLine(std::uint64_t seq, const std::string& previous, const AuditEntry& entry,
                 const std::string& fileHashValue) {
    std::string program;
    {
        const std::lock_guard guard(programMutex());
        program = programName();
    }
    std::string body = std::to_string(seq) + '\t' + utcNow() + '\t' +
                       field(platform::computerName()) + '\t' + field(userName()) + '\t' +
                       field(program) + '\t' + std::string(auditEventName(entry.event)) + '\t' +
                       field(entry.records) + '\t' + field(entry.detail) + '\t' +
                       (fileHashValue.empty() ? "-" : fileHashValue);
    Written w;
    w.hash = chainHash(previous, body);
    w.text = body + '\t' + w.hash + '\n';
    return w;
}

// Where an append goes on from: the last whole line's hash and number, and whether the file
// ends in a torn line (or a line that is no trail line).
struct Tail {
    std::string previous = kChainStart;
    std::uint64_t seq = 0;
    bool broken = false; // the last line is torn or no trail line: a new segment begins
    bool torn = false;   // the file does not end with a line end
    std::optional<AuditLine> last;
};

Tail readTail(const File& file, const std::string& what) {
    Tail tail;
    const std::uint64_t size = file.size(what);
    if (size == 0) {
        return tail;
    }
    const std::size_t n = static_cast<std::size_t>(std::min<std::uint64_t>(size, kTailBytes));
    std::string bytes(n, '\0');
    bytes.resize(file.readAt(size - n, bytes.data(), n, what));
    const bool torn = bytes.empty() || bytes.back() != '\n';
    tail.torn = torn;
    const std::size_t end = torn ? bytes.rfind('\n') : bytes.size() - 1;
    if (end == std::string::npos) {
        // No whole line in the tail: a lone torn first line, or a damaged file.
        tail.broken = true;
        return tail;
    }
    const std::size_t before = end == 0 ? std::string::npos : bytes.rfind('\n', end - 1);
    if (before == std::string::npos && n < size) {
        tail.broken = true; // a last line longer than any the program writes
        return tail;
    }
    const std::size_t from = before == std::string::npos ? 0 : before + 1;
    const auto parsed = parseLine(std::string_view(bytes).substr(from, end - from));
    if (!parsed) {
        tail.broken = true;
        return tail;
    }
    tail.previous = parsed->hash;
    tail.seq = parsed->line.seq;
    tail.last = parsed->line;
    tail.broken = torn;
    return tail;
}

std::string failureDetail(std::uint64_t seq, const std::string& why) {
    return "line " + std::to_string(seq) + ": " + why;
}

void writeLines(File& file, const std::string& text, const std::string& what) {
    file.seekToEnd(what);
    file.writeAll(text.data(), text.size(), what);
    file.flush(what + " (flushing it to the disk failed)");
    file.close(what + " (closing it failed)");
}

} // namespace

AuditTrail::AuditTrail(const std::filesystem::path& clientFile)
    : m_clientFile(clientFile), m_path(clientFile.parent_path() / kFileName) {}

void AuditTrail::setProgram(std::string program) {
    const std::lock_guard guard(programMutex());
    programName() = std::move(program);
}

std::string AuditTrail::fileHash(std::string_view bytes) {
    return blake2b(bytes, 16);
}

std::uint64_t AuditTrail::appendLocked(const AuditEntry& entry, const std::string* fileAfter,
                                       const std::string& fileNow) const {
    return appendLocked(std::vector<AuditEntry>{entry}, fileAfter, fileNow);
}

std::uint64_t AuditTrail::appendLocked(const std::vector<AuditEntry>& entries,
                                       const std::string* fileAfter,
                                       const std::string& fileNow) const {
    const std::string what = "cannot write the audit trail";
    File file = File::open(m_path, File::Mode::ReadWriteCreate, what);
    Tail tail = readTail(file, what);
    std::string text;
    const auto add = [&](const AuditEntry& e, const std::string& hash) {
        const Written w = makeLine(++tail.seq, tail.previous, e, hash);
        text += w.text;
        tail.previous = w.hash;
    };
    if (tail.broken) {
        // The torn line stays as it is; the chain goes on from the last whole line, and the
        // new segment says where it begins.
        text += tail.torn ? "\n" : "";
        add({AuditEvent::TrailResumed, "", "after a torn line"}, "");
    } else if (tail.last && tail.last->fileHash != "-" &&
               tail.last->fileHash != fileHash(fileNow)) {
        add({AuditEvent::ChangeFailed, tail.last->records,
             failureDetail(tail.last->seq, "the client file does not hold this change")},
            "");
    }
    for (const AuditEntry& entry : entries) {
        add(entry, fileAfter != nullptr ? fileHash(*fileAfter) : "");
    }
    writeLines(file, text, what);
    return tail.seq;
}

void AuditTrail::appendFailureLocked(std::uint64_t first, std::uint64_t last,
                                     const std::string& records,
                                     const std::string& fileNow) const noexcept {
    try {
        const std::string lines =
            first == last ? "line " + std::to_string(last)
                          : "lines " + std::to_string(first) + "-" + std::to_string(last);
        appendLocked({AuditEvent::ChangeFailed, records, lines + ": the change was not saved"},
                     nullptr, fileNow);
    } catch (...) {
        // The next append finds the change missing from the client file and says so.
    }
}

void AuditTrail::record(const AuditEntry& entry, std::chrono::milliseconds wait) const {
    const std::filesystem::path target =
        resolveOwnLink(m_clientFile, "cannot write the audit trail");
    const ClientFileLock lock(target, wait);
    std::string now;
    try {
        now = File::open(target, File::Mode::Read, "cannot read the client file")
                  .readAll(std::uint64_t{1} << 20, "cannot read the client file");
    } catch (const OrvjError&) {
        now.clear(); // no client file yet
    }
    appendLocked(entry, nullptr, now);
}

AuditRead AuditTrail::read() const {
    std::error_code ec;
    if (!std::filesystem::exists(std::filesystem::symlink_status(m_path, ec))) {
        return {};
    }
    const File file = File::open(m_path, File::Mode::Read, "cannot read the audit trail");
    return parse(file.readAll(kMaxBytes, "cannot read the audit trail"));
}

AuditRead AuditTrail::parse(std::string_view bytes) {
    AuditRead out;
    std::vector<std::string_view> lines = splitAuditText(bytes, '\n');
    const bool endsWhole = lines.back().empty();
    if (endsWhole) {
        lines.pop_back();
    }
    std::vector<std::optional<Parsed>> parsed;
    parsed.reserve(lines.size());
    for (std::string_view text : lines) {
        parsed.push_back(parseLine(text));
    }
    const auto chainsFrom = [&](std::size_t i, const std::string& previous, std::uint64_t seq) {
        return i < parsed.size() && parsed[i] && parsed[i]->line.seq == seq &&
               chainHash(previous, parsed[i]->body) == parsed[i]->hash;
    };
    const auto fail = [&](std::size_t i, const std::string& problem) {
        out.check.intact = false;
        out.check.badLine = static_cast<int>(i + 1);
        out.check.problem = problem;
    };

    std::string previous = kChainStart;
    std::uint64_t expected = 1;
    const auto resumesAt = [&](std::size_t i) {
        return chainsFrom(i, previous, expected) &&
               parsed[i]->line.event == auditEventName(AuditEvent::TrailResumed);
    };
    for (std::size_t i = 0; i < parsed.size() && out.check.intact; ++i) {
        const std::string number = std::to_string(i + 1);
        if (resumesAt(i + 1)) {
            // A torn line (whole but for its line end, or cut short), closed by the next
            // append: the chain goes on from the line before it.
            ++out.check.resumedAfterTorn;
            continue;
        }
        if (chainsFrom(i, previous, expected)) {
            previous = parsed[i]->hash;
            ++expected;
            continue;
        }
        if (i + 1 == parsed.size() && !endsWhole) {
            fail(i, "line " + number + " is torn: the program stopped while writing it");
        } else if (chainsFrom(i + 1, previous, expected)) {
            fail(i, "line " + number + " was inserted");
        } else if (parsed[i] && parsed[i]->line.seq > expected) {
            fail(i, "a line was removed before line " + number);
        } else {
            fail(i, "line " + number + " was changed");
        }
    }
    if (out.check.intact && !endsWhole) {
        fail(parsed.size() - 1, "line " + std::to_string(parsed.size()) +
                                    " is torn: the program stopped while writing it");
    }

    std::map<std::uint64_t, std::size_t> bySeq;
    for (std::size_t i = 0; i < parsed.size(); ++i) {
        if (!parsed[i]) {
            continue;
        }
        AuditLine line = parsed[i]->line;
        line.line = static_cast<int>(i + 1);
        if (line.event == auditEventName(AuditEvent::ChangeFailed)) {
            // "line 5: ..." or "lines 5-6: ..."
            const bool many = line.detail.rfind("lines ", 0) == 0;
            if (many || line.detail.rfind("line ", 0) == 0) {
                char* end = nullptr;
                const std::uint64_t from =
                    std::strtoull(line.detail.c_str() + (many ? 6 : 5), &end, 10);
                const std::uint64_t to =
                    many && *end == '-' ? std::strtoull(end + 1, nullptr, 10) : from;
                for (std::uint64_t s = from; s <= to && s < line.seq; ++s) {
                    if (const auto it = bySeq.find(s); it != bySeq.end()) {
                        out.lines[it->second].failed = true;
                    }
                }
            }
        }
        bySeq[line.seq] = out.lines.size();
        out.lines.push_back(std::move(line));
    }
    return out;
}

} // namespace orvj
