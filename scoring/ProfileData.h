#pragma once

#include "core/ClientRecord.h"
#include "scoring/ClientScores.h"

#include <string>

namespace orvj {

struct ScoringTables;

// What a profile chart shows of one test: who, when, and the nine scales' percentiles as the
// report prints them. Texts are Windows-1252 as the record holds them, trimmed.
struct ProfileData {
    std::string name;
    std::string id;
    std::string testDate;
    int record = 0;
    ClientScores scores;
};

// Scores the record with the tables, as its report does. Throws OrvjError when the record
// cannot be scored.
ProfileData profileOf(const ClientRecord& record, int recordNumber, const ScoringTables& tables);

} // namespace orvj
