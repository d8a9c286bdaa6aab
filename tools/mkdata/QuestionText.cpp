#include "tools/mkdata/QuestionText.h"

#include <cstdio>

namespace orvj::mkdata {

std::string questionTextFile(const QuestionSource& source, const std::string& sourceName) {
    std::string out;
    for (const QuestionRow& row : source.rows) {
        char prefix[8];
        std::snprintf(prefix, sizeof prefix, "%3d. ", row.id);
        out += prefix;
        out += toCp1252(row.question, sourceName, row.line);
        out += "\r\n";
    }
    return out;
}

} // namespace orvj::mkdata
