#include "tools/mkdata/SourceText.h"

#include "store/Cp1252.h"
#include "store/FileReplace.h"
#include "store/OrvjError.h"
#include "store/platform/File.h"

#include <cstdio>
#include <sstream>
#include <system_error>

namespace orvj::mkdata {
namespace {

std::string codePointName(char32_t cp) {
    char buf[16];
    std::snprintf(buf, sizeof buf, "U+%04X", static_cast<unsigned>(cp));
    return buf;
}

} // namespace

std::string where(const std::string& file, std::size_t line) {
    if (line == 0) {
        return file + ": ";
    }
    return file + ":" + std::to_string(line) + ": ";
}

std::string readFile(const std::filesystem::path& file) {
    // Far more than any question list, client list or report text holds.
    constexpr std::uint64_t kMaxSourceBytes = std::uint64_t{16} << 20;
    try {
        const orvj::platform::File in = orvj::platform::File::open(
            file, orvj::platform::File::Mode::Read, "cannot open the file for reading");
        return in.readAll(kMaxSourceBytes, "read error");
    } catch (const orvj::OrvjError& e) {
        throw SourceError(e.what());
    }
}

void writeFileAtomically(const std::filesystem::path& file, std::string_view bytes) {
    // Through the program's own safe replace: a new temporary made exclusively beside the
    // file, flushed, closed with its result checked, renamed over it; the file keeps its mode,
    // and an office's own link keeps pointing at the replaced file.
    try {
        const std::filesystem::path target = orvj::resolveOwnLink(file, "cannot replace the file");
        orvj::replaceFileContent(target, std::string(bytes), "cannot write the file");
    } catch (const orvj::OrvjError& e) {
        throw SourceError(e.what());
    }
}

std::vector<std::string> splitLines(std::string_view text) {
    std::vector<std::string> lines;
    std::size_t start = 0;
    // Editors on Windows often begin a UTF-8 file with a byte-order mark.
    if (text.substr(0, 3) == "\xEF\xBB\xBF") {
        start = 3;
    }
    while (start < text.size()) {
        std::size_t end = text.find('\n', start);
        std::size_t next = end == std::string_view::npos ? text.size() : end + 1;
        if (end == std::string_view::npos) {
            end = text.size();
        }
        std::string_view line = text.substr(start, end - start);
        if (!line.empty() && line.back() == '\r') {
            line.remove_suffix(1);
        }
        lines.emplace_back(line);
        start = next;
    }
    return lines;
}

std::string toCp1252(std::string_view utf8, const std::string& file, std::size_t line,
                     const std::string& part) {
    if (auto converted = utf8ToCp1252(utf8)) {
        return *converted;
    }
    const std::string prefix = where(file, line) + (part.empty() ? "" : part + ", ");
    std::size_t i = 0;
    std::size_t column = 1;
    while (i < utf8.size()) {
        const Utf8Char d = decodeUtf8At(utf8, i);
        if (d.length == 0) {
            throw SourceError(prefix + "character " + std::to_string(column) +
                              ": the text is not valid UTF-8 (save the file as UTF-8)");
        }
        if (!cp1252CanHold(d.codePoint)) {
            throw SourceError(prefix + "character " + std::to_string(column) + ": \"" +
                              std::string(utf8.substr(i, d.length)) + "\" (" +
                              codePointName(d.codePoint) + ") cannot be stored in Windows-1252");
        }
        i += d.length;
        ++column;
    }
    // Every character converts on its own; the whole only fails on a truncated sequence.
    throw SourceError(prefix + "the text is not valid UTF-8 (save the file as UTF-8)");
}

std::string textToCp1252(std::string_view utf8, const std::string& file) {
    std::string out;
    out.reserve(utf8.size() + utf8.size() / 20);
    std::size_t lineNo = 0;
    for (const std::string& line : splitLines(utf8)) {
        ++lineNo;
        out += toCp1252(line, file, lineNo);
        out += "\r\n";
    }
    return out;
}

} // namespace orvj::mkdata
