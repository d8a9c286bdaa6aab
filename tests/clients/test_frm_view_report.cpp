#include "clients/frmViewReport.h"

#include "tests/clients/ClientsTestSupport.h"

#include <QApplication>
#include <QDialog>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>

#include <memory>

using namespace orvj;
using namespace orvj::test;

namespace {

class ViewReportTest : public ClientsFixture {
protected:
    void SetUp() override {
        ClientsFixture::SetUp();
        registerClients({makeClient("Ann"), makeClient("Bob")});
        state.clients.currentClient = 2;
        state.reportOption = 1;
    }
    void open() {
        form = std::make_unique<frmViewReport>(state, services);
        form->show();
        QApplication::setActiveWindow(form.get());
        QApplication::processEvents();
    }
    QPlainTextEdit* text() { return form->findChild<QPlainTextEdit*>(QStringLiteral("Text1")); }
    QPushButton* button(const char* name) {
        return form->findChild<QPushButton*>(QString::fromLatin1(name));
    }
    std::unique_ptr<frmViewReport> form;
};

TEST_F(ViewReportTest, ShowsTheCurrentClientsReportInCourierNew) {
    reports.extra = "caf\xE9 \x80";
    open();
    ASSERT_TRUE(form->isVisible());
    EXPECT_EQ(form->windowTitle(), QStringLiteral("Client Report"));
    EXPECT_EQ(reports.composed, (std::vector<int>{2}));
    EXPECT_EQ(text()->toPlainText(), QStringLiteral("report of client 2, option 1\ncafé "))
        << "final character dropped";
    EXPECT_TRUE(text()->isReadOnly());
    EXPECT_EQ(text()->font().family(), QStringLiteral("Courier New"));
    EXPECT_EQ(text()->font().pointSize(), 9);
    EXPECT_EQ(button("cmdPrintReport")->text(), QStringLiteral("&Print Report"));
    EXPECT_TRUE(button("cmdPrintReport")->isDefault());
    EXPECT_EQ(button("cmdCancel")->text(), QStringLiteral("&Close"));
}

TEST_F(ViewReportTest, PrintingTwicePrintsTheSameFileWithTheButtonsHeld) {
    open();
    bool heldDuringPrint = true;
    reports.onPrint = [&] {
        heldDuringPrint = heldDuringPrint && !button("cmdPrintReport")->isEnabled() &&
                          !button("cmdCancel")->isEnabled();
    };
    button("cmdPrintReport")->click();
    button("cmdPrintReport")->click();
    EXPECT_TRUE(heldDuringPrint);
    EXPECT_EQ(reports.printed, (std::vector<std::string>(2, FakeReportJobs::reportOf(2, 1))));
    EXPECT_TRUE(button("cmdPrintReport")->isEnabled());
    EXPECT_TRUE(form->isVisible()) << "the viewer stays open";
    QTest::keyClick(form.get(), Qt::Key_Escape);
    EXPECT_FALSE(form->isVisible());
    EXPECT_EQ(readFile(state.paths.home / "REPORT.PRN"), FakeReportJobs::reportOf(2, 1));
}

TEST_F(ViewReportTest, APrinterFaultIsReportedAndTheViewerStays) {
    reports.failPrintAt = 0;
    open();
    button("cmdPrintReport")->click();
    ASSERT_EQ(messages.shown.size(), 1);
    EXPECT_EQ(messages.shown[0].icon, MessageService::Icon::Critical);
    EXPECT_TRUE(messages.shown[0].text.startsWith(QStringLiteral("The report was not printed.")));
    EXPECT_TRUE(messages.shown[0].text.contains(QStringLiteral("printer is not ready")));
    EXPECT_TRUE(reports.printed.empty());
    EXPECT_TRUE(button("cmdPrintReport")->isEnabled());
    EXPECT_TRUE(form->isVisible());
}

TEST_F(ViewReportTest, ACompositionFaultClosesTheViewerWithAMessage) {
    reports.failComposeOf = {2};
    open();
    EXPECT_FALSE(form->isVisible());
    ASSERT_EQ(messages.shown.size(), 1);
    EXPECT_TRUE(messages.shown[0].text.startsWith(
        QStringLiteral("The report of client 2 could not be composed.")));
    EXPECT_TRUE(reports.printed.empty());
}

TEST_F(ViewReportTest, ScrollKeysGoToTheReportAndReactivationComposesAgain) {
    open();
    button("cmdCancel")->setFocus();
    QTest::keyClick(button("cmdCancel"), Qt::Key_PageDown);
    EXPECT_EQ(QApplication::focusWidget(), text());

    QDialog other;
    other.show();
    QApplication::setActiveWindow(&other);
    QApplication::processEvents();
    state.clients.currentClient = 1;
    QApplication::setActiveWindow(form.get());
    QApplication::processEvents();
    EXPECT_EQ(reports.composed, (std::vector<int>{2, 1}));
    EXPECT_TRUE(text()->toPlainText().startsWith(QStringLiteral("report of client 1")));
}

} // namespace
