#pragma once

#include "core/ClientTable.h"
#include "store/ClientFile.h"

#include <filesystem>
#include <string>

namespace orvj {

// Changing the data folder, the folder that holds the client file: how an office goes on when
// a client file is full, or moves its clients to a shared folder.
namespace DataFolder {

// The value FilePath gets for a folder: relative to the program folder when the folder lies
// inside it, else the absolute path; UTF-8. Throws OrvjError when the value is longer than the
// 49 characters the program reads back, or has a letter Windows-1252 cannot hold.
std::string filePathValue(const std::filesystem::path& home, const std::filesystem::path& folder);

// Throws OrvjError naming the folder when it is missing, no folder, or cannot be written.
void checkWritable(const std::filesystem::path& folder);

struct Switched {
    std::filesystem::path dataFolder;
    std::filesystem::path clientFile;
    std::string filePathValue;
    ClientTable clients;
    ClientFile::LoadReport report;
};

// Makes `folder` the data folder: with `makeNew`, the folder is made first and must be new or
// empty; it must be writable; its client file is loaded (an empty one is made when missing)
// and FilePath in the configuration file is written. On any fault OrvjError names what was
// wrong, and nothing has changed: the configuration file is as it was and a client file this
// call made (and a folder it made) is removed again.
Switched switchTo(const std::filesystem::path& home, const std::filesystem::path& configFile,
                  const std::filesystem::path& folder, bool makeNew);

} // namespace DataFolder
} // namespace orvj
