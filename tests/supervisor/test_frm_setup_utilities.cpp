// The supervisor's set-up utilities: installing the inventory files and changing the data
// folder, driven through their forms. What the installer and the data folder change do to the
// files is tested with them; here it is what the forms show and pass on.
#include "scoring/InventoryInstaller.h"
#include "store/ConfigFile.h"
#include "supervisor/frmDataFolder.h"
#include "supervisor/frmInstallInventory.h"
#include "supervisor/frmInstallVoiceFiles.h"
#include "supervisor/frmSupervisorOptions.h"
#include "ui/PathText.h"

#include "tests/clients/ClientsTestSupport.h"
#include "tests/support/AuditLines.h"

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>

using namespace orvj;
using namespace orvj::test;

namespace {

// A program folder with the sample inventory files and a data folder of two clients, and a
// publisher's folder with a copy of the inventory files.
class SetupUtilities : public ClientsFixture {
protected:
    void SetUp() override {
        ClientsFixture::SetUp();
        fs::create_directories(publisher);
        for (const std::string& name : InventoryInstaller::fileNames()) {
            fs::copy_file(fs::path(ORVJ_SAMPLE_HOME) / name, root / name);
            fs::copy_file(fs::path(ORVJ_SAMPLE_HOME) / name, publisher / name);
        }
        state.paths.configFile = root / "ORVJTest.ini";
        writeFile(state.paths.configFile, "[Path]\r\nFilePath=data\r\n");
        registerClients({makeClient("Ann"), makeClient("Bob")});
    }
    std::string configuredFolder() { return ConfigFile(state.paths.configFile).GetINIFilePath(); }
    QString text(const char* name) { return child<QLabel>(name)->text(); }
    fs::path publisher = root / "publisher";
};

TEST_F(SetupUtilities, InstallRefusesABadSetThenInstallsAGoodOneWithItsBackupNamed) {
    const std::size_t before = auditLineCount(state.paths.clientFile);
    auto& install = open<frmInstallInventory>();
    install.setStamp([] { return std::string("2026-12-07-120000"); });
    install.setFolderPicker(
        [&](QWidget*, const QString&) { return QString::fromStdString(publisher.string()); });

    QTest::mouseClick(child<QAbstractButton>("cmdBrowse"), Qt::LeftButton);
    EXPECT_EQ(child<QLineEdit>("txtSourceFolder")->text(),
              QString::fromStdString(publisher.string()));

    writeFile(publisher / "ORVJRPT.TXT", "one statement\r\n");
    QTest::keyClick(menuButton(form.get(), frmInstallInventory::kInstall), Qt::Key_Return);
    ASSERT_EQ(messages.shown.size(), 1);
    EXPECT_EQ(messages.shown[0].icon, MessageService::Icon::Critical);
    EXPECT_TRUE(lastText().contains(QStringLiteral("ORVJRPT.TXT: "))) << lastText().toStdString();
    EXPECT_TRUE(lastText().contains(QStringLiteral("nothing was replaced")));
    EXPECT_EQ(auditLines(state.paths.clientFile, before), std::vector<std::string>{})
        << "a refused set installs nothing";

    fs::copy_file(fs::path(ORVJ_SAMPLE_HOME) / "ORVJRPT.TXT", publisher / "ORVJRPT.TXT",
                  fs::copy_options::overwrite_existing);
    install.choose(frmInstallInventory::kInstall);
    ASSERT_EQ(messages.shown.size(), 2);
    EXPECT_TRUE(lastText().contains(QStringLiteral("inventory-backup-2026-12-07")));
    EXPECT_EQ(auditLines(state.paths.clientFile, before),
              std::vector<std::string>{"inventory files installed | - | -"});
}

TEST_F(SetupUtilities, DataFolderShowsTheFolderSwitchesToANewOneAndRefusesABadOne) {
    auto& folders = open<frmDataFolder>();
    EXPECT_EQ(text("lblDataFolder"), QString::fromStdString((root / "data").string()));
    EXPECT_EQ(child<QLabel>("lblDataFolder")->textFormat(), Qt::PlainText)
        << "a folder name is shown as typed, tags and all";
    EXPECT_EQ(text("lblClientCount"), QStringLiteral("2 of 51"));
    auto* name = child<QLineEdit>("txtDataFolder");

    // A file is no folder: refused, nothing changes.
    writeFile(root / "notes.txt", "x");
    QTest::keyClicks(name, QStringLiteral("notes.txt"));
    folders.choose(frmDataFolder::kUseFolder);
    ASSERT_EQ(messages.shown.size(), 1);
    EXPECT_TRUE(lastText().startsWith(QStringLiteral("The data folder was not changed.")));
    EXPECT_FALSE(folders.changed());
    EXPECT_EQ(state.clients.clientCount, 2);
    EXPECT_EQ(configuredFolder(), "data");

    // A new empty folder, named relative to the program folder.
    name->setText(QStringLiteral("data2027"));
    folders.choose(frmDataFolder::kNewFolder);
    ASSERT_EQ(messages.shown.size(), 2);
    EXPECT_TRUE(folders.changed());
    EXPECT_EQ(state.clients.clientCount, 0);
    EXPECT_EQ(state.paths.clientFile, root / "data2027" / ClientFile::kFileName);
    EXPECT_TRUE(state.testStored);
    EXPECT_EQ(configuredFolder(), "data2027");

    // And back to the old one, by the keyboard.
    name->setText(QString::fromStdString((root / "data").string()));
    QTest::keyClick(menuButton(form.get(), frmDataFolder::kUseFolder), Qt::Key_Return);
    EXPECT_EQ(state.clients.clientCount, 2);
    EXPECT_EQ(configuredFolder(), "data");
}

// The same forms with the program folder, the data folder and every folder picked named in
// letters beyond ASCII: "Büro ü/ñ" holds the program folder.
class NonAsciiFolders : public SetupUtilities {
protected:
    void SetUp() override {
        root = root / u8"Büro ü" / u8"ñ";
        publisher = root / u8"Verlag é 😀";
        SetupUtilities::SetUp();
    }
    // The folder as Qt spells it from its UTF-8 name, apart from the conversion under test.
    QString shown(const fs::path& path) {
        const std::u8string name = path.u8string();
        return QString::fromUtf8(reinterpret_cast<const char*>(name.c_str()));
    }
};

TEST_F(NonAsciiFolders, DataFolderShowsTakesAndStoresThemOrRefusesWhatTheIniCannotHold) {
    auto& folders = open<frmDataFolder>();
    EXPECT_EQ(text("lblDataFolder"), shown(root / "data"));
    EXPECT_TRUE(text("lblDataFolder").endsWith(QString::fromUtf8(u8"/Büro ü/ñ/data")));

    // Typed, relative: made, and FilePath holds it in Windows-1252, which names it again.
    auto* name = child<QLineEdit>("txtDataFolder");
    name->setText(QString::fromUtf8(u8"Daten é ü")); // QTest types ASCII only
    folders.choose(frmDataFolder::kNewFolder);
    ASSERT_EQ(messages.shown.size(), 1);
    EXPECT_EQ(messages.shown[0].icon, MessageService::Icon::Information)
        << lastText().toStdString();
    EXPECT_TRUE(lastText().contains(shown(root / u8"Daten é ü"))) << lastText().toStdString();
    EXPECT_TRUE(fs::is_directory(root / u8"Daten é ü"));
    EXPECT_EQ(state.paths.clientFile, root / u8"Daten é ü" / ClientFile::kFileName);
    EXPECT_EQ(configuredFolder(), "Daten \xe9 \xfc");
    EXPECT_EQ(resolveConfiguredFolder(root, configuredFolder()), root / u8"Daten é ü");

    // Letters Windows-1252 has not: refused before anything is made.
    name->setText(QString::fromUtf8(u8"Данные 😀"));
    folders.choose(frmDataFolder::kNewFolder);
    ASSERT_EQ(messages.shown.size(), 2);
    EXPECT_TRUE(lastText().startsWith(QStringLiteral("The data folder was not changed.")));
    EXPECT_TRUE(lastText().contains(QStringLiteral("Windows-1252"))) << lastText().toStdString();
    EXPECT_FALSE(fs::exists(root / u8"Данные 😀"));
    EXPECT_EQ(configuredFolder(), "Daten \xe9 \xfc");

    // Picked with Browse..., absolute: back to the old folder and its clients.
    folders.setFolderPicker([&](QWidget*, const QString&) { return shown(root / "data"); });
    name->clear();
    QTest::mouseClick(child<QAbstractButton>("cmdBrowse"), Qt::LeftButton);
    folders.choose(frmDataFolder::kUseFolder);
    EXPECT_EQ(state.clients.clientCount, 2);
    EXPECT_EQ(configuredFolder(), "data");
}

TEST_F(NonAsciiFolders, InstallersAndThePdfFolderReadAndWriteThere) {
    // The inventory files, from a publisher's folder into the program folder.
    auto& inventory = open<frmInstallInventory>();
    inventory.setStamp([] { return std::string("2026-12-07-120000"); });
    inventory.setFolderPicker([&](QWidget*, const QString&) { return shown(publisher); });
    EXPECT_EQ(text("lblTarget"), shown(root));
    QTest::mouseClick(child<QAbstractButton>("cmdBrowse"), Qt::LeftButton);
    inventory.choose(frmInstallInventory::kInstall);
    ASSERT_EQ(messages.shown.size(), 1);
    EXPECT_EQ(messages.shown[0].icon, MessageService::Icon::Information)
        << lastText().toStdString();
    EXPECT_TRUE(lastText().contains(shown(root / "inventory-backup-2026-12-07")));

    // The voice files, from a folder of recordings into the sound folder.
    const std::size_t before = auditLineCount(state.paths.clientFile);
    const fs::path recordings = root / u8"Aufnahmen ñ 𝄞";
    fs::create_directories(recordings);
    writeFile(recordings / "Inst0.wav", "Inst0");
    auto& voices = open<frmInstallVoiceFiles>();
    voices.setFolderPicker([&](QWidget*, const QString&) { return shown(recordings); });
    const fs::path sound = root / "ORVJTest" / "sound" / "English";
    EXPECT_EQ(text("lblTarget"), shown(sound));
    QTest::mouseClick(child<QAbstractButton>("cmdBrowse"), Qt::LeftButton);
    voices.choose(frmInstallVoiceFiles::kInstall);
    ASSERT_EQ(messages.shown.size(), 2);
    EXPECT_EQ(lastText(),
              QStringLiteral("1 of 1 voice files were copied into %1.").arg(shown(sound)));
    EXPECT_EQ(readFile(sound / "Inst0.wav"), "Inst0");
    EXPECT_EQ(auditLines(state.paths.clientFile, before),
              std::vector<std::string>{"voice files installed | - | 1 of 1 files"});

    // Every report printed into PDF files in a folder the supervisor picks.
    const fs::path out = root / u8"PDF ü 😀";
    fs::create_directories(out);
    auto& options = open<frmSupervisorOptions>();
    options.setPdfFolderPicker([&](QWidget*) { return shown(out); });
    child<QCheckBox>("chkPdfFolder")->setChecked(true);
    child<QRadioButton>("optPrintOption2")->click();
    child<QRadioButton>("optReportOption0")->click();
    press(form.get(), 0);
    EXPECT_EQ(reports.savedPdfs,
              (std::vector<fs::path>{out / "report-1.pdf", out / "report-2.pdf"}));
    EXPECT_EQ(readFile(out / "report-2.pdf"), FakeReportJobs::reportOf(2, ReportOption::Standard));
}

} // namespace
