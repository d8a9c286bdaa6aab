#pragma once

#include "core/ClientTable.h"
#include "scoring/ProfileData.h"

#include <filesystem>
#include <string>
#include <vector>

namespace orvj {

struct ScoringTables;

// A client file to search, named by where it came from.
struct SearchedTable {
    std::filesystem::path file;
    const ClientTable* table = nullptr;
};

// Every test of one youth (the same ID number) across client files, in test-date order, each
// scored as its report is. Records whose names were deleted are left out: their ID number is
// scrambled and says nothing.
struct RetestComparison {
    struct Test {
        std::filesystem::path file;
        ProfileData profile;
    };
    std::string id;
    std::vector<Test> tests;
    // Records with the ID that could not be scored, with why.
    std::vector<std::string> notes;

    // The change of a scale's percentile from the first test to the last.
    int change(int scale) const;
    // Both the first and the last test scored the scale.
    bool changeKnown(int scale) const;
};

// True when the ID can name a youth: not empty and not "N" (not available).
bool comparableId(const std::string& id);

// The records of the ID in the files, as (file index, record number): names not deleted, each
// file once (a folder searched twice counts once).
std::vector<std::pair<std::size_t, int>> findTests(const std::vector<SearchedTable>& files,
                                                   const std::string& id);

// The earlier data folders the office named in [Folders] of the configuration file `config`,
// resolved against the program folder; those that hold no client file (a disk not in its
// drive, a folder since removed) are passed by.
std::vector<std::filesystem::path> rememberedDataFolders(const std::filesystem::path& home,
                                                         const std::filesystem::path& config);

// The tests of the ID in the files. A record met twice (a folder searched twice) counts once.
RetestComparison compareRetests(const std::vector<SearchedTable>& files, const std::string& id,
                                const ScoringTables& tables);

// The comparison as text: a column per test with date, file, record and per scale the
// percentile and risk range, and the change from the first to the last (Windows-1252 names).
std::string comparisonText(const RetestComparison& comparison);

} // namespace orvj
