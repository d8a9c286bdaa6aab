#include "scoring/QtReportJobs.h"
#include "scoring/ReportPrinter.h"
#include "store/OrvjError.h"
#include "tests/scoring/InventoryFixture.h"

#include <QGuiApplication>

#include <gtest/gtest.h>

using namespace orvj;
using namespace orvj::testing;

namespace {

// Printing and the viewer's PDF without a printer: every job becomes the next free numbered
// PDF of the print folder, each report starting on a new sheet.
TEST(ReportOutput, EveryPageBetweenFormFeedsPrintsOnItsOwnSheet) {
    EXPECT_EQ(ReportPrinter::pagesOf("a\r\n\f\r\nb\r\n\f\r\n\r\nc\r"),
              (std::vector<std::vector<std::string>>{{"a"}, {"b"}, {"", "c"}}));

    int argc = 1;
    char name[] = "test";
    char* argv[] = {name, nullptr};
    QGuiApplication app(argc, argv);
    TempFolder home;
    PrintTarget folder;
    folder.pdfFolder = home.path();
    QtReportJobs jobs(home.path(), folder);
    jobs.printTexts({"first", "second\fpage"});
    // A report's longest page (59 lines as wide as a report's) fits its sheet; two form feeds
    // in a row make an empty page; a taller text continues on the next sheet.
    std::string longest;
    for (int i = 0; i < 59; ++i) {
        longest += std::string(79, 'x') + "\r\n";
    }
    const std::string tall = std::string(100, '\n') + "taller than a sheet: continues";
    writeFile(home.path() / "REPORT.PRN", "page one\r\n\f" + longest + "\f\f" + tall + "\x1A");
    jobs.printReportFile();
    jobs.saveReportPdf(home.path() / "report-7.pdf");
    EXPECT_EQ(pdfPages(home.path() / "print-001.pdf"), 3);
    EXPECT_EQ(pdfPages(home.path() / "print-002.pdf"), 5);
    EXPECT_EQ(pdfPages(home.path() / "report-7.pdf"), 5) << "the viewer's PDF is the printout";
    // A folder that is not there: a clear fault, and no file left behind.
    folder.pdfFolder = home.path() / "missing";
    EXPECT_THROW(QtReportJobs(home.path(), folder).printTexts({"x"}), OrvjError);
    EXPECT_THROW(jobs.saveReportPdf(home.path() / "missing" / "report-7.pdf"), OrvjError);
    EXPECT_FALSE(std::filesystem::exists(home.path() / "missing"));
}

} // namespace
