#pragma once

#include <cstddef>
#include <filesystem>
#include <string>
#include <string_view>

namespace orvj {

// The supervisor's secret code. Until an office sets its own, the code is "K" in either case. An
// office's code is kept only as a salted Argon2id hash (libsodium's crypto_pwhash_str with its
// interactive limits) under [Security] SecretCode= of ORVJTest.ini, read and written whole, and a
// typed code is checked against it with crypto_pwhash_str_verify. The file is read at every check,
// so a code changed or a damaged line mended counts at once.
//
// A SecretCode= line that holds no Argon2id hash (cut short, edited, empty) refuses every code:
// it never falls back to "K", since a damaged line would otherwise open the utilities to the
// first code that anyone may know. Removing the line brings "K" back; whoever may write
// ORVJTest.ini can do that anyway.
//
// Built with libsodium only (not in the core-only build).
class SecretCode {
public:
    // The code of a program that has no office code yet.
    static constexpr const char* kFirstCode = "K";
    // An office's code: so many characters (Unicode characters of the UTF-8 text).
    static constexpr std::size_t kMinLength = 6;
    static constexpr std::size_t kMaxLength = 32;
    // Wrong tries in a row that cost no pause.
    static constexpr int kFreeTries = 3;
    static constexpr int kLongestPause = 30;

    // What the configuration file holds.
    enum class Stored { FirstCode, OfficeCode, Damaged };
    // A typed code checked.
    enum class Check { Accepted, Refused, Damaged };
    // A change asked for.
    enum class Change { Changed, WrongCurrent, TooShort, TooLong, Mismatch, Damaged };

    explicit SecretCode(std::filesystem::path configFile) : m_configFile(std::move(configFile)) {}

    Stored stored() const;

    // Checks a typed code (UTF-8).
    Check check(std::string_view typed) const;

    // Sets the office's code: the current code must be accepted, the new one typed twice alike
    // with kMinLength to kMaxLength characters. On Changed the hash is in the file. Throws
    // OrvjError when the file cannot be written (it is then left as it was).
    Change change(std::string_view current, std::string_view newCode,
                  std::string_view repeated) const;

    // A fresh salted Argon2id hash of the code, "$argon2id$v=19$m=...". Throws OrvjError when
    // libsodium cannot be used.
    static std::string hash(std::string_view code);
    // True for a well-formed Argon2id hash string as crypto_pwhash_str writes it.
    static bool isArgon2idHash(std::string_view stored);
    // The number of characters of a UTF-8 text.
    static std::size_t characters(std::string_view utf8);

    // Seconds to wait before the prompt takes a code again after so many wrong tries in a row:
    // none for the first three, then 1, 2, 4, ... at most 30.
    static constexpr int pauseAfter(int wrongInARow) {
        if (wrongInARow <= kFreeTries) {
            return 0;
        }
        int seconds = 1;
        for (int n = kFreeTries + 1; n < wrongInARow && seconds < kLongestPause; ++n) {
            seconds *= 2;
        }
        return seconds < kLongestPause ? seconds : kLongestPause;
    }

    const std::filesystem::path& configFile() const { return m_configFile; }

private:
    std::filesystem::path m_configFile;
};

} // namespace orvj
