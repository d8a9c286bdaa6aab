#include "scoring/QtReportJobs.h"
#include "scoring/ReportPrinter.h"
#include "store/OrvjError.h"
#include "store/platform/WriteFaults.h"
#include "tests/scoring/InventoryFixture.h"

#include <QGuiApplication>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <set>

using namespace orvj;
using namespace orvj::testing;
using ::testing::HasSubstr;
using ::testing::Not;
namespace fs = std::filesystem;

namespace {

std::set<std::string> namesIn(const fs::path& folder) {
    std::set<std::string> names;
    for (const auto& e : fs::directory_iterator(folder)) {
        names.insert(e.path().filename().string());
    }
    return names;
}

// Qt draws the PDFs; one application object serves every test of the program.
class PdfOutputTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        static int argc = 1;
        static char name[] = "test";
        static char* argv[] = {name, nullptr};
        static QGuiApplication app(argc, argv);
    }
    void TearDown() override { platform::disarmWriteFaults(); }

    TempFolder home;
    const fs::path pdf = home.path() / "report-7.pdf";
    QtReportJobs jobs{home.path()};
};

// Printing and the viewer's PDF without a printer: every job becomes the next free numbered
// PDF of the print folder, each report starting on a new sheet.
TEST_F(PdfOutputTest, EveryPageBetweenFormFeedsPrintsOnItsOwnSheet) {
    EXPECT_EQ(ReportPrinter::pagesOf("a\r\n\f\r\nb\r\n\f\r\n\r\nc\r"),
              (std::vector<std::vector<std::string>>{{"a"}, {"b"}, {"", "c"}}));

    PrintTarget folder;
    folder.pdfFolder = home.path();
    QtReportJobs printer(home.path(), folder);
    printer.printTexts({"first", "second\fpage"});
    // A report's longest page (59 lines as wide as a report's) fits its sheet; two form feeds
    // in a row make an empty page; a taller text continues on the next sheet.
    std::string longest;
    for (int i = 0; i < 59; ++i) {
        longest += std::string(79, 'x') + "\r\n";
    }
    const std::string tall = std::string(100, '\n') + "taller than a sheet: continues";
    writeFile(home.path() / "REPORT.PRN", "page one\r\n\f" + longest + "\f\f" + tall + "\x1A");
    printer.printReportFile();
    printer.saveReportPdf(pdf);
    EXPECT_EQ(pdfPages(home.path() / "print-001.pdf"), 3);
    EXPECT_EQ(pdfPages(home.path() / "print-002.pdf"), 5);
    EXPECT_EQ(pdfPages(pdf), 5) << "the viewer's PDF is the printout";
    // A folder that is not there: a clear fault, and no file left behind.
    folder.pdfFolder = home.path() / "missing";
    EXPECT_THROW(QtReportJobs(home.path(), folder).printTexts({"x"}), OrvjError);
    EXPECT_THROW(printer.saveReportPdf(home.path() / "missing" / "report-7.pdf"), OrvjError);
    EXPECT_FALSE(std::filesystem::exists(home.path() / "missing"));
}

// A save that fails at any write, flush, close or rename leaves the earlier PDF whole, no
// temporary beside it, and a message naming the PDF.
TEST_F(PdfOutputTest, AFailedSaveKeepsTheEarlierPdf) {
    writeFile(home.path() / "REPORT.PRN", "first report\r\n\x1A");
    jobs.saveReportPdf(pdf);
    const std::string earlier = readFile(pdf);
    ASSERT_EQ(earlier.substr(0, 5), "%PDF-");
    writeFile(home.path() / "REPORT.PRN", "second\fand longer report\r\n\x1A");
    for (const auto op : {platform::FaultOp::Write, platform::FaultOp::Flush,
                          platform::FaultOp::Close, platform::FaultOp::Rename}) {
        std::string message;
        eachWriteFault(
            op, platform::FaultKind::Short,
            [&] { message = errorOf([&] { jobs.saveReportPdf(pdf); }); },
            [&](int nth) {
                SCOPED_TRACE("fault " + std::to_string(nth) + " of op " +
                             std::to_string(static_cast<int>(op)));
                EXPECT_THAT(message, HasSubstr(pdf.string() + ": writing the PDF file"));
                EXPECT_THAT(message, Not(HasSubstr(".report-7.pdf.")));
                EXPECT_EQ(readFile(pdf), earlier);
                EXPECT_EQ(namesIn(home.path()),
                          (std::set<std::string>{"REPORT.PRN", pdf.filename()}));
            });
        // The run that no fault reached saved the second report.
        EXPECT_EQ(message, "no error");
        EXPECT_EQ(pdfPages(pdf), 2);
        writeFile(pdf, earlier);
    }
}

// Each job claims the next free number: a file or a link already under a name (even one that
// leads nowhere) is passed over and never written; a failed job leaves no file; a new print
// file is its owner's alone.
TEST_F(PdfOutputTest, PrintJobsTakeTheNextFreeNameAndNeverWriteThroughALink) {
    TempFolder outside;
    const fs::path sentinel = outside.path() / "sentinel";
    writeFile(sentinel, "keep me");
    const fs::path folder = home.path() / "print";
    fs::create_directory(folder);
    fs::create_symlink(sentinel, folder / "print-001.pdf");
    writeFile(folder / "print-002.pdf", "someone's file");
    fs::create_symlink(outside.path() / "nowhere", folder / "print-003.pdf");

    PrintTarget target;
    target.pdfFolder = folder;
    const QtReportJobs printer(home.path(), target);
    printer.printTexts({"one"});
    EXPECT_EQ(readFile(sentinel), "keep me");
    EXPECT_EQ(readFile(folder / "print-002.pdf"), "someone's file");
    EXPECT_FALSE(fs::exists(outside.path() / "nowhere"));
    EXPECT_EQ(pdfPages(folder / "print-004.pdf"), 1);
    EXPECT_EQ(fs::status(folder / "print-004.pdf").permissions() &
                  (fs::perms::group_all | fs::perms::others_all),
              fs::perms::none);

    std::set<std::string> before = namesIn(folder);
    eachWriteFault(
        platform::FaultOp::Write, platform::FaultKind::Short,
        [&] { static_cast<void>(errorOf([&] { printer.printTexts({"two"}); })); },
        [&](int) { EXPECT_EQ(namesIn(folder), before); });
    before.insert("print-005.pdf");
    EXPECT_EQ(namesIn(folder), before) << "the job that no fault reached";
}

} // namespace
