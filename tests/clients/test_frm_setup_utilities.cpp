// The supervisor's set-up utilities: installing the inventory files and changing the data
// folder, driven through their forms.
#include "clients/frmDataFolder.h"
#include "clients/frmInstallInventory.h"
#include "core/AppState.h"
#include "scoring/InventoryInstaller.h"
#include "store/ClientFile.h"
#include "store/ConfigFile.h"
#include "tests/support/FakeServices.h"
#include "ui/FormConventions.h"
#include "ui/Services.h"

#include <QAbstractButton>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>

using namespace orvj;
namespace fs = std::filesystem;

namespace {

using test::readFile;
using test::writeFile;

struct Utilities {
    QTemporaryDir dir;
    fs::path home = fs::path(dir.path().toStdString()) / "home";
    fs::path publisher = fs::path(dir.path().toStdString()) / "publisher";
    AppState state;
    test::FakeServices fakes{state};
    test::FakeMessageService& messages = fakes.messages;
    Services& services = fakes.services;

    Utilities() {
        fs::create_directories(home / "data");
        fs::create_directories(publisher);
        for (const std::string& name : InventoryInstaller::fileNames()) {
            fs::copy_file(fs::path(ORVJ_SAMPLE_HOME) / name, home / name);
            fs::copy_file(fs::path(ORVJ_SAMPLE_HOME) / name, publisher / name);
        }
        writeFile(home / "ORVJTest.ini", "[Path]\r\nFilePath=data\r\n");
        state.paths.home = home;
        state.paths.configFile = home / "ORVJTest.ini";
        state.paths.dataFolder = home / "data";
        state.paths.clientFile = home / "data" / "DATA301.OVJ";
        writeFile(state.paths.clientFile, std::string(2 * 196, 'x'));
        ClientFile(state.paths.clientFile).load(state.clients);
    }
};

template <class T> T* child(QWidget& form, const char* name) {
    T* w = form.findChild<T*>(QLatin1String(name));
    EXPECT_NE(w, nullptr) << name;
    return w;
}

TEST(InstallInventoryForm, RefusesABadSetThenInstallsAGoodOneWithProgressAndSummary) {
    Utilities u;
    frmInstallInventory form(u.state, u.services);
    form.setStamp([] { return std::string("2026-12-07-120000"); });
    form.setFolderPicker(
        [&](QWidget*, const QString&) { return QString::fromStdString(u.publisher.string()); });
    form.show();

    // Nothing chosen yet.
    form.choose(frmInstallInventory::kInstall);
    ASSERT_EQ(u.messages.shown.size(), 1);
    EXPECT_EQ(u.messages.shown[0].text,
              QStringLiteral("Choose the folder that holds the inventory files first "
                             "(Browse...)."));

    QTest::mouseClick(child<QAbstractButton>(form, "cmdBrowse"), Qt::LeftButton);
    EXPECT_EQ(child<QLineEdit>(form, "txtSourceFolder")->text(),
              QString::fromStdString(u.publisher.string()));

    writeFile(u.publisher / "ORVJRPT.TXT", "one statement\r\n");
    writeFile(u.publisher / "PUBLISHER.TXT", "The licensed publisher\r\n");
    const std::string oldPublisher = readFile(u.home / "PUBLISHER.TXT");
    QTest::keyClick(menuButton(&form, frmInstallInventory::kInstall), Qt::Key_Return);
    ASSERT_EQ(u.messages.shown.size(), 2);
    EXPECT_EQ(u.messages.shown[1].icon, MessageService::Icon::Critical);
    EXPECT_TRUE(u.messages.shown[1].text.contains(QStringLiteral("ORVJRPT.TXT: ")))
        << u.messages.shown[1].text.toStdString();
    EXPECT_TRUE(u.messages.shown[1].text.contains(QStringLiteral("nothing was replaced")));
    EXPECT_EQ(readFile(u.home / "PUBLISHER.TXT"), oldPublisher);

    fs::copy_file(fs::path(ORVJ_SAMPLE_HOME) / "ORVJRPT.TXT", u.publisher / "ORVJRPT.TXT",
                  fs::copy_options::overwrite_existing);
    form.choose(frmInstallInventory::kInstall);
    ASSERT_EQ(u.messages.shown.size(), 3);
    EXPECT_EQ(u.messages.shown[2].icon, MessageService::Icon::Information);
    EXPECT_TRUE(u.messages.shown[2].text.contains(QStringLiteral("inventory-backup-2026-12-07")));
    EXPECT_EQ(readFile(u.home / "PUBLISHER.TXT"), "The licensed publisher\r\n");
    EXPECT_EQ(readFile(u.home / "inventory-backup-2026-12-07-120000" / "PUBLISHER.TXT"),
              oldPublisher);
    const auto* bar = child<QProgressBar>(form, "prgInstall");
    EXPECT_EQ(bar->value(), bar->maximum());
    EXPECT_GT(bar->maximum(), 1);
    EXPECT_TRUE(menuButton(&form, frmInstallInventory::kClose)->isEnabled());
}

TEST(DataFolderForm, ShowsTheFolderSwitchesToANewOneAndRefusesABadOne) {
    Utilities u;
    frmDataFolder form(u.state, u.services);
    form.show();
    EXPECT_EQ(child<QLabel>(form, "lblDataFolder")->text(),
              QString::fromStdString((u.home / "data").string()));
    EXPECT_EQ(child<QLabel>(form, "lblClientCount")->text(), QStringLiteral("2 of 51"));

    // A file is no folder: refused, nothing changes.
    writeFile(u.home / "notes.txt", "x");
    QTest::keyClicks(child<QLineEdit>(form, "txtDataFolder"), QStringLiteral("notes.txt"));
    form.choose(frmDataFolder::kUseFolder);
    ASSERT_EQ(u.messages.shown.size(), 1);
    EXPECT_TRUE(u.messages.shown[0].text.startsWith(QStringLiteral("The data folder was not "
                                                                   "changed.")));
    EXPECT_FALSE(form.changed());
    EXPECT_EQ(u.state.clients.clientCount, 2);
    EXPECT_EQ(ConfigFile(u.state.paths.configFile).GetINIFilePath(), "data");

    // A new empty folder, named relative to the program folder.
    child<QLineEdit>(form, "txtDataFolder")->setText(QStringLiteral("data2027"));
    form.choose(frmDataFolder::kNewFolder);
    ASSERT_EQ(u.messages.shown.size(), 2);
    EXPECT_EQ(u.messages.shown[1].icon, MessageService::Icon::Information);
    EXPECT_TRUE(form.changed());
    EXPECT_EQ(u.state.clients.clientCount, 0);
    EXPECT_EQ(u.state.paths.clientFile, u.home / "data2027" / "DATA301.OVJ");
    EXPECT_TRUE(u.state.testStored);
    EXPECT_EQ(ConfigFile(u.state.paths.configFile).GetINIFilePath(), "data2027");
    EXPECT_EQ(child<QLabel>(form, "lblClientCount")->text(), QStringLiteral("0 of 51"));

    // And back to the old one.
    child<QLineEdit>(form, "txtDataFolder")
        ->setText(QString::fromStdString((u.home / "data").string()));
    QTest::keyClick(menuButton(&form, frmDataFolder::kUseFolder), Qt::Key_Return);
    EXPECT_EQ(u.state.clients.clientCount, 2);
    EXPECT_EQ(ConfigFile(u.state.paths.configFile).GetINIFilePath(), "data");
}

} // namespace
