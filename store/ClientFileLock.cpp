#include "store/ClientFileLock.h"

#include "store/OrvjError.h"

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

} // namespace

std::filesystem::path ClientFileLock::lockPathFor(const std::filesystem::path& clientFile) {
    return clientFile.parent_path() / kFileName;
}

std::string ClientFileLock::holder(const std::filesystem::path& clientFile) {
    try {
        const platform::File file = platform::File::open(
            lockPathFor(clientFile), platform::File::Mode::Read, "cannot read the lock");
        char text[256] = {};
        const std::size_t n = file.readAt(0, text, sizeof text - 1, "cannot read the lock");
        std::string s(text, n);
        while (!s.empty() && (s.back() == '\n' || s.back() == '\r' || s.back() == ' ')) {
            s.pop_back();
        }
        return s;
    } catch (const OrvjError&) {
        return {};
    }
}

ClientFileLock::ClientFileLock(const std::filesystem::path& clientFile,
                               std::chrono::milliseconds wait)
    : m_file([&] {
          const std::filesystem::path lockPath = lockPathFor(clientFile);
          const auto until = std::chrono::steady_clock::now() + wait;
          for (;;) {
              platform::File file =
                  platform::File::open(lockPath, platform::File::Mode::ReadWriteCreate,
                                       "cannot open the client file's lock");
              // A lock file removed while this program waited (the supervisor cleared a stale
              // lock) is no longer the one to hold: the next try opens the new one.
              if (file.tryLockExclusive("cannot lock the client file") &&
                  file.stillNamedBy(lockPath)) {
                  return file;
              }
              if (std::chrono::steady_clock::now() >= until) {
                  std::string who = holder(clientFile);
                  if (who.empty()) {
                      who = "another program";
                  }
                  throw OrvjError(
                      ErrorCode::FileLocked,
                      clientFile.string() + ": the client file is locked by " + who +
                          ", and the lock was not released within " + secondsText(wait) +
                          " seconds.\nIf that program is still saving, wait a moment and try "
                          "again. If that PC has stopped or crashed, end the program there or "
                          "restart that PC, then try again. If the lock remains, make sure no "
                          "program uses the data folder and delete " +
                          lockPath.string() + ".");
              }
              std::this_thread::sleep_for(kRetryPause);
          }
      }()) {
    // Who holds it, for the message another program shows while this one works.
    const std::string who = "the program on PC " + platform::computerName() + " (process " +
                            std::to_string(platform::processId()) + ") since " + nowText() + "\n";
    try {
        m_file.truncate(0, "cannot write the client file's lock");
        m_file.writeAll(who.data(), who.size(), "cannot write the client file's lock");
    } catch (const OrvjError&) {
        // The lock itself is held; only its description is missing.
    }
}

} // namespace orvj
