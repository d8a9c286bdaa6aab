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
#include <sys/stat.h>
#include <unistd.h>
#include <utility>

namespace orvj::platform {
File File::open(const std::filesystem::path& path, Mode mode, const std::string& what) {
    int flags = O_CLOEXEC;
    switch (mode) {
    case Mode::Read:
        flags |= O_RDONLY;
        break;
    case Mode::ReadWriteCreate:
        flags |= O_RDWR | O_CREAT;
        break;
    case Mode::Replace:
        flags |= O_WRONLY | O_CREAT | O_TRUNC;
        break;
    }
    int fd = -1;
    do {
        fd = ::open(path.c_str(), flags, 0644);
    } while (fd < 0 && errno == EINTR);
    if (fd < 0) {
        throwFileError(path, errno, what);
    }
    return File(path, fd);
}

File::File(File&& other) noexcept
    : m_path(std::move(other.m_path)), m_handle(std::exchange(other.m_handle, -1)) {}

File& File::operator=(File&& other) noexcept {
    if (this != &other) {
        if (m_handle >= 0) {
            ::close(m_handle);
        }
        m_path = std::move(other.m_path);
        m_handle = std::exchange(other.m_handle, -1);
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
    const mode_t mode = ::stat(model.c_str(), &st) == 0 ? (st.st_mode & 07777) : 0644;
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

bool File::stillNamedBy(const std::filesystem::path& path) const {
    struct stat mine {};
    struct stat named {};
    if (::fstat(m_handle, &mine) != 0 || ::stat(path.c_str(), &named) != 0) {
        return false;
    }
    return mine.st_dev == named.st_dev && mine.st_ino == named.st_ino;
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

} // namespace orvj::platform
