#include "store/ConfigFile.h"

#include "store/Cp1252.h"
#include "store/FileReplace.h"
#include "store/OrvjError.h"
#include "store/platform/File.h"

#include <algorithm>
#include <fstream>
#include <iterator>
#include <vector>

namespace orvj {
namespace {

bool isBlank(char c) {
    return c == ' ' || c == '\t';
}

std::string_view trimBlanks(std::string_view s) {
    // A byte-order mark from an editor that saved the file as UTF-8.
    if (s.substr(0, 3) == "\xEF\xBB\xBF") {
        s.remove_prefix(3);
    }
    while (!s.empty() && isBlank(s.front())) {
        s.remove_prefix(1);
    }
    while (!s.empty() && isBlank(s.back())) {
        s.remove_suffix(1);
    }
    return s;
}

char lowerAscii(char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

bool sameName(std::string_view a, std::string_view b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return lowerAscii(x) == lowerAscii(y);
           });
}

bool isValidUtf8(std::string_view s) {
    std::size_t i = 0;
    while (i < s.size()) {
        const auto c = static_cast<unsigned char>(s[i]);
        std::size_t extra = 0;
        if (c < 0x80) {
            extra = 0;
        } else if ((c & 0xE0) == 0xC0 && c >= 0xC2) {
            extra = 1;
        } else if ((c & 0xF0) == 0xE0) {
            extra = 2;
        } else if ((c & 0xF8) == 0xF0 && c <= 0xF4) {
            extra = 3;
        } else {
            return false;
        }
        if (extra > 0 && i + extra >= s.size()) {
            return false;
        }
        for (std::size_t k = 1; k <= extra; ++k) {
            if ((static_cast<unsigned char>(s[i + k]) & 0xC0) != 0x80) {
                return false;
            }
        }
        i += extra + 1;
    }
    return true;
}

// The first `count` characters: code points when the text is UTF-8 (a hand-edited file on
// this system), bytes otherwise (a Windows-1252 file from an office PC).
std::string firstCharacters(std::string_view s, std::size_t count) {
    if (!isValidUtf8(s)) {
        return std::string(s.substr(0, count));
    }
    std::size_t i = 0;
    std::size_t chars = 0;
    while (i < s.size() && chars < count) {
        const auto c = static_cast<unsigned char>(s[i]);
        std::size_t len = c < 0x80 ? 1 : (c & 0xE0) == 0xC0 ? 2 : (c & 0xF0) == 0xE0 ? 3 : 4;
        i += len;
        ++chars;
    }
    return std::string(s.substr(0, i));
}

struct Line {
    std::string text; // without its line ending
    std::string eol;  // "\r\n", "\n"; for the last line also "\r" (a lone CR) or "" (none)
    // A line that another line may follow as the file stands.
    bool ended() const { return eol == "\n" || eol == "\r\n"; }
};

std::vector<Line> splitLines(const std::string& content) {
    std::vector<Line> lines;
    std::size_t start = 0;
    while (start < content.size()) {
        std::size_t nl = content.find('\n', start);
        if (nl == std::string::npos) {
            // A CR at the very end of the file ends the last line, as it ends every other.
            const bool cr = content.back() == '\r';
            lines.push_back(
                {content.substr(start, content.size() - start - (cr ? 1 : 0)), cr ? "\r" : ""});
            break;
        }
        std::size_t end = nl;
        std::string eol = "\n";
        if (end > start && content[end - 1] == '\r') {
            --end;
            eol = "\r\n";
        }
        lines.push_back({content.substr(start, end - start), eol});
        start = nl + 1;
    }
    return lines;
}

// "[Name]" gives Name; anything else gives false.
bool sectionHeader(std::string_view line, std::string_view& name) {
    std::string_view t = trimBlanks(line);
    if (t.empty() || t.front() != '[') {
        return false;
    }
    std::size_t close = t.find(']');
    if (close == std::string_view::npos) {
        return false;
    }
    name = trimBlanks(t.substr(1, close - 1));
    return true;
}

// "key=value" gives key and the raw value; comments and lines without "=" give false.
bool keyLine(std::string_view line, std::string_view& key, std::string_view& value) {
    std::string_view t = trimBlanks(line);
    if (t.empty() || t.front() == ';' || t.front() == '[') {
        return false;
    }
    std::size_t eq = t.find('=');
    if (eq == std::string_view::npos) {
        return false;
    }
    key = trimBlanks(t.substr(0, eq));
    value = trimBlanks(t.substr(eq + 1));
    return !key.empty();
}

// Far more than any configuration file holds; a larger one is not read (and so not rewritten).
constexpr std::uint64_t kMaxConfigBytes = 1 << 20;

std::string readWhole(const std::filesystem::path& p, bool& exists) {
    std::error_code ec;
    exists = std::filesystem::is_regular_file(p, ec);
    if (!exists) {
        return {};
    }
    try {
        const platform::File in = platform::File::open(p, platform::File::Mode::Read,
                                                       "cannot read the configuration file");
        return in.readAll(kMaxConfigBytes, "cannot read the configuration file");
    } catch (const OrvjError&) {
        exists = false;
        return {};
    }
}

// The value of the key in the first section of that name, blanks and one pair of matching
// quotes removed; nothing when the section or the key is missing.
std::optional<std::string> findValue(const std::string& content, std::string_view section,
                                     std::string_view key) {
    bool inSection = false;
    for (const Line& line : splitLines(content)) {
        std::string_view name;
        if (sectionHeader(line.text, name)) {
            if (inSection) {
                break; // only the first section of that name is searched
            }
            inSection = sameName(name, section);
            continue;
        }
        std::string_view k;
        std::string_view v;
        if (inSection && keyLine(line.text, k, v) && sameName(k, key)) {
            if (v.size() >= 2 && (v.front() == '"' || v.front() == '\'') && v.back() == v.front()) {
                v = v.substr(1, v.size() - 2);
            }
            return std::string(v);
        }
    }
    return std::nullopt;
}

} // namespace

std::string ConfigFile::GetPrivateProfileString(std::string_view section, std::string_view key,
                                                std::string_view defaultValue,
                                                int bufferLength) const {
    if (bufferLength <= 0) {
        return {};
    }
    const auto limit = static_cast<std::size_t>(bufferLength - 1);
    bool exists = false;
    const std::string content = readWhole(m_path, exists);
    if (const auto value = findValue(content, section, key)) {
        return firstCharacters(*value, limit);
    }
    return firstCharacters(defaultValue, limit);
}

std::optional<std::string> ConfigFile::ReadWholeValue(std::string_view section,
                                                      std::string_view key) const {
    bool exists = false;
    const std::string content = readWhole(m_path, exists);
    std::error_code ec;
    if (!exists && std::filesystem::exists(m_path, ec)) {
        throw OrvjError(ErrorCode::PermissionDenied,
                        m_path.string() + ": the configuration file cannot be read");
    }
    return findValue(content, section, key);
}

std::string applyReadBuffer(std::string_view stored, int length) {
    if (length <= 0) {
        return {};
    }
    std::string buffer(stored);
    buffer.push_back('\0');
    if (buffer.size() < static_cast<std::size_t>(length)) {
        buffer.append(static_cast<std::size_t>(length) - buffer.size(), ' ');
    }
    std::size_t first = buffer.find_first_not_of(' ');
    std::size_t last = buffer.find_last_not_of(' ');
    std::string trimmed = buffer.substr(first, last - first + 1);
    trimmed.pop_back();
    return trimmed;
}

std::string ConfigFile::ReadValue(const Key& k) const {
    return applyReadBuffer(
        GetPrivateProfileString(k.section, k.key, k.defaultValue, k.bufferLength), k.bufferLength);
}

bool ConfigFile::ReadNumLock() const {
    return ReadValue(kNumLock).substr(0, 3) == "Tru";
}

void ConfigFile::WriteNumLock(bool on) const {
    WritePrivateProfileString(kNumLock.section, kNumLock.key, on ? "True" : "False");
}

std::vector<std::string> ConfigFile::ReadFolders() const {
    std::vector<std::string> folders;
    for (int k = 1; k <= kMostFolders; ++k) {
        const std::string value =
            GetPrivateProfileString("Folders", "Folder" + std::to_string(k), "", 260);
        if (!value.empty()) {
            folders.push_back(value);
        }
    }
    return folders;
}

void ConfigFile::RememberFolder(std::string_view folder) const {
    std::vector<std::string> folders{std::string(folder)};
    for (const std::string& known : ReadFolders()) {
        if (known != folder && static_cast<int>(folders.size()) < kMostFolders) {
            folders.push_back(known);
        }
    }
    for (int k = 1; k <= kMostFolders; ++k) {
        const std::size_t i = static_cast<std::size_t>(k - 1);
        WritePrivateProfileString("Folders", "Folder" + std::to_string(k),
                                  i < folders.size() ? folders[i] : std::string());
    }
}

void ConfigFile::WriteSystemDB(const std::filesystem::path& home) const {
    WritePrivateProfileString(kSystemDB.section, kSystemDB.key,
                              (home / kWorkgroupFileName).string());
}

void ConfigFile::WritePrivateProfileString(std::string_view section, std::string_view key,
                                           std::string_view value) const {
    std::string clean(value);
    std::replace(clean.begin(), clean.end(), '\r', ' ');
    std::replace(clean.begin(), clean.end(), '\n', ' ');

    const std::filesystem::path target =
        resolveOwnLink(m_path, "cannot write the configuration file");
    bool exists = false;
    const std::string content = readWhole(target, exists);
    std::error_code ec;
    if (!exists && std::filesystem::exists(target, ec)) {
        throw OrvjError(ErrorCode::PermissionDenied,
                        target.string() + ": the configuration file cannot be read, so it is "
                                          "left as it is");
    }
    std::vector<Line> lines = splitLines(content);
#ifdef _WIN32
    std::string eol = "\r\n";
#else
    std::string eol = "\n";
#endif
    for (const Line& l : lines) {
        if (l.ended()) {
            eol = l.eol;
            break;
        }
    }
    const std::string newLine = std::string(key) + "=" + clean;

    std::size_t sectionAt = lines.size();
    std::size_t sectionEnd = lines.size(); // one past the section's last line
    for (std::size_t i = 0; i < lines.size(); ++i) {
        std::string_view name;
        if (sectionHeader(lines[i].text, name)) {
            if (sectionAt != lines.size()) {
                sectionEnd = i;
                break;
            }
            if (sameName(name, section)) {
                sectionAt = i;
            }
        }
    }

    if (sectionAt == lines.size()) {
        if (!lines.empty()) {
            if (!lines.back().ended()) {
                lines.back().eol = eol;
            }
            if (!trimBlanks(lines.back().text).empty()) {
                lines.push_back({"", eol});
            }
        }
        lines.push_back({"[" + std::string(section) + "]", eol});
        lines.push_back({newLine, eol});
    } else {
        bool replaced = false;
        std::size_t lastContent = sectionAt;
        for (std::size_t i = sectionAt + 1; i < sectionEnd; ++i) {
            std::string_view k;
            std::string_view v;
            if (keyLine(lines[i].text, k, v) && sameName(k, key)) {
                lines[i].text = std::string(k) + "=" + clean;
                replaced = true;
                break;
            }
            if (!trimBlanks(lines[i].text).empty()) {
                lastContent = i;
            }
        }
        if (!replaced) {
            if (!lines[lastContent].ended()) {
                lines[lastContent].eol = eol;
            }
            lines.insert(lines.begin() + static_cast<std::ptrdiff_t>(lastContent) + 1,
                         Line{newLine, eol});
        }
    }

    std::string out;
    for (const Line& l : lines) {
        out += l.text;
        out += l.eol;
    }
    replaceFileContent(target, out, "cannot write the configuration file");
}

bool startsWithDriveLetter(std::string_view value) {
    return value.size() >= 2 && value[1] == ':' &&
           ((value[0] >= 'A' && value[0] <= 'Z') || (value[0] >= 'a' && value[0] <= 'z'));
}

namespace {

// The configuration file is Windows-1252 text: its bytes become a Unicode file name.
std::filesystem::path pathOfText(const std::string& cp1252) {
    const std::string utf8 = cp1252ToUtf8(cp1252);
    return std::filesystem::path(std::u8string(utf8.begin(), utf8.end()));
}

bool isSeparator(char c) {
    return c == '/' || c == '\\';
}

} // namespace

std::filesystem::path resolveConfiguredFolder(const std::filesystem::path& home,
                                              std::string_view value) {
    std::string v(trimBlanks(value));
#ifdef _WIN32
    // A drive letter names that drive: on its own ("a:") or before a relative name ("C:ORV")
    // it means the top of the drive, as for a program just started there. A share
    // ("\\server\share\orvj") is a full name as it is.
    std::replace(v.begin(), v.end(), '/', '\\');
    if (startsWithDriveLetter(v) && (v.size() == 2 || v[2] != '\\')) {
        v.insert(2, "\\");
    }
    // The separator of a drive's top ("C:\") or of the disk's top stays.
    const std::size_t keep = startsWithDriveLetter(v) ? 3 : 1;
#else
    if (startsWithDriveLetter(v)) {
        return {};
    }
    std::replace(v.begin(), v.end(), '\\', '/');
    const std::size_t keep = 1; // "/" stays
#endif
    while (v.size() > keep && isSeparator(v.back())) {
        v.pop_back();
    }
    if (v.empty()) {
        return home;
    }
#ifdef _WIN32
    if (v.size() > 2 && v[0] == '\\' && v[1] == '\\') {
        return pathOfText(v); // a share: the standard library here takes "\\server" for a folder
    }
#endif
    const std::filesystem::path p = pathOfText(v);
    if (p.is_absolute()) {
        return p.lexically_normal();
    }
    // On Windows a name from the top of no drive ("\ORV") takes the program folder's drive.
    return (home / p).lexically_normal();
}

} // namespace orvj
