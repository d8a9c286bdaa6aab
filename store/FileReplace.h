#pragma once

#include <filesystem>
#include <functional>
#include <string>

namespace orvj {

// Replaces the content of `target` whole: the new content is written to a new temporary beside
// it (made exclusively under a random name: "." + the target's name + "." + eight letters or
// digits), flushed, closed and renamed over the target, then the folder is flushed. The target
// keeps its permission bits; a new one gets the folder's private mode. `beforeRename`, when
// given, runs just before the rename and may throw to stop it. A failure at any step removes
// the temporary, leaves `target` exactly as it was and throws OrvjError whose message begins
// with `what` and names the target, never the temporary.
void replaceFileContent(const std::filesystem::path& target, const std::string& content,
                        const std::string& what,
                        const std::function<void()>& beforeRename = nullptr);

// True for the temporaries replaceFileContent makes beside a file named `targetName`.
bool isReplaceTemporary(const std::string& fileName, const std::string& targetName);

// The file a name in a data or program folder stands for when it is locked or replaced: the
// name itself, or for a link the user's own (made by the user running the program or by the
// administrator) the file it leads to, so that the link stays and the file behind it is
// replaced. A link made by anyone else, or one that leads nowhere, is refused with OrvjError
// naming it and saying why (`what` first).
std::filesystem::path resolveOwnLink(const std::filesystem::path& path, const std::string& what);

} // namespace orvj
