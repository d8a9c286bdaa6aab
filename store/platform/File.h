#pragma once

#include <cstddef>
#include <cstdint>
#include <ctime>
#include <filesystem>
#include <string>

namespace orvj::platform {

// The system's handle of an open file: a descriptor on POSIX, a HANDLE on Windows; -1 when
// none is open on either.
using NativeHandle = std::intptr_t;

// The operating-system calls the client file and the configuration file need, in one place.
// Every call that fails throws OrvjError with a message naming the file, what was being done
// (the `what` given) and the system's reason.
class File {
public:
    enum class Mode {
        Read,            // existing file, reading only
        ReadWriteCreate, // reading and writing, created empty when missing
        Replace,         // writing only, created or emptied (a file that will be renamed over)
    };

    static File open(const std::filesystem::path& path, Mode mode, const std::string& what);

    File(File&& other) noexcept;
    File& operator=(File&& other) noexcept;
    File(const File&) = delete;
    File& operator=(const File&) = delete;
    ~File(); // closes without reporting; call close() where a failed close matters

    const std::filesystem::path& path() const { return m_path; }
    bool isOpen() const { return m_handle >= 0; }

    std::uint64_t size(const std::string& what) const;

    // Reads up to n bytes at the offset; fewer only at the end of the file.
    std::size_t readAt(std::uint64_t offset, char* data, std::size_t n,
                       const std::string& what) const;

    // Writes all n bytes from the current position.
    void writeAll(const char* data, std::size_t n, const std::string& what);

    // Cuts or extends the file to `length` bytes; the position stays where it was.
    void truncate(std::uint64_t length, const std::string& what);

    // Flushes the file's data to the disk.
    void flush(const std::string& what);

    void close(const std::string& what);

    // Gives the file the permission bits of `model` when it exists, else read-write for the
    // owner and readable by others.
    void copyPermissionsFrom(const std::filesystem::path& model);

    // An exclusive lock of the file against every other holder, without waiting: false when
    // another holder has it. The lock belongs to this open file and ends with it (or with the
    // process). It keeps other lockers out and nothing else: others still read the file.
    bool tryLockExclusive(const std::string& what);

    // True while `path` still names the file this handle has open (it was not removed or
    // replaced since it was opened).
    bool stillNamedBy(const std::filesystem::path& path) const;

private:
    File(std::filesystem::path path, NativeHandle handle)
        : m_path(std::move(path)), m_handle(handle) {}

    std::filesystem::path m_path;
    NativeHandle m_handle = -1;
};

// Replaces `to` by `from` in one step: a reader sees the old file or the new one, never a mix,
// also while another program holds `to` open for reading.
void renameOver(const std::filesystem::path& from, const std::filesystem::path& to,
                const std::string& what);

// Flushes a folder's entries (a rename into it) to the disk. False when the system cannot.
bool flushFolder(const std::filesystem::path& folder) noexcept;

// Removes a file; a missing file is no fault. Never throws.
void removeFile(const std::filesystem::path& path) noexcept;

// Names this computer and process, for telling the supervisor who holds a lock.
std::string computerName();
long processId();

// Tells this user from others on the same computer: the user number on POSIX, the user name
// (UTF-8) on Windows.
std::string userId();

// The local calendar time of `t` (the thread-safe form each system has).
std::tm localTime(std::time_t t);

// Fills `data` with n bytes from the system's cryptographic random source. Throws OrvjError
// when the source cannot be used.
void randomBytes(void* data, std::size_t n);

// The running program's own file (`argv0` where the system cannot tell); empty when unknown.
std::filesystem::path executablePath(const char* argv0);

} // namespace orvj::platform
