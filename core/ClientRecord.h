#pragma once

#include <array>
#include <cstddef>
#include <string>
#include <string_view>

namespace orvj {

// One client: ten fixed-width text fields, 196 bytes, one Windows-1252 byte per character,
// left-aligned and space-padded. The bytes are kept exactly as they stand in the file.
class ClientRecord {
public:
    enum class Field {
        Name,
        SSN,
        Age,
        Gender,
        Race,
        Education,
        TestDate,
        Responses,
        EditCount,
        NameDeleted
    };

    static constexpr std::size_t kSize = 196;

    struct Layout {
        std::size_t offset;
        std::size_t width;
        const char* name;
    };
    static Layout layout(Field f);

    // A new record is cleared: every field all spaces.
    ClientRecord() { clear(); }

    void clear() { m_bytes.fill(' '); }
    bool isCleared() const;

    // The record as a report prints it: every control character (bytes 0 to 31 and 127, such
    // as a CR or LF in a name from a file written elsewhere) becomes a space, so the fixed
    // layout of the report's lines holds.
    ClientRecord printable() const;

    // The field at its full width, trailing spaces included.
    std::string_view field(Field f) const;
    // The field with leading and trailing spaces removed.
    std::string trimmed(Field f) const;
    // Stores a value: longer values keep their first characters, shorter ones are padded.
    void set(Field f, std::string_view value);

    const std::array<char, kSize>& bytes() const { return m_bytes; }
    std::array<char, kSize>& bytes() { return m_bytes; }

    // A one-digit field ("Gender", "EditCount", ...) as a number; -1 when it holds no digit.
    int digit(Field f) const;

    bool operator==(const ClientRecord&) const = default;

private:
    std::array<char, kSize> m_bytes{};
};

} // namespace orvj
