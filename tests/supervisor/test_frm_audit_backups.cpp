// The audit trail and backup windows, and the lines the forms add: the trail window shows the
// lines newest first, filters them and exports them; the restore window puts a backup back
// byte for byte and logs it; deleting names reaches every backup.
#include "store/AuditTrail.h"
#include "store/Backups.h"
#include "store/ConfigFile.h"
#include "supervisor/DeleteNames.h"
#include "supervisor/frmAuditTrail.h"
#include "supervisor/frmChangeSecretCode.h"
#include "supervisor/frmDataFolder.h"
#include "supervisor/frmRestoreBackup.h"

#include "tests/clients/ClientsTestSupport.h"
#include "tests/support/AuditLines.h"

#include <QLabel>
#include <QLineEdit>
#include <QTableWidget>

using namespace orvj;
using namespace orvj::test;

namespace {

class AuditWindows : public ClientsFixture {
protected:
    void SetUp() override {
        ClientsFixture::SetUp();
        registerClients({makeClient("Ann Avery"), makeClient("Bob Brown")});
    }
    // Saves record k with a new age through the program's write.
    void edit(int k, const std::string& age) {
        state.clients.at(k).set(ClientRecord::Field::Age, age);
        ClientFile(state.paths.clientFile).writeRecord(state.clients, k);
    }
    AuditRead trail() const { return AuditTrail(state.paths.clientFile).read(); }
    std::vector<std::string> events() const {
        std::vector<std::string> out;
        for (const AuditLine& l : trail().lines) {
            out.push_back(l.event);
        }
        return out;
    }
};

TEST_F(AuditWindows, TheTrailWindowShowsNewestFirstFiltersAndExports) {
    edit(1, "16");
    edit(2, "17");
    auto& window = open<frmAuditTrail>();
    auto* grid = child<QTableWidget>("grdAuditTrail");
    EXPECT_EQ(child<QLabel>("lblChainState")->text(), QStringLiteral("intact"));
    // A copy before the first change of the day, then the two edits.
    ASSERT_EQ(grid->rowCount(), 3);
    EXPECT_EQ(grid->item(0, 6)->text(), QStringLiteral("2"));
    EXPECT_EQ(grid->item(0, 5)->text(), QStringLiteral("client edited"));
    EXPECT_EQ(grid->item(0, 7)->text(), QStringLiteral("fields Age"));

    QTest::keyClicks(child<QLineEdit>("txtRecord"), QStringLiteral("1"));
    ASSERT_EQ(grid->rowCount(), 1);
    EXPECT_EQ(grid->item(0, 6)->text(), QStringLiteral("1"));
    QTest::keyClicks(child<QLineEdit>("txtSince"), QStringLiteral("2999-01-01"));
    EXPECT_EQ(grid->rowCount(), 0);
    child<QLineEdit>("txtSince")->clear();

    const fs::path csv = root / "trail.csv";
    window.setFilePicker(
        [&](QWidget*, const QString&) { return QString::fromStdString(csv.string()); });
    window.choose(frmAuditTrail::kExport);
    const std::string exported = readFile(csv);
    EXPECT_EQ(exported.rfind("Line,Time (UTC),PC,User,Program,Event,Records,Changes,State\r\n", 0),
              0u);
    EXPECT_NE(exported.find("client edited,1,fields Age"), std::string::npos) << exported;
    EXPECT_EQ(auditLines(state.paths.clientFile).back(), "CSV exported | - | audit trail, 1 lines")
        << "the lines shown, those of record 1";

    // A changed line is named in the window.
    std::string bytes = readFile(state.paths.clientFile.parent_path() / AuditTrail::kFileName);
    bytes[bytes.find("client edited")] = 'C';
    writeFile(state.paths.clientFile.parent_path() / AuditTrail::kFileName, bytes);
    open<frmAuditTrail>();
    EXPECT_TRUE(child<QLabel>("lblChainState")->text().contains(QStringLiteral("was changed")));
}

TEST_F(AuditWindows, ARestoreGivesBackTheBackupsBytesAndLogsItself) {
    edit(1, "16"); // copies the file of the day first
    const auto copies = Backups::list(Backups::folderFor(state.paths.clientFile));
    ASSERT_EQ(copies.size(), 1u);
    const std::string backup = Backups::read(copies[0].file);
    const std::string today = clientFile();

    auto& window = open<frmRestoreBackup>();
    auto* grid = child<QTableWidget>("grdBackups");
    ASSERT_EQ(grid->rowCount(), 1);
    EXPECT_EQ(grid->item(0, 1)->text(), QStringLiteral("2"));
    EXPECT_EQ(grid->item(0, 2)->text(), QStringLiteral("1 changed (1)"));

    messages.answerNext(MessageService::Answer::No);
    window.choose(frmRestoreBackup::kRestore);
    EXPECT_EQ(clientFile(), today) << "No is the default and restores nothing";

    messages.answerNext(MessageService::Answer::Yes);
    window.choose(frmRestoreBackup::kRestore);
    EXPECT_EQ(clientFile(), backup);
    EXPECT_TRUE(window.restored());
    EXPECT_EQ(state.clients.at(1).trimmed(ClientRecord::Field::Age), "15");
    EXPECT_TRUE(state.testStored);
    // Today's file went to the backups first.
    const auto after = Backups::list(Backups::folderFor(state.paths.clientFile));
    ASSERT_EQ(after.size(), 2u);
    EXPECT_EQ(Backups::read(after[0].file), today);
    const std::vector<std::string> e = events();
    ASSERT_GE(e.size(), 2u);
    EXPECT_EQ(e[e.size() - 2], "backup made");
    EXPECT_EQ(e.back(), "backup restored");
    EXPECT_TRUE(trail().check.intact);
}

TEST_F(AuditWindows, DeletingNamesReachesEveryBackupAndLogsEachRecord) {
    edit(1, "16");
    ASSERT_FALSE(Backups::list(Backups::folderFor(state.paths.clientFile)).empty());
    messages.answerNext(MessageService::Answer::Yes);
    DeleteNames(state, services, nullptr);
    EXPECT_EQ(messages.shown.size(), 2) << "no backup had to be removed";
    for (const auto& b : Backups::list(Backups::folderFor(state.paths.clientFile))) {
        const std::string bytes = Backups::read(b.file);
        EXPECT_EQ(bytes.find("Ann"), std::string::npos) << b.file;
        EXPECT_EQ(bytes.find("Bob"), std::string::npos) << b.file;
    }
    const std::string log = readFile(state.paths.clientFile.parent_path() / AuditTrail::kFileName);
    EXPECT_EQ(log.find("Ann"), std::string::npos);
    const std::vector<std::string> e = events();
    EXPECT_EQ(std::count(e.begin(), e.end(), "names deleted"), 2);
    EXPECT_TRUE(trail().check.intact);
}

// The secret code's change is recorded in the data folder it was changed from; a switch to a
// new folder copies the old client file first and starts the new folder's trail.
TEST_F(AuditWindows, SecretCodeAndDataFolderChangesAreRecorded) {
    state.paths.configFile = root / ConfigFile::kFileName;
    writeFile(state.paths.configFile, "[Path]\r\nFilePath=data\r\n");
    open<frmChangeSecretCode>();
    child<QLineEdit>("txtCurrentCode")->setText(QStringLiteral("K"));
    child<QLineEdit>("txtNewCode")->setText(QStringLiteral("office-code"));
    child<QLineEdit>("txtRepeatCode")->setText(QStringLiteral("office-code"));
    QTest::keyClick(menuButton(form.get(), 0), Qt::Key_Return);
    ASSERT_FALSE(events().empty()) << lastText().toStdString();
    EXPECT_EQ(events().back(), "secret code changed");

    const AuditTrail old(state.paths.clientFile);
    auto& folders = open<frmDataFolder>();
    QTest::keyClicks(child<QLineEdit>("txtDataFolder"), QStringLiteral("fresh"));
    folders.choose(frmDataFolder::kNewFolder);
    ASSERT_TRUE(folders.changed()) << lastText().toStdString();
    EXPECT_EQ(old.read().lines.back().event, "backup made");
    EXPECT_NE(old.read().lines.back().detail.find("before a data folder switch"),
              std::string::npos);
    EXPECT_EQ(Backups::read(Backups::list(root / "data" / "backups")[0].file),
              bytesOf({makeClient("Ann Avery"), makeClient("Bob Brown")}));
    ASSERT_EQ(trail().lines.size(), 1u);
    EXPECT_EQ(trail().lines[0].event, "data folder started");
}

} // namespace
