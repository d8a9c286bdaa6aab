#include "supervisor/frmSupervisorOptions.h"

#include "scoring/CriticalCases.h"
#include "store/ConfigFile.h"
#include "tests/clients/ClientsTestSupport.h"
#include "tests/support/AuditLines.h"

#include <QApplication>
#include <QCheckBox>
#include <QLabel>
#include <QRadioButton>
#include <QSpinBox>
#include <QTabBar>
#include <QTabWidget>

#include <optional>

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

// Before anything runs: an empty disk, Go to Main Menu, a cancelled secret code, Verify with
// no client chosen, and Delete Names with its secret code cancelled (no warning comes) or its
// warning answered with Enter (No is its default).
TEST_F(SupervisorOptionsTest, NothingRunsWithoutClientsSecretCodeOrAChosenClient) {
    registerClients({});
    openOn(0);
    EXPECT_FALSE(form->isVisible());
    ASSERT_EQ(messages.shown.size(), 1);
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

    state.clients.currentClient = 2; // an abandoned new client's slot
    openOn(1);
    press(form.get(), 0);
    EXPECT_EQ(lastText(),
              QStringLiteral("No client is chosen. Choose a client in the Client List first."));
    const std::string fileBefore = clientFile();
    secretCode.cancels = secretCode.asked + 1;
    openOn(2);
    press(form.get(), 0);
    EXPECT_FALSE(form->isVisible());
    EXPECT_EQ(secretCode.asked, 2) << "Delete Names asks for the secret code";
    EXPECT_EQ(messages.shown.size(), 2) << "no warning without the code";
    EXPECT_EQ(clientFile(), fileBefore);

    openOn(2);
    press(form.get(), 0);
    EXPECT_EQ(secretCode.asked, 3);
    ASSERT_EQ(messages.shown.size(), 4);
    EXPECT_EQ(messages.shown.at(2).title, QStringLiteral("WARNING!"));
    EXPECT_EQ(messages.shown.at(2).buttons, MessageService::Buttons::YesNoDefaultNo);
    EXPECT_EQ(lastText(), QStringLiteral("Delete process ABORTED. Press Enter to continue."));
    EXPECT_EQ(clientFile(), fileBefore);
    EXPECT_EQ(state.clients.at(1), makeClient("Ann"));
}

// The Critical Cases tab shows the office's rule and saves the one set, after the secret code;
// without the code nothing changes.
TEST_F(SupervisorOptionsTest, TheCriticalCaseRuleIsSavedAfterTheSecretCode) {
    registerClients({makeClient("Ann")});
    state.paths.configFile = root / ConfigFile::kFileName;
    const ConfigFile config(state.paths.configFile);
    CriticalRule{2, 3, false}.write(config);
    openOn(3);
    EXPECT_EQ(label("lblNameDisplay"), QStringLiteral("All Clients"));
    EXPECT_EQ(child<QSpinBox>("spnMaximumScales")->value(), 2);
    EXPECT_EQ(child<QSpinBox>("spnProblemScales")->value(), 3);
    EXPECT_FALSE(child<QCheckBox>("chkInvalidTruthfulness")->isChecked());
    child<QSpinBox>("spnMaximumScales")->setValue(0);
    child<QCheckBox>("chkInvalidTruthfulness")->setChecked(true);
    secretCode.cancels = 1;
    press(form.get(), 0);
    EXPECT_FALSE(form->isVisible());
    EXPECT_EQ(CriticalRule::read(config), (CriticalRule{2, 3, false}));

    openOn(3);
    child<QSpinBox>("spnMaximumScales")->setValue(0);
    child<QSpinBox>("spnProblemScales")->setValue(8);
    child<QCheckBox>("chkInvalidTruthfulness")->setChecked(true);
    press(form.get(), 0);
    EXPECT_EQ(secretCode.asked, 2);
    EXPECT_EQ(CriticalRule::read(config), (CriticalRule{0, 8, true}));
    EXPECT_TRUE(messages.shown.empty());
}

// "Add profile chart" prints each client's chart after its report in a print run; without it
// no chart goes along.
TEST_F(SupervisorOptionsTest, AddProfileChartPrintsEachClientsChartAfterItsReport) {
    for (const auto& entry : fs::directory_iterator(fs::path(ORVJ_SAMPLE_HOME))) {
        if (entry.path().extension() == ".TXT" || entry.path().extension() == ".txt") {
            fs::copy_file(entry.path(), root / entry.path().filename());
        }
    }
    registerClients({makeClient("Ann"), makeClient("Bob")});
    std::vector<int> charts;
    reports.onPrint = [&] {
        charts.push_back(reports.profileSheet() ? reports.profileSheet()->record : 0);
    };
    runReports(2, 0);
    EXPECT_EQ(charts, (std::vector<int>{0, 0}));
    charts.clear();
    openOn(0);
    child<QCheckBox>("chkAddProfileChart")->setChecked(true);
    option("optPrintOption2")->click();
    press(form.get(), 0);
    EXPECT_EQ(charts, (std::vector<int>{1, 2}));
    EXPECT_FALSE(reports.profileSheet()) << "the chart is not left for a later print";
}

// Print all prints every report with the chosen option, or saves one PDF file each into a
// chosen folder; a print fault is shown. (The order of composing and printing, the parked
// copies and the fault's wording are ReportRuns' business.)
TEST_F(SupervisorOptionsTest, PrintAllGoesToThePrinterOrToAPdfFolder) {
    registerClients({makeClient("Ann"), makeClient("Bob"), makeClient("Cy")});
    runReports(2, 1);
    std::vector<std::string> expected;
    for (int k = 1; k <= 3; ++k) {
        expected.push_back(FakeReportJobs::reportOf(k, ReportOption::OnePage));
    }
    EXPECT_EQ(reports.printed, expected);
    EXPECT_TRUE(messages.shown.isEmpty());
    const std::vector<std::string> printed = {"report printed | 1-3 | print all"};
    EXPECT_EQ(auditLines(state.paths.clientFile), printed);

    reports.failPrintAt = 4;
    runReports(2, 0);
    EXPECT_TRUE(
        lastText().startsWith(QStringLiteral("Printing stopped at the report of client 2.")));
    EXPECT_EQ(auditLines(state.paths.clientFile, printed.size()),
              std::vector<std::string>{"report printed | 1 | print all"})
        << "what went to the printer before the fault";

    reports.printed.clear();
    reports.composed.clear();
    const fs::path out = root / "pdf";
    fs::create_directories(out);
    runReports(2, 0, QString()); // the folder choice cancelled
    EXPECT_TRUE(reports.composed.empty());
    runReports(2, 0, QString::fromStdString(out.string()));
    EXPECT_EQ(foldersAsked, 2);
    EXPECT_TRUE(reports.printed.empty()) << "nothing went to the printer";
    const std::vector<fs::path> files{out / "report-1.pdf", out / "report-2.pdf",
                                      out / "report-3.pdf"};
    EXPECT_EQ(reports.savedPdfs, files);
    EXPECT_EQ(readFile(out / "report-2.pdf"), FakeReportJobs::reportOf(2, ReportOption::Standard));
    // The cancelled folder choice adds nothing; the PDF run is no print.
    EXPECT_EQ(auditLines(state.paths.clientFile, printed.size() + 1),
              std::vector<std::string>{"report saved as PDF | 1-3 | print all"});
    EXPECT_EQ(readFile(state.paths.dataFolder / AuditTrail::kFileName).find("Bob"),
              std::string::npos);
}

// Each option group is one tab stop, entered at its chosen option; the arrows choose inside.
// Each tab shows whose data its operation uses: the chosen client's, or all clients'.
TEST_F(SupervisorOptionsTest, OptionGroupsTakeTheArrowsAndEachTabShowsWhoseDataItUses) {
    registerClients({makeClient("Ann"), makeClient("Bob")});
    state.clients.currentClient = 2;
    openOn(0);
    const QString bob = QStringLiteral("Bob") + QString(22, QLatin1Char(' '));
    EXPECT_EQ(label("lblNameDisplay"), bob);
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
    tabs()->setCurrentIndex(2);
    EXPECT_EQ(label("lblNameDisplay"), QStringLiteral("All Clients"));
    tabs()->setCurrentIndex(1);
    EXPECT_EQ(label("lblNameDisplay"), bob);
}

// The options chosen on the Reports tab stay chosen while another tab is looked at, and
// Execute then runs them.
TEST_F(SupervisorOptionsTest, TheReportsTabKeepsItsChosenOptionsAcrossATabSwitch) {
    registerClients({makeClient("Ann"), makeClient("Bob")});
    state.clients.currentClient = 0; // a run of another print option shows a box, never a form
    openOn(0);
    option("optPrintOption0")->setFocus(Qt::TabFocusReason);
    press(form.get(), Qt::Key_Down);
    press(form.get(), Qt::Key_Down);
    option("optReportOption1")->click();
    for (const int tab : {1, 2, 0}) {
        tabs()->setCurrentIndex(tab);
    }
    EXPECT_TRUE(option("optPrintOption2")->isChecked());
    EXPECT_TRUE(option("optReportOption1")->isChecked());
    press(form.get(), 0);
    const std::vector<std::string> printed{FakeReportJobs::reportOf(1, ReportOption::OnePage),
                                           FakeReportJobs::reportOf(2, ReportOption::OnePage)};
    EXPECT_EQ(reports.printed, printed) << "all clients' reports, one page each";
}

// Blue with white text while the tab bar is left, cyan with black while it has the focus. The
// colour is read at a point of the Reports page clear of its controls.
TEST_F(SupervisorOptionsTest, TheTabAreaIsBlueOrCyanWithReadableText) {
    registerClients({makeClient("Ann")});
    openOn(0);
    QWidget* page = tabs()->widget(0);
    const QPoint at = page->mapTo(form.get(), QPoint(page->width() - 3, page->height() - 3));
    const std::tuple<QWidget*, QColor, QColor> rows[] = {
        {menuButton(form.get(), 0), Colors::blue, Colors::white},
        {tabs()->tabBar(), Colors::cyan, Colors::black}};
    for (const auto& [focused, area, text] : rows) {
        focused->setFocus(Qt::TabFocusReason);
        QApplication::processEvents();
        EXPECT_EQ(form->grab().toImage().pixelColor(at * form->devicePixelRatio()), area);
        EXPECT_EQ(option("optReportOption1")->palette().color(QPalette::WindowText), text);
    }
}

// The print options and the report options stand on the same lines, whatever the font.
TEST_F(SupervisorOptionsTest, ReportsTabColumnsShareTheirLines) {
    registerClients({makeClient("Ann")});
    for (const double scale : {1.0, 2.0}) {
        SCOPED_TRACE(scale);
        const QFont font = QApplication::font();
        QFont scaled = font;
        scaled.setPointSizeF(font.pointSizeF() * scale);
        QApplication::setFont(scaled);
        openOn(0);
        QWidget* tab = tabs()->widget(0);
        for (int i = 0; i < 3; ++i) {
            auto* print = form->findChild<QRadioButton*>(QStringLiteral("optPrintOption%1").arg(i));
            auto* report =
                form->findChild<QRadioButton*>(QStringLiteral("optReportOption%1").arg(i));
            EXPECT_NEAR(print->mapTo(tab, QPoint(0, 0)).y(), report->mapTo(tab, QPoint(0, 0)).y(),
                        1)
                << "row " << i;
        }
        QApplication::setFont(font);
    }
}

} // namespace
