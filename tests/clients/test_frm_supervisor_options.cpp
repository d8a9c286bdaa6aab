#include "clients/frmSupervisorOptions.h"

#include "tests/clients/ClientsTestSupport.h"
#include "ui/FormConventions.h"

#include <QAbstractButton>
#include <QApplication>
#include <QLabel>
#include <QPlainTextEdit>
#include <QRadioButton>
#include <QTabBar>
#include <QTabWidget>
#include <QTest>
#include <QTimer>

#include <memory>

using namespace orvj;
using namespace orvj::test;

namespace {

class SupervisorOptionsTest : public ClientsFixture {
protected:
    void open() {
        form = std::make_unique<frmSupervisorOptions>(state, services);
        form->show();
        QApplication::setActiveWindow(form.get());
        QApplication::processEvents();
    }
    template <typename T> T* child(const QString& name) { return form->findChild<T*>(name); }
    QRadioButton* option(const char* group, int i) {
        return child<QRadioButton>(QString::fromLatin1(group) + QString::number(i));
    }
    QTabWidget* tabs() { return child<QTabWidget>(QStringLiteral("sstSupervisorOperations")); }
    QString nameShown() { return child<QLabel>(QStringLiteral("lblNameDisplay"))->text(); }
    QString help() { return child<QLabel>(QStringLiteral("MsgPanel"))->text(); }
    void press(int choice) {
        menuButton(form.get(), choice)->setFocus();
        QTest::keyClick(menuButton(form.get(), choice), Qt::Key_Return);
    }
    std::string report(int client, int option) { return FakeReportJobs::reportOf(client, option); }

    std::unique_ptr<frmSupervisorOptions> form;
};

TEST_F(SupervisorOptionsTest, AnEmptyDataDiskSendsTheSupervisorBack) {
    registerClients({});
    open();
    EXPECT_FALSE(form->isVisible());
    ASSERT_EQ(messages.shown.size(), 1);
    EXPECT_EQ(messages.shown[0].title, QStringLiteral("Empty Data Disk"));
    EXPECT_EQ(messages.shown[0].text,
              QStringLiteral("There are no clients on this data disk.\nReturning to main menu."));
    EXPECT_EQ(messages.shown[0].icon, MessageService::Icon::Information);
    EXPECT_EQ(secretCode.asked, 0);
}

TEST_F(SupervisorOptionsTest, TabsShowWhoseDataTheOperationUses) {
    registerClients({makeClient("Ann"), makeClient("Bob")});
    state.clients.currentClient = 2;
    state.reportOption = 2;
    open();
    EXPECT_EQ(state.reportOption, 0) << "every opening starts with the standard report";
    EXPECT_EQ(form->windowTitle(), QStringLiteral("Supervisor Options"));
    EXPECT_EQ(tabs()->tabText(0), QStringLiteral("&Reports"));
    EXPECT_EQ(tabs()->tabText(1), QStringLiteral("&Verify Data"));
    EXPECT_EQ(tabs()->tabText(2), QStringLiteral("&Delete Names"));
    EXPECT_EQ(nameShown(), QStringLiteral("Bob") + QString(22, QLatin1Char(' ')));
    EXPECT_TRUE(option("optPrintOption", 0)->isChecked());
    EXPECT_TRUE(option("optReportOption", 0)->isChecked());

    option("optPrintOption", 1)->click();
    tabs()->setCurrentIndex(2);
    EXPECT_EQ(nameShown(), QStringLiteral("All Clients"));
    EXPECT_EQ(help(), QStringLiteral("Click Execute to perform delete names operation."));
    tabs()->setCurrentIndex(1);
    EXPECT_EQ(help(), QStringLiteral("Click Execute to perform data verification."));
    EXPECT_EQ(nameShown(), QStringLiteral("Bob") + QString(22, QLatin1Char(' ')));
    option("optPrintOption", 2)->setChecked(true); // moved without a click: not remembered
    tabs()->setCurrentIndex(0);
    EXPECT_TRUE(option("optPrintOption", 1)->isChecked());
    EXPECT_TRUE(help().isEmpty());

    option("optReportOption", 2)->setFocus();
    EXPECT_TRUE(isBold(option("optReportOption", 2)));
    EXPECT_EQ(help(), QStringLiteral("Use the arrow keys or mouse to choose report option."));
    option("optPrintOption", 0)->setFocus();
    EXPECT_FALSE(isBold(option("optReportOption", 2)));
    EXPECT_EQ(help(), QStringLiteral("Use the arrow keys or mouse to choose print operation."));
    tabs()->tabBar()->setFocus();
    EXPECT_EQ(backgroundOf(tabs()), Colors::cyan());
    menuButton(form.get(), 0)->setFocus();
    EXPECT_EQ(backgroundOf(tabs()), Colors::blue());
    EXPECT_EQ(help(), QStringLiteral("Perform the selected operation."));
}

TEST_F(SupervisorOptionsTest, GoToMainMenuRunsNothing) {
    registerClients({makeClient("Ann")});
    open();
    press(1);
    EXPECT_FALSE(form->isVisible());
    EXPECT_EQ(secretCode.asked, 0);
    EXPECT_TRUE(reports.composed.empty());
}

TEST_F(SupervisorOptionsTest, PrintAllPrintsEveryClientInOrderWithTheChosenReport) {
    registerClients({makeClient("Ann"), makeClient("Bob"), makeClient("Cy")});
    state.clients.currentClient = 2;
    open();
    option("optPrintOption", 2)->click();
    option("optReportOption", 1)->click();
    press(0);
    EXPECT_FALSE(form->isVisible());
    EXPECT_EQ(secretCode.asked, 1);
    EXPECT_EQ(reports.printed,
              (std::vector<std::string>{report(1, 1), report(2, 1), report(3, 1)}));
    EXPECT_EQ(state.clients.currentClient, 1);
    EXPECT_EQ(readFile(state.paths.home / "temp3"), report(3, 1));
}

TEST_F(SupervisorOptionsTest, PrintAllOfOneClient) {
    registerClients({makeClient("Ann")});
    open();
    option("optPrintOption", 2)->click();
    press(0);
    EXPECT_EQ(reports.printed, (std::vector<std::string>{report(1, 0)}));
    EXPECT_EQ(readFile(state.paths.home / "REPORT.PRN"), report(1, 0));
    EXPECT_TRUE(fs::exists(state.paths.home / "temp1"));
    EXPECT_EQ(state.clients.currentClient, 1);
}

TEST_F(SupervisorOptionsTest, ARefusedCodePrintsNothing) {
    registerClients({makeClient("Ann")});
    secretCode.answer = false;
    open();
    option("optPrintOption", 2)->click();
    press(0);
    EXPECT_FALSE(form->isVisible());
    EXPECT_TRUE(reports.composed.empty());
}

TEST_F(SupervisorOptionsTest, APrintAllFaultIsReportedHere) {
    registerClients({makeClient("Ann"), makeClient("Bob")});
    reports.failPrintAt = 1;
    open();
    option("optPrintOption", 2)->click();
    press(0);
    ASSERT_EQ(messages.shown.size(), 1);
    EXPECT_EQ(messages.shown[0].icon, MessageService::Icon::Critical);
    EXPECT_TRUE(messages.shown[0].text.startsWith(QStringLiteral(
        "Printing stopped at the report of client 2.\nPrinted before the fault: client 1.")));
}

TEST_F(SupervisorOptionsTest, CurrentClientsReportOpensInTheViewer) {
    registerClients({makeClient("Ann"), makeClient("Bob")});
    state.clients.currentClient = 2;
    open();
    option("optReportOption", 2)->click();
    QString shown;
    whenModal(form.get(), "orvj::frmViewReport", [&](QWidget* viewer) {
        shown = viewer->findChild<QPlainTextEdit*>(QStringLiteral("Text1"))->toPlainText();
    });
    press(0);
    EXPECT_EQ(shown, QStringLiteral("report of client 2, option 2"));
    EXPECT_FALSE(form->isVisible());
}

TEST_F(SupervisorOptionsTest, VerifyOpensTheVerificationOfTheCurrentClient) {
    registerClients({makeClient("Ann")});
    open();
    tabs()->setCurrentIndex(1);
    bool opened = false;
    whenModal(form.get(), "orvj::frmVerify", [&](QWidget*) { opened = true; });
    press(0);
    EXPECT_TRUE(opened);
    EXPECT_EQ(secretCode.asked, 0);
    EXPECT_FALSE(form->isVisible());
}

TEST_F(SupervisorOptionsTest, DeleteNamesAsksFirst) {
    registerClients({makeClient("Ann")});
    open();
    tabs()->setCurrentIndex(2);
    messages.answerNext(MessageService::Answer::No);
    press(0);
    ASSERT_EQ(messages.shown.size(), 2);
    EXPECT_EQ(messages.shown[0].title, QStringLiteral("WARNING!"));
    EXPECT_EQ(state.clients.at(1), makeClient("Ann"));
    EXPECT_FALSE(form->isVisible());
}

TEST_F(SupervisorOptionsTest, NoChosenClientIsSaidPlainly) {
    registerClients({makeClient("Ann")});
    state.clients.currentClient = 2; // an abandoned new client's slot
    open();
    tabs()->setCurrentIndex(1);
    press(0);
    ASSERT_EQ(messages.shown.size(), 1);
    EXPECT_EQ(messages.shown[0].text,
              QStringLiteral("No client is chosen. Choose a client in the Client List first."));
}

} // namespace
