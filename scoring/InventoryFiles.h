#pragma once

#include <filesystem>
#include <string>
#include <string_view>

namespace orvj {

// The inventory's files in the program folder, and how they are found and read.
namespace InventoryFiles {

constexpr const char* kScoringTable = "ORVJB.TXT";
constexpr const char* kStatements = "ORVJRPT.TXT";
constexpr const char* kQuestions = "ORV-J.TXT";
constexpr const char* kInvalidExplanation = "INVAL.TXT";
constexpr const char* kPublisher = "PUBLISHER.TXT";

// The file of that name in the folder. Files copied from the offices' PCs may differ in the
// case of their names, so when the exact name is missing a name that differs only in case is
// taken; otherwise the exact name is returned (and opening it reports it missing).
std::filesystem::path locate(const std::filesystem::path& folder, std::string_view name);

// The whole file as bytes. Throws OrvjError naming the file when it is missing or unreadable.
std::string readBytes(const std::filesystem::path& path);

} // namespace InventoryFiles
} // namespace orvj
