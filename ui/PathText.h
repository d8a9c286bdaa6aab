#pragma once

#include <QString>

#include <filesystem>

namespace orvj {

// File names between Qt and the file layer. On Windows a path holds UTF-16 and goes across
// as it is: a narrow std::string would pass through the ANSI code page there and lose every
// character outside it ("C:\Büro", a share named in Cyrillic). On POSIX a path holds the
// bytes of the name, taken as UTF-8 as Qt takes them.
inline QString pathToQString(const std::filesystem::path& path) {
#ifdef _WIN32
    return QString::fromStdWString(path.native());
#else
    return QString::fromStdString(path.native());
#endif
}

inline std::filesystem::path qStringToPath(const QString& text) {
#ifdef _WIN32
    return std::filesystem::path(text.toStdWString());
#else
    return std::filesystem::path(text.toStdString());
#endif
}

} // namespace orvj
