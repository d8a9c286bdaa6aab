#include "clients/frmPrintSelected.h"

#include "tests/clients/ClientsTestSupport.h"
#include "tests/support/AuditLines.h"

#include <QListWidget>

using namespace orvj;
using namespace orvj::test;

namespace {

class PrintSelectedTest : public ClientsFixture {
protected:
    void SetUp() override {
        ClientsFixture::SetUp();
        registerClients({makeClient("Smith"), makeClient("Bob"), makeClient("Cy")});
        open<frmPrintSelected>();
    }
    void clickRow(int row) {
        auto* list = child<QListWidget>("lbNameDisplay");
        const QRect r = list->visualItemRect(list->item(row));
        QTest::mouseClick(list->viewport(), Qt::LeftButton, Qt::NoModifier, r.center());
    }
};

std::string report(int client) {
    return FakeReportJobs::reportOf(client, ReportOption::Standard);
}

// Clicked clients print in list order, a second click takes one off again; nothing chosen or
// Return prints nothing; Select All chooses every client without printing; a compose fault
// prints none. (The parked copies, the current client afterwards and the fault's wording are
// ReportRuns' business.)
TEST_F(PrintSelectedTest, ChosenClientsPrintInListOrder) {
    press(form.get(), 0);
    EXPECT_FALSE(form->isVisible()) << "nothing chosen, nothing printed";
    open<frmPrintSelected>();
    clickRow(1);
    press(form.get(), 2);
    EXPECT_FALSE(form->isVisible());
    EXPECT_TRUE(reports.composed.empty());

    open<frmPrintSelected>();
    for (int row : {2, 0, 1, 1}) {
        clickRow(row);
    }
    press(form.get(), 0);
    EXPECT_FALSE(form->isVisible());
    EXPECT_EQ(reports.printed, (std::vector<std::string>{report(1), report(3)}));
    EXPECT_TRUE(messages.shown.isEmpty());

    reports.printed.clear();
    reports.failComposeOf = 3;
    open<frmPrintSelected>();
    press(form.get(), 1);
    press(form.get(), 0);
    EXPECT_TRUE(reports.printed.empty());
    EXPECT_TRUE(
        lastText().startsWith(QStringLiteral("The report of client 3 could not be composed")));
    reports.failComposeOf = 0;
    open<frmPrintSelected>();
    press(form.get(), 1);
    EXPECT_TRUE(form->isVisible()) << "Select All prints nothing by itself";
    press(form.get(), 0);
    EXPECT_EQ(reports.printed, (std::vector<std::string>{report(1), report(2), report(3)}));

    // Into a PDF folder the run saves PDFs and prints nothing.
    const fs::path pdfs = root / "pdf";
    fs::create_directories(pdfs);
    open<frmPrintSelected>().setPdfFolder(pdfs);
    clickRow(1);
    press(form.get(), 0);
    EXPECT_EQ(reports.savedPdfs, std::vector<fs::path>{pdfs / "report-2.pdf"});

    // Each run names its records; nothing chosen, Cancel and the fault add none.
    EXPECT_EQ(auditLines(state.paths.clientFile),
              (std::vector<std::string>{"report printed | 1, 3 | print selected",
                                        "report printed | 1-3 | print selected",
                                        "report saved as PDF | 2 | print selected"}));
    EXPECT_EQ(readFile(state.paths.dataFolder / AuditTrail::kFileName).find("Smith"),
              std::string::npos);
}

} // namespace
