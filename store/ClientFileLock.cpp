#include "store/ClientFileLock.h"

#include "store/OrvjError.h"

namespace orvj {
namespace {

LockFile lockOf(const std::filesystem::path& clientFile, std::chrono::milliseconds wait) {
    const std::filesystem::path lockPath = ClientFileLock::lockPathFor(clientFile);
    const auto refusal = [&](const std::string& holder, const std::string& seconds) {
        return clientFile.string() + ": the client file is locked by " +
               (holder.empty() ? "another program" : holder) +
               ", and the lock was not released within " + seconds +
               " seconds.\nIf that program is still saving, wait a moment and try again. If that "
               "PC has stopped or crashed, end the program there or restart that PC, then try "
               "again. If the lock remains, make sure no program uses the data folder and "
               "delete " +
               lockPath.string() + ".";
    };
    try {
        return LockFile(lockPath, wait, "the program", "the client file's lock", refusal);
    } catch (const OrvjError& e) {
        if (e.code() != ErrorCode::PermissionDenied) {
            throw;
        }
        // Typically a lock file another user of the folder made without write access for the
        // group.
        throw OrvjError(e.code(),
                        std::string(e.what()) +
                            ".\nEvery user who saves in this data folder must be able to write "
                            "the lock file. In a folder shared by a group, give the group write "
                            "access to it (see \"Shared folders\" in the README).");
    }
}

} // namespace

std::filesystem::path ClientFileLock::lockPathFor(const std::filesystem::path& clientFile) {
    return clientFile.parent_path() / kFileName;
}

std::string ClientFileLock::holder(const std::filesystem::path& clientFile) {
    return LockFile::holder(lockPathFor(clientFile));
}

ClientFileLock::ClientFileLock(const std::filesystem::path& clientFile,
                               std::chrono::milliseconds wait)
    : m_lock(lockOf(clientFile, wait)) {}

} // namespace orvj
