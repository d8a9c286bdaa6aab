#pragma once

#include "core/ClientRecord.h"
#include "scoring/ClientScores.h"

#include <cstddef>
#include <iosfwd>
#include <string>
#include <string_view>
#include <vector>

namespace orvj {

// The scores of the nine scales for a list of clients: a listing for the terminal, or the
// research export in comma-separated values (RFC 4180, UTF-8, CR LF line ends), with or
// without the clients' identity.
class ScoresExport {
public:
    struct Options {
        bool csv = false;
        bool deidentified = false; // without name and ID: a study number, the test year
        bool responses = false;    // with csv: the 143 answer codes as a last column
    };

    // One scored client. `number` is the record number, replaced by the study number when
    // de-identified.
    struct Row {
        int number = 0;
        const ClientRecord* record = nullptr;
        ClientScores scores;
        bool critical = false; // by the office's rule ([Critical] of ORVJTest.ini)
    };

    explicit ScoresExport(Options options) : m_options(options) {}

    // Writes the rows (the header line first for csv). When de-identified the rows get study
    // numbers 1 to n in a random order drawn afresh each time and are written in that order.
    void write(std::vector<Row> rows, std::ostream& out) const;

    // Study numbers 1 to n in a random order from the system's random source.
    static std::vector<int> studyNumbers(std::size_t n);

    // Record text (Windows-1252) as UTF-8 for a terminal, every control character (C0, DEL,
    // C1) made a space, so that a name cannot steer the terminal or break a line.
    static std::string terminalText(std::string_view cp1252);

private:
    void header(std::ostream& out) const;
    void row(const Row& row, std::ostream& out) const;

    Options m_options;
};

} // namespace orvj
