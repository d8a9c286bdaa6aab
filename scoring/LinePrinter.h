#pragma once

#include <string>
#include <string_view>

namespace orvj {

// Writes text the way a line printer is driven: columns count from 1, every line ends with
// CR LF, and a move to a column the line has already passed starts a new line first. It counts
// the lines it ends, that one too, for the page they fill.
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
    // Ends a line that the count leaves out (the sheet has room for it beyond the page).
    void endUncountedLine();
    // The buffer was emptied: the next character starts a line.
    void restart() { m_lineStart = m_out.size(); }

    // Lines ended since the count was last set.
    int lines() const { return m_lines; }
    void setLines(int lines) { m_lines = lines; }

    // Lines that `text`, written from column `start`, and a move to column `next` after it
    // take: two when the text reaches past that column.
    static int linesOf(int start, std::string_view text, int next) {
        return start + static_cast<int>(text.size()) > next ? 2 : 1;
    }

    // The column the next character lands in.
    int position() const { return static_cast<int>(m_out.size() - m_lineStart) + 1; }

private:
    std::string& m_out;
    std::size_t m_lineStart;
    int m_lines = 0;
};

} // namespace orvj
