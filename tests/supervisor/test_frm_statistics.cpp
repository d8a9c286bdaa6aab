#include "supervisor/frmStatistics.h"

#include "store/ConfigFile.h"
#include "tests/support/AuditLines.h"
#include "tests/support/ProgramHome.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QTableWidget>

using namespace orvj;
using namespace orvj::test;

namespace {

using F = ClientRecord::Field;

// The current data folder holds three clients tested in 2024, one of them invalid (every
// answer True); an earlier folder named in [Folders] holds two tested in 2019.
struct StatisticsHome : ProgramHome {
    fs::path earlier = dir / "earlier";

    StatisticsHome() {
        copySampleInventory();
        state.paths.configFile = dir / ConfigFile::kFileName;
        for (int k = 1; k <= 3; ++k) {
            ClientRecord& r = state.clients.at(k);
            r.set(F::Name, "Client " + std::to_string(k));
            r.set(F::Gender, k == 2 ? "2" : "1");
            r.set(F::Race, "1");
            r.set(F::TestDate, "05/0" + std::to_string(k) + "/2024");
            r.set(F::Responses, std::string(143, k == 3 ? '1' : '2'));
        }
        state.clients.clientCount = 3;
        fs::create_directories(earlier);
        ClientTable old;
        for (int k = 1; k <= 2; ++k) {
            old.at(k) = state.clients.at(k);
            old.at(k).set(F::TestDate, "01/10/2019");
            ClientFile(earlier / ClientFile::kFileName).writeRecord(old, k);
        }
        ConfigFile(state.paths.configFile).RememberFolder(earlier.string());
    }
};

// The current folder is counted; ticking the earlier one adds its clients; the dates leave
// tests out; the table shows the chosen group.
TEST(Statistics, CountsTheChosenFoldersAndDates) {
    StatisticsHome h;
    frmStatistics form(h.state, h.services);
    showForm(&form);
    auto* folders = form.findChild<QListWidget*>(u"lstFolders"_s);
    ASSERT_EQ(folders->count(), 2);
    EXPECT_EQ(folders->item(0)->checkState(), Qt::Checked);
    EXPECT_EQ(folders->item(1)->checkState(), Qt::Unchecked);
    ASSERT_NE(form.statistics(), nullptr);
    EXPECT_EQ(form.statistics()->total().clients, 3);
    EXPECT_EQ(form.statistics()->total().invalid, 1);
    EXPECT_EQ(form.statistics()->total().complete, 2);
    EXPECT_TRUE(form.findChild<QLabel*>(u"lblSummary"_s)
                    ->text()
                    .startsWith(u"Clients: 3 (complete 2, incomplete 0, invalid 1)"_s));

    folders->item(1)->setCheckState(Qt::Checked);
    EXPECT_EQ(form.statistics()->total().clients, 5);

    auto* since = form.findChild<QDateEdit*>(u"dteSince"_s);
    since->setDate(QDate(2024, 5, 2));
    form.findChild<QCheckBox*>(u"chkSince"_s)->setChecked(true);
    EXPECT_EQ(form.statistics()->total().clients, 2);
    EXPECT_EQ(form.statistics()->outsideDates(), 3);

    // The women alone: one client.
    auto* group = form.findChild<QComboBox*>(u"cmbGroup"_s);
    const int women = group->findText(u"SEX: Female"_s);
    ASSERT_GE(women, 0) << group->itemText(1).toStdString();
    group->setCurrentIndex(women);
    auto* table = form.findChild<QTableWidget*>(u"tblCounts"_s);
    int women1 = 0;
    for (int c = 0; c < 5; ++c) {
        women1 += table->item(0, c)->text().toInt();
    }
    EXPECT_EQ(women1, 1);
}

// CSV and PDF go to the file chosen; a cancelled choice writes nothing.
TEST(Statistics, SavesCsvAndPdf) {
    StatisticsHome h;
    frmStatistics form(h.state, h.services);
    QString answer = QString::fromStdString((h.dir / "figures.csv").string());
    form.setFilePicker([&](QWidget*, const QString&, const QString&) { return answer; });
    form.findChild<QPushButton*>(u"cmdSaveCsv"_s)->click();
    const std::string csv = readFile(h.dir / "figures.csv");
    EXPECT_EQ(csv.rfind("group,clients,complete,incomplete,invalid,critical,scale,", 0), 0u);
    EXPECT_NE(csv.find("ALL CLIENTS,3,2,0,1,"), std::string::npos) << csv;
    EXPECT_EQ(auditLines(h.state.paths.clientFile),
              std::vector<std::string>{"CSV exported | - | statistics"});

    answer = QString::fromStdString((h.dir / "figures").string());
    form.findChild<QPushButton*>(u"cmdSavePdf"_s)->click();
    EXPECT_EQ(readFile(h.dir / "figures.pdf").substr(0, 5), "%PDF-");
    // A file that is no PDF is not replaced.
    writeFile(h.dir / "keep.pdf", "client data");
    answer = QString::fromStdString((h.dir / "keep.pdf").string());
    form.findChild<QPushButton*>(u"cmdSavePdf"_s)->click();
    EXPECT_EQ(readFile(h.dir / "keep.pdf"), "client data");
    EXPECT_EQ(h.messages.shown.size(), 1u);
}

} // namespace
