#pragma once

#include "store/LockFile.h"

#include <chrono>
#include <filesystem>
#include <string>

namespace orvj {

// The lock every change of the client file is made under, so that two programs sharing one
// data folder (two PCs on a network folder) never write at the same time. It is an exclusive
// lock on the file DATA301.LCK beside the client file, which also names its holder. The
// system drops the lock when its holder ends, also when it crashes.
class ClientFileLock {
public:
    static constexpr const char* kFileName = "DATA301.LCK";

    // Waits at most `wait` for the lock of `clientFile` (the file itself, a link already
    // resolved). When it stays taken, throws OrvjError (FileLocked) naming who holds it and
    // what the supervisor can do. A lock file that is a link or no regular file is refused.
    ClientFileLock(const std::filesystem::path& clientFile, std::chrono::milliseconds wait);

    ClientFileLock(const ClientFileLock&) = delete;
    ClientFileLock& operator=(const ClientFileLock&) = delete;
    ~ClientFileLock() = default; // closing the lock file releases the lock

    static std::filesystem::path lockPathFor(const std::filesystem::path& clientFile);

    // The holder's description as it stands in the lock file ("" when it cannot be read), as
    // plain printable text (LockFile::holderText).
    static std::string holder(const std::filesystem::path& clientFile);

    // True while this lock is still the one DATA301.LCK names and still says it is this
    // program's: false when a supervisor deleted the lock file (thinking its holder had
    // stopped) and another program may have locked and saved since.
    bool stillHeld() const { return m_lock.stillHeld(); }

private:
    LockFile m_lock;
};

} // namespace orvj
