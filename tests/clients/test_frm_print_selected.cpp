#include "clients/frmPrintSelected.h"

#include "tests/clients/ClientsTestSupport.h"

#include <QListWidget>

#include <memory>

using namespace orvj;
using namespace orvj::test;

namespace {

class PrintSelectedTest : public ClientsFixture {
protected:
    void SetUp() override {
        ClientsFixture::SetUp();
        registerClients({makeClient("Smith"), makeClient("Bob"), makeClient("Cy")});
        open();
    }
    void open() {
        form = std::make_unique<frmPrintSelected>(state, services);
        showForm(form.get());
    }
    void clickRow(int row) {
        auto* list = form->findChild<QListWidget*>(QStringLiteral("lbNameDisplay"));
        const QRect r = list->visualItemRect(list->item(row));
        QTest::mouseClick(list->viewport(), Qt::LeftButton, Qt::NoModifier, r.center());
    }
    bool tempExists(int n) { return fs::exists(state.paths.home / ("temp" + std::to_string(n))); }

    std::unique_ptr<frmPrintSelected> form;
};

std::string report(int client) {
    return FakeReportJobs::reportOf(client, 0);
}

TEST_F(PrintSelectedTest, ClickedClientsPrintInListOrder) {
    clickRow(2);
    clickRow(0);
    clickRow(1);
    clickRow(1); // a second click takes the client off again
    press(form.get(), 0);
    EXPECT_FALSE(form->isVisible());
    EXPECT_EQ(reports.printed, (std::vector<std::string>{report(1), report(3)}));
    EXPECT_EQ(readFile(state.paths.home / "temp1"), report(1));
    EXPECT_EQ(readFile(state.paths.home / "temp2"), report(3));
    EXPECT_FALSE(tempExists(3));
    EXPECT_EQ(state.clients.currentClient, 3);
    EXPECT_TRUE(messages.shown.isEmpty());
}

TEST_F(PrintSelectedTest, SelectAllChoosesEveryClientAndAFaultPrintsNone) {
    press(form.get(), 1);
    EXPECT_TRUE(form->isVisible()) << "Select All prints nothing by itself";
    press(form.get(), 0);
    EXPECT_EQ(reports.printed, (std::vector<std::string>{report(1), report(2), report(3)}));

    reports.printed.clear();
    reports.failComposeOf = 3;
    open();
    press(form.get(), 1);
    press(form.get(), 0);
    EXPECT_TRUE(reports.printed.empty());
    EXPECT_TRUE(lastText().startsWith(QStringLiteral(
        "The report of client 3 could not be composed, so no report was printed.\n")));
}

TEST_F(PrintSelectedTest, NothingSelectedOrReturnPrintsNothing) {
    press(form.get(), 0);
    EXPECT_FALSE(form->isVisible());
    open();
    clickRow(1);
    press(form.get(), 2);
    EXPECT_FALSE(form->isVisible());
    EXPECT_TRUE(reports.composed.empty());
    EXPECT_FALSE(tempExists(1));
}

} // namespace
