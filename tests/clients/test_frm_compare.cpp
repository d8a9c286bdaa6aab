#include "clients/frmCompare.h"

#include "scoring/Scales.h"
#include "store/ConfigFile.h"
#include "tests/scoring/InventoryFixture.h"
#include "tests/support/ProgramHome.h"
#include "ui/ProfileView.h"

#include <QLabel>
#include <QPushButton>
#include <QTableWidget>

using namespace orvj;
using namespace orvj::test;

namespace {

using F = ClientRecord::Field;

// Ann tested now and, with other answers, in 2019 in an earlier data folder named in
// [Folders]; Bob tested once.
struct RetestHome : ProgramHome {
    fs::path earlier = dir / "old";

    RetestHome() {
        copySampleInventory();
        state.paths.configFile = dir / ConfigFile::kFileName;
        std::string answers = orvj::testing::neutralResponses();
        orvj::testing::setAnswers(answers, {112, 120}, 4);
        const struct {
            const char* name;
            const char* id;
        } clients[] = {{"Ann", "A-1"}, {"Bob", "B-2"}};
        for (int k = 1; k <= 2; ++k) {
            ClientRecord& r = state.clients.at(k);
            r = orvj::testing::makeClient(clients[k - 1].name, answers);
            r.set(F::SSN, clients[k - 1].id);
            r.set(F::TestDate, "05/01/2024");
        }
        state.clients.clientCount = 2;
        state.clients.currentClient = 1;
        fs::create_directories(earlier);
        ClientTable old;
        old.at(1) = orvj::testing::makeClient("Ann", orvj::testing::neutralResponses());
        old.at(1).set(F::SSN, "A-1");
        old.at(1).set(F::TestDate, "01/10/2019");
        old.clientCount = 1;
        ClientFile(earlier / ClientFile::kFileName).writeRecord(old, 1);
        ConfigFile(state.paths.configFile).RememberFolder("old");
    }
};

// Both of Ann's tests, the earlier first, with the change of each scale; the pictures side by
// side; a PDF of it all.
TEST(Compare, ListsBothTestsInDateOrderWithTheChange) {
    RetestHome h;
    EXPECT_EQ(frmCompare::TestCount(h.state), 2);
    frmCompare form(h.state, h.services);
    const RetestComparison& c = form.comparison();
    ASSERT_EQ(c.tests.size(), 2u);
    auto* table = form.findChild<QTableWidget*>(u"tblCompare"_s);
    ASSERT_EQ(table->columnCount(), 3);
    EXPECT_EQ(table->item(0, 0)->text(), u"01/10/2019"_s);
    EXPECT_EQ(table->item(0, 1)->text(), u"05/01/2024"_s);
    EXPECT_EQ(table->item(1, 0)->text(), u"1 in old"_s);
    for (int n = 1; n <= Scales::kCount; ++n) {
        const int before = c.tests[0].profile.scores.pct(n);
        const int after = c.tests[1].profile.scores.pct(n);
        EXPECT_TRUE(table->item(n + 1, 0)->text().startsWith(QString::number(before) + u' '));
        EXPECT_EQ(table->item(n + 1, 2)->text().toInt(), after - before) << Scales::name(n);
    }
    // Family issues rises with items 112 and 120 answered 4.
    EXPECT_GT(c.change(Scales::FamilyIssues), 0);
    EXPECT_EQ(form.findChild<ProfileView*>()->profiles().size(), 2u);

    form.setPdfFilePicker(
        [&](QWidget*, const QString&) { return QString::fromStdString((h.dir / "ann").string()); });
    form.findChild<QPushButton*>(u"cmdSavePdf"_s)->click();
    EXPECT_EQ(orvj::testing::pdfPages(h.dir / "ann.pdf"), 2);

    h.state.clients.currentClient = 2;
    EXPECT_EQ(frmCompare::TestCount(h.state), 1);
}

} // namespace
