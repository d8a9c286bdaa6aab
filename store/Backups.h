#pragma once

#include "core/ClientRecord.h"

#include <ctime>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

namespace orvj {

class ConfigFile;

// Copies of the client file, DATA301-YYYYMMDD-HHMMSS.OVJ (local time) in the folder backups/
// beside it or in the folder [Backup] Folder= names. A copy is made before the first change
// of each day and before name deletion, a data folder switch and a restore; the newest
// [Backup] Keep= (30) stay. Every copy is written like the client file: a private temporary,
// flushed and renamed.
namespace Backups {

struct Options {
    std::filesystem::path folder; // empty: backups/ beside the client file
    int keep = 30;
};

// The program's choice, read from ORVJTest.ini ([Backup] Folder= relative to the program
// folder, Keep= from 1 to 999; a bad value keeps the default).
Options optionsFrom(const ConfigFile& config, const std::filesystem::path& home);
// Process-wide, set at start-up and whenever ORVJTest.ini is read again.
void setOptions(Options options);
Options options();

std::filesystem::path folderFor(const std::filesystem::path& clientFile);

struct Backup {
    std::filesystem::path file;
    std::string stamp; // "2026-12-08 04:55:00"
};

// True for the names copies are made under.
bool isBackupName(const std::string& fileName);

// The copies of the folder, newest first. A missing folder has none; a link or anything but
// a regular file under a copy's name is passed over.
std::vector<Backup> list(const std::filesystem::path& folder);

// True when a copy was made on the local date of `now`.
bool madeOn(const std::filesystem::path& folder, std::time_t now);

// Writes `bytes` as a new copy stamped `now` (never over another copy) and removes the oldest
// beyond `keep`. Returns the copy. Throws OrvjError naming the copy when it cannot be made.
std::filesystem::path make(const std::filesystem::path& folder, const std::string& bytes,
                           std::time_t now, int keep);

// Removes the oldest copies beyond `keep`.
void rotate(const std::filesystem::path& folder, int keep);

// A copy's bytes, size-checked. Throws OrvjError naming it.
std::string read(const std::filesystem::path& backup);

// What the client file of today holds that a copy does not: record numbers of clients added
// since, changed since, and whose names were deleted since.
struct Difference {
    int clients = 0; // clients in the copy
    std::vector<int> added;
    std::vector<int> changed;
    std::vector<int> namesDeleted;
};
Difference compare(const std::string& backupBytes, const std::string& currentBytes);
// "2 clients added (8-9); 1 changed (3); names deleted (1-7)", or "the same as today's file".
std::string describe(const Difference& difference);

// Scrambles the names of every copy in the folder with `scramble` (which returns false for a
// record it leaves alone). A copy that cannot be rewritten is removed. Returns one line per
// copy that was removed, or could not be scrubbed nor removed (then it is named).
std::vector<std::string> scrubNames(const std::filesystem::path& folder,
                                    const std::function<bool(ClientRecord&)>& scramble);

} // namespace Backups
} // namespace orvj
