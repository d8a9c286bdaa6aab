#pragma once

#include "store/LockFile.h"

#include <chrono>
#include <filesystem>
#include <string>

namespace orvj {

// The lock every report run of a program folder works under: the viewer's report, a print run
// of the supervisor's utilities, `orvj-report --client` and `--all`. Each of them writes
// REPORT.PRN and the numbered copies through temporaries, and two at once would print one
// client's report under another's number, so they take turns. It is an exclusive lock on the
// file REPORT.LCK in the program folder, which also names its holder; the system drops it when
// its holder ends, also when it crashes.
//
// Only the holder writes report temporaries, so taking the lock removes every temporary found:
// each was left by a run that was killed.
class ReportFolderLock {
public:
    static constexpr const char* kFileName = "REPORT.LCK";
    static constexpr std::chrono::milliseconds kDefaultWait{30000};

    // Waits at most `wait` for the lock of the program folder `home`. When it stays taken,
    // throws OrvjError (FileLocked) naming who holds it and what the supervisor can do. A lock
    // file that is a link or no regular file is refused.
    ReportFolderLock(const std::filesystem::path& home, std::chrono::milliseconds wait);

    ReportFolderLock(ReportFolderLock&&) noexcept = default;
    ReportFolderLock& operator=(ReportFolderLock&&) noexcept = default;
    ReportFolderLock(const ReportFolderLock&) = delete;
    ReportFolderLock& operator=(const ReportFolderLock&) = delete;
    ~ReportFolderLock() = default; // closing the lock file releases the lock

    const std::filesystem::path& home() const { return m_home; }

    static std::filesystem::path lockPathFor(const std::filesystem::path& home);

    // The holder's description as it stands in the lock file, as plain printable text; ""
    // when it cannot be read.
    static std::string holder(const std::filesystem::path& home);

private:
    std::filesystem::path m_home;
    LockFile m_lock;
};

} // namespace orvj
