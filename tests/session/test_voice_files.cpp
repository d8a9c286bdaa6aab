#include "session/VoiceFiles.h"
#include "supervisor/frmInstallVoiceFiles.h"
#include "tests/support/ProgramHome.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

using namespace orvj;
using namespace orvj::test;

namespace {

void write(const fs::path& p, const std::string& content) {
    fs::create_directories(p.parent_path());
    writeFile(p, content);
}

// The sound folder counts a relative path from the program folder; a file is found whatever its
// letter case; a copy that fails keeps the older recording and leaves no part file. Then the
// form: its refusals, a good install, and Escape.
TEST(VoiceFiles, AFailedCopyKeepsTheOlderRecordingAndTheFormInstallsAFolder) {
    ProgramHome home;
    EXPECT_EQ(VoiceFiles::soundFolder(".", "/opt/orvj", "English"),
              fs::path("/opt/orvj/ORVJTest/sound/English"));
    const fs::path source = home.dir / "source", target = home.dir / "target";
    write(source / "Inst1.wav", "new1");
    write(source / "Q001A1.WAV", "new2");
    EXPECT_EQ(VoiceFiles::find(source, "  Q001A1.wav "), source / "Q001A1.WAV");
    const auto files = VoiceFiles::waveFilesIn(source);
    fs::remove(source / "Inst1.wav"); // gone before it could be copied
    write(target / "Inst1.wav", "old1");
    const auto result = VoiceFiles::install(files, target);
    ASSERT_EQ(result.failed.size(), 1u);
    EXPECT_EQ(result.failed[0].rfind("Inst1.wav: ", 0), 0u) << result.failed[0];
    EXPECT_EQ(readFile(target / "Inst1.wav"), "old1");
    EXPECT_EQ(readFile(target / "Q001A1.WAV"), "new2");
    EXPECT_EQ(std::distance(fs::directory_iterator(target), fs::directory_iterator()), 2)
        << "no part file stays";
    // A link planted beside the final name is never written through.
    write(home.dir / "victim.txt", "victim");
    for (const char* planted : {"Inst1.wav.partial", "Q001A1.WAV.partial"}) {
        fs::create_symlink(home.dir / "victim.txt", target / planted);
    }
    write(source / "Inst1.wav", "new1");
    EXPECT_TRUE(VoiceFiles::install(files, target).failed.empty());
    EXPECT_EQ(readFile(home.dir / "victim.txt"), "victim");
    EXPECT_EQ(readFile(target / "Inst1.wav"), "new1");

    // The form copies the wave files of a folder into the chosen language's sound folder.
    const fs::path recordings = home.dir / "recordings";
    for (const char* name : {"Inst0.wav", "Q001.wav", "Q001A1.WAV", "readme.txt"}) {
        write(recordings / name, name);
    }
    write(home.soundFolder("Spanish") / "Inst0.wav", "old");
    frmInstallVoiceFiles form(home.state, home.services);
    // Refused with a word: no folder, one without recordings.
    for (const fs::path& bad : {fs::path(), home.dir / "ORVJTest"}) {
        form.findChild<QLineEdit*>(u"txtSourceFolder"_s)->setText(QString::fromStdString(bad));
        form.choose(frmInstallVoiceFiles::kInstall);
    }
    ASSERT_EQ(home.boxes().size(), 2);
    EXPECT_TRUE(home.boxes()[0].endsWith(
        u": Choose the folder that holds the voice files first (Browse...)."_s));
    EXPECT_TRUE(home.boxes()[1].contains(u"holds no .wav files"_s));

    form.setFolderPicker(
        [&](QWidget*, const QString&) { return QString::fromStdString(recordings); });
    form.findChild<QComboBox*>(u"cmbLanguage"_s)->setCurrentIndex(1);
    const QString spanish = QString::fromStdString(home.soundFolder("Spanish"));
    EXPECT_EQ(form.findChild<QLabel*>(u"lblTarget"_s)->text(), spanish);
    form.findChild<QPushButton*>(u"cmdBrowse"_s)->click();
    form.choose(frmInstallVoiceFiles::kInstall);
    EXPECT_EQ(home.boxes().value(2), u"ORV-Juvenile: 3 of 3 voice files were copied into %1.\n1 of "
                                     "them replaced files of the same name."_s.arg(spanish));
    EXPECT_FALSE(fs::exists(home.soundFolder("Spanish") / "readme.txt"));
    EXPECT_EQ(readFile(home.soundFolder("Spanish") / "Inst0.wav"), "Inst0.wav");

    // Escape closes the form from a text field and from the language box, which has keys of
    // its own.
    for (const QString& name : {u"txtSourceFolder"_s, u"cmbLanguage"_s}) {
        ASSERT_TRUE(showActive(&form));
        auto* control = form.findChild<QWidget*>(name);
        control->setFocus(Qt::TabFocusReason);
        QTest::keyClick(control, Qt::Key_Escape);
        EXPECT_FALSE(form.isVisible()) << name.toStdString();
    }
}

// A sound name from the question bank is a plain file name in the sound folder: a path (absolute,
// through "..", with either separator or a drive letter) or a name with a control byte finds
// nothing, even where a file of that name or at that path exists, and counts as a missing sound.
TEST(VoiceFiles, ANameFromTheBankNeverLeadsOutOfTheSoundFolder) {
    TempFolder temp("orvj-voices");
    const fs::path folder = temp.path() / "ORVJTest" / "sound" / "English";
    write(folder / "Q001.wav", "q");
    write(folder / "sub" / "Q002.wav", "q");
    write(temp.path() / "ORVJTest" / "sound" / "secret.wav", "outside");
    write(folder / "sub\\Q002.wav", "a name with a backslash, which Windows reads as a path");
    write(folder / "Q\x01.wav", "a name with a control byte");
    EXPECT_EQ(VoiceFiles::find(folder, " Q001.wav\t"), folder / "Q001.wav");
    EXPECT_EQ(VoiceFiles::find(folder, "q001.WAV"), folder / "Q001.wav");

    const std::string outside = (temp.path() / "ORVJTest" / "sound" / "secret.wav").string();
    for (const std::string& name :
         {outside, std::string("../secret.wav"), std::string("..\\secret.wav"),
          std::string("sub/Q002.wav"), std::string("sub\\Q002.wav"), std::string("./Q001.wav"),
          std::string("C:Q001.wav"), std::string(".."), std::string("Q\x01.wav"),
          std::string("Q001.wav\0.txt", 13), std::string("Q001.wav\n")}) {
        EXPECT_EQ(VoiceFiles::find(folder, name), fs::path()) << name;
    }
}

} // namespace
