#include "clients/frmPrintSelected.h"

#include "tests/clients/ClientsTestSupport.h"

#include <QListWidget>

using namespace orvj;
using namespace orvj::test;

namespace {

class PrintSelectedTest : public ClientsFixture {
protected:
    void SetUp() override {
        ClientsFixture::SetUp();
        registerClients({makeClient("Smith"), makeClient("Bob"), makeClient("Cy")});
        open<frmPrintSelected>();
    }
    void clickRow(int row) {
        auto* list = child<QListWidget>("lbNameDisplay");
        const QRect r = list->visualItemRect(list->item(row));
        QTest::mouseClick(list->viewport(), Qt::LeftButton, Qt::NoModifier, r.center());
    }
    bool tempExists(int n) { return fs::exists(state.paths.home / ("temp" + std::to_string(n))); }
};

std::string report(int client) {
    return FakeReportJobs::reportOf(client, ReportOption::Standard);
}

TEST_F(PrintSelectedTest, ClickedClientsPrintInListOrder) {
    for (int row : {2, 0, 1, 1}) { // a second click takes the client off again
        clickRow(row);
    }
    press(form.get(), 0);
    EXPECT_FALSE(form->isVisible());
    EXPECT_EQ(reports.printed, (std::vector<std::string>{report(1), report(3)}));
    EXPECT_EQ(readFile(state.paths.home / "temp1"), report(1));
    EXPECT_EQ(readFile(state.paths.home / "temp2"), report(3));
    EXPECT_FALSE(tempExists(3));
    EXPECT_EQ(state.clients.currentClient, 3);
    EXPECT_TRUE(messages.shown.isEmpty());
}

TEST_F(PrintSelectedTest, SelectAllReturnAndNothingChosen) {
    press(form.get(), 0);
    EXPECT_FALSE(form->isVisible()) << "nothing chosen, nothing printed";
    open<frmPrintSelected>();
    clickRow(1);
    press(form.get(), 2);
    EXPECT_FALSE(form->isVisible());
    EXPECT_TRUE(reports.composed.empty());
    EXPECT_FALSE(tempExists(1));

    reports.failComposeOf = 3; // a fault prints none
    open<frmPrintSelected>();
    press(form.get(), 1);
    press(form.get(), 0);
    EXPECT_TRUE(reports.printed.empty());
    EXPECT_TRUE(lastText().startsWith(QStringLiteral(
        "The report of client 3 could not be composed, so no report was printed.\n")));
    reports.failComposeOf = 0;
    open<frmPrintSelected>();
    press(form.get(), 1);
    EXPECT_TRUE(form->isVisible()) << "Select All prints nothing by itself";
    press(form.get(), 0);
    EXPECT_EQ(reports.printed, (std::vector<std::string>{report(1), report(2), report(3)}));
}

} // namespace
