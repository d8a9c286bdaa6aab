#include "store/DataFolder.h"

#include "store/ConfigFile.h"
#include "store/Cp1252.h"
#include "store/OrvjError.h"
#include "store/platform/File.h"

#include <optional>
#include <system_error>

namespace orvj::DataFolder {
namespace fs = std::filesystem;

std::string filePathValue(const fs::path& home, const fs::path& folder) {
    const fs::path normal = fs::absolute(folder).lexically_normal();
    const fs::path base = fs::absolute(home).lexically_normal();
    fs::path relative = normal.lexically_relative(base);
    // UTF-8 here; ORVJTest.ini holds the name in Windows-1252, as the configuration is read.
    const std::u8string name = !relative.empty() && *relative.begin() != ".."
                                   ? relative.generic_u8string()
                                   : normal.u8string();
    std::string value(name.begin(), name.end());
    while (value.size() > 1 && value.back() == '/') {
        value.pop_back();
    }
    const std::optional<std::string> stored = utf8ToCp1252(value);
    if (!stored) {
        throw OrvjError(ErrorCode::BadFileName,
                        "the folder name " + value + " has letters that FilePath in " +
                            ConfigFile::kFileName +
                            " cannot hold (it is Windows-1252 text). Choose a folder whose name "
                            "has none of them.");
    }
    const int keep = ConfigFile::kFilePath.bufferLength - 1;
    if (stored->size() > static_cast<std::size_t>(keep)) {
        throw OrvjError(ErrorCode::BadFileName,
                        "the folder name " + value + " is " + std::to_string(stored->size()) +
                            " characters long; FilePath in " + ConfigFile::kFileName +
                            " keeps only " + std::to_string(keep) +
                            ". Choose a folder with a shorter name.");
    }
    return value;
}

void checkWritable(const fs::path& folder) {
    std::error_code ec;
    if (!fs::exists(folder, ec)) {
        throw OrvjError(ErrorCode::PathNotFound, folder.string() + ": the folder does not exist");
    }
    if (!fs::is_directory(folder, ec)) {
        throw OrvjError(ErrorCode::PathNotFound,
                        folder.string() + ": this is a file, not a folder");
    }
    // A test file made, written, flushed and removed: permissions alone do not tell about
    // read-only mounts and network shares.
    // Made exclusively under a random name, so nothing planted in the folder is written.
    fs::path probe;
    try {
        using platform::File;
        const std::string what = folder.string() + ": the folder cannot be written";
        File f = File::createTemporaryBeside(folder / "DATA301.WRITE-TEST", what, ".");
        probe = f.path();
        f.writeAll("x", 1, what);
        f.flush(what);
        f.close(what);
    } catch (const OrvjError& e) {
        if (!probe.empty()) {
            platform::removeFile(probe);
        }
        throw OrvjError(e.code() == ErrorCode::DiskFull ? ErrorCode::DiskFull
                                                        : ErrorCode::PermissionDenied,
                        e.what());
    }
    platform::removeFile(probe);
}

Switched switchTo(const fs::path& home, const fs::path& configFile, const fs::path& folder,
                  bool makeNew) {
    Switched s;
    s.dataFolder = fs::absolute(folder).lexically_normal();
    s.clientFile = s.dataFolder / ClientFile::kFileName;
    s.filePathValue = filePathValue(home, s.dataFolder);

    std::error_code ec;
    bool madeFolder = false;
    if (makeNew) {
        if (fs::exists(s.dataFolder, ec) && !fs::is_empty(s.dataFolder, ec)) {
            throw OrvjError(ErrorCode::BadFileName,
                            s.dataFolder.string() +
                                ": the folder is not empty; a new data folder must be new or "
                                "empty");
        }
        if (!fs::exists(s.dataFolder, ec)) {
            fs::create_directories(s.dataFolder.parent_path(), ec);
            try {
                // Private, or shared with the group of a group-shared parent.
                platform::makeFolder(s.dataFolder, "the folder cannot be made");
            } catch (const OrvjError& e) {
                throw OrvjError(ErrorCode::PermissionDenied, e.what());
            }
            madeFolder = true;
        }
    }
    const bool hadClientFile = fs::exists(s.clientFile, ec);
    try {
        checkWritable(s.dataFolder);
        s.report = ClientFile(s.clientFile).load(s.clients);
        ConfigFile(configFile)
            .WritePrivateProfileString(ConfigFile::kFilePath.section, ConfigFile::kFilePath.key,
                                       *utf8ToCp1252(s.filePathValue));
    } catch (...) {
        if (!hadClientFile) {
            platform::removeFile(s.clientFile);
        }
        if (madeFolder) {
            fs::remove(s.dataFolder, ec);
        }
        throw;
    }
    return s;
}

} // namespace orvj::DataFolder
