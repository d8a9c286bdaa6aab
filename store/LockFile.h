#pragma once

#include "store/platform/File.h"

#include <chrono>
#include <filesystem>
#include <functional>
#include <string>
#include <string_view>

namespace orvj {

// An exclusive operating-system lock on a lock file that also names its holder, for the locks
// of the client file and of the report files. The system drops the lock when its holder ends,
// also when it crashes. A lock file that is a link or no regular file is refused.
class LockFile {
public:
    // The message of the OrvjError (FileLocked) thrown when the lock stays taken, from the
    // holder's description ("" when unknown) and the wait in seconds ("10", "0.5").
    using Refusal =
        std::function<std::string(const std::string& holder, const std::string& seconds)>;

    // Waits at most `wait` for the lock. `holderIntro` begins the description this holder
    // writes ("the program", "a report run"); `what` names the lock in fault messages.
    LockFile(std::filesystem::path lockPath, std::chrono::milliseconds wait,
             const std::string& holderIntro, const std::string& what, const Refusal& refusal);

    LockFile(LockFile&&) noexcept = default;
    LockFile& operator=(LockFile&&) noexcept = default;
    LockFile(const LockFile&) = delete;
    LockFile& operator=(const LockFile&) = delete;
    ~LockFile() = default; // closing the lock file releases the lock

    const std::filesystem::path& path() const { return m_lockPath; }

    // True while this lock is still the one the name stands for and still says it is this
    // holder's: false when somebody deleted the lock file (thinking its holder had stopped)
    // and another program may have taken a lock of the same name since.
    bool stillHeld() const;

    // The holder's description as it stands in the lock file, as holderText; "" when it
    // cannot be read.
    static std::string holder(const std::filesystem::path& lockPath);

    // The first line of a lock file's bytes, which anybody with access to the folder may have
    // written: control bytes become spaces, outer spaces go, and at most kMaxHolderText bytes
    // stay (not cutting a UTF-8 character).
    static constexpr std::size_t kMaxHolderText = 160;
    static std::string holderText(std::string_view raw);

private:
    std::filesystem::path m_lockPath;
    platform::File m_file;
    std::string m_text;
};

} // namespace orvj
