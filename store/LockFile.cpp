#include "store/LockFile.h"

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

// A random mark by which a holder tells its own lock from a later one under the same name.
std::string randomMark() {
    unsigned char mark[12];
    platform::randomBytes(mark, sizeof mark);
    static const char kHex[] = "0123456789abcdef";
    std::string token;
    for (unsigned char b : mark) {
        token.push_back(kHex[b >> 4]);
        token.push_back(kHex[b & 15]);
    }
    return token;
}

} // namespace

std::string LockFile::holderText(std::string_view raw) {
    std::string s(raw.substr(0, raw.find('\n')));
    for (char& c : s) {
        const auto b = static_cast<unsigned char>(c);
        if (b < 0x20 || b == 0x7f) {
            c = ' ';
        }
    }
    if (s.size() > kMaxHolderText) {
        std::size_t cut = kMaxHolderText;
        // Not inside a UTF-8 character: back over its continuation bytes.
        while (cut > 0 && (static_cast<unsigned char>(s[cut]) & 0xC0) == 0x80) {
            --cut;
        }
        s.resize(cut);
    }
    const auto first = s.find_first_not_of(' ');
    if (first == std::string::npos) {
        return {};
    }
    return s.substr(first, s.find_last_not_of(' ') - first + 1);
}

std::string LockFile::holder(const std::filesystem::path& lockPath) {
    try {
        const platform::File file =
            platform::File::open(lockPath, platform::File::Mode::Read, "cannot read the lock");
        char text[512] = {};
        const std::size_t n = file.readAt(0, text, sizeof text, "cannot read the lock");
        return holderText(std::string_view(text, n));
    } catch (const OrvjError&) {
        return {};
    }
}

LockFile::LockFile(std::filesystem::path lockPath, std::chrono::milliseconds wait,
                   const std::string& holderIntro, const std::string& what, const Refusal& refusal)
    : m_lockPath(std::move(lockPath)), m_file([&] {
          const auto until = std::chrono::steady_clock::now() + wait;
          for (;;) {
              // Made when missing with the folder's mode: private, or the group's in a
              // group-shared folder, so that every member can lock it later.
              platform::File file = platform::File::open(
                  m_lockPath, platform::File::Mode::ReadWriteCreate, "cannot open " + what);
              // A lock file removed while this program waited (somebody cleared a stale lock)
              // is no longer the one to hold: the next try opens the new one.
              if (file.tryLockExclusive("cannot take " + what) && file.stillNamedBy(m_lockPath)) {
                  return file;
              }
              if (std::chrono::steady_clock::now() >= until) {
                  throw OrvjError(ErrorCode::FileLocked,
                                  refusal(holder(m_lockPath), secondsText(wait)));
              }
              std::this_thread::sleep_for(kRetryPause);
          }
      }()) {
    // Who holds it, for the message another program shows meanwhile, and this holder's mark.
    m_text = holderIntro + " on PC " + platform::computerName() + " (process " +
             std::to_string(platform::processId()) + ") since " + nowText() + "\n" + randomMark() +
             "\n";
    try {
        m_file.truncate(0, "cannot write " + what);
        m_file.writeAll(m_text.data(), m_text.size(), "cannot write " + what);
    } catch (const OrvjError&) {
        // The lock itself is held; only its description is missing.
        m_text.clear();
    }
}

bool LockFile::stillHeld() const {
    if (!m_file.stillNamedBy(m_lockPath)) {
        return false;
    }
    if (m_text.empty()) {
        return true; // no description could be written: the file's identity has to do
    }
    try {
        const platform::File named =
            platform::File::open(m_lockPath, platform::File::Mode::Read, "cannot read the lock");
        std::string now(m_text.size() + 1, '\0');
        now.resize(named.readAt(0, now.data(), now.size(), "cannot read the lock"));
        return now == m_text;
    } catch (const OrvjError&) {
        return false;
    }
}

} // namespace orvj
