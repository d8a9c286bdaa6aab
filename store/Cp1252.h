#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace orvj {

// The client file, the inventory's text files and REPORT.PRN hold one byte per character
// in Windows-1252; the windows work in Unicode. These convert between the two, with UTF-8
// as the Unicode form on the core side.
std::string cp1252ToUtf8(std::string_view bytes);

// Empty optional when a character has no Windows-1252 byte (or the input is not UTF-8).
std::optional<std::string> utf8ToCp1252(std::string_view utf8);

// One UTF-8 character at byte i: its code point and its length in bytes. Length 0 when the
// bytes there are not valid UTF-8: a stray or cut-off byte, an overlong form, a surrogate or
// a value past U+10FFFF.
struct Utf8Char {
    char32_t codePoint = 0;
    std::size_t length = 0;
};
Utf8Char decodeUtf8At(std::string_view utf8, std::size_t i);

// True when the Unicode code point can be stored in one Windows-1252 byte.
bool cp1252CanHold(char32_t codePoint);

} // namespace orvj
