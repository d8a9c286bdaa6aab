#include "scoring/ScoresExport.h"

#include "scoring/CsvField.h"

#include "scoring/Scales.h"
#include "store/Cp1252.h"
#include "store/DemographicLabels.h"
#include "store/platform/File.h"

#include <algorithm>
#include <cstdint>
#include <iomanip>
#include <numeric>
#include <ostream>

namespace orvj {
namespace {

// UTF-8 with every control character (C0, DEL, C1) made a space; `keepLineBreaks` keeps CR
// and LF, which a quoted CSV field may hold.
std::string withoutControls(std::string_view utf8, bool keepLineBreaks) {
    std::string out;
    out.reserve(utf8.size());
    for (std::size_t i = 0; i < utf8.size(); ++i) {
        const auto c = static_cast<unsigned char>(utf8[i]);
        if (c == 0xC2 && i + 1 < utf8.size() && static_cast<unsigned char>(utf8[i + 1]) >= 0x80 &&
            static_cast<unsigned char>(utf8[i + 1]) <= 0x9F) {
            out += ' ';
            ++i;
        } else if ((c < 0x20 && !(keepLineBreaks && (c == '\r' || c == '\n'))) || c == 0x7F) {
            out += ' ';
        } else {
            out += static_cast<char>(c);
        }
    }
    return out;
}

// A text field of a client record in the export. One that a spreadsheet would take for a
// formula gets a leading apostrophe, so that opening the export runs nothing.
std::string csvText(std::string_view cp1252) {
    std::string text = cp1252ToUtf8(cp1252);
    if (!text.empty() && std::string_view("=+-@\t\r").find(text[0]) != std::string_view::npos) {
        text.insert(0, 1, '\'');
    }
    return csvField(withoutControls(text, true));
}

std::string trimmedLabel(std::string label) {
    return label.substr(0, label.find_last_not_of(' ') + 1);
}

// A one-digit demographic code and its label (empty for a code outside the table).
std::string codeAndLabel(const ClientRecord& r, ClientRecord::Field field,
                         std::string (*label)(int)) {
    const std::string code = r.trimmed(field);
    const bool digit = code.size() == 1 && code[0] >= '0' && code[0] <= '9';
    return csvText(code) + "," +
           csvField(digit ? trimmedLabel(label(code[0] - '0')) : std::string());
}

// A number below `bound` from the system's random source, every one equally likely: draws
// under 2^32 mod bound are thrown away, as they would favour the small numbers.
std::uint32_t randomBelow(std::uint32_t bound) {
    const std::uint32_t unfair = (std::uint32_t{0} - bound) % bound;
    for (;;) {
        std::uint32_t draw = 0;
        platform::randomBytes(&draw, sizeof draw);
        if (draw >= unfair) {
            return draw % bound;
        }
    }
}

// The year of a test date stored as mm/dd/yyyy; empty when the date is not in that form.
std::string testYear(const std::string& date) {
    const std::string year = date.substr(date.find_last_of('/') + 1);
    const bool digits =
        year.size() == 4 && year.find_first_not_of("0123456789") == std::string::npos;
    return digits ? year : std::string();
}

} // namespace

std::string ScoresExport::terminalText(std::string_view cp1252) {
    return withoutControls(cp1252ToUtf8(cp1252), false);
}

// Drawn afresh on every run, so that neither a study number nor the order of the rows leads
// back to a record number.
std::vector<int> ScoresExport::studyNumbers(std::size_t n) {
    std::vector<int> numbers(n);
    std::iota(numbers.begin(), numbers.end(), 1);
    for (std::size_t i = n; i > 1; --i) {
        std::swap(numbers[i - 1], numbers[randomBelow(static_cast<std::uint32_t>(i))]);
    }
    return numbers;
}

void ScoresExport::write(std::vector<Row> rows, std::ostream& out) const {
    if (m_options.deidentified) {
        const std::vector<int> study = studyNumbers(rows.size());
        for (std::size_t k = 0; k < rows.size(); ++k) {
            rows[k].number = study[k];
        }
        std::sort(rows.begin(), rows.end(),
                  [](const Row& a, const Row& b) { return a.number < b.number; });
    }
    if (m_options.csv) {
        header(out);
    }
    for (const Row& r : rows) {
        row(r, out);
    }
}

void ScoresExport::header(std::ostream& out) const {
    out << (m_options.deidentified ? "study" : "record,name,id");
    out << ",age,sex,sex label,race,race label,education,education label,"
        << (m_options.deidentified ? "test year" : "test date,edit count") << ",validity,critical";
    for (int n = 1; n <= Scales::kCount; ++n) {
        out << "," << Scales::name(n) << " raw," << Scales::name(n) << " percentile,"
            << Scales::name(n) << " risk";
    }
    out << (m_options.responses ? ",responses\r\n" : "\r\n");
}

void ScoresExport::row(const Row& c, std::ostream& out) const {
    const ClientRecord& r = *c.record;
    const ClientScores& s = c.scores;
    auto risk = [&](int n) {
        return s.notScorable(n) ? std::string("NOT SCORED") : Scales::riskName(s.pct(n));
    };
    using Field = ClientRecord::Field;
    if (!m_options.csv) {
        out << std::setw(3) << c.number << "  "
            << (m_options.deidentified ? std::string() : terminalText(r.trimmed(Field::Name)))
            << (s.invalid() ? "  INVALID TEST (Truthfulness 95 or more)" : "") << "\n";
        for (int n = 1; n <= Scales::kCount; ++n) {
            out << "       " << std::left << std::setw(15) << Scales::name(n) << std::right
                << "raw " << std::setw(4) << s.raw(n) << "   percentile " << std::setw(2)
                << s.pct(n) << "   " << risk(n) << "\n";
        }
        return;
    }
    out << c.number;
    if (!m_options.deidentified) {
        out << "," << csvText(r.trimmed(Field::Name)) << "," << csvText(r.trimmed(Field::SSN));
    }
    out << "," << csvText(r.trimmed(Field::Age)) << ","
        << codeAndLabel(r, Field::Gender, DemographicLabels::sex) << ","
        << codeAndLabel(r, Field::Race, DemographicLabels::race) << ","
        << codeAndLabel(r, Field::Education, DemographicLabels::education) << ",";
    if (m_options.deidentified) {
        out << testYear(r.trimmed(Field::TestDate));
    } else {
        out << csvText(r.trimmed(Field::TestDate)) << "," << csvText(r.trimmed(Field::EditCount));
    }
    out << "," << (s.invalid() ? "invalid" : "valid") << "," << (c.critical ? "yes" : "no");
    for (int n = 1; n <= Scales::kCount; ++n) {
        out << "," << s.raw(n) << "," << s.pct(n) << "," << risk(n);
    }
    if (m_options.responses) {
        out << "," << csvText(r.field(Field::Responses));
    }
    out << "\r\n";
}

} // namespace orvj
