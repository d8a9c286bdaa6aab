// The Windows side of the file layer.
#include "store/platform/File.h"

#include "store/OrvjError.h"
#include "store/platform/WriteFaults.h"

#include <algorithm>
#include <cerrno>
#include <utility>

#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>
// After windows.h, which it needs.
#include <bcrypt.h>

namespace orvj::platform {
namespace {

// Every file is opened so that other programs may read, write, rename and delete it: a
// report viewer holding REPORT.PRN open must not stop the next report from replacing it.
constexpr DWORD kShareAll = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;

// The lock covers one byte far past any end a file of this program reaches. Windows locks
// are binding on reads too, so a lock on the file's own bytes would keep others from reading
// who holds it.
constexpr std::uint64_t kLockOffset = std::uint64_t{1} << 62;

HANDLE toHandle(NativeHandle h) {
    return reinterpret_cast<HANDLE>(h);
}

NativeHandle fromHandle(HANDLE h) {
    return reinterpret_cast<NativeHandle>(h);
}

// The system's error as the errno value the rest of the core maps to its own codes.
int errnoOf(DWORD error) {
    switch (error) {
    case ERROR_ACCESS_DENIED:
    case ERROR_SHARING_VIOLATION:
    case ERROR_LOCK_VIOLATION:
    case ERROR_WRITE_PROTECT:
    case ERROR_NETWORK_ACCESS_DENIED:
        return EACCES;
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND:
    case ERROR_INVALID_DRIVE:
    case ERROR_BAD_NETPATH:
    case ERROR_BAD_NET_NAME:
    case ERROR_NOT_READY:
    case ERROR_DIRECTORY:
        return ENOENT;
    case ERROR_DISK_FULL:
    case ERROR_HANDLE_DISK_FULL:
        return ENOSPC;
    default:
        return EIO;
    }
}

[[noreturn]] void throwLastError(const std::filesystem::path& path, const std::string& what) {
    throwFileError(path, errnoOf(::GetLastError()), what);
}

LARGE_INTEGER largeInteger(std::uint64_t value) {
    LARGE_INTEGER li;
    li.QuadPart = static_cast<LONGLONG>(value);
    return li;
}

bool fileIdentity(HANDLE h, BY_HANDLE_FILE_INFORMATION& info) {
    return ::GetFileInformationByHandle(h, &info) != 0;
}

constexpr wchar_t kAsideMark[] = L".old-";

// True while a replace by renameAside() of `path` is under way (its old file is put aside).
bool replaceUnderWay(const std::filesystem::path& path) {
    std::filesystem::path pattern = path;
    pattern += std::wstring(kAsideMark) + L"*";
    WIN32_FIND_DATAW found;
    const HANDLE search = ::FindFirstFileW(pattern.c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) {
        return false;
    }
    ::FindClose(search);
    return true;
}

// Renames with the old file put aside first. Wine refuses to rename over a file another handle
// holds open, whatever its sharing; Windows itself takes the direct rename.
bool renameAside(const std::filesystem::path& from, const std::filesystem::path& to) {
    std::filesystem::path aside = to;
    aside += kAsideMark + std::to_wstring(::GetCurrentProcessId());
    if (!::MoveFileExW(to.c_str(), aside.c_str(), MOVEFILE_REPLACE_EXISTING)) {
        return false;
    }
    if (!::MoveFileExW(from.c_str(), to.c_str(), MOVEFILE_WRITE_THROUGH)) {
        const DWORD error = ::GetLastError();
        ::MoveFileExW(aside.c_str(), to.c_str(), 0);
        ::SetLastError(error);
        return false;
    }
    // The old file goes now, or when its last reader closes it.
    ::DeleteFileW(aside.c_str());
    return true;
}

} // namespace

File File::open(const std::filesystem::path& path, Mode mode, const std::string& what) {
    DWORD access = GENERIC_READ;
    DWORD disposition = OPEN_EXISTING;
    // A reparse point (a link) under a name this program writes is opened as itself, never
    // followed, and then refused as no regular file.
    DWORD flags = FILE_ATTRIBUTE_NORMAL;
    switch (mode) {
    case Mode::Read:
        break;
    case Mode::ReadWriteCreate:
        access = GENERIC_READ | GENERIC_WRITE;
        disposition = OPEN_ALWAYS;
        flags |= FILE_FLAG_OPEN_REPARSE_POINT;
        break;
    case Mode::CreateNew:
        access = GENERIC_WRITE;
        disposition = CREATE_NEW;
        flags |= FILE_FLAG_OPEN_REPARSE_POINT;
        break;
    }
    bool created = disposition == CREATE_NEW;
    HANDLE h =
        ::CreateFileW(path.c_str(), access, kShareAll, nullptr,
                      disposition == OPEN_ALWAYS ? OPEN_EXISTING : disposition, flags, nullptr);
    if (h == INVALID_HANDLE_VALUE && disposition == OPEN_ALWAYS &&
        ::GetLastError() == ERROR_FILE_NOT_FOUND) {
        // A file missing only because another program is replacing it the long way (see
        // renameAside) is back within moments: it must not be created empty meanwhile. After
        // two seconds a stale leftover no longer counts.
        for (int wait = 0; wait < 200 && replaceUnderWay(path); ++wait) {
            ::Sleep(10);
            if (::GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES) {
                break;
            }
        }
        h = ::CreateFileW(path.c_str(), access, kShareAll, nullptr, OPEN_ALWAYS, flags, nullptr);
        created = h != INVALID_HANDLE_VALUE && ::GetLastError() != ERROR_ALREADY_EXISTS;
    }
    if (h == INVALID_HANDLE_VALUE) {
        throwLastError(path, what);
    }
    BY_HANDLE_FILE_INFORMATION info{};
    if (::GetFileType(h) != FILE_TYPE_DISK || !fileIdentity(h, info) ||
        (info.dwFileAttributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT)) != 0) {
        ::CloseHandle(h);
        throw OrvjError(ErrorCode::BadFileName,
                        path.string() + ": " + what + ": it is not a regular file");
    }
    return File(path, fromHandle(h), created);
}

File::File(File&& other) noexcept
    : m_path(std::move(other.m_path)), m_handle(std::exchange(other.m_handle, -1)),
      m_created(other.m_created) {}

File& File::operator=(File&& other) noexcept {
    if (this != &other) {
        if (m_handle >= 0) {
            ::CloseHandle(toHandle(m_handle));
        }
        m_path = std::move(other.m_path);
        m_handle = std::exchange(other.m_handle, -1);
        m_created = other.m_created;
    }
    return *this;
}

File::~File() {
    if (m_handle >= 0) {
        ::CloseHandle(toHandle(m_handle));
    }
}

std::uint64_t File::size(const std::string& what) const {
    LARGE_INTEGER size;
    if (!::GetFileSizeEx(toHandle(m_handle), &size)) {
        throwLastError(m_path, what);
    }
    return static_cast<std::uint64_t>(size.QuadPart);
}

std::size_t File::readAt(std::uint64_t offset, char* data, std::size_t n,
                         const std::string& what) const {
    // A read at an offset moves the file pointer on Windows; it is put back afterwards, so
    // that reading leaves the writing position alone as on POSIX.
    const HANDLE h = toHandle(m_handle);
    LARGE_INTEGER position;
    if (!::SetFilePointerEx(h, largeInteger(0), &position, FILE_CURRENT)) {
        throwLastError(m_path, what);
    }
    std::size_t done = 0;
    while (done < n) {
        OVERLAPPED at{};
        const std::uint64_t from = offset + done;
        at.Offset = static_cast<DWORD>(from & 0xFFFFFFFFu);
        at.OffsetHigh = static_cast<DWORD>(from >> 32);
        const DWORD chunk = static_cast<DWORD>(std::min<std::size_t>(n - done, 1u << 30));
        DWORD got = 0;
        if (!::ReadFile(h, data + done, chunk, &got, &at)) {
            if (::GetLastError() == ERROR_HANDLE_EOF) {
                break;
            }
            throwLastError(m_path, what);
        }
        if (got == 0) {
            break;
        }
        done += got;
    }
    ::SetFilePointerEx(h, position, nullptr, FILE_BEGIN);
    return done;
}

void File::writeAll(const char* data, std::size_t n, const std::string& what) {
    std::size_t done = 0;
    while (done < n) {
        std::size_t chunk = std::min<std::size_t>(n - done, 1u << 30);
        if (const int err = detail::nextWriteFault(chunk); err != 0) {
            throwFileError(m_path, err, what);
        }
        DWORD put = 0;
        if (!::WriteFile(toHandle(m_handle), data + done, static_cast<DWORD>(chunk), &put,
                         nullptr)) {
            throwLastError(m_path, what);
        }
        done += put;
    }
}

void File::seekToEnd(const std::string& what) {
    if (!::SetFilePointerEx(toHandle(m_handle), largeInteger(0), nullptr, FILE_END)) {
        throwLastError(m_path, what);
    }
}

void File::truncate(std::uint64_t length, const std::string& what) {
    const HANDLE h = toHandle(m_handle);
    LARGE_INTEGER position;
    if (!::SetFilePointerEx(h, largeInteger(0), &position, FILE_CURRENT) ||
        !::SetFilePointerEx(h, largeInteger(length), nullptr, FILE_BEGIN) || !::SetEndOfFile(h)) {
        throwLastError(m_path, what);
    }
    ::SetFilePointerEx(h, position, nullptr, FILE_BEGIN);
}

void File::flush(const std::string& what) {
    if (const int err = detail::nextFaultError(FaultOp::Flush); err != 0) {
        throwFileError(m_path, err, what);
    }
    if (!::FlushFileBuffers(toHandle(m_handle))) {
        throwLastError(m_path, what);
    }
}

void File::close(const std::string& what) {
    const NativeHandle h = std::exchange(m_handle, -1);
    if (h < 0) {
        return;
    }
    const int err = detail::nextFaultError(FaultOp::Close);
    if (!::CloseHandle(toHandle(h)) && err == 0) {
        throwLastError(m_path, what);
    }
    if (err != 0) {
        throwFileError(m_path, err, what);
    }
}

void File::copyPermissionsFrom(const std::filesystem::path&) {
    // A new file takes the folder's access rules on Windows; there are no mode bits to copy.
}

bool File::tryLockExclusive(const std::string& what) {
    OVERLAPPED at{};
    at.Offset = static_cast<DWORD>(kLockOffset & 0xFFFFFFFFu);
    at.OffsetHigh = static_cast<DWORD>(kLockOffset >> 32);
    if (::LockFileEx(toHandle(m_handle), LOCKFILE_EXCLUSIVE_LOCK | LOCKFILE_FAIL_IMMEDIATELY, 0, 1,
                     0, &at)) {
        return true;
    }
    const DWORD error = ::GetLastError();
    if (error == ERROR_LOCK_VIOLATION || error == ERROR_IO_PENDING) {
        return false;
    }
    throwFileError(m_path, errnoOf(error), what);
}

FileIdentity File::identity() const {
    BY_HANDLE_FILE_INFORMATION info{};
    if (!fileIdentity(toHandle(m_handle), info)) {
        return {};
    }
    return {info.dwVolumeSerialNumber,
            (std::uint64_t{info.nFileIndexHigh} << 32) | info.nFileIndexLow};
}

bool File::stillNamedBy(const std::filesystem::path& path) const {
    FileIdentity named;
    return identityOf(path, named) && named == identity();
}

bool identityOf(const std::filesystem::path& path, FileIdentity& identity) noexcept {
    const HANDLE named =
        ::CreateFileW(path.c_str(), FILE_READ_ATTRIBUTES, kShareAll, nullptr, OPEN_EXISTING,
                      FILE_FLAG_OPEN_REPARSE_POINT | FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (named == INVALID_HANDLE_VALUE) {
        return false;
    }
    BY_HANDLE_FILE_INFORMATION info{};
    const bool ok = fileIdentity(named, info);
    ::CloseHandle(named);
    if (ok) {
        identity = {info.dwVolumeSerialNumber,
                    (std::uint64_t{info.nFileIndexHigh} << 32) | info.nFileIndexLow};
    }
    return ok;
}

unsigned newFileMode(const std::filesystem::path&) {
    // Windows files take the access rules of their folder; there are no mode bits.
    return 0600;
}

void makeFolder(const std::filesystem::path& folder, const std::string& what) {
    if (!::CreateDirectoryW(folder.c_str(), nullptr)) {
        const DWORD error = ::GetLastError();
        const DWORD attributes = ::GetFileAttributesW(folder.c_str());
        if (error == ERROR_ALREADY_EXISTS && attributes != INVALID_FILE_ATTRIBUTES &&
            (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0 &&
            (attributes & FILE_ATTRIBUTE_REPARSE_POINT) == 0) {
            return;
        }
        throwFileError(folder, errnoOf(error), what);
    }
}

void restrictNewFileModes() noexcept {}

LinkInfo inspectLink(const std::filesystem::path& path) {
    LinkInfo info;
    const DWORD attributes = ::GetFileAttributesW(path.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_REPARSE_POINT) == 0) {
        return info;
    }
    // Who made a reparse point is not told here; none is trusted.
    info.isLink = true;
    return info;
}

void renameOver(const std::filesystem::path& from, const std::filesystem::path& to,
                const std::string& what) {
    if (const int err = detail::nextFaultError(FaultOp::Rename); err != 0) {
        throwFileError(to, err, what);
    }
    if (::MoveFileExW(from.c_str(), to.c_str(),
                      MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
        return;
    }
    const DWORD error = ::GetLastError();
    if ((error == ERROR_ACCESS_DENIED || error == ERROR_SHARING_VIOLATION) &&
        ::GetFileAttributesW(to.c_str()) != INVALID_FILE_ATTRIBUTES && renameAside(from, to)) {
        return;
    }
    throwFileError(to, errnoOf(error), what);
}

bool flushFolder(const std::filesystem::path&) noexcept {
    // MOVEFILE_WRITE_THROUGH has already put the rename on the disk.
    return true;
}

void removeFile(const std::filesystem::path& path) noexcept {
    // A file another program holds open is only marked for deletion and keeps its name until
    // that program closes it; renamed aside first, the name is free at once for a new file.
    static long removed = 0;
    std::filesystem::path aside = path;
    aside +=
        L".del-" + std::to_wstring(::GetCurrentProcessId()) + L"-" + std::to_wstring(++removed);
    if (::MoveFileExW(path.c_str(), aside.c_str(), 0)) {
        ::DeleteFileW(aside.c_str());
    } else {
        ::DeleteFileW(path.c_str());
    }
}

std::string computerName() {
    wchar_t name[MAX_COMPUTERNAME_LENGTH + 1] = {};
    DWORD length = MAX_COMPUTERNAME_LENGTH + 1;
    if (!::GetComputerNameW(name, &length) || length == 0) {
        return "this computer";
    }
    const std::u8string utf8 = std::filesystem::path(std::wstring(name, length)).u8string();
    return {utf8.begin(), utf8.end()};
}

long processId() {
    return static_cast<long>(::GetCurrentProcessId());
}

std::string userId() {
    wchar_t name[257] = {};
    DWORD length = 257;
    if (!::GetUserNameW(name, &length) || length <= 1) {
        return "user";
    }
    const std::u8string utf8 = std::filesystem::path(std::wstring(name, length - 1)).u8string();
    return {utf8.begin(), utf8.end()};
}

std::tm localTime(std::time_t t) {
    std::tm local{};
    ::localtime_s(&local, &t);
    return local;
}

void randomBytes(void* data, std::size_t n) {
    auto* out = static_cast<unsigned char*>(data);
    while (n > 0) {
        const ULONG chunk = static_cast<ULONG>(std::min<std::size_t>(n, 1u << 30));
        if (::BCryptGenRandom(nullptr, out, chunk, BCRYPT_USE_SYSTEM_PREFERRED_RNG) != 0) {
            throw OrvjError(ErrorCode::DeviceIO, "the system's random source cannot be used");
        }
        out += chunk;
        n -= chunk;
    }
}

std::filesystem::path executablePath(const char*) {
    std::wstring name(MAX_PATH, L'\0');
    for (;;) {
        const DWORD n = ::GetModuleFileNameW(nullptr, name.data(), static_cast<DWORD>(name.size()));
        if (n == 0) {
            return {};
        }
        if (n < name.size()) {
            name.resize(n);
            return name;
        }
        name.resize(name.size() * 2);
    }
}

// Only the full build starts other programs (orvj-report's printing program), and it has no
// Windows side.
int runProgram(const std::filesystem::path& program, const std::vector<std::string>&,
               std::string&) {
    throw OrvjError(ErrorCode::DeviceIO,
                    program.string() + ": starting another program is not part of this build");
}

} // namespace orvj::platform
