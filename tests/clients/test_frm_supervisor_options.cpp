#include "clients/frmSupervisorOptions.h"
#include "clients/frmViewReport.h"

#include "tests/clients/ClientsTestSupport.h"

#include <QCheckBox>
#include <QLabel>
#include <QPlainTextEdit>
#include <QRadioButton>
#include <QTabBar>
#include <QTabWidget>

#include <optional>
#include <tuple>

using namespace orvj;
using namespace orvj::test;

namespace {

class SupervisorOptionsTest : public ClientsFixture {
protected:
    void openOn(int tab) {
        open<frmSupervisorOptions>();
        tabs()->setCurrentIndex(tab);
    }
    QTabWidget* tabs() { return form->findChild<QTabWidget*>(); }
    QString label(const char* name) { return child<QLabel>(name)->text(); }
    QRadioButton* option(const char* name) { return child<QRadioButton>(name); }
    // Chooses the print and report options on the Reports tab and executes them. With a PDF
    // folder, "print to a PDF folder" is ticked and the folder choice answers with it.
    void runReports(int print, int report, std::optional<QString> pdfFolder = {}) {
        openOn(0);
        if (pdfFolder) {
            static_cast<frmSupervisorOptions*>(form.get())
                ->setPdfFolderPicker([this, folder = *pdfFolder](QWidget*) {
                    ++foldersAsked;
                    return folder;
                });
            child<QCheckBox>("chkPdfFolder")->setChecked(true);
        }
        form->findChild<QRadioButton*>(QStringLiteral("optPrintOption%1").arg(print))->click();
        form->findChild<QRadioButton*>(QStringLiteral("optReportOption%1").arg(report))->click();
        press(form.get(), 0);
    }
    int foldersAsked = 0;
};

TEST_F(SupervisorOptionsTest, NothingRunsOnAnEmptyDiskOrWithoutTheSecretCode) {
    registerClients({});
    openOn(0);
    EXPECT_FALSE(form->isVisible());
    ASSERT_EQ(messages.shown.size(), 1);
    EXPECT_EQ(messages.shown[0].title, QStringLiteral("Empty Data Disk"));
    EXPECT_EQ(messages.shown[0].text,
              QStringLiteral("There are no clients on this data disk.\nReturning to main menu."));

    registerClients({makeClient("Ann")});
    openOn(0);
    press(form.get(), 1); // Go to Main Menu
    EXPECT_FALSE(form->isVisible());
    EXPECT_EQ(secretCode.asked, 0);
    secretCode.cancels = 1;
    runReports(2, 0);
    EXPECT_FALSE(form->isVisible());
    EXPECT_EQ(secretCode.asked, 1);
    EXPECT_TRUE(reports.composed.empty());
    EXPECT_EQ(messages.shown.size(), 1);
}

TEST_F(SupervisorOptionsTest, TabsShowWhoseDataTheOperationUses) {
    registerClients({makeClient("Ann"), makeClient("Bob")});
    state.clients.currentClient = 2;
    openOn(0);
    const QString bob = QStringLiteral("Bob") + QString(22, QLatin1Char(' '));
    EXPECT_EQ(label("lblNameDisplay"), bob);
    option("optPrintOption1")->click();
    tabs()->setCurrentIndex(2);
    EXPECT_EQ(label("lblNameDisplay"), QStringLiteral("All Clients"));
    EXPECT_EQ(label("MsgPanel"),
              QStringLiteral("Click Execute to perform delete names operation."));
    tabs()->setCurrentIndex(1);
    EXPECT_EQ(label("lblNameDisplay"), bob);
    EXPECT_EQ(label("MsgPanel"), QStringLiteral("Click Execute to perform data verification."));
    option("optPrintOption2")->setChecked(true); // without a click: not chosen
    tabs()->setCurrentIndex(0);
    EXPECT_TRUE(option("optPrintOption1")->isChecked());
    EXPECT_TRUE(label("MsgPanel").isEmpty());
}

TEST_F(SupervisorOptionsTest, ReportsReachTheViewerOrThePrinterWithTheChosenOption) {
    registerClients({makeClient("Ann"), makeClient("Bob")});
    state.clients.currentClient = 2;
    QString shown;
    whenModal<frmViewReport>([&](frmViewReport* viewer) {
        shown = viewer->findChild<QPlainTextEdit*>()->toPlainText();
        viewer->close();
    });
    runReports(0, 2);
    EXPECT_EQ(shown, QStringLiteral("report of client 2, option 2"));

    reports.onPrint = [&] { EXPECT_EQ(reports.composed.size(), 3u) << "all composed first"; };
    runReports(2, 1);
    const std::vector<std::string> expected{FakeReportJobs::reportOf(1, ReportOption::OnePage),
                                            FakeReportJobs::reportOf(2, ReportOption::OnePage)};
    EXPECT_EQ(reports.printed, expected);
    EXPECT_EQ(readFile(state.paths.home / "temp1"), expected[0]);
    EXPECT_EQ(readFile(state.paths.home / "temp2"), expected[1]);
    EXPECT_EQ(state.clients.currentClient, 1);
    EXPECT_TRUE(messages.shown.isEmpty());

    reports.onPrint = nullptr;
    reports.failPrintAt = 3;
    runReports(2, 0);
    EXPECT_TRUE(lastText().startsWith(QStringLiteral(
        "Printing stopped at the report of client 2.\nPrinted before the fault: client 1.")));
}

TEST_F(SupervisorOptionsTest, PrintToPdfFolderWritesOneReportFilePerClient) {
    registerClients({makeClient("Ann"), makeClient("Bob"), makeClient("Cy")});
    const fs::path out = root / "pdf";
    fs::create_directories(out);
    runReports(2, 0, QString()); // the folder choice cancelled
    EXPECT_TRUE(reports.composed.empty());

    runReports(2, 0, QString::fromStdString(out.string()));
    EXPECT_EQ(foldersAsked, 2);
    EXPECT_TRUE(reports.printed.empty()) << "nothing went to the printer";
    const std::vector<fs::path> expected{out / "report-1.pdf", out / "report-2.pdf",
                                         out / "report-3.pdf"};
    EXPECT_EQ(reports.savedPdfs, expected);
    EXPECT_EQ(readFile(out / "report-2.pdf"), FakeReportJobs::reportOf(2, ReportOption::Standard));

    // The viewer's choice has its own button: no folder is asked for it.
    whenModal<frmViewReport>([](frmViewReport* viewer) { viewer->close(); });
    runReports(0, 0, QString::fromStdString(out.string()));
    EXPECT_EQ(foldersAsked, 2);
}

TEST_F(SupervisorOptionsTest, VerifyNeedsAChosenClientAndDeleteNamesAsksFirst) {
    registerClients({makeClient("Ann")});
    state.clients.currentClient = 2; // an abandoned new client's slot
    openOn(1);
    press(form.get(), 0);
    EXPECT_EQ(lastText(),
              QStringLiteral("No client is chosen. Choose a client in the Client List first."));
    openOn(2);
    messages.answerNext(MessageService::Answer::No);
    press(form.get(), 0);
    EXPECT_EQ(messages.shown.at(1).title, QStringLiteral("WARNING!"));
    EXPECT_EQ(secretCode.asked, 0);
}

// Each option group is one tab stop, entered at its chosen option; the arrows choose inside.
TEST_F(SupervisorOptionsTest, OptionGroupsAreEnteredAtTheirChoiceAndTheArrowsChoose) {
    registerClients({makeClient("Ann")});
    openOn(0);
    option("optReportOption2")->click();
    option("optPrintOption0")->setFocus(Qt::TabFocusReason);
    const std::pair<Qt::Key, const char*> steps[] = {
        {Qt::Key_Tab, "optReportOption2"},    {Qt::Key_Up, "optReportOption1"},
        {Qt::Key_Tab, "chkPdfFolder"},        {Qt::Key_Backtab, "optReportOption1"},
        {Qt::Key_Backtab, "optPrintOption0"}, {Qt::Key_Down, "optPrintOption1"},
    };
    for (const auto& [key, name] : steps) {
        press(form.get(), key);
        EXPECT_EQ(QApplication::focusWidget(), child(name)) << name;
    }
    EXPECT_TRUE(option("optReportOption1")->isChecked());
    EXPECT_EQ(state.reportOption, ReportOption::OnePage);
    EXPECT_TRUE(option("optPrintOption1")->isChecked());
}

// The colour the tab area paints at a point of the Reports page clear of its controls.
QColor tabAreaColour(QWidget* form) {
    QWidget* page = form->findChild<QTabWidget*>()->widget(0);
    const QPoint at = page->mapTo(form, QPoint(page->width() - 3, page->height() - 3));
    return form->grab().toImage().pixelColor(at * form->devicePixelRatio());
}

// Blue with white text while the tab bar is left, cyan with black while it has the focus.
TEST_F(SupervisorOptionsTest, TheTabAreaIsBlueOrCyanWithReadableText) {
    registerClients({makeClient("Ann")});
    openOn(0);
    const std::tuple<QWidget*, QColor, QColor> rows[] = {
        {menuButton(form.get(), 0), Colors::blue, Colors::white},
        {tabs()->tabBar(), Colors::cyan, Colors::black}};
    for (const auto& [focused, area, text] : rows) {
        focused->setFocus(Qt::TabFocusReason);
        QApplication::processEvents();
        EXPECT_EQ(tabAreaColour(form.get()), area);
        EXPECT_EQ(option("optReportOption1")->palette().color(QPalette::WindowText), text);
    }
}

} // namespace
