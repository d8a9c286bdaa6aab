#include "clients/frmSupervisorOptions.h"

#include "tests/clients/ClientsTestSupport.h"

#include <QLabel>
#include <QPlainTextEdit>
#include <QRadioButton>
#include <QTabWidget>

#include <memory>

using namespace orvj;
using namespace orvj::test;

namespace {

class SupervisorOptionsTest : public ClientsFixture {
protected:
    void open(int tab = 0) {
        form = std::make_unique<frmSupervisorOptions>(state, services);
        showForm(form.get());
        tabs()->setCurrentIndex(tab);
    }
    template <typename T = QRadioButton> T* child(const QString& name) {
        return form->findChild<T*>(name);
    }
    QTabWidget* tabs() { return child<QTabWidget>(QStringLiteral("sstSupervisorOperations")); }
    QString label(const char* name) { return child<QLabel>(QString::fromLatin1(name))->text(); }
    // Chooses the print and report options on the Reports tab and executes them.
    void runReports(int print, int report) {
        open();
        child(QStringLiteral("optPrintOption%1").arg(print))->click();
        child(QStringLiteral("optReportOption%1").arg(report))->click();
        press(form.get(), 0);
    }

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
}

TEST_F(SupervisorOptionsTest, TabsShowWhoseDataTheOperationUses) {
    registerClients({makeClient("Ann"), makeClient("Bob")});
    state.clients.currentClient = 2;
    open();
    const QString bob = QStringLiteral("Bob") + QString(22, QLatin1Char(' '));
    EXPECT_EQ(label("lblNameDisplay"), bob);
    child(QStringLiteral("optPrintOption1"))->click();
    tabs()->setCurrentIndex(2);
    EXPECT_EQ(label("lblNameDisplay"), QStringLiteral("All Clients"));
    EXPECT_EQ(label("MsgPanel"),
              QStringLiteral("Click Execute to perform delete names operation."));
    tabs()->setCurrentIndex(1);
    EXPECT_EQ(label("lblNameDisplay"), bob);
    EXPECT_EQ(label("MsgPanel"), QStringLiteral("Click Execute to perform data verification."));
    child(QStringLiteral("optPrintOption2"))->setChecked(true); // without a click: not chosen
    tabs()->setCurrentIndex(0);
    EXPECT_TRUE(child(QStringLiteral("optPrintOption1"))->isChecked());
    EXPECT_TRUE(label("MsgPanel").isEmpty());
}

TEST_F(SupervisorOptionsTest, GoToMainMenuOrARefusedCodeRunsNothing) {
    registerClients({makeClient("Ann")});
    open();
    press(form.get(), 1);
    EXPECT_FALSE(form->isVisible());
    EXPECT_EQ(secretCode.asked, 0);

    secretCode.answer = false;
    runReports(2, 0);
    EXPECT_FALSE(form->isVisible());
    EXPECT_EQ(secretCode.asked, 1);
    EXPECT_TRUE(reports.composed.empty());
    EXPECT_TRUE(messages.shown.isEmpty());
}

TEST_F(SupervisorOptionsTest, PrintAllComposesEveryReportFirstAndPrintsThemInOrder) {
    registerClients({makeClient("Ann"), makeClient("Bob")});
    state.clients.currentClient = 2;
    reports.onPrint = [&] { EXPECT_EQ(reports.composed.size(), 2u); };
    runReports(2, 1);
    const std::vector<std::string> expected{FakeReportJobs::reportOf(1, 1),
                                            FakeReportJobs::reportOf(2, 1)};
    EXPECT_EQ(reports.printed, expected);
    EXPECT_EQ(readFile(state.paths.home / "temp1"), expected[0]);
    EXPECT_EQ(readFile(state.paths.home / "temp2"), expected[1]);
    EXPECT_EQ(state.clients.currentClient, 1);
    EXPECT_TRUE(messages.shown.isEmpty());

    reports.onPrint = nullptr;
    reports.failPrintAt = 3;
    runReports(2, 0);
    ASSERT_EQ(messages.shown.size(), 1);
    EXPECT_EQ(messages.shown[0].icon, MessageService::Icon::Critical);
    EXPECT_TRUE(messages.shown[0].text.startsWith(QStringLiteral(
        "Printing stopped at the report of client 2.\nPrinted before the fault: client 1.")));
}

TEST_F(SupervisorOptionsTest, CurrentClientsReportOpensInTheViewer) {
    registerClients({makeClient("Ann"), makeClient("Bob")});
    state.clients.currentClient = 2;
    QString shown;
    QObject watcher;
    whenModal(&watcher, "orvj::frmViewReport", [&](QWidget* viewer) {
        shown = viewer->findChild<QPlainTextEdit*>(QStringLiteral("Text1"))->toPlainText();
    });
    runReports(0, 2);
    EXPECT_EQ(shown, QStringLiteral("report of client 2, option 2"));
}

TEST_F(SupervisorOptionsTest, VerifyNeedsAChosenClient) {
    registerClients({makeClient("Ann")});
    state.clients.currentClient = 2; // an abandoned new client's slot
    open(1);
    press(form.get(), 0);
    EXPECT_EQ(lastText(),
              QStringLiteral("No client is chosen. Choose a client in the Client List first."));
    EXPECT_EQ(secretCode.asked, 0);
}

} // namespace
