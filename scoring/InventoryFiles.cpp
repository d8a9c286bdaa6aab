#include "scoring/InventoryFiles.h"

#include "store/OrvjError.h"
#include "store/platform/File.h"

#include <algorithm>
#include <optional>

namespace orvj::InventoryFiles {
namespace {

bool sameIgnoringCase(std::string_view a, std::string_view b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               auto lower = [](char c) { return (c >= 'A' && c <= 'Z') ? char(c - 'A' + 'a') : c; };
               return lower(x) == lower(y);
           });
}

} // namespace

std::filesystem::path locate(const std::filesystem::path& folder, std::string_view name) {
    std::filesystem::path exact = folder / std::string(name);
    std::error_code ec;
    if (std::filesystem::exists(exact, ec)) {
        return exact;
    }
    for (std::filesystem::directory_iterator it(folder, ec), end; !ec && it != end;
         it.increment(ec)) {
        if (sameIgnoringCase(it->path().filename().string(), name)) {
            return it->path();
        }
    }
    return exact;
}

std::string readBytes(const std::filesystem::path& path) {
    std::optional<platform::File> file;
    try {
        file.emplace(platform::File::open(path, platform::File::Mode::Read, "cannot open"));
    } catch (const OrvjError& e) {
        if (e.code() == ErrorCode::PathNotFound) {
            throw OrvjError(ErrorCode::FileNotFound,
                            path.string() + ": cannot open: file not found");
        }
        throw;
    }
    // Far more than an inventory file or question bank holds; a larger one is refused unread.
    constexpr std::uint64_t kMaxInventoryFileBytes = std::uint64_t{64} << 20;
    return file->readAll(kMaxInventoryFileBytes, "read error");
}

} // namespace orvj::InventoryFiles
