#include "scoring/LinePrinter.h"
#include "scoring/ReportComposer.h"
#include "scoring/ReportWriter.h"
#include "scoring/Scales.h"
#include "tests/scoring/InventoryFixture.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

using namespace orvj;
using namespace orvj::testing;
using ::testing::HasSubstr;

namespace {

class ReportComposerTest : public ::testing::Test {
protected:
    TempFolder home;
    InventoryFixture fx;
    ClientTable clients;
    std::string responses = neutralResponses();
    std::string name = "Doe, Jane";
    std::string id = "123-45-6789";

    // Client 1 (female, race group 3) with `name`, `id` and `responses`.
    std::string compose(ReportOption option = ReportOption::Standard) {
        fx.write(home.path());
        clients.at(1) = makeClient(name, responses, '2', '3');
        clients.at(1).set(ClientRecord::Field::SSN, id);
        clients.clientCount = 1;
        return ReportWriter(home.path()).composeText(clients, 1, option);
    }
};

TEST_F(ReportComposerTest, SignificantItemRunsBelongToTheHighestCodes) {
    // DEPRESSION's group (entries 75..89): entries 75 and 76 are a run for item 80, entry 77
    // a single entry for item 81; both items are scored on DEPRESSION.
    auto& t = fx.tables;
    t.significantItems[75] = t.significantItems[76] = 80;
    t.significantItems[77] = 81;
    t.scaleItems[3][0] = 7;
    t.scaleItems[3][6] = 80;
    t.scaleItems[3][7] = 81;

    // The rows under the ANXIETY and DEPRESSION headings; ANXIETY has no entries.
    auto rows = [&](int code80, int code81) {
        setAnswers(responses, {80}, code80);
        setAnswers(responses, {81}, code81);
        const std::string report = compose();
        const std::string rule = "       -------                             ----------\r\n";
        const auto from = report.find(rule) + rule.size();
        return report.substr(from, report.find("\r\n\r\n", from) - from);
    };
    const std::string lack = "       Lack of items may be deceptive.     ";
    const std::string review = "\r\n       Review validity and other scales.";
    EXPECT_EQ(rows(3, 4), lack + "Statement 75" + review + "   Statement 77");
    EXPECT_EQ(rows(4, 3), lack + "Statement 76" + review + "   Statement 77");
    EXPECT_EQ(rows(1, 4), lack + "Statement 77" + review) << "code 1 is not one of the run's";
    EXPECT_EQ(rows(2, 2), lack + "Lack of items may be deceptive." + review +
                              "   Review validity and other scales.");
    // Three more DEPRESSION items (11-13), outside its group, lift it to 75.
    setPercentile(t, Scales::Depression, 8, 75);
    setAnswers(responses, {11, 12, 13}, 1);
    EXPECT_EQ(rows(2, 2), lack + "*** Many negative answers" + review);
}

// The golden reports hold the needs in two columns; none of them is without needs.
TEST_F(ReportComposerTest, NoTreatmentNeedsAreSaid) {
    EXPECT_THAT(compose(), HasSubstr("perceived treatment needs.\r\n\r\n"
                                     "       No Treatment Needs Identified\r\n\r\n"));
}

// Whatever stops a report, no earlier client's report stays to be shown or printed.
TEST_F(ReportComposerTest, AFailedReportRemovesTheEarlierOneAndNamesTheFault) {
    compose();
    ReportWriter writer(home.path());
    writeFile(writer.reportPath(), "an earlier client's report");
    std::filesystem::remove(home.path() / "DORVANX.txt");
    EXPECT_THAT(errorOf([&] { writer.writeReportFile(clients, 1, ReportOption::Standard); }),
                HasSubstr((home.path() / "DORVANX.txt").string() + ": cannot open"));
    EXPECT_FALSE(std::filesystem::exists(writer.reportPath()));
}

// A record from a client file written elsewhere can hold control characters in its text
// fields; the report prints each as a space so that its fixed layout holds (the fuzz target of
// report composition checks the layout on any record): CR LF, bare LF and CR, tab, form feed,
// DEL and NUL; the name is trimmed at the left as the header block shows it.
TEST_F(ReportComposerTest, ControlCharactersInNameAndIdPrintAsSpaces) {
    name = "\nDoe,\r\nJ\ta\fn\x7F\re";
    id = std::string("12\n34\0"
                     "5",
                     7);
    const std::string report = compose(ReportOption::Both);
    EXPECT_THAT(report, HasSubstr("       NAME        : Doe,  J a n  e"));
    EXPECT_THAT(report, HasSubstr("       ID#         : 12 34 5"));
}

// A left column's text that reaches past the right column makes the printer start a new line;
// that line is counted like any other.
TEST(LinePrinter, ABrokenLineIsCounted) {
    std::string out;
    LinePrinter p(out);
    p.setLines(10);
    const std::string statement(40, 's');
    p.spaces(7).text(statement).column(44).text("right");
    p.endLine();
    EXPECT_EQ(out, "       " + statement + "\r\n" + std::string(43, ' ') + "right\r\n");
    EXPECT_EQ(p.lines(), 12);
    EXPECT_EQ(LinePrinter::linesOf(8, statement, 44), 2);
    EXPECT_EQ(LinePrinter::linesOf(8, std::string(36, 's'), 44), 1);
    p.endUncountedLine();
    EXPECT_EQ(p.lines(), 12);
}

// Statements, needs and stressors of any length: every page, cut at its form feed, prints no
// more than a page's lines and the one empty line after the stressors that the count leaves out.
TEST_F(ReportComposerTest, APageNeverPrintsMoreLinesThanItsSheetHolds) {
    for (std::size_t k = 1; k < fx.statements.size(); ++k) {
        fx.statements[k] = std::string(60, 'S') + std::to_string(k);
    }
    for (int item = 121; item <= 131; ++item) {
        fx.questions[ix(item - 1)] =
            fx.questions[ix(item - 1)].substr(0, 5) + std::string(50, 'N') + std::to_string(item);
    }
    const std::vector<std::string> answers = {neutralResponses(), std::string(143, '1'),
                                              std::string(50, '1') + std::string(25, '5') +
                                                  std::string(45, '4') + std::string(11, '1') +
                                                  std::string(12, '4')};
    for (const std::string& a : answers) {
        responses = a;
        for (ReportOption option :
             {ReportOption::Standard, ReportOption::OnePage, ReportOption::Both}) {
            const std::string report = compose(option);
            std::size_t from = 0;
            int page = 1;
            for (;;) {
                const std::size_t feed = report.find('\f', from);
                const std::string text = report.substr(from, feed - from);
                const auto lines = std::count(text.begin(), text.end(), '\n');
                EXPECT_LE(lines, ReportComposer::kPageLines + 1)
                    << "page " << page << " of option " << static_cast<int>(option);
                if (feed == std::string::npos) {
                    break;
                }
                // The line end after the form feed is the page break, not a line.
                from = feed + 3;
                ++page;
            }
        }
    }
}

} // namespace
