#pragma once

#include "core/ClientRecord.h"

#include <cstddef>
#include <functional>
#include <string>
#include <string_view>

namespace orvj {

// Fills a buffer with random bytes. The program uses the system's cryptographic random source
// (platform::randomBytes); tests hand in their own bytes.
using RandomByteSource = std::function<void(unsigned char* data, std::size_t n)>;
void systemRandomBytes(unsigned char* data, std::size_t n);

// The characters a deleted name or ID is made of: the 94 visible ASCII characters "!" (33) to
// "~" (126), which the client file holds and every report prints as they are.
inline constexpr int kFirstVisible = 33;
inline constexpr int kVisibleCount = 94;

// Replaces every character of the text but a space by a visible character chosen at random,
// each on its own, so the result tells nothing of the text but where its spaces were: there is
// no way back. A random byte of 188 or more (2 x 94) is drawn again, so that each of the 94
// characters is equally likely.
std::string ScrambleText(std::string_view text, const RandomByteSource& random = systemRandomBytes);

// True when the record's NameDeleted field holds a number other than 0: its name and ID were
// scrambled already and must never be scrambled twice.
bool isNameDeleted(const ClientRecord& record);

// Scrambles Name (the whole 25 characters) and SSN (11) of one record and marks it deleted.
// Returns false, leaving the record alone, when it was deleted already.
bool scrambleClientName(ClientRecord& record, const RandomByteSource& random = systemRandomBytes);

} // namespace orvj
