#include "store/FileReplace.h"

#include "store/platform/File.h"

namespace orvj {

void replaceFileContent(const std::filesystem::path& target, const std::filesystem::path& pending,
                        const std::string& content, const std::string& what) {
    using platform::File;
    try {
        File out = File::open(pending, File::Mode::Replace, what);
        out.copyPermissionsFrom(target);
        out.writeAll(content.data(), content.size(), what);
        out.flush(what + " (flushing it to the disk failed)");
        out.close(what + " (closing it failed)");
        platform::renameOver(pending, target, what + " (replacing the old file failed)");
    } catch (...) {
        platform::removeFile(pending);
        throw;
    }
    // The rename is complete and every reader already sees the new file; flushing the folder
    // only makes the rename last through a power cut, which not every file system offers.
    platform::flushFolder(target.has_parent_path() ? target.parent_path()
                                                   : std::filesystem::path("."));
}

std::filesystem::path followLink(const std::filesystem::path& path) {
    std::error_code ec;
    if (std::filesystem::is_symlink(path, ec)) {
        auto target = std::filesystem::canonical(path, ec);
        if (!ec) {
            return target;
        }
    }
    return path;
}

} // namespace orvj
