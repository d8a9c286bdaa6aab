#include "store/OrvjError.h"

#include <cerrno>
#include <cstring>

namespace orvj {

void throwFileError(const std::filesystem::path& file, int err, const std::string& what) {
    int code = ErrorCode::DeviceIO;
    switch (err) {
    case EACCES:
    case EPERM:
    case EROFS:
        code = ErrorCode::PermissionDenied;
        break;
    case ENOENT:
    case ENOTDIR:
        code = ErrorCode::PathNotFound;
        break;
    case ENOSPC:
        code = ErrorCode::DiskFull;
        break;
    default:
        break;
    }
    throw OrvjError(code, file.string() + ": " + what + ": " + std::strerror(err));
}

} // namespace orvj
