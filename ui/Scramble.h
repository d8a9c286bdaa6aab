#pragma once

#include "core/ClientRecord.h"

#include <string>
#include <string_view>

namespace orvj {

// Mode 0 makes every character but a space unreadable by shifting its Windows-1252 code:
// +7 for an even code, +3 for an odd one. Any other mode shifts back (-3 even, -7 odd).
std::string ScrambleText(std::string_view text, int mode);

// True when the record's NameDeleted field holds a number other than 0: its name and ID were
// scrambled already and must never be scrambled twice.
bool isNameDeleted(const ClientRecord& record);

// Scrambles Name (the whole 25 characters) and SSN (11) of one record and marks it deleted.
// Returns false, leaving the record alone, when it was deleted already.
bool scrambleClientName(ClientRecord& record);

} // namespace orvj
