#pragma once

#include <filesystem>
#include <string>
#include <string_view>

namespace orvj {

// Reads a text file line by line. A line ends at CR LF, LF or a lone CR; the line end is not
// part of the line. Reading past the last line is an error that names the file.
class LineReader {
public:
    LineReader(std::filesystem::path path, std::string bytes);

    bool atEnd() const { return m_pos >= m_bytes.size(); }
    // `expected` words the error when the file has no more lines.
    std::string_view next(std::string_view expected) {
        if (atEnd()) {
            failPastEnd(std::string(expected));
        }
        return take();
    }
    // The same, with the wording made only when it is needed.
    template <class Describe> std::string_view nextOr(Describe&& describe) {
        if (atEnd()) {
            failPastEnd(describe());
        }
        return take();
    }
    // Number of the line returned last (from 1).
    int lineNumber() const { return m_line; }
    const std::filesystem::path& path() const { return m_path; }

private:
    std::string_view take();
    [[noreturn]] void failPastEnd(const std::string& expected) const;

    std::filesystem::path m_path;
    std::string m_bytes;
    std::size_t m_pos = 0;
    int m_line = 0;
};

} // namespace orvj
