#pragma once

#include <filesystem>
#include <functional>
#include <stdexcept>
#include <string>
#include <vector>

namespace orvj {

// Puts a publisher's set of inventory files in place in the program folder: the scoring table,
// the report text files, the nine paragraph files, INVAL.TXT, PUBLISHER.TXT, ORV-J.TXT and the
// question bank. Every file is read with the program's own loaders first; one bad file and
// nothing is replaced.
namespace InventoryInstaller {

// The file names of a set, in the order they are checked and put in place.
std::vector<std::string> fileNames();

struct Problem {
    std::string file;   // the file's name in the set
    std::string reason; // what the loader found wrong with it
};

// Reads every file of the set in `source` as a report and a test would read it. Empty when
// the set is good.
std::vector<Problem> check(const std::filesystem::path& source);

// The set was refused: nothing in the program folder changed.
class Refused : public std::runtime_error {
public:
    explicit Refused(std::vector<Problem> problems);
    const std::vector<Problem>& problems() const { return m_problems; }

private:
    std::vector<Problem> m_problems;
};

struct Result {
    std::filesystem::path backupFolder; // where the set that was in place now is
    std::vector<std::string> installed; // the names put in place
};

// Checks the set (throws Refused), copies the current set into a backup folder
// "inventory-backup-<stamp>" inside the program folder, writes every new file beside its
// final name and, once all are written and flushed, renames each over the old one. A fault
// while copying or writing (a full disk) removes the backup and the new files and leaves the
// current set untouched; OrvjError names the file. `progress(done, total)` runs after each
// step.
Result install(const std::filesystem::path& source, const std::filesystem::path& home,
               const std::string& stamp, const std::function<void(int, int)>& progress = {});

// "YYYY-MM-DD-HHMMSS" of the local time now, for the backup folder's name.
std::string stampNow();

// The supervisor's summary of a finished install, and of a refused set.
std::string summary(const Result& result);
std::string refusal(const std::vector<Problem>& problems);

} // namespace InventoryInstaller
} // namespace orvj
