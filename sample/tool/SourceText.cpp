#include "sample/tool/SourceText.h"

#include "store/Cp1252.h"

#include <cstdio>
#include <fstream>
#include <iterator>
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
    std::ifstream in(file, std::ios::binary);
    if (!in) {
        throw SourceError(file.string() + ": cannot open the file for reading");
    }
    std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (in.bad()) {
        throw SourceError(file.string() + ": read error");
    }
    return bytes;
}

void writeFileAtomically(const std::filesystem::path& file, std::string_view bytes) {
    std::filesystem::path temp = file;
    temp += ".part";
    {
        std::ofstream out(temp, std::ios::binary | std::ios::trunc);
        if (!out) {
            throw SourceError(temp.string() + ": cannot create the file");
        }
        out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
        out.flush();
        if (!out) {
            std::error_code ignored;
            std::filesystem::remove(temp, ignored);
            throw SourceError(temp.string() + ": write error");
        }
    }
    std::error_code ec;
    std::filesystem::rename(temp, file, ec);
    if (ec) {
        std::error_code ignored;
        std::filesystem::remove(temp, ignored);
        throw SourceError(file.string() + ": cannot replace the file: " + ec.message());
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
