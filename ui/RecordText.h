#pragma once

#include "store/Cp1252.h"

#include <QString>

#include <string>
#include <string_view>

namespace orvj {

// Record and report bytes are Windows-1252; the windows show Unicode.
inline QString toScreen(std::string_view bytes) {
    return QString::fromStdString(cp1252ToUtf8(bytes));
}

// The fields refuse every character Windows-1252 cannot hold, so the conversion does not
// fail; should one slip through, it is stored as "?" rather than dropped.
inline std::string toRecord(const QString& text) {
    if (auto bytes = utf8ToCp1252(text.toStdString())) {
        return *bytes;
    }
    std::string out;
    for (QChar c : text) {
        auto one = utf8ToCp1252(QString(c).toStdString());
        out += one && one->size() == 1 ? *one : std::string("?");
    }
    return out;
}

} // namespace orvj
