#pragma once

#include "core/ClientTable.h"
#include "scoring/ClientScores.h"

#include <filesystem>
#include <string>
#include <vector>

namespace orvj {

class ConfigFile;
struct ScoringTables;

// The office's rule for a critical case, kept in [Critical] of ORVJTest.ini. A client is
// flagged when any of its conditions holds; a count of 0 leaves that condition out. The
// counts are over the risk scales 2 to 9 that were scored (Truthfulness has its own
// condition); the ranges are the report's: problem 70-89, maximum 90 and above.
struct CriticalRule {
    static constexpr int kMostScales = 8;

    int maximumScales = 1;           // this many scales or more in the maximum range
    int problemScales = 2;           // this many scales or more in the problem range
    bool invalidTruthfulness = true; // Truthfulness 95 or more
    bool operator==(const CriticalRule&) const = default;

    bool flags(const ClientScores& scores) const;

    // The rule as the file holds it; a missing or unreadable value keeps its default.
    static CriticalRule read(const ConfigFile& config);
    // Throws OrvjError when the file cannot be written.
    void write(const ConfigFile& config) const;
};

// The mark a flagged client carries after its line in the client list and in the report
// viewer's title, and what it means.
inline constexpr const char* kCriticalMark = "[!]";
inline constexpr const char* kCriticalMeaning = "Critical case";

// How many of the risk scales 2..9 that were scored have a percentile from low to high.
int scalesInRange(const ClientScores& scores, int low, int high);

// The flag of each client 1..clientCount (index = record number; index 0 unused), scored with
// `tables`: the scoring the reports use. A record that cannot be scored is not flagged.
std::vector<bool> criticalClients(const ClientTable& clients, const ScoringTables& tables,
                                  const CriticalRule& rule);

// The same with the inventory of the program folder `home` and the rule of its configuration
// file `config`. Without a readable inventory no client is flagged (the reports cannot be
// written either, and say why).
std::vector<bool> criticalClients(const ClientTable& clients, const std::filesystem::path& home,
                                  const std::filesystem::path& config);
bool isCriticalClient(const ClientTable& clients, int client, const std::filesystem::path& home,
                      const std::filesystem::path& config);

} // namespace orvj
