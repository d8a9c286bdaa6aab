#include "clients/frmViewReport.h"

#include "tests/clients/ClientsTestSupport.h"

#include <QDialog>
#include <QPlainTextEdit>
#include <QPushButton>

using namespace orvj;
using namespace orvj::test;

namespace {

class ViewReportTest : public ClientsFixture {
protected:
    void openViewer() {
        registerClients({makeClient("Ann"), makeClient("Bob")});
        state.clients.currentClient = 2;
        state.reportOption = 1;
        open<frmViewReport>();
    }
    QString shown() { return form->findChild<QPlainTextEdit*>()->toPlainText(); }
    QPushButton* button(const char* name) { return child<QPushButton>(name); }
};

TEST_F(ViewReportTest, ComposesOnEveryActivation) {
    openViewer();
    EXPECT_EQ(shown(), QStringLiteral("report of client 2, option 1"));
    QDialog other;
    showForm(&other);
    state.clients.currentClient = 1;
    showForm(form.get());
    EXPECT_EQ(reports.composed, (std::vector<int>{2, 1}));
    EXPECT_EQ(shown(), QStringLiteral("report of client 1, option 1"));
}

TEST_F(ViewReportTest, PrintHoldsBothButtonsWhilePrinting) {
    openViewer();
    int held = 0;
    reports.onPrint = [&] {
        held += !button("cmdPrintReport")->isEnabled() && !button("cmdCancel")->isEnabled();
    };
    button("cmdPrintReport")->click();
    button("cmdPrintReport")->click();
    EXPECT_EQ(held, 2);
    EXPECT_EQ(reports.printed, (std::vector<std::string>(2, FakeReportJobs::reportOf(2, 1))));
    EXPECT_TRUE(button("cmdPrintReport")->isEnabled());
    EXPECT_TRUE(button("cmdCancel")->isEnabled());
    EXPECT_TRUE(form->isVisible()) << "the viewer stays open";
}

TEST_F(ViewReportTest, FaultsAreShown) {
    reports.failPrintAt = 0;
    openViewer();
    button("cmdPrintReport")->click();
    EXPECT_TRUE(form->isVisible());
    EXPECT_TRUE(lastText().startsWith(QStringLiteral("The report was not printed.\n")));
    EXPECT_TRUE(lastText().contains(QStringLiteral("printer is not ready")));

    reports.failComposeOf = 2;
    openViewer();
    EXPECT_FALSE(form->isVisible());
    EXPECT_TRUE(
        lastText().startsWith(QStringLiteral("The report of client 2 could not be composed.")));
}

} // namespace
