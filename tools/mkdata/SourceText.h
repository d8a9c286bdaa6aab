#pragma once

#include <cstddef>
#include <filesystem>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace orvj::mkdata {

// A fault in a readable source. The message always names the file, and the line when there
// is one, so an office can find and fix it.
class SourceError : public std::runtime_error {
public:
    explicit SourceError(const std::string& message) : std::runtime_error(message) {}
};

// "file:line: what" (the line is left out when it is 0).
std::string where(const std::string& file, std::size_t line);

// The whole file as bytes; throws SourceError when it cannot be read.
std::string readFile(const std::filesystem::path& file);

// Writes a file next to its final place and renames it there, so a failed run never leaves
// a half-written output behind.
void writeFileAtomically(const std::filesystem::path& file, std::string_view bytes);

// Splits text into lines, accepting LF or CR LF line ends; a final line end adds no line
// and a leading UTF-8 byte-order mark is dropped.
std::vector<std::string> splitLines(std::string_view text);

// The text of one source line in Windows-1252. Throws SourceError naming the file, the line
// and the first character that is not valid UTF-8 or that Windows-1252 cannot hold.
// `part` names the cell or key the text came from, when there is one.
std::string toCp1252(std::string_view utf8, const std::string& file, std::size_t line,
                     const std::string& part = {});

// A UTF-8 text file as Windows-1252 with CR LF line ends.
std::string textToCp1252(std::string_view utf8, const std::string& file);

} // namespace orvj::mkdata
