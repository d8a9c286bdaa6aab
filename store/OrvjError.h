#pragma once

#include <filesystem>
#include <stdexcept>
#include <string>

namespace orvj {

// Error numbers the forms and the start-up handler act on. They keep the numbering the
// offices know from the earlier program's messages.
namespace ErrorCode {
constexpr int Overflow = 6;
constexpr int SubscriptOutOfRange = 9;
constexpr int TypeMismatch = 13;
constexpr int BadFileName = 52;
constexpr int FileNotFound = 53;
constexpr int DeviceIO = 57;
constexpr int InputPastEnd = 62;
constexpr int PermissionDenied = 70;
constexpr int DiskNotReady = 71;
constexpr int FileLocked = 75; // another program holds the client file's lock
constexpr int PathNotFound = 76;
constexpr int DiskFull = 61;
constexpr int DbFileNotFound = 3024;
constexpr int DbBadPath = 3044;
constexpr int DbCannotOpen = 3051;
constexpr int DbNoTable = 3078;
constexpr int DbNoField = 3265;
} // namespace ErrorCode

// A file or data fault: an error number and a message that names the file and what was
// wrong with it. The core reports every fault this way and never writes a half record.
class OrvjError : public std::runtime_error {
public:
    OrvjError(int code, const std::string& message) : std::runtime_error(message), m_code(code) {}
    int code() const noexcept { return m_code; }

private:
    int m_code;
};

// Throws the OrvjError for a failed system call on a file: the error number `err` (errno)
// mapped to the program's codes, the message naming the file, what was being done and why.
[[noreturn]] void throwFileError(const std::filesystem::path& file, int err,
                                 const std::string& what);

} // namespace orvj
