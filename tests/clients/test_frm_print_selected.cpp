#include "clients/frmPrintSelected.h"

#include "tests/clients/ClientsTestSupport.h"
#include "ui/FormConventions.h"

#include <QAbstractButton>
#include <QApplication>
#include <QGroupBox>
#include <QLabel>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QTest>

#include <memory>

using namespace orvj;
using namespace orvj::test;

namespace {

class PrintSelectedTest : public ClientsFixture {
protected:
    void SetUp() override {
        ClientsFixture::SetUp();
        ClientRecord deleted = makeClient("DI", "U");
        deleted.set(ClientRecord::Field::NameDeleted, "1");
        registerClients({makeClient("Smith"), makeClient("Bob"), makeClient("Cy"), deleted});
    }
    void open() {
        form = std::make_unique<frmPrintSelected>(state, services);
        form->show();
        QApplication::setActiveWindow(form.get());
        ASSERT_TRUE(QTest::qWaitForWindowActive(form.get()));
    }
    QListWidget* list() { return form->findChild<QListWidget*>(QStringLiteral("lbNameDisplay")); }
    void clickRow(int row) {
        QListWidget* l = list();
        const QRect r = l->visualItemRect(l->item(row));
        QTest::mouseClick(l->viewport(), Qt::LeftButton, Qt::NoModifier, r.center());
    }
    void press(int choice) {
        menuButton(form.get(), choice)->setFocus();
        QTest::keyClick(menuButton(form.get(), choice), Qt::Key_Return);
    }
    std::string report(int client) { return FakeReportJobs::reportOf(client, 0); }
    std::unique_ptr<frmPrintSelected> form;
};

TEST_F(PrintSelectedTest, ListsEveryClientWithItsPaddedName) {
    open();
    EXPECT_EQ(form->windowTitle(), QStringLiteral("Print Selected Reports"));
    ASSERT_EQ(list()->count(), 4);
    EXPECT_EQ(list()->item(0)->text(), QStringLiteral("1-Smith") + QString(20, QLatin1Char(' ')));
    EXPECT_EQ(list()->item(3)->text(), QStringLiteral("4-DI") + QString(23, QLatin1Char(' ')));
    EXPECT_EQ(list()->currentRow(), 0);
    EXPECT_TRUE(list()->selectedItems().isEmpty()) << "current, not selected";
    EXPECT_TRUE(menuButton(form.get(), 0)->isEnabled());
    const QString instructions =
        form->findChild<QPlainTextEdit*>(QStringLiteral("txtInstructions"))->toPlainText();
    EXPECT_TRUE(
        instructions.startsWith(QStringLiteral("- Select the client names of the\n  reports you "
                                               "want to print by\n  clicking on them.\n")));
    EXPECT_TRUE(instructions.endsWith(QStringLiteral("  print nothing.")));
    EXPECT_EQ(instructions.count(QLatin1Char('\n')), 16);

    list()->setFocus();
    auto* frame = form->findChild<QGroupBox*>(QStringLiteral("fraClient"));
    EXPECT_EQ(backgroundOf(frame), Colors::cyan());
    EXPECT_TRUE(isBold(frame));
    EXPECT_EQ(form->findChild<QLabel*>(QStringLiteral("MsgPanel"))->text(),
              QStringLiteral("Use up or down arrow keys or mouse to select client."));
    menuButton(form.get(), 1)->setFocus();
    EXPECT_EQ(backgroundOf(frame), Colors::blue());
    EXPECT_EQ(form->findChild<QLabel*>(QStringLiteral("MsgPanel"))->text(),
              QStringLiteral("Select all client reports for printing"));
}

TEST_F(PrintSelectedTest, ChosenClientsPrintInListOrderAfterAllAreComposed) {
    open();
    clickRow(2);
    clickRow(0);
    clickRow(3);
    clickRow(3); // a second click takes the client off again
    press(0);
    EXPECT_FALSE(form->isVisible());
    EXPECT_EQ(reports.composed, (std::vector<int>{1, 3}));
    EXPECT_EQ(reports.printed, (std::vector<std::string>{report(1), report(3)}));
    EXPECT_EQ(readFile(state.paths.home / "temp1"), report(1));
    EXPECT_EQ(readFile(state.paths.home / "temp2"), report(3));
    EXPECT_FALSE(fs::exists(state.paths.home / "temp3"));
    EXPECT_EQ(state.clients.currentClient, 3);
    EXPECT_TRUE(messages.shown.isEmpty());
}

TEST_F(PrintSelectedTest, SelectAllPrintsEveryClientIncludingDeletedNames) {
    open();
    press(1);
    EXPECT_TRUE(form->isVisible()) << "Select All prints nothing by itself";
    EXPECT_TRUE(reports.composed.empty());
    press(0);
    EXPECT_EQ(reports.printed,
              (std::vector<std::string>{report(1), report(2), report(3), report(4)}));
    EXPECT_EQ(state.clients.currentClient, 4);
}

TEST_F(PrintSelectedTest, NothingSelectedOrReturnPrintsNothing) {
    open();
    press(0);
    EXPECT_FALSE(form->isVisible());
    EXPECT_TRUE(reports.composed.empty());

    open();
    clickRow(1);
    press(2);
    EXPECT_FALSE(form->isVisible());
    EXPECT_TRUE(reports.composed.empty());
    EXPECT_FALSE(fs::exists(state.paths.home / "temp1"));
}

TEST_F(PrintSelectedTest, ACompositionFaultPrintsNothingAndSaysWhy) {
    reports.failComposeOf = {3};
    open();
    press(1);
    press(0);
    EXPECT_TRUE(reports.printed.empty());
    ASSERT_EQ(messages.shown.size(), 1);
    EXPECT_EQ(messages.shown[0].icon, MessageService::Icon::Critical);
    EXPECT_TRUE(messages.shown[0].text.startsWith(
        QStringLiteral("The report of client 3 could not be composed, so no report was printed.")));
}

} // namespace
