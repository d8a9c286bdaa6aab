// The parts of the file layer that are the same on every system.
#include "store/platform/File.h"

#include "store/OrvjError.h"

namespace orvj::platform {
namespace {

// A fault in making a temporary names the file the user knows, not the random name.
std::string namingTarget(std::string message, const std::filesystem::path& temporary,
                         const std::filesystem::path& target) {
    const std::string named = temporary.string();
    if (const auto at = message.find(named); at != std::string::npos) {
        message.replace(at, named.size(), target.string());
    }
    return message;
}

} // namespace

File File::createTemporaryBeside(const std::filesystem::path& target, const std::string& what,
                                 const std::string& prefix) {
    static const char kLetters[] = "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";
    constexpr unsigned kCount = sizeof kLetters - 1;
    constexpr std::size_t kRandomLength = 8;
    const std::filesystem::path folder =
        target.has_parent_path() ? target.parent_path() : std::filesystem::path(".");
    for (int attempt = 0;; ++attempt) {
        std::string name = prefix + target.filename().string() + ".";
        // Drawn a batch at a time; bytes past the last whole round of letters are passed over,
        // so no letter is likelier than another.
        for (std::size_t n = 0; n < kRandomLength;) {
            unsigned char batch[16];
            randomBytes(batch, sizeof batch);
            for (unsigned char r : batch) {
                if (n < kRandomLength && r < 256 / kCount * kCount) {
                    name.push_back(kLetters[r % kCount]);
                    ++n;
                }
            }
        }
        const std::filesystem::path path = folder / name;
        try {
            return open(path, Mode::CreateNew, what);
        } catch (const OrvjError& e) {
            FileIdentity taken;
            // Taken by chance (1 in 2^47): another name. Any other fault is reported.
            if (attempt >= 16 || !identityOf(path, taken)) {
                throw OrvjError(e.code(), namingTarget(e.what(), path, target));
            }
        }
    }
}

std::string File::readAll(std::uint64_t limit, const std::string& what) const {
    const std::uint64_t claimed = size(what);
    if (claimed > limit) {
        throw OrvjError(ErrorCode::BadFileName, m_path.string() + ": " + what + ": the file is " +
                                                    std::to_string(claimed) +
                                                    " bytes long, more than such a file holds (" +
                                                    std::to_string(limit) + " bytes at most)");
    }
    std::string bytes(static_cast<std::size_t>(claimed), '\0');
    bytes.resize(readAt(0, bytes.data(), bytes.size(), what));
    return bytes;
}

std::filesystem::path executableFolder(const char* argv0) {
    return executablePath(argv0).parent_path();
}

} // namespace orvj::platform
