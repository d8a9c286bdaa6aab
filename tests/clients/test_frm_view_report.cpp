#include "clients/frmViewReport.h"

#include "tests/clients/ClientsTestSupport.h"

#include <QKeySequence>
#include <QPlainTextEdit>
#include <QPushButton>

using namespace orvj;
using namespace orvj::test;

namespace {

class ViewReportTest : public ClientsFixture {
protected:
    frmViewReport& openViewer() {
        registerClients({makeClient("Ann"), makeClient("Bob")});
        state.clients.currentClient = 2;
        state.reportOption = ReportOption::OnePage;
        return open<frmViewReport>();
    }
    QString shown() { return form->findChild<QPlainTextEdit*>()->toPlainText(); }
    QPushButton* button(const char* name) { return child<QPushButton>(name); }
    // No button of the viewer can be pressed (while a print or save runs).
    bool allHeld() {
        return !button("cmdPrintReport")->isEnabled() && !button("cmdSavePdf")->isEnabled() &&
               !button("cmdCancel")->isEnabled();
    }
};

// (The viewer composes again when it comes back in front of another window; the program
// opens a fresh viewer each time and the chosen client cannot change under it, so only the
// first composition is checked.)
TEST_F(ViewReportTest, PrintHoldsTheButtonsWhilePrinting) {
    openViewer();
    EXPECT_EQ(shown(), QStringLiteral("report of client 2, option 1"));
    int held = 0;
    reports.onPrint = [&] { held += allHeld(); };
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

TEST_F(ViewReportTest, SaveAsPdfOffersTheRecordNumberInTheDocumentsFolder) {
    QString offered;
    QString answer = QString::fromStdString((root / "chosen").string());
    openViewer().setPdfFilePicker([&](QWidget*, const QString& suggested) {
        offered = suggested;
        return answer;
    });
    int held = 0;
    reports.onSavePdf = [&] { held += allHeld(); };
    // The two captions take different letters, so Alt+P still presses "&Print Report".
    EXPECT_NE(QKeySequence::mnemonic(button("cmdSavePdf")->text()),
              QKeySequence::mnemonic(button("cmdPrintReport")->text()));
    button("cmdSavePdf")->click();
    EXPECT_TRUE(offered.endsWith(QStringLiteral("/report-2.pdf"))) << offered.toStdString();
    EXPECT_FALSE(offered.contains(QStringLiteral("Bob")));
    EXPECT_EQ(reports.savedPdfs, std::vector<fs::path>{root / "chosen.pdf"});
    EXPECT_EQ(held, 1);
    EXPECT_EQ(readFile(root / "chosen.pdf"), FakeReportJobs::reportOf(2, ReportOption::OnePage));
    EXPECT_TRUE(reports.printed.empty());

    answer.clear(); // the dialog cancelled: nothing saved
    button("cmdSavePdf")->click();
    EXPECT_EQ(reports.savedPdfs.size(), 1u);
    answer = QString::fromStdString((root / "x.pdf").string());
    reports.failSavePdf = true;
    button("cmdSavePdf")->click();
    EXPECT_TRUE(lastText().startsWith(QStringLiteral("The report was not saved as PDF.")));
    EXPECT_TRUE(form->isVisible());
}

} // namespace
