// The POSIX side of the file layer.
#include "store/platform/File.h"

#include "store/OrvjError.h"
#include "store/platform/WriteFaults.h"

#ifdef ORVJ_HAVE_SODIUM
#include <sodium.h>
#else
#include <sys/random.h>
#endif

#include <cerrno>
#include <climits>
#include <fcntl.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#include <utility>

namespace orvj::platform {
namespace {

int openNoIntr(const char* path, int flags, mode_t mode) {
    int fd = -1;
    do {
        fd = ::open(path, flags, mode);
    } while (fd < 0 && errno == EINTR);
    return fd;
}

// A name that is no regular file (a device, a pipe, a folder) is refused like a missing one
// would be, with the reason.
void requireRegular(int fd, const std::filesystem::path& path, const std::string& what) {
    struct stat st {};
    if (::fstat(fd, &st) != 0) {
        const int err = errno;
        ::close(fd);
        throwFileError(path, err, what);
    }
    if (!S_ISREG(st.st_mode)) {
        ::close(fd);
        throw OrvjError(ErrorCode::BadFileName,
                        path.string() + ": " + what + ": it is not a regular file");
    }
}

// O_NONBLOCK only keeps a pipe planted under a file's name from stopping the open; it is taken
// off again for the regular file that remains.
void clearNonBlocking(int fd) {
    const int flags = ::fcntl(fd, F_GETFL);
    if (flags >= 0) {
        ::fcntl(fd, F_SETFL, flags & ~O_NONBLOCK);
    }
}

std::filesystem::path folderOf(const std::filesystem::path& path) {
    return path.has_parent_path() ? path.parent_path() : std::filesystem::path(".");
}

[[noreturn]] void throwOpenError(const std::filesystem::path& path, int err,
                                 const std::string& what) {
    if (err == ELOOP) {
        throw OrvjError(ErrorCode::BadFileName,
                        path.string() + ": " + what +
                            ": the name is a link, and a file is never made through a link");
    }
    throwFileError(path, err, what);
}

} // namespace

File File::open(const std::filesystem::path& path, Mode mode, const std::string& what) {
    const int common = O_CLOEXEC | O_NONBLOCK;
    int fd = -1;
    bool created = false;
    switch (mode) {
    case Mode::Read:
        fd = openNoIntr(path.c_str(), common | O_RDONLY, 0);
        break;
    case Mode::ReadWriteCreate:
        // Made exclusively when missing, so that the new file's mode is this program's choice;
        // an existing one is opened as it is. A link under the name is refused either way.
        fd = openNoIntr(path.c_str(), common | O_RDWR | O_CREAT | O_EXCL | O_NOFOLLOW,
                        newFileMode(folderOf(path)));
        if (fd >= 0) {
            created = true;
        } else if (errno == EEXIST) {
            fd = openNoIntr(path.c_str(), common | O_RDWR | O_NOFOLLOW, 0);
        }
        break;
    case Mode::CreateNew:
        fd = openNoIntr(path.c_str(), common | O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW,
                        newFileMode(folderOf(path)));
        created = fd >= 0;
        break;
    }
    if (fd < 0) {
        throwOpenError(path, errno, what);
    }
    requireRegular(fd, path, what);
    clearNonBlocking(fd);
    if (created) {
        // The mode asked for at creation is cut by the umask; the intended one is set here.
        static_cast<void>(::fchmod(fd, newFileMode(folderOf(path))));
    }
    return File(path, fd, created);
}

File::File(File&& other) noexcept
    : m_path(std::move(other.m_path)), m_handle(std::exchange(other.m_handle, -1)),
      m_created(other.m_created) {}

File& File::operator=(File&& other) noexcept {
    if (this != &other) {
        if (m_handle >= 0) {
            ::close(m_handle);
        }
        m_path = std::move(other.m_path);
        m_handle = std::exchange(other.m_handle, -1);
        m_created = other.m_created;
    }
    return *this;
}

File::~File() {
    if (m_handle >= 0) {
        ::close(m_handle);
    }
}

std::uint64_t File::size(const std::string& what) const {
    struct stat st {};
    if (::fstat(m_handle, &st) != 0) {
        throwFileError(m_path, errno, what);
    }
    return static_cast<std::uint64_t>(st.st_size);
}

std::size_t File::readAt(std::uint64_t offset, char* data, std::size_t n,
                         const std::string& what) const {
    std::size_t done = 0;
    while (done < n) {
        const ssize_t got =
            ::pread(m_handle, data + done, n - done, static_cast<off_t>(offset + done));
        if (got < 0) {
            if (errno == EINTR) {
                continue;
            }
            throwFileError(m_path, errno, what);
        }
        if (got == 0) {
            break;
        }
        done += static_cast<std::size_t>(got);
    }
    return done;
}

void File::writeAll(const char* data, std::size_t n, const std::string& what) {
    std::size_t done = 0;
    while (done < n) {
        std::size_t chunk = n - done;
        if (const int err = detail::nextWriteFault(chunk); err != 0) {
            throwFileError(m_path, err, what);
        }
        const ssize_t put = ::write(m_handle, data + done, chunk);
        if (put < 0) {
            if (errno == EINTR) {
                continue;
            }
            throwFileError(m_path, errno, what);
        }
        done += static_cast<std::size_t>(put);
    }
}

void File::seekToEnd(const std::string& what) {
    if (::lseek(m_handle, 0, SEEK_END) < 0) {
        throwFileError(m_path, errno, what);
    }
}

void File::truncate(std::uint64_t length, const std::string& what) {
    while (::ftruncate(m_handle, static_cast<off_t>(length)) != 0) {
        if (errno != EINTR) {
            throwFileError(m_path, errno, what);
        }
    }
}

void File::flush(const std::string& what) {
    if (const int err = detail::nextFaultError(FaultOp::Flush); err != 0) {
        throwFileError(m_path, err, what);
    }
    if (::fsync(m_handle) != 0) {
        throwFileError(m_path, errno, what);
    }
}

void File::close(const std::string& what) {
    const int fd = std::exchange(m_handle, -1);
    if (fd < 0) {
        return;
    }
    const int err = detail::nextFaultError(FaultOp::Close);
    if (::close(fd) != 0 && err == 0) {
        throwFileError(m_path, errno, what);
    }
    if (err != 0) {
        throwFileError(m_path, err, what);
    }
}

void File::copyPermissionsFrom(const std::filesystem::path& model) {
    struct stat st {};
    const mode_t mode = ::lstat(model.c_str(), &st) == 0 && S_ISREG(st.st_mode)
                            ? (st.st_mode & 07777)
                            : newFileMode(folderOf(model));
    // Best effort: a file system without modes (a network share) keeps its own.
    static_cast<void>(::fchmod(m_handle, mode));
}

bool File::tryLockExclusive(const std::string& what) {
    struct flock lock {};
    lock.l_type = F_WRLCK;
    lock.l_whence = SEEK_SET;
    lock.l_start = 0;
    lock.l_len = 0; // the whole file, however long it grows
#ifdef F_OFD_SETLK
    // Locks of the open file, not of the process: two handles in one program exclude each
    // other too, and closing some other handle of the file does not drop the lock.
    const int command = F_OFD_SETLK;
#else
    const int command = F_SETLK;
#endif
    while (::fcntl(m_handle, command, &lock) != 0) {
        if (errno == EINTR) {
            continue;
        }
        if (errno == EAGAIN || errno == EACCES) {
            return false;
        }
        throwFileError(m_path, errno, what);
    }
    return true;
}

FileIdentity File::identity() const {
    struct stat st {};
    if (::fstat(m_handle, &st) != 0) {
        return {};
    }
    return {static_cast<std::uint64_t>(st.st_dev), static_cast<std::uint64_t>(st.st_ino)};
}

bool File::stillNamedBy(const std::filesystem::path& path) const {
    FileIdentity named;
    return identityOf(path, named) && named == identity();
}

bool identityOf(const std::filesystem::path& path, FileIdentity& identity) noexcept {
    struct stat st {};
    if (::lstat(path.c_str(), &st) != 0) {
        return false;
    }
    identity = {static_cast<std::uint64_t>(st.st_dev), static_cast<std::uint64_t>(st.st_ino)};
    return true;
}

unsigned newFileMode(const std::filesystem::path& folder) {
    struct stat st {};
    if (::stat(folder.c_str(), &st) == 0 && (st.st_mode & S_ISGID) != 0 &&
        (st.st_mode & S_IWGRP) != 0) {
        return 0660;
    }
    return 0600;
}

void makeFolder(const std::filesystem::path& folder, const std::string& what) {
    const mode_t mode = newFileMode(folderOf(folder)) == 0660 ? 02770 : 0700;
    if (::mkdir(folder.c_str(), mode) != 0) {
        const int err = errno;
        struct stat st {};
        if (err == EEXIST && ::lstat(folder.c_str(), &st) == 0 && S_ISDIR(st.st_mode)) {
            return;
        }
        throwFileError(folder, err, what);
    }
    // As for files, the umask does not decide.
    static_cast<void>(::chmod(folder.c_str(), mode));
}

void restrictNewFileModes() noexcept {
    ::umask(077);
}

LinkInfo inspectLink(const std::filesystem::path& path) {
    LinkInfo info;
    struct stat st {};
    if (::lstat(path.c_str(), &st) != 0 || !S_ISLNK(st.st_mode)) {
        return info;
    }
    info.isLink = true;
    info.trusted = st.st_uid == ::getuid() || st.st_uid == 0;
    std::error_code ec;
    info.target = std::filesystem::canonical(path, ec);
    if (ec) {
        info.target.clear();
    }
    return info;
}

void renameOver(const std::filesystem::path& from, const std::filesystem::path& to,
                const std::string& what) {
    if (const int err = detail::nextFaultError(FaultOp::Rename); err != 0) {
        throwFileError(to, err, what);
    }
    if (::rename(from.c_str(), to.c_str()) != 0) {
        throwFileError(to, errno, what);
    }
}

bool flushFolder(const std::filesystem::path& folder) noexcept {
    const std::filesystem::path name = folder.empty() ? std::filesystem::path(".") : folder;
    const int fd = ::open(name.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) {
        return false;
    }
    const bool ok = ::fsync(fd) == 0;
    ::close(fd);
    return ok;
}

void removeFile(const std::filesystem::path& path) noexcept {
    ::unlink(path.c_str());
}

std::string computerName() {
    char name[HOST_NAME_MAX + 1] = {};
    if (::gethostname(name, sizeof name - 1) != 0 || name[0] == '\0') {
        return "this computer";
    }
    return name;
}

long processId() {
    return static_cast<long>(::getpid());
}

std::string userId() {
    return std::to_string(::getuid());
}

std::tm localTime(std::time_t t) {
    std::tm local{};
    ::localtime_r(&t, &local);
    return local;
}

void randomBytes(void* data, std::size_t n) {
#ifdef ORVJ_HAVE_SODIUM
    if (::sodium_init() < 0) {
        throw OrvjError(ErrorCode::DeviceIO, "the system's random source cannot be used");
    }
    ::randombytes_buf(data, n);
#else
    auto* out = static_cast<unsigned char*>(data);
    std::size_t done = 0;
    while (done < n) {
        const ssize_t got = ::getrandom(out + done, n - done, 0);
        if (got < 0) {
            if (errno == EINTR) {
                continue;
            }
            throw OrvjError(ErrorCode::DeviceIO, "the system's random source cannot be used");
        }
        done += static_cast<std::size_t>(got);
    }
#endif
}

std::filesystem::path executablePath(const char* argv0) {
    std::error_code ec;
    std::filesystem::path exe = std::filesystem::canonical("/proc/self/exe", ec);
    if (ec && argv0 != nullptr) {
        exe = std::filesystem::absolute(argv0, ec);
    }
    return ec ? std::filesystem::path() : exe;
}

int runProgram(const std::filesystem::path& program, const std::vector<std::string>& args,
               std::string& errorOutput) {
    int pipeEnds[2] = {-1, -1};
    if (::pipe2(pipeEnds, O_CLOEXEC) != 0) {
        throwFileError(program, errno, "starting the program");
    }
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, pipeEnds[1], STDERR_FILENO);
    std::vector<std::string> argStrings{program.string()};
    argStrings.insert(argStrings.end(), args.begin(), args.end());
    std::vector<char*> argv;
    for (auto& a : argStrings) {
        argv.push_back(a.data());
    }
    argv.push_back(nullptr);
    pid_t child = 0;
    const int started =
        ::posix_spawn(&child, program.c_str(), &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    ::close(pipeEnds[1]);
    if (started != 0) {
        ::close(pipeEnds[0]);
        throwFileError(program, started, "starting the program");
    }
    errorOutput.clear();
    char buffer[4096];
    for (;;) {
        const ssize_t got = ::read(pipeEnds[0], buffer, sizeof buffer);
        if (got > 0) {
            errorOutput.append(buffer, static_cast<std::size_t>(got));
        } else if (got == 0 || errno != EINTR) {
            break;
        }
    }
    ::close(pipeEnds[0]);
    int status = 0;
    while (::waitpid(child, &status, 0) < 0) {
        if (errno != EINTR) {
            throwFileError(program, errno, "waiting for the program");
        }
    }
    return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
}

} // namespace orvj::platform
