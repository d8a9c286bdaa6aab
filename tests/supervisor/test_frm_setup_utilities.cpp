// The supervisor's set-up utilities: installing the inventory files and changing the data
// folder, driven through their forms. What the installer and the data folder change do to the
// files is tested with them; here it is what the forms show and pass on.
#include "scoring/InventoryInstaller.h"
#include "store/ConfigFile.h"
#include "supervisor/frmDataFolder.h"
#include "supervisor/frmInstallInventory.h"

#include "tests/clients/ClientsTestSupport.h"

#include <QLabel>
#include <QLineEdit>

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

    fs::copy_file(fs::path(ORVJ_SAMPLE_HOME) / "ORVJRPT.TXT", publisher / "ORVJRPT.TXT",
                  fs::copy_options::overwrite_existing);
    install.choose(frmInstallInventory::kInstall);
    ASSERT_EQ(messages.shown.size(), 2);
    EXPECT_TRUE(lastText().contains(QStringLiteral("inventory-backup-2026-12-07")));
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

} // namespace
