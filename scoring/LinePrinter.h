#pragma once

#include <string>
#include <string_view>

namespace orvj {

// Writes text the way a line printer is driven: columns count from 1, every line ends with
// CR LF, and a move to a column the line has already passed starts a new line first.
class LinePrinter {
public:
    explicit LinePrinter(std::string& out) : m_out(out), m_lineStart(out.size()) {}

    LinePrinter& text(std::string_view s);
    LinePrinter& spaces(int n);
    LinePrinter& column(int n);
    // A 16-bit integer as a number: sign position (a space when not negative), digits,
    // one trailing space.
    LinePrinter& number(int value);
    void endLine();
    // The buffer was emptied: the next character starts a line.
    void restart() { m_lineStart = m_out.size(); }

    // The column the next character lands in.
    int position() const { return static_cast<int>(m_out.size() - m_lineStart) + 1; }

private:
    std::string& m_out;
    std::size_t m_lineStart;
};

} // namespace orvj
