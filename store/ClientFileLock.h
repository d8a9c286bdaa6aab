#pragma once

#include "store/platform/File.h"

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

    // Waits at most `wait` for the lock. When it stays taken, throws OrvjError (FileLocked)
    // naming who holds it and what the supervisor can do.
    ClientFileLock(const std::filesystem::path& clientFile, std::chrono::milliseconds wait);

    ClientFileLock(const ClientFileLock&) = delete;
    ClientFileLock& operator=(const ClientFileLock&) = delete;
    ~ClientFileLock() = default; // closing the lock file releases the lock

    static std::filesystem::path lockPathFor(const std::filesystem::path& clientFile);

    // The holder's description as it stands in the lock file ("" when it cannot be read).
    static std::string holder(const std::filesystem::path& clientFile);

private:
    platform::File m_file;
};

} // namespace orvj
