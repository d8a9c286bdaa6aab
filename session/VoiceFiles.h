#pragma once

#include <filesystem>
#include <functional>
#include <string>
#include <vector>

namespace orvj {

// The wave files of the on-screen test: where they are looked for, and the installing of a
// folder of recordings into a language's sound folder.
namespace VoiceFiles {

// soundBase / "ORVJTest" / "sound" / language. A relative sound path counts from the program
// folder.
std::filesystem::path soundFolder(const std::filesystem::path& soundBase,
                                  const std::filesystem::path& home, const std::string& language);

// The file `name` (leading and trailing blanks removed) in `folder`; recordings made on other
// machines often differ in letter case only, so a name that matches without regard to case is
// found too. Empty when there is no such file, and for a name that is not a plain file name
// (a path, "..", a drive letter or a control character): nothing outside the folder is found.
std::filesystem::path find(const std::filesystem::path& folder, const std::string& name);

// The .wav files (any letter case) directly inside a folder, sorted by name. Throws OrvjError
// when the folder cannot be read.
std::vector<std::filesystem::path> waveFilesIn(const std::filesystem::path& folder);

struct InstallResult {
    int copied = 0;                  // files now in the sound folder
    int replaced = 0;                // of those, files that replaced one of the same name
    std::vector<std::string> failed; // "name: reason"
};

// Copies the files into `target` (created when missing). Each file is copied beside its final
// name first and then renamed over it, so a failed copy leaves an older recording intact.
// `progress(done, total)` runs after each file.
InstallResult install(const std::vector<std::filesystem::path>& files,
                      const std::filesystem::path& target,
                      const std::function<void(int, int)>& progress = {});

} // namespace VoiceFiles
} // namespace orvj
