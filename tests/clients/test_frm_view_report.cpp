#include "clients/frmViewReport.h"

#include "scoring/CriticalCases.h"
#include "scoring/QtReportJobs.h"
#include "store/ConfigFile.h"
#include "store/platform/WriteFaults.h"
#include "tests/clients/ClientsTestSupport.h"
#include "ui/ProfileView.h"

#include <QCheckBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTabWidget>

#include <set>

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

// The title carries the critical mark when the client is a critical case by the office's rule:
// here every answer True makes the test invalid.
TEST_F(ViewReportTest, TheTitleMarksACriticalCase) {
    for (const auto& entry : fs::directory_iterator(fs::path(ORVJ_SAMPLE_HOME))) {
        if (entry.path().extension() == ".TXT" || entry.path().extension() == ".txt") {
            fs::copy_file(entry.path(), root / entry.path().filename());
        }
    }
    state.paths.configFile = root / ConfigFile::kFileName;
    CriticalRule{0, 0, true}.write(ConfigFile(state.paths.configFile));
    EXPECT_EQ(openViewer().windowTitle(), QStringLiteral("Client Report [!] Critical case"));
    CriticalRule{0, 0, false}.write(ConfigFile(state.paths.configFile));
    EXPECT_EQ(open<frmViewReport>().windowTitle(), QStringLiteral("Client Report"));

    // The Profile page draws the client's picture; "Add profile chart" puts it after the
    // report in the printout, and leaves it out again when cleared.
    auto* pages = child<QTabWidget>("tabPages");
    ASSERT_EQ(pages->count(), 2);
    EXPECT_EQ(pages->tabText(1), QStringLiteral("Pro&file"));
    const auto* picture = child<ProfileView>("picProfile");
    ASSERT_EQ(picture->profiles().size(), 1u);
    EXPECT_EQ(picture->profiles()[0].record, 2);
    EXPECT_TRUE(picture->accessibleDescription().contains(QStringLiteral("TRUTHFULNESS 99")));
    EXPECT_FALSE(child<QCheckBox>("chkAddProfileChart")->isChecked());
    button("cmdPrintReport")->click();
    EXPECT_FALSE(reports.profileSheet());
    child<QCheckBox>("chkAddProfileChart")->setChecked(true);
    button("cmdPrintReport")->click();
    ASSERT_TRUE(reports.profileSheet());
    EXPECT_EQ(reports.profileSheet()->record, 2);
    EXPECT_EQ(reports.profileSheet()->scores.pct(1), picture->profiles()[0].scores.pct(1));
}

// The chosen client's report in the chosen option; Print holds the buttons while it prints
// and the viewer stays open; Save as PDF offers the record number in the documents folder,
// adds the extension and tells its fault; a compose fault closes the viewer. (The viewer composes
// again when it comes back in front of another window; the program opens a fresh viewer each time
// and the chosen client cannot change under it, so only the first composition is checked.)
TEST_F(ViewReportTest, PrintAndSaveAsPdfKeepTheViewerOpenAComposeFaultClosesIt) {
    QString offered;
    QString answer = QString::fromStdString((root / "chosen").string());
    openViewer().setPdfFilePicker([&](QWidget*, const QString& suggested) {
        offered = suggested;
        return answer;
    });
    EXPECT_EQ(shown(), QStringLiteral("report of client 2, option 1"));
    int held = 0;
    reports.onPrint = [&] { held += allHeld(); };
    button("cmdPrintReport")->click();
    EXPECT_EQ(held, 1);
    EXPECT_EQ(reports.printed,
              std::vector<std::string>{FakeReportJobs::reportOf(2, ReportOption::OnePage)});
    EXPECT_TRUE(button("cmdCancel")->isEnabled()) << "the buttons come back";

    button("cmdSavePdf")->click();
    EXPECT_TRUE(offered.endsWith(QStringLiteral("/report-2.pdf"))) << offered.toStdString();
    EXPECT_FALSE(offered.contains(QStringLiteral("Bob")));
    EXPECT_EQ(reports.savedPdfs, std::vector<fs::path>{root / "chosen.pdf"});
    EXPECT_EQ(readFile(root / "chosen.pdf"), FakeReportJobs::reportOf(2, ReportOption::OnePage));
    answer.clear(); // the dialog cancelled: nothing saved
    button("cmdSavePdf")->click();
    EXPECT_EQ(reports.savedPdfs.size(), 1u);

    answer = QString::fromStdString((root / "x.pdf").string());
    reports.failSavePdf = true;
    button("cmdSavePdf")->click();
    EXPECT_TRUE(lastText().startsWith(QStringLiteral("The report was not saved as PDF.")));
    reports.failPrintAt = 1; // the next print
    button("cmdPrintReport")->click();
    EXPECT_TRUE(lastText().startsWith(QStringLiteral("The report was not printed.\n")));
    EXPECT_TRUE(form->isVisible());

    reports.failComposeOf = 2; // a report that cannot be composed closes the viewer
    openViewer();
    EXPECT_FALSE(form->isVisible());
    EXPECT_TRUE(
        lastText().startsWith(QStringLiteral("The report of client 2 could not be composed.")));
}

// The viewer's composition as in the fakes, its PDF written by the real writer.
class RealPdfJobs : public FakeReportJobs {
public:
    void saveReportTextPdf(const std::string& text, const fs::path& pdfFile) override {
        QtReportJobs(home).saveReportTextPdf(text, pdfFile);
    }
};

// A save that fails on the disk tells so in an error box naming the chosen file and leaves no
// file, not even a temporary (the writer's own tests show that an earlier PDF survives).
TEST_F(ViewReportTest, AFailedSaveAsPdfShowsAnErrorAndLeavesNoFile) {
    RealPdfJobs pdfJobs;
    pdfJobs.home = root;
    services.reports = &pdfJobs;
    const fs::path chosen = root / "report.pdf";
    openViewer().setPdfFilePicker(
        [&](QWidget*, const QString&) { return QString::fromStdString(chosen.string()); });
    const auto namesInRoot = [&] {
        std::set<std::string> names;
        for (const auto& e : fs::directory_iterator(root)) {
            names.insert(e.path().filename().string());
        }
        return names;
    };
    const std::set<std::string> before = namesInRoot();

    platform::armWriteFault(platform::FaultOp::Write, 1, platform::FaultKind::Short);
    button("cmdSavePdf")->click();
    platform::disarmWriteFaults();
    ASSERT_EQ(messages.shown.size(), 1u);
    EXPECT_EQ(messages.shown[0].icon, MessageService::Icon::Critical);
    EXPECT_TRUE(lastText().startsWith(QStringLiteral("The report was not saved as PDF.\n") +
                                      QString::fromStdString(chosen.string() + ": ")))
        << lastText().toStdString();
    EXPECT_EQ(namesInRoot(), before);
    EXPECT_TRUE(button("cmdSavePdf")->isEnabled());

    button("cmdSavePdf")->click();
    EXPECT_EQ(readFile(chosen).substr(0, 5), "%PDF-") << "the next save writes it";
}

// Another run replaces REPORT.PRN while the viewer shows client 2's report: Print and Save as
// PDF still hand on the text shown. A run that holds the program folder's report lock keeps the
// viewer from composing: it says who holds it and closes.
TEST_F(ViewReportTest, PrintsAndSavesTheTextItShowsAndClosesWhileAnotherRunHoldsTheLock) {
    openViewer().setPdfFilePicker([&](QWidget*, const QString&) {
        return QString::fromStdString((root / "r.pdf").string());
    });
    const std::string shownReport = FakeReportJobs::reportOf(2, ReportOption::OnePage);
    writeFile(root / "REPORT.PRN", FakeReportJobs::reportOf(1, ReportOption::Standard));
    button("cmdPrintReport")->click();
    button("cmdSavePdf")->click();
    EXPECT_EQ(reports.printed, std::vector<std::string>{shownReport});
    EXPECT_EQ(readFile(root / "r.pdf"), shownReport);

    const ReportFolderLock otherRun(root, std::chrono::milliseconds(0));
    reports.composed.clear();
    openViewer();
    EXPECT_FALSE(form->isVisible());
    EXPECT_TRUE(reports.composed.empty());
    EXPECT_TRUE(lastText().startsWith(QStringLiteral("The report of client 2 could not be "
                                                     "composed.\n") +
                                      QString::fromStdString(root.string()) +
                                      QStringLiteral(": the report files of this program folder "
                                                     "are in use by a report run on PC ")))
        << lastText().toStdString();
}

} // namespace

#include "store/AuditTrail.h"

namespace {

// The viewer's report, its print and its PDF each leave a line naming the record, and the
// trail holds no name.
TEST_F(ViewReportTest, ViewingPrintingAndSavingAreRecordedInTheAuditTrail) {
    openViewer().setPdfFilePicker([&](QWidget*, const QString&) {
        return QString::fromStdString((root / "r.pdf").string());
    });
    button("cmdPrintReport")->click();
    button("cmdSavePdf")->click();
    std::vector<std::string> seen;
    for (const AuditLine& l : AuditTrail(state.paths.clientFile).read().lines) {
        EXPECT_EQ(l.records, "2") << l.event;
        seen.push_back(l.event);
    }
    EXPECT_EQ(seen,
              (std::vector<std::string>{"report viewed", "report printed", "report saved as PDF"}));
    EXPECT_EQ(readFile(state.paths.clientFile.parent_path() / AuditTrail::kFileName).find("Bob"),
              std::string::npos);
}

} // namespace
