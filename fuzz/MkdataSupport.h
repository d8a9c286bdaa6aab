#pragma once

#include "FuzzSupport.h"

#include "tools/mkdata/SourceText.h"

#include <charconv>

// Shared by the targets of orvj-mkdata's source readers.
namespace orvj::fuzz {

// The line a refusal names: "file:N: ..." gives N, "file: ..." (the whole file) gives 0. Stops
// the run when the message does not begin with the file's name.
inline std::size_t refusedLine(const std::string& what, const std::string& file) {
    check(what.rfind(file + ":", 0) == 0, "the refusal names the file", what);
    const char* first = what.data() + file.size() + 1;
    const char* last = what.data() + what.size();
    if (first != last && *first == ' ') {
        return 0;
    }
    std::size_t line = 0;
    const auto [end, ec] = std::from_chars(first, last, line);
    check(ec == std::errc() && end != last && *end == ':', "the refusal names the line", what);
    return line;
}

} // namespace orvj::fuzz
