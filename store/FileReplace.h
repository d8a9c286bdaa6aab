#pragma once

#include <filesystem>
#include <string>

namespace orvj {

// Replaces the content of `target` whole: the new content is written to `pending` beside it,
// flushed, closed and renamed over the target, then the folder is flushed. A failure at any
// step removes `pending`, leaves `target` exactly as it was and throws OrvjError whose message
// begins with `what`. The target keeps its permission bits.
void replaceFileContent(const std::filesystem::path& target, const std::filesystem::path& pending,
                        const std::string& content, const std::string& what);

// The file a path stands for: a link is followed, so that replacing the file keeps the link.
std::filesystem::path followLink(const std::filesystem::path& path);

} // namespace orvj
