#include "scoring/FieldReader.h"

#include <algorithm>
#include <limits>

namespace orvj {
namespace {

// A DOS end-of-file mark ends the text.
constexpr char kEndOfFile = '\x1A';

bool isBlank(char c) {
    return c == ' ' || c == '\t';
}
bool isLineEnd(char c) {
    return c == '\r' || c == '\n';
}

std::string quoted(std::string_view s) {
    std::string out = "\"";
    out.append(s.substr(0, 40));
    if (s.size() > 40) {
        out += "...";
    }
    out += '"';
    return out;
}

} // namespace

FieldReader::FieldReader(std::filesystem::path path, std::string bytes)
    : m_path(std::move(path)), m_bytes(std::move(bytes)) {
    auto eof = m_bytes.find(kEndOfFile);
    if (eof != std::string::npos) {
        m_bytes.resize(eof);
    }
}

bool FieldReader::advance() {
    const std::size_t n = m_bytes.size();
    while (m_pos < n && isBlank(m_bytes[m_pos])) {
        ++m_pos;
    }
    if (m_afterComma && m_pos < n && m_bytes[m_pos] == ',') {
        // Two commas in a row enclose an empty field.
        m_field = {};
        m_fieldLine = m_line;
        ++m_fieldNumber;
        ++m_pos;
        return true;
    }
    m_afterComma = false;
    // A line end after a field's comma does not make an empty field; blank lines are skipped.
    while (m_pos < n && (isBlank(m_bytes[m_pos]) || isLineEnd(m_bytes[m_pos]))) {
        if (m_bytes[m_pos] == '\n' ||
            (m_bytes[m_pos] == '\r' && (m_pos + 1 >= n || m_bytes[m_pos + 1] != '\n'))) {
            ++m_line;
        }
        ++m_pos;
    }
    if (m_pos >= n) {
        return false;
    }
    m_fieldLine = m_line;
    ++m_fieldNumber;
    if (m_bytes[m_pos] == '"') {
        const std::size_t start = m_pos + 1;
        std::size_t close = start;
        while (close < n && m_bytes[close] != '"' && !isLineEnd(m_bytes[close])) {
            ++close;
        }
        m_field = std::string_view(m_bytes).substr(start, close - start);
        m_pos = close < n && m_bytes[close] == '"' ? close + 1 : close;
        // Anything between the closing quote and the separator is ignored.
        while (m_pos < n && m_bytes[m_pos] != ',' && !isLineEnd(m_bytes[m_pos])) {
            ++m_pos;
        }
    } else {
        const std::size_t start = m_pos;
        while (m_pos < n && m_bytes[m_pos] != ',' && !isLineEnd(m_bytes[m_pos])) {
            ++m_pos;
        }
        std::size_t end = m_pos;
        while (end > start && isBlank(m_bytes[end - 1])) {
            --end;
        }
        m_field = std::string_view(m_bytes).substr(start, end - start);
    }
    if (m_pos < n && m_bytes[m_pos] == ',') {
        ++m_pos;
        m_afterComma = true;
    }
    return true;
}

FieldReader::Parsed FieldReader::parse(int& value) const {
    std::string_view s = m_field;
    bool negative = false;
    if (!s.empty() && (s.front() == '-' || s.front() == '+')) {
        negative = s.front() == '-';
        s.remove_prefix(1);
    }
    if (s.empty()) {
        return Parsed::NotNumber;
    }
    long long v = 0;
    for (char c : s) {
        if (c < '0' || c > '9') {
            return Parsed::NotNumber;
        }
        v = std::min(v * 10 + (c - '0'), 100000LL); // bounded: far outside any 16-bit value
    }
    value = static_cast<int>(negative ? -v : v);
    if (value < std::numeric_limits<std::int16_t>::min() ||
        value > std::numeric_limits<std::int16_t>::max()) {
        return Parsed::Overflow;
    }
    return Parsed::Number;
}

void FieldReader::failNotNumber(const std::string& what) const {
    fail(ErrorCode::TypeMismatch, (m_field.empty() ? std::string("empty field") : quoted(m_field)) +
                                      " is not a number (" + what + ")");
}

void FieldReader::failOverflow(const std::string& what) const {
    fail(ErrorCode::Overflow, quoted(m_field) + " is outside the 16-bit range (" + what + ")");
}

void FieldReader::fail(int code, const std::string& what) const {
    throw OrvjError(code, m_path.string() + ": line " + std::to_string(m_fieldLine) + ", field " +
                              std::to_string(m_fieldNumber) + ": " + what);
}

void FieldReader::failPastEnd(const std::string& what) const {
    throw OrvjError(ErrorCode::InputPastEnd, m_path.string() + ": the file ends after field " +
                                                 std::to_string(m_fieldNumber) + " (line " +
                                                 std::to_string(m_line) + "); expected " + what);
}

void FieldReader::failRange(int low, int high, const std::string& what) const {
    fail(ErrorCode::SubscriptOutOfRange, quoted(m_field) + " is outside " + std::to_string(low) +
                                             " to " + std::to_string(high) + " (" + what + ")");
}

} // namespace orvj
