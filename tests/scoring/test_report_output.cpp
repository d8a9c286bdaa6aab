#include "scoring/QtReportJobs.h"
#include "scoring/ReportPrinter.h"
#include "store/OrvjError.h"
#include "tests/scoring/InventoryFixture.h"

#include <QGuiApplication>

#include <gtest/gtest.h>

using namespace orvj;
using namespace orvj::testing;

namespace {

TEST(ReportOutput, EveryPageBetweenFormFeedsPrintsOnItsOwnSheet) {
    using Pages = std::vector<std::vector<std::string>>;
    EXPECT_EQ(ReportPrinter::pagesOf("a\r\n\f\r\nb\r\n\f\r\n\r\nc\r"),
              (Pages{{"a"}, {"b"}, {"", "c"}}));
    EXPECT_EQ(ReportPrinter::pagesOf("a\f\fb"), (Pages{{"a"}, {}, {"b"}}));

    int argc = 1;
    char name[] = "test";
    char* argv[] = {name, nullptr};
    QGuiApplication app(argc, argv);
    const std::string tall = std::string(100, '\n') + "taller than a sheet: continues";
    TempFolder home;
    const auto pdf = home.path() / "out.pdf";
    QtReportJobs(home.path(), {pdf, QPageSize::A4}).printTexts({"a\f\fb", "one\r\nblock", tall});
    EXPECT_EQ(pdfPages(pdf), 6) << "two form feeds in a row make an empty page";

    // Without a printer, every job becomes the next free numbered PDF of the print folder.
    PrintTarget folder;
    folder.pdfFolder = home.path();
    QtReportJobs jobs(home.path(), folder);
    jobs.printTexts({"first"});
    jobs.printTexts({"second\fpage"});
    EXPECT_EQ(pdfPages(home.path() / "print-001.pdf"), 1);
    EXPECT_EQ(pdfPages(home.path() / "print-002.pdf"), 2);
    folder.pdfFolder = home.path() / "missing";
    EXPECT_THROW(QtReportJobs(home.path(), folder).printTexts({"x"}), OrvjError);

    // The viewer's PDF has the pages of the printout, whatever the print target is. The
    // second page is a report's longest: 59 lines as wide as a report's.
    std::string longest;
    for (int i = 0; i < 59; ++i) {
        longest += std::string(79, 'x') + "\r\n";
    }
    writeFile(home.path() / "REPORT.PRN", "page one\r\n\f" + longest + "\f" + tall + "\x1A");
    folder.pdfFolder = home.path();
    QtReportJobs viewerJobs(home.path(), folder);
    viewerJobs.printReportFile();
    viewerJobs.saveReportPdf(home.path() / "report-7.pdf");
    EXPECT_EQ(pdfPages(home.path() / "report-7.pdf"), pdfPages(home.path() / "print-003.pdf"));
    EXPECT_EQ(pdfPages(home.path() / "report-7.pdf"), 4);
    EXPECT_FALSE(std::filesystem::exists(home.path() / "print-004.pdf"));
    // A folder that is not there: a clear fault, and no file left behind.
    EXPECT_THROW(viewerJobs.saveReportPdf(home.path() / "missing" / "report-7.pdf"), OrvjError);
    EXPECT_FALSE(std::filesystem::exists(home.path() / "missing"));
}

} // namespace
