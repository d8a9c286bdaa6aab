#include "store/ReportFolderLock.h"

#include "store/ClientFileLock.h"
#include "store/OrvjError.h"
#include "store/ReportFiles.h"

#include <ctime>
#include <thread>

namespace orvj {
namespace {

constexpr auto kRetryPause = std::chrono::milliseconds(25);

std::string nowText() {
    const std::tm now = platform::localTime(std::time(nullptr));
    char text[32] = {};
    if (std::strftime(text, sizeof text, "%Y-%m-%d %H:%M:%S", &now) == 0) {
        return "an unknown time";
    }
    return text;
}

std::string secondsText(std::chrono::milliseconds wait) {
    const auto tenths = (wait.count() + 50) / 100;
    return std::to_string(tenths / 10) +
           (tenths % 10 != 0 ? "." + std::to_string(tenths % 10) : "");
}

platform::File openLockFile(const std::filesystem::path& lockPath) {
    return platform::File::open(lockPath, platform::File::Mode::ReadWriteCreate,
                                "cannot open the lock of the report files");
}

} // namespace

std::filesystem::path ReportFolderLock::lockPathFor(const std::filesystem::path& home) {
    return (home.empty() ? std::filesystem::path(".") : home) / kFileName;
}

std::string ReportFolderLock::holder(const std::filesystem::path& home) {
    try {
        const platform::File file = platform::File::open(
            lockPathFor(home), platform::File::Mode::Read, "cannot read the lock");
        char text[512] = {};
        const std::size_t n = file.readAt(0, text, sizeof text, "cannot read the lock");
        return ClientFileLock::holderText(std::string_view(text, n));
    } catch (const OrvjError&) {
        return {};
    }
}

ReportFolderLock::ReportFolderLock(const std::filesystem::path& home,
                                   std::chrono::milliseconds wait)
    : m_home(home), m_file([&] {
          const std::filesystem::path lockPath = lockPathFor(home);
          const auto until = std::chrono::steady_clock::now() + wait;
          for (;;) {
              platform::File file = openLockFile(lockPath);
              // A lock file deleted while this run waited is no longer the one to hold.
              if (file.tryLockExclusive("cannot lock the report files") &&
                  file.stillNamedBy(lockPath)) {
                  return file;
              }
              if (std::chrono::steady_clock::now() >= until) {
                  std::string who = holder(home);
                  if (who.empty()) {
                      who = "another report run";
                  }
                  throw OrvjError(
                      ErrorCode::FileLocked,
                      lockPath.parent_path().string() +
                          ": the report files of this program folder are in use by " + who +
                          ", and they were not released within " + secondsText(wait) +
                          " seconds.\nIf that run is still composing or printing reports, wait "
                          "until it ends and try again. If that program has stopped or crashed, "
                          "end it there or restart that PC, then try again. If the lock "
                          "remains, make sure no program uses this program folder and delete " +
                          lockPath.string() + ".");
              }
              std::this_thread::sleep_for(kRetryPause);
          }
      }()) {
    const std::string text = "a report run on PC " + platform::computerName() + " (process " +
                             std::to_string(platform::processId()) + ") since " + nowText() + "\n";
    try {
        m_file.truncate(0, "cannot write the lock of the report files");
        m_file.writeAll(text.data(), text.size(), "cannot write the lock of the report files");
    } catch (const OrvjError&) {
        // The lock itself is held; only its description is missing.
    }
    ReportFiles::removeLeftovers(*this);
}

} // namespace orvj
