#pragma once

#include "core/ClientRecord.h"
#include "core/ClientTable.h"
#include "scoring/ClientScores.h"

#include <filesystem>
#include <functional>
#include <optional>
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

// The pictures of a print run's clients ("Add profile chart"), with the inventory of the
// program folder `home` loaded once: the picture of a record number, or none for a record that
// cannot be scored (its report says why). Throws OrvjError when the inventory cannot be read.
std::function<std::optional<ProfileData>(int client)>
profileSource(const ClientTable& clients, const std::filesystem::path& home);

} // namespace orvj
