#pragma once

#include <cstddef>
#include <cstdint>
#include <ctime>
#include <filesystem>
#include <string>
#include <vector>

namespace orvj::platform {

// The system's handle of an open file: a descriptor on POSIX, a HANDLE on Windows; -1 when
// none is open on either.
using NativeHandle = std::intptr_t;

// The operating-system calls the client file and the configuration file need, in one place.
// Every call that fails throws OrvjError with a message naming the file, what was being done
// (the `what` given) and the system's reason.
// Two names stand for one file when their identities are equal.
struct FileIdentity {
    std::uint64_t device = 0;
    std::uint64_t inode = 0;
    bool operator==(const FileIdentity&) const = default;
};

// The operating-system calls the core needs, in one place. Every call that fails throws
// OrvjError with a message naming the file, what was being done (the `what` given) and the
// system's reason.
//
// A data folder may be shared with other users, so a file is never made through a link
// planted under its name, only regular files are opened (a device, a pipe or a folder under a
// file's name is refused), and a new file is private to its owner, or to the folder's group in
// a group-shared folder (see newFileMode).
class File {
public:
    enum class Mode {
        Read,            // existing regular file, reading only; a link is followed
        ReadWriteCreate, // reading and writing, created when missing; a link is refused
        CreateNew,       // writing only, a new file: refused when the name exists
    };

    static File open(const std::filesystem::path& path, Mode mode, const std::string& what);

    // A new file beside `target`: the target's name, a dot and eight random letters or digits
    // (`prefix` before the target's name), made exclusively, so no other file, link or
    // program's temporary is ever taken over.
    static File createTemporaryBeside(const std::filesystem::path& target, const std::string& what,
                                      const std::string& prefix = "");

    File(File&& other) noexcept;
    File& operator=(File&& other) noexcept;
    File(const File&) = delete;
    File& operator=(const File&) = delete;
    ~File(); // closes without reporting; call close() where a failed close matters

    const std::filesystem::path& path() const { return m_path; }
    bool isOpen() const { return m_handle >= 0; }
    // True when this open() or createTemporaryBeside() made the file.
    bool created() const { return m_created; }

    std::uint64_t size(const std::string& what) const;

    // The whole file, after checking that it holds at most `limit` bytes (a file claiming to
    // be larger than any file of its kind is refused before anything is read).
    std::string readAll(std::uint64_t limit, const std::string& what) const;

    // Reads up to n bytes at the offset; fewer only at the end of the file.
    std::size_t readAt(std::uint64_t offset, char* data, std::size_t n,
                       const std::string& what) const;

    // Writes all n bytes from the current position.
    void writeAll(const char* data, std::size_t n, const std::string& what);

    // Moves the position to the end of the file, where the next write appends.
    void seekToEnd(const std::string& what);

    // Cuts or extends the file to `length` bytes; the position stays where it was.
    void truncate(std::uint64_t length, const std::string& what);

    // Flushes the file's data to the disk.
    void flush(const std::string& what);

    void close(const std::string& what);

    // Gives the file the permission bits of `model` when that is a regular file, else the mode
    // a new file of the model's folder gets (newFileMode).
    void copyPermissionsFrom(const std::filesystem::path& model);

    // An exclusive lock of the file against every other holder, without waiting: false when
    // another holder has it. The lock belongs to this open file and ends with it (or with the
    // process). It keeps other lockers out and nothing else: others still read the file.
    bool tryLockExclusive(const std::string& what);

    FileIdentity identity() const;

    // True while `path` still names the file this handle has open (it was not removed or
    // replaced since it was opened).
    bool stillNamedBy(const std::filesystem::path& path) const;

private:
    File(std::filesystem::path path, NativeHandle handle, bool created)
        : m_path(std::move(path)), m_handle(handle), m_created(created) {}

    std::filesystem::path m_path;
    NativeHandle m_handle = -1;
    bool m_created = false;
};

// The identity of the file `path` names itself (a link is not followed); none when missing.
bool identityOf(const std::filesystem::path& path, FileIdentity& identity) noexcept;

// The permission bits a new file in `folder` gets: read and write for the owner only, or also
// for the group when the folder is group-shared (set-group-ID and writable by its group), so
// that every member of the office's group can keep saving.
unsigned newFileMode(const std::filesystem::path& folder);

// Makes a folder (not its parents) private like a new file, searchable by its owner, or also
// by the group in a group-shared parent. A folder already there is no fault.
void makeFolder(const std::filesystem::path& folder, const std::string& what);

// Files and folders the program makes without these calls (Qt's, a PDF) are private too.
void restrictNewFileModes() noexcept;

// What a name in a data folder is: a link, and if so whether the user running the program
// may trust it (it was made by that user or by the administrator) and where it leads.
struct LinkInfo {
    bool isLink = false;
    bool trusted = false;
    std::filesystem::path target; // the final file, absolute, when the link can be followed
};
LinkInfo inspectLink(const std::filesystem::path& path);

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

// The folder of the running program's own file: where the program folder rule looks for a
// portable folder and for the installed template.
std::filesystem::path executableFolder(const char* argv0);

// Runs `program` with `args` (without the program name), with this program's environment,
// standard input and standard output, and waits for it to end. What it writes to standard
// error is collected in `errorOutput`. Returns its exit status (128 + the signal number when a
// signal ended it). Throws OrvjError naming the program when it cannot be started.
int runProgram(const std::filesystem::path& program, const std::vector<std::string>& args,
               std::string& errorOutput);

} // namespace orvj::platform
