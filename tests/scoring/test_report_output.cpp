#include "scoring/QtReportJobs.h"
#include "scoring/ReportPrinter.h"
#include "scoring/ReportWriter.h"
#include "scoring/Scales.h"
#include "store/OrvjError.h"
#include "tests/scoring/InventoryFixture.h"

#include <QGuiApplication>
#include <QPrinter>
#include <QPrinterInfo>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

using namespace orvj;
using namespace orvj::testing;
using ::testing::HasSubstr;

namespace {

class QtEnvironment : public ::testing::Environment {
public:
    void SetUp() override {
        if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
            qputenv("QT_QPA_PLATFORM", "offscreen");
        }
        m_app = std::make_unique<QGuiApplication>(m_argc, m_argv);
    }
    void TearDown() override { m_app.reset(); }

private:
    int m_argc = 1;
    char m_name[16] = "test";
    char* m_argv[2] = {m_name, nullptr};
    std::unique_ptr<QGuiApplication> m_app;
};
[[maybe_unused]] auto* const kQt = ::testing::AddGlobalTestEnvironment(new QtEnvironment);

// Pages of a PDF file: its page objects.
int pdfPages(const std::filesystem::path& pdf) {
    const std::string bytes = readFile(pdf);
    int pages = 0;
    for (std::size_t pos = bytes.find("/Type"); pos != std::string::npos;
         pos = bytes.find("/Type", pos + 1)) {
        std::size_t p = pos + 5;
        while (p < bytes.size() && bytes[p] == ' ') {
            ++p;
        }
        if (bytes.compare(p, 5, "/Page") == 0 && (p + 5 >= bytes.size() || bytes[p + 5] != 's')) {
            ++pages;
        }
    }
    return pages;
}

std::string lines(int n, const std::string& text = "line") {
    std::string out;
    for (int i = 1; i <= n; ++i) {
        out += text + " " + std::to_string(i) + "\r\n";
    }
    return out;
}

TEST(ReportPages, CutAtFormFeedsWithoutTheFormFeedLineEnd) {
    using Pages = std::vector<std::vector<std::string>>;
    EXPECT_EQ(ReportPrinter::pagesOf("a\r\nb\r"), (Pages{{"a", "b"}}));
    EXPECT_EQ(ReportPrinter::pagesOf("\r\na\r\n\r\n"), (Pages{{"", "a", ""}}));
    EXPECT_EQ(ReportPrinter::pagesOf("a\r\n\f\r\nb\r\n\f\r\n\r\nc\r"),
              (Pages{{"a"}, {"b"}, {"", "c"}}));
    EXPECT_EQ(ReportPrinter::pagesOf("a\f\fb"), (Pages{{"a"}, {}, {"b"}}))
        << "two form feeds in a row make an empty page";
    EXPECT_EQ(ReportPrinter::pagesOf("\f\r\nx"), (Pages{{}, {"x"}}));
}

class ReportOutputTest : public ::testing::Test {
protected:
    TempFolder home;
    std::filesystem::path pdf = home.path() / "out.pdf";

    int printedSheets(const std::vector<std::string>& texts,
                      QPageSize::PageSizeId paper = QPageSize::Letter) {
        QtReportJobs(home.path(), {pdf, paper}).printTexts(texts);
        return pdfPages(pdf);
    }
    int perSheet(QPageSize::PageSizeId paper) {
        QPrinter printer(QPrinter::HighResolution);
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(QString::fromStdString(pdf.string()));
        printer.setPageSize(QPageSize(paper));
        return ReportPrinter::linesPerSheet(printer);
    }
};

TEST_F(ReportOutputTest, AReportPageFitsOneLetterOrA4Sheet) {
    for (auto paper : {QPageSize::Letter, QPageSize::A4}) {
        const int n = perSheet(paper);
        EXPECT_GE(n, 58) << "paper " << paper;
        EXPECT_LE(n, 64) << "the font is 11.5 point with its own line spacing";
        EXPECT_EQ(printedSheets({lines(58)}, paper), 1);
        EXPECT_EQ(printedSheets({lines(58) + "\f\r\n" + lines(58)}, paper), 2);
    }
}

TEST_F(ReportOutputTest, ABlockTallerThanTheSheetContinuesOnTheNext) {
    const int n = perSheet(QPageSize::Letter);
    EXPECT_EQ(printedSheets({lines(n + 1)}), 2);
    EXPECT_EQ(printedSheets({lines(3 * n)}), 3);
    EXPECT_EQ(printedSheets({lines(n) + "\r\n\r\n\r\n"}), 1)
        << "blank lines past the foot need no sheet";
    EXPECT_EQ(printedSheets({"a\f\fb"}), 3);
    EXPECT_EQ(printedSheets({"one", "two", lines(n) + "\fthree"}), 4);
}

TEST_F(ReportOutputTest, ComposedReportsPrintOnePageToASheet) {
    InventoryFixture fx;
    // Long paragraphs make a report of many pages.
    for (int s = 1; s <= 9; ++s) {
        fx.files[Scales::paragraphFile(s)] =
            "LOW\r\n" + lines(30, "text") +
            "END\r\nMEDIUM-LOW\r\nEND\r\nMEDIUM-HIGH\r\nEND\r\n"
            "PROBLEM\r\nEND\r\nMAXIMUM-LOW\r\nEND\r\nMAXIMUM-HIGH\r\nEND\r\n";
    }
    fx.write(home.path());
    ClientTable clients;
    clients.at(1) = makeClient("Doe, Jane", neutralResponses());
    clients.clientCount = 1;
    QtReportJobs jobs(home.path(), {pdf, QPageSize::Letter});
    for (int option : {0, 1, 2}) {
        jobs.compose(clients, 1, option);
        const std::string file = readFile(home.path() / "REPORT.PRN");
        const std::string text = jobs.readReportText();
        EXPECT_EQ(text + "\n", file);
        const auto pages = std::count(file.begin(), file.end(), '\f') + 1;
        jobs.printReportFile();
        EXPECT_EQ(pdfPages(pdf), pages) << "option " << option;
        if (option == 0) {
            EXPECT_GE(pages, 6);
        }
        if (option == 1) {
            EXPECT_EQ(pages, 1);
        }
    }
}

TEST_F(ReportOutputTest, MissingOrEmptyReportFileIsAnError) {
    QtReportJobs jobs(home.path(), {pdf, QPageSize::Letter});
    try {
        jobs.printReportFile();
        ADD_FAILURE() << "no error";
    } catch (const OrvjError& e) {
        EXPECT_THAT(e.what(), HasSubstr("REPORT.PRN: cannot open: file not found"));
    }
    writeFile(home.path() / "REPORT.PRN", "");
    EXPECT_THROW(jobs.readReportText(), OrvjError);
    EXPECT_FALSE(std::filesystem::exists(pdf));
    writeFile(home.path() / "REPORT.PRN", "x");
    EXPECT_EQ(jobs.readReportText(), "");
}

TEST_F(ReportOutputTest, AnUnwritablePdfIsAnError) {
    QtReportJobs jobs(home.path(), {home.path() / "no-such-folder" / "out.pdf", QPageSize::A4});
    EXPECT_THROW(jobs.printTexts({"text"}), OrvjError);
}

TEST_F(ReportOutputTest, NoDefaultPrinterIsAClearError) {
    if (!QPrinterInfo::defaultPrinter().isNull()) {
        GTEST_SKIP() << "this machine has a default printer";
    }
    try {
        QtReportJobs(home.path()).printTexts({"text"});
        ADD_FAILURE() << "no error";
    } catch (const OrvjError& e) {
        EXPECT_THAT(e.what(), HasSubstr("no default printer"));
    }
}

} // namespace
