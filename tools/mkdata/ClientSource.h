#pragma once

#include "core/ClientRecord.h"

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace orvj::mkdata {

// The readable source of a client file. Blocks begin with a line "[client]"; inside a block
// each line is "key: value". Keys: name, id, age, sex, race, education, date (mm/dd/yyyy),
// answers (repeatable; the digits of all its lines, spaces ignored, make the 143 codes) and
// optionally edit-count and name-deleted (default 0). Lines starting with "#" are comments.
// Throws SourceError naming the file and line.
std::vector<ClientRecord> parseClientSource(std::string_view text, const std::string& fileName);
std::vector<ClientRecord> readClientSource(const std::filesystem::path& file);

// The client file: the records one after another, 196 bytes each, no header.
std::string clientFileBytes(const std::vector<ClientRecord>& records);

} // namespace orvj::mkdata
