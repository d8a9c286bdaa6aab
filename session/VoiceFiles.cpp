#include "session/VoiceFiles.h"

#include "store/FileReplace.h"
#include "store/OrvjError.h"
#include "store/platform/File.h"

#include <algorithm>
#include <cctype>
#include <system_error>

namespace orvj::VoiceFiles {
namespace fs = std::filesystem;

namespace {

std::string trim(const std::string& s) {
    const auto first = s.find_first_not_of(" \t");
    if (first == std::string::npos) {
        return {};
    }
    const auto last = s.find_last_not_of(" \t");
    return s.substr(first, last - first + 1);
}

std::string lower(std::string s) {
    std::transform(s.begin(), s.end(), s.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return s;
}

// A sound name comes from the question bank, which anyone with write access to the program
// folder can replace: only a plain file name inside the sound folder is looked up. Either
// separator counts on every system, so that a bank behaves alike on Windows and elsewhere; a
// drive letter, a control byte (NUL cuts the name short for the system) and "." or ".." are
// refused too.
bool isPlainFileName(const std::string& name) {
    if (name.empty() || name == "." || name == "..") {
        return false;
    }
    return std::none_of(name.begin(), name.end(), [](char ch) {
        const auto c = static_cast<unsigned char>(ch);
        return c < 0x20 || c == 0x7F || c == '/' || c == '\\' || c == ':';
    });
}

} // namespace

fs::path soundFolder(const fs::path& soundBase, const fs::path& home, const std::string& language) {
    fs::path base = soundBase.is_relative() ? home / soundBase : soundBase;
    return base.lexically_normal() / "ORVJTest" / "sound" / language;
}

fs::path find(const fs::path& folder, const std::string& name) {
    const std::string wanted = trim(name);
    if (!isPlainFileName(wanted)) {
        return {};
    }
    std::error_code ec;
    const fs::path exact = folder / wanted;
    if (fs::is_regular_file(exact, ec)) {
        return exact;
    }
    const std::string key = lower(wanted);
    for (fs::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
        if (lower(it->path().filename().string()) == key && it->is_regular_file(ec)) {
            return it->path();
        }
    }
    return {};
}

std::vector<fs::path> waveFilesIn(const fs::path& folder) {
    std::error_code ec;
    if (!fs::is_directory(folder, ec)) {
        throw OrvjError(ErrorCode::PathNotFound, folder.string() + ": the folder was not found");
    }
    std::vector<fs::path> files;
    fs::directory_iterator it(folder, ec);
    for (fs::directory_iterator end; !ec && it != end; it.increment(ec)) {
        if (lower(it->path().extension().string()) == ".wav" && it->is_regular_file(ec)) {
            files.push_back(it->path());
        }
    }
    if (ec) {
        throw OrvjError(ErrorCode::PermissionDenied,
                        folder.string() + ": the folder cannot be read: " + ec.message());
    }
    std::sort(files.begin(), files.end());
    return files;
}

InstallResult install(const std::vector<fs::path>& files, const fs::path& target,
                      const std::function<void(int, int)>& progress) {
    InstallResult result;
    std::error_code ec;
    fs::create_directories(target, ec);
    const int total = static_cast<int>(files.size());
    int done = 0;
    for (const auto& file : files) {
        const std::string name = file.filename().string();
        const fs::path final = target / name;
        ec.clear();
        const bool existed = fs::exists(final, ec);
        ec.clear();
        if (fs::equivalent(file, final, ec)) {
            ++result.copied; // already in place
        } else {
            // Through the file layer's safe replace: a new file made exclusively beside the
            // final name, never through a link planted there, and renamed over it.
            try {
                using platform::File;
                constexpr std::uint64_t kMaxWaveBytes = std::uint64_t{256} << 20;
                const std::string bytes =
                    File::open(file, File::Mode::Read, "cannot read the voice file")
                        .readAll(kMaxWaveBytes, "cannot read the voice file");
                replaceFileContent(final, bytes, "cannot write the voice file");
                ++result.copied;
                result.replaced += existed ? 1 : 0;
            } catch (const OrvjError& e) {
                result.failed.push_back(name + ": " + e.what());
            }
        }
        ++done;
        if (progress) {
            progress(done, total);
        }
    }
    return result;
}

} // namespace orvj::VoiceFiles
