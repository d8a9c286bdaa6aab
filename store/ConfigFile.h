#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace orvj {

// ORVJTest.ini: a private-profile text file ("[Section]" headers, "key=value" lines) in the
// program folder. Section and key names match without regard to case. Other programs'
// sections (the database engine kept its own here) are left exactly as they are.
class ConfigFile {
public:
    static constexpr const char* kFileName = "ORVJTest.ini";
    static constexpr const char* kWorkgroupFileName = "qlnvex.mda";

    // Every key the program reads or writes, with its default and read width.
    struct Key {
        const char* section;
        const char* key;
        const char* defaultValue;
        int bufferLength;
    };
    static constexpr Key kFilePath{"Path", "FilePath", "a:", 50};
    static constexpr Key kSndPath{"Path", "SndPath", "C:", 50};
    static constexpr Key kNumLock{"Settings", "NumLock", "True", 10};
    static constexpr Key kSystemDB{"Options", "SystemDB", "", 0};
    // The office's secret code as a hash, read whole (ReadWholeValue): no buffer rule.
    static constexpr Key kSecretCode{"Security", "SecretCode", "", 0};
    // The office's rule for a critical case (scoring/CriticalCases).
    static constexpr Key kCriticalMaximum{"Critical", "MaximumScales", "1", 10};
    static constexpr Key kCriticalProblem{"Critical", "ProblemScales", "2", 10};
    static constexpr Key kCriticalInvalid{"Critical", "InvalidTruthfulness", "True", 10};

    explicit ConfigFile(std::filesystem::path path) : m_path(std::move(path)) {}

    const std::filesystem::path& path() const { return m_path; }

    // The private-profile read: the stored value with surrounding blanks (and one pair of
    // matching quotes) removed, or `defaultValue` when the file, the section or the key is
    // missing; at most bufferLength - 1 characters of it. An unreadable file reads as missing.
    std::string GetPrivateProfileString(std::string_view section, std::string_view key,
                                        std::string_view defaultValue, int bufferLength) const;

    // The whole stored value of a key, with surrounding blanks (and one pair of matching
    // quotes) removed but no buffer rule: for the one value longer than any buffer, the secret
    // code's hash ([Security] SecretCode). Nothing when the file, the section or the key is
    // missing. Throws OrvjError when the file is there but cannot be read.
    std::optional<std::string> ReadWholeValue(std::string_view section, std::string_view key) const;

    // Stores key=value in the section, creating either when missing; every other line of the
    // file is kept as it was. The new text goes to a temporary file that then replaces the
    // old one, so a failed write never leaves a half file. Throws OrvjError on a fault.
    void WritePrivateProfileString(std::string_view section, std::string_view key,
                                   std::string_view value) const;

    // A value through the program's buffer: filled with spaces, the value copied in with a
    // terminator, trimmed of spaces and the terminator dropped.
    std::string ReadValue(const Key& key) const;

    std::string GetINIFilePath() const { return ReadValue(kFilePath); }
    std::string GetINISndPath() const { return ReadValue(kSndPath); }

    // On exactly when the value (or the default "True") begins with "Tru", case-sensitively.
    bool ReadNumLock() const;
    void WriteNumLock(bool on) const;

    // [Folders]: the data folders the office has used (Folder1, Folder2, ...), newest first,
    // as the configuration file names folders. At most kMostFolders are kept.
    static constexpr int kMostFolders = 9;
    std::vector<std::string> ReadFolders() const;
    // Puts `folder` first in [Folders] (once; names are compared as written) and drops the
    // oldest beyond kMostFolders. Throws OrvjError when the file cannot be written.
    void RememberFolder(std::string_view folder) const;

    // Options/SystemDB = the program folder's workgroup file, written at every start.
    void WriteSystemDB(const std::filesystem::path& home) const;

private:
    std::filesystem::path m_path;
};

// The buffer rule on its own: what the program keeps of `stored` with a buffer of `length`.
std::string applyReadBuffer(std::string_view stored, int length);

// A folder named in the configuration file (Windows-1252 text), as a path on this system.
// Backslashes and slashes are separators; a relative name is relative to the program folder.
// On Windows a drive letter names that drive ("a:" is the top of drive A, "C:\ORV") and a
// share ("\\server\share\orvj") names a network folder. On a system without drive letters
// a name that begins with one names no folder: the result is empty. Characters beyond ASCII
// name the same characters in the file system's own (Unicode) names.
std::filesystem::path resolveConfiguredFolder(const std::filesystem::path& home,
                                              std::string_view value);

// True when the value begins with a drive letter and a colon.
bool startsWithDriveLetter(std::string_view value);

} // namespace orvj
