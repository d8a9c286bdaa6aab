#include "clients/frmViewReport.h"

#include "tests/clients/ClientsTestSupport.h"

#include <QDialog>
#include <QKeySequence>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollBar>

using namespace orvj;
using namespace orvj::test;

namespace {

class ViewReportTest : public ClientsFixture {
protected:
    void openViewer() {
        registerClients({makeClient("Ann"), makeClient("Bob")});
        state.clients.currentClient = 2;
        state.reportOption = ReportOption::OnePage;
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
    EXPECT_EQ(reports.printed,
              (std::vector<std::string>(2, FakeReportJobs::reportOf(2, ReportOption::OnePage))));
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

TEST_F(ViewReportTest, EightyColumnsFitWithoutASidewaysScrollBar) {
    registerClients({makeClient("Ann")});
    std::string report;
    for (int line = 0; line < 60; ++line) {
        report += std::string(80, line % 2 == 0 ? 'W' : 'M') + "\r\n";
    }
    writeFile(root / "REPORT.PRN", report);
    reports.readBack = report;
    open<frmViewReport>();
    auto* text = form->findChild<QPlainTextEdit*>();
    ASSERT_TRUE(text->toPlainText().contains(QString(80, QLatin1Char('W'))));
    QApplication::processEvents();
    EXPECT_EQ(text->horizontalScrollBar()->maximum(), 0);
    EXPECT_FALSE(text->horizontalScrollBar()->isVisible());
}

TEST_F(ViewReportTest, SaveAsPdfOffersTheRecordNumberInTheDocumentsFolder) {
    openViewer();
    QString offered;
    const fs::path chosen = root / "chosen";
    auto* viewer = static_cast<frmViewReport*>(form.get());
    viewer->setPdfFilePicker([&](QWidget*, const QString& suggested) {
        offered = suggested;
        return QString::fromStdString(chosen.string());
    });
    int held = 0;
    reports.onSavePdf = [&] {
        held += !button("cmdPrintReport")->isEnabled() && !button("cmdSavePdf")->isEnabled() &&
                !button("cmdCancel")->isEnabled();
    };
    // The two captions take different letters, so Alt+P still presses "&Print Report".
    EXPECT_NE(QKeySequence::mnemonic(button("cmdSavePdf")->text()),
              QKeySequence::mnemonic(button("cmdPrintReport")->text()));
    button("cmdSavePdf")->click();
    EXPECT_TRUE(offered.endsWith(QStringLiteral("/report-2.pdf"))) << offered.toStdString();
    EXPECT_FALSE(offered.contains(QStringLiteral("Bob")));
    const std::vector<fs::path> saved{root / "chosen.pdf"};
    EXPECT_EQ(reports.savedPdfs, saved);
    EXPECT_EQ(held, 1);
    EXPECT_EQ(readFile(root / "chosen.pdf"), FakeReportJobs::reportOf(2, ReportOption::OnePage));
    EXPECT_TRUE(reports.printed.empty());

    // Cancelling the dialog saves nothing; a fault is told.
    viewer->setPdfFilePicker([](QWidget*, const QString&) { return QString(); });
    button("cmdSavePdf")->click();
    EXPECT_EQ(reports.savedPdfs.size(), 1u);
    viewer->setPdfFilePicker([&](QWidget*, const QString&) {
        return QString::fromStdString((root / "x.pdf").string());
    });
    reports.failSavePdf = true;
    button("cmdSavePdf")->click();
    EXPECT_TRUE(lastText().startsWith(QStringLiteral("The report was not saved as PDF.")));
    EXPECT_TRUE(form->isVisible());
}
