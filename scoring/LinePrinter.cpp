#include "scoring/LinePrinter.h"

namespace orvj {

LinePrinter& LinePrinter::text(std::string_view s) {
    m_out.append(s);
    return *this;
}

LinePrinter& LinePrinter::spaces(int n) {
    if (n > 0) {
        m_out.append(static_cast<std::size_t>(n), ' ');
    }
    return *this;
}

LinePrinter& LinePrinter::column(int n) {
    if (position() > n) {
        endLine();
    }
    return spaces(n - position());
}

LinePrinter& LinePrinter::number(int value) {
    if (value >= 0) {
        m_out.push_back(' ');
    }
    m_out.append(std::to_string(value));
    m_out.push_back(' ');
    return *this;
}

void LinePrinter::endLine() {
    endUncountedLine();
    ++m_lines;
}

void LinePrinter::endUncountedLine() {
    m_out.append("\r\n");
    m_lineStart = m_out.size();
}

} // namespace orvj
