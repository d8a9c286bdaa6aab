#include "store/ReportFolderLock.h"

#include "store/OrvjError.h"
#include "store/ReportFiles.h"

namespace orvj {

std::filesystem::path ReportFolderLock::lockPathFor(const std::filesystem::path& home) {
    return (home.empty() ? std::filesystem::path(".") : home) / kFileName;
}

std::string ReportFolderLock::holder(const std::filesystem::path& home) {
    return LockFile::holder(lockPathFor(home));
}

ReportFolderLock::ReportFolderLock(const std::filesystem::path& home,
                                   std::chrono::milliseconds wait)
    : m_home(home),
      m_lock(lockPathFor(home), wait, "a report run", "the lock of the report files",
             [&](const std::string& who, const std::string& seconds) {
                 const std::filesystem::path lockPath = lockPathFor(home);
                 return lockPath.parent_path().string() +
                        ": the report files of this program folder are in use by " +
                        (who.empty() ? "another report run" : who) +
                        ", and they were not released within " + seconds +
                        " seconds.\nIf that run is still composing or printing reports, wait "
                        "until it ends and try again. If that program has stopped or crashed, "
                        "end it there or restart that PC, then try again. If the lock remains, "
                        "make sure no program uses this program folder and delete " +
                        lockPath.string() + ".";
             }) {
    ReportFiles::removeLeftovers(*this);
}

} // namespace orvj
