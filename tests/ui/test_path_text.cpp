#include "ui/PathText.h"

#include "tests/support/Files.h"

#include <QDir>
#include <QFile>

using namespace orvj;
using namespace orvj::test;

namespace {

// Folder names of several scripts; the last has letters outside the Basic Multilingual Plane,
// which a QString holds as surrogate pairs.
const char8_t* const kNames[] = {u8"Büro ü/ñ", u8"Данные клиентов", u8"辦公室 データ", u8"𝔒𝔯𝔳 😀 𐐷"};

QString utf16Of(const char8_t* name) {
    return QString::fromUtf8(name);
}

TEST(PathText, NamesOfEveryScriptCrossBothWaysUnchanged) {
    for (const char8_t* name : kNames) {
        const fs::path path(name);
        SCOPED_TRACE(utf16Of(name).toStdString());
        EXPECT_EQ(pathToQString(path), utf16Of(name));
        EXPECT_EQ(qStringToPath(utf16Of(name)), path);
        EXPECT_EQ(qStringToPath(pathToQString(path)), path);
    }
    const QString emoji = pathToQString(fs::path(u8"😀"));
    ASSERT_EQ(emoji.size(), 2) << "one letter, two UTF-16 units";
    EXPECT_TRUE(emoji[0].isHighSurrogate() && emoji[1].isLowSurrogate());
    EXPECT_EQ(emoji.toUcs4().value(0), 0x1F600u);
}

// What Qt makes under a name the file layer finds under the converted path, and the other way.
TEST(PathText, QtAndTheStandardLibraryNameTheSameFiles) {
    TempFolder temp("orvj-path-text");
    for (const char8_t* name : kNames) {
        SCOPED_TRACE(utf16Of(name).toStdString());
        const QString byQt = pathToQString(temp.path()) + u'/' + utf16Of(name);
        ASSERT_TRUE(QDir().mkpath(byQt));
        EXPECT_TRUE(fs::is_directory(temp.path() / name));

        QFile file(byQt + QStringLiteral("/from Qt.txt"));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write("Qt");
        file.close();
        EXPECT_EQ(readFile(qStringToPath(byQt) / "from Qt.txt"), "Qt");

        writeFile(temp.path() / name / u8"from the library ü.txt", "library");
        EXPECT_TRUE(QFile::exists(byQt + QString::fromUtf8(u8"/from the library ü.txt")));
    }
}

} // namespace
