#include "scoring/InventoryFiles.h"

#include "store/OrvjError.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <memory>

namespace orvj::InventoryFiles {
namespace {

bool sameIgnoringCase(std::string_view a, std::string_view b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               auto lower = [](char c) { return (c >= 'A' && c <= 'Z') ? char(c - 'A' + 'a') : c; };
               return lower(x) == lower(y);
           });
}

struct FileCloser {
    void operator()(std::FILE* f) const { std::fclose(f); }
};

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
    std::unique_ptr<std::FILE, FileCloser> f(std::fopen(path.c_str(), "rb"));
    if (!f) {
        const int err = errno;
        int code = ErrorCode::DeviceIO;
        std::string what = std::strerror(err);
        if (err == ENOENT || err == ENOTDIR) {
            code = ErrorCode::FileNotFound;
            what = "file not found";
        } else if (err == EACCES || err == EPERM) {
            code = ErrorCode::PermissionDenied;
        }
        throw OrvjError(code, path.string() + ": cannot open: " + what);
    }
    std::string bytes;
    char buffer[16384];
    std::size_t n = 0;
    while ((n = std::fread(buffer, 1, sizeof buffer, f.get())) > 0) {
        bytes.append(buffer, n);
    }
    if (std::ferror(f.get())) {
        throw OrvjError(ErrorCode::DeviceIO, path.string() + ": read error");
    }
    return bytes;
}

} // namespace orvj::InventoryFiles
