#pragma once

#include "store/OrvjError.h"

#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>

namespace orvj {

// Reads a table file field by field: fields are separated by commas or line ends, blanks
// around a field are ignored, a field may be enclosed in double quotes, blank lines are
// skipped. Every fault names the file, the line and the field number (counted from 1 over the
// whole file) and what the field was meant to hold.
class FieldReader {
public:
    FieldReader(std::filesystem::path path, std::string bytes);

    // `describe` is called only to word an error: it returns what the field holds.
    template <class Describe> std::int16_t number(Describe&& describe) {
        if (!advance()) {
            failPastEnd(describe());
        }
        int value = 0;
        switch (parse(value)) {
        case Parsed::Number:
            return static_cast<std::int16_t>(value);
        case Parsed::NotNumber:
            failNotNumber(describe());
        case Parsed::Overflow:
            failOverflow(describe());
        }
        return 0;
    }
    template <class Describe> int numberInRange(int low, int high, Describe&& describe) {
        const int value = number(describe);
        if (value < low || value > high) {
            failRange(low, high, describe());
        }
        return value;
    }
    template <class Describe> std::string text(Describe&& describe) {
        if (!advance()) {
            failPastEnd(describe());
        }
        return std::string(m_field);
    }

    const std::filesystem::path& path() const { return m_path; }
    // Position of the field read last.
    int line() const { return m_fieldLine; }
    int fieldNumber() const { return m_fieldNumber; }

    // An error about the field read last.
    [[noreturn]] void fail(int code, const std::string& what) const;

private:
    enum class Parsed { Number, NotNumber, Overflow };
    bool advance();
    Parsed parse(int& value) const;
    [[noreturn]] void failNotNumber(const std::string& what) const;
    [[noreturn]] void failOverflow(const std::string& what) const;
    [[noreturn]] void failPastEnd(const std::string& what) const;
    [[noreturn]] void failRange(int low, int high, const std::string& what) const;

    std::filesystem::path m_path;
    std::string m_bytes;
    std::size_t m_pos = 0;
    int m_line = 1;
    std::string_view m_field;
    bool m_afterComma = false;
    int m_fieldLine = 0;
    int m_fieldNumber = 0;
};

} // namespace orvj
