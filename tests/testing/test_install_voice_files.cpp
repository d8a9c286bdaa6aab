#include "testing/frmInstallVoiceFiles.h"
#include "tests/testing/TestHome.h"
#include "ui/FormConventions.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>

using namespace orvj;
using namespace orvj::test;

namespace {

TEST(InstallVoiceFiles, CopiesThePickedFolderIntoTheLanguagesSoundFolder) {
    TestHome home;
    const fs::path source = home.dir / "recordings";
    fs::create_directories(source);
    for (const char* name : {"Inst0.wav", "Q001.wav", "Q001A1.WAV", "readme.txt"}) {
        std::ofstream(source / name) << name;
    }
    fs::create_directories(home.soundFolder("Spanish"));
    std::ofstream(home.soundFolder("Spanish") / "Inst0.wav") << "old";

    frmInstallVoiceFiles form(home.state, home.services);
    QString offered;
    form.setFolderPicker([&](QWidget*, const QString& start) {
        offered = start;
        return QString::fromStdString(source.string());
    });
    ASSERT_TRUE(showActive(&form));
    auto* language = form.findChild<QComboBox*>(QStringLiteral("cmbLanguage"));
    auto* target = form.findChild<QLabel*>(QStringLiteral("lblTarget"));
    EXPECT_EQ(target->text(), QString::fromStdString(home.soundFolder("English").string()));
    language->setCurrentIndex(1);
    EXPECT_EQ(target->text(), QString::fromStdString(home.soundFolder("Spanish").string()));

    form.findChild<QPushButton*>(QStringLiteral("cmdBrowse"))->click();
    EXPECT_EQ(form.findChild<QLineEdit*>(QStringLiteral("txtSourceFolder"))->text(),
              QString::fromStdString(source.string()));
    menuButton(&form, frmInstallVoiceFiles::kInstall)->click();

    auto* progress = form.findChild<QProgressBar*>(QStringLiteral("prgCopy"));
    EXPECT_EQ(progress->maximum(), 3);
    EXPECT_EQ(progress->value(), 3);
    ASSERT_EQ(home.messages.shown.size(), 1);
    const QString summary = home.messages.shown[0].text;
    EXPECT_TRUE(summary.startsWith(QStringLiteral("3 of 3 voice files were copied into ")))
        << summary.toStdString();
    EXPECT_TRUE(summary.contains(QStringLiteral("1 of them replaced")));
    EXPECT_EQ(home.messages.shown[0].icon, MessageService::Icon::Information);
    EXPECT_TRUE(fs::exists(home.soundFolder("Spanish") / "Q001A1.WAV"));
    EXPECT_FALSE(fs::exists(home.soundFolder("Spanish") / "readme.txt"));
    EXPECT_FALSE(fs::exists(home.soundFolder("English")));
    EXPECT_TRUE(form.isVisible()) << "stays open for the other language";
    menuButton(&form, frmInstallVoiceFiles::kClose)->click();
    EXPECT_FALSE(form.isVisible());
}

TEST(InstallVoiceFiles, EmptyOrMissingFoldersAreRefusedClearly) {
    TestHome home;
    frmInstallVoiceFiles form(home.state, home.services);
    form.choose(frmInstallVoiceFiles::kInstall);
    ASSERT_EQ(home.messages.shown.size(), 1);
    EXPECT_TRUE(home.messages.shown[0].text.startsWith(QStringLiteral("Choose the folder")));

    auto* folder = form.findChild<QLineEdit*>(QStringLiteral("txtSourceFolder"));
    folder->setText(QString::fromStdString((home.dir / "nowhere").string()));
    form.choose(frmInstallVoiceFiles::kInstall);
    ASSERT_EQ(home.messages.shown.size(), 2);
    EXPECT_TRUE(home.messages.shown[1].text.contains(QStringLiteral("nowhere")));

    fs::create_directories(home.dir / "empty");
    folder->setText(QString::fromStdString((home.dir / "empty").string()));
    form.choose(frmInstallVoiceFiles::kInstall);
    ASSERT_EQ(home.messages.shown.size(), 3);
    EXPECT_TRUE(home.messages.shown[2].text.contains(QStringLiteral("holds no .wav files")));
    EXPECT_FALSE(fs::exists(home.soundFolder("English")));
}

} // namespace
