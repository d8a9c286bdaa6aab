#include "store/SecretCode.h"

#include "store/ConfigFile.h"
#include "store/OrvjError.h"

#include <sodium.h>

#include <optional>

namespace orvj {
namespace {

void startSodium() {
    if (::sodium_init() < 0) {
        throw OrvjError(ErrorCode::DeviceIO, "the secret code cannot be checked: libsodium "
                                             "cannot be started");
    }
}

constexpr std::string_view kArgon2idPrefix = crypto_pwhash_argon2id_STRPREFIX;

} // namespace

std::size_t SecretCode::characters(std::string_view utf8) {
    std::size_t count = 0;
    for (char c : utf8) {
        // Every byte but a continuation byte (10xxxxxx) begins a character.
        if ((static_cast<unsigned char>(c) & 0xC0) != 0x80) {
            ++count;
        }
    }
    return count;
}

bool SecretCode::isArgon2idHash(std::string_view stored) {
    if (stored.size() >= crypto_pwhash_argon2id_STRBYTES ||
        stored.substr(0, kArgon2idPrefix.size()) != kArgon2idPrefix ||
        stored.find('\0') != std::string_view::npos) {
        return false;
    }
    startSodium();
    const std::string text(stored);
    // -1: the string does not parse; 0 or 1: it does (with this program's limits or others).
    return ::crypto_pwhash_argon2id_str_needs_rehash(
               text.c_str(), crypto_pwhash_argon2id_OPSLIMIT_INTERACTIVE,
               crypto_pwhash_argon2id_MEMLIMIT_INTERACTIVE) != -1;
}

std::string SecretCode::hash(std::string_view code) {
    startSodium();
    char out[crypto_pwhash_argon2id_STRBYTES] = {};
    if (::crypto_pwhash_argon2id_str(out, code.data(), code.size(),
                                     crypto_pwhash_argon2id_OPSLIMIT_INTERACTIVE,
                                     crypto_pwhash_argon2id_MEMLIMIT_INTERACTIVE) != 0) {
        throw OrvjError(ErrorCode::DeviceIO,
                        "the secret code could not be hashed: not enough memory");
    }
    return std::string(out);
}

SecretCode::Stored SecretCode::stored() const {
    std::optional<std::string> value;
    try {
        value = ConfigFile(m_configFile)
                    .ReadWholeValue(ConfigFile::kSecretCode.section, ConfigFile::kSecretCode.key);
        if (!value) {
            return Stored::FirstCode;
        }
        return isArgon2idHash(*value) ? Stored::OfficeCode : Stored::Damaged;
    } catch (const OrvjError&) {
        // A file that cannot be read may hold an office code: nothing is let through.
        return Stored::Damaged;
    }
}

SecretCode::Check SecretCode::check(std::string_view typed) const {
    std::optional<std::string> value;
    try {
        value = ConfigFile(m_configFile)
                    .ReadWholeValue(ConfigFile::kSecretCode.section, ConfigFile::kSecretCode.key);
        if (!value) {
            // The first code in either case.
            return typed == kFirstCode || typed == "k" ? Check::Accepted : Check::Refused;
        }
        if (!isArgon2idHash(*value)) {
            return Check::Damaged;
        }
    } catch (const OrvjError&) {
        return Check::Damaged;
    }
    return ::crypto_pwhash_argon2id_str_verify(value->c_str(), typed.data(), typed.size()) == 0
               ? Check::Accepted
               : Check::Refused;
}

SecretCode::Change SecretCode::change(std::string_view current, std::string_view newCode,
                                      std::string_view repeated) const {
    switch (check(current)) {
    case Check::Damaged:
        return Change::Damaged;
    case Check::Refused:
        return Change::WrongCurrent;
    case Check::Accepted:
        break;
    }
    const std::size_t length = characters(newCode);
    if (length < kMinLength) {
        return Change::TooShort;
    }
    if (length > kMaxLength) {
        return Change::TooLong;
    }
    if (newCode != repeated) {
        return Change::Mismatch;
    }
    ConfigFile(m_configFile)
        .WritePrivateProfileString(ConfigFile::kSecretCode.section, ConfigFile::kSecretCode.key,
                                   hash(newCode));
    return Change::Changed;
}

} // namespace orvj
