#include "store/FileReplace.h"

#include "store/OrvjError.h"
#include "store/platform/File.h"

namespace orvj {
namespace {

constexpr std::size_t kRandomLength = 8;

// The message of a fault names the file the user knows rather than the temporary.
std::string namingTarget(std::string message, const std::filesystem::path& temporary,
                         const std::filesystem::path& target) {
    const std::string named = temporary.string();
    if (named.empty()) {
        return message;
    }
    for (auto at = message.find(named); at != std::string::npos;
         at = message.find(named, at + target.string().size())) {
        message.replace(at, named.size(), target.string());
    }
    return message;
}

} // namespace

void replaceFileContent(const std::filesystem::path& target, const std::string& content,
                        const std::string& what, const std::function<void()>& beforeRename) {
    using platform::File;
    std::filesystem::path temporary;
    try {
        File out = File::createTemporaryBeside(target, what, ".");
        temporary = out.path();
        out.copyPermissionsFrom(target);
        out.writeAll(content.data(), content.size(), what);
        out.flush(what + " (flushing it to the disk failed)");
        out.close(what + " (closing it failed)");
        if (beforeRename) {
            beforeRename();
        }
        platform::renameOver(temporary, target, what + " (replacing the old file failed)");
    } catch (const OrvjError& e) {
        if (!temporary.empty()) {
            platform::removeFile(temporary);
        }
        throw OrvjError(e.code(), namingTarget(e.what(), temporary, target));
    } catch (...) {
        if (!temporary.empty()) {
            platform::removeFile(temporary);
        }
        throw;
    }
    // The rename is complete and every reader already sees the new file; flushing the folder
    // only makes the rename last through a power cut, which not every file system offers.
    platform::flushFolder(target.has_parent_path() ? target.parent_path()
                                                   : std::filesystem::path("."));
}

bool isReplaceTemporary(const std::string& fileName, const std::string& targetName) {
    const std::string head = "." + targetName + ".";
    if (fileName.size() != head.size() + kRandomLength || fileName.compare(0, head.size(), head)) {
        return false;
    }
    for (std::size_t i = head.size(); i < fileName.size(); ++i) {
        const char c = fileName[i];
        if (!((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9'))) {
            return false;
        }
    }
    return true;
}

std::filesystem::path resolveOwnLink(const std::filesystem::path& path, const std::string& what) {
    const platform::LinkInfo link = platform::inspectLink(path);
    if (!link.isLink) {
        return path;
    }
    if (!link.trusted) {
        throw OrvjError(ErrorCode::PermissionDenied,
                        path.string() + ": " + what +
                            ": the name is a link that another user made, and the program "
                            "does not write through such a link. Replace it with the file "
                            "itself or a link of your own.");
    }
    if (link.target.empty()) {
        throw OrvjError(ErrorCode::FileNotFound,
                        path.string() + ": " + what + ": the name is a link that leads nowhere");
    }
    return link.target;
}

} // namespace orvj
