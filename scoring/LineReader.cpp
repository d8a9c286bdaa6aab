#include "scoring/LineReader.h"

#include "store/OrvjError.h"

namespace orvj {

LineReader::LineReader(std::filesystem::path path, std::string bytes)
    : m_path(std::move(path)), m_bytes(std::move(bytes)) {
    auto eof = m_bytes.find('\x1A'); // a DOS end-of-file mark ends the text
    if (eof != std::string::npos) {
        m_bytes.resize(eof);
    }
}

void LineReader::failPastEnd(const std::string& expected) const {
    throw OrvjError(ErrorCode::InputPastEnd, m_path.string() + ": the file ends after line " +
                                                 std::to_string(m_line) + "; expected " + expected);
}

std::string_view LineReader::take() {
    const std::size_t start = m_pos;
    std::size_t end = start;
    while (end < m_bytes.size() && m_bytes[end] != '\r' && m_bytes[end] != '\n') {
        ++end;
    }
    m_pos = end;
    if (m_pos < m_bytes.size()) {
        if (m_bytes[m_pos] == '\r' && m_pos + 1 < m_bytes.size() && m_bytes[m_pos + 1] == '\n') {
            m_pos += 2;
        } else {
            m_pos += 1;
        }
    }
    ++m_line;
    return std::string_view(m_bytes).substr(start, end - start);
}

} // namespace orvj
