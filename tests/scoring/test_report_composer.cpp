#include "scoring/ReportWriter.h"
#include "scoring/Scales.h"
#include "tests/scoring/InventoryFixture.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

using namespace orvj;
using namespace orvj::testing;
using ::testing::HasSubstr;
using ::testing::Not;

namespace {

// `text` moved to column `col` (counting from 1) by padding with spaces.
std::string at(std::string text, int col) {
    text.resize(ix(col - 1), ' ');
    return text;
}

class ReportComposerTest : public ::testing::Test {
protected:
    TempFolder home;
    InventoryFixture fx;
    ClientTable clients;
    std::string responses = neutralResponses();

    // Client 1 (female, race group 3) with `responses`.
    std::string compose(ReportOption option = ReportOption::Standard) {
        fx.write(home.path());
        clients.at(1) = makeClient("Doe, Jane", responses, '2', '3');
        clients.clientCount = 1;
        return ReportWriter(home.path()).composeText(clients, 1, option);
    }
};

TEST_F(ReportComposerTest, ChartBarsAndScalesWithTooManyOmittedItems) {
    setPercentile(fx.tables, Scales::Anxiety, 6, 99);
    setAnswers(responses, {6, 7, 8}, 1);
    setAnswers(responses, {16, 17, 18, 19, 20}, 0); // ALCOHOL: five omitted, not scored
    setAnswers(responses, {21, 22, 23, 24}, 0);     // DRUGS: four omitted, 99
    const std::string report = compose();
    const auto l = reportLines(report);
    EXPECT_EQ(l[21], at(at("       TRUTHFULNESS", 29) + " 0 ", 38) +
                         "*...............-...........-.......-...-");
    EXPECT_EQ(l[23], at(at("       ANXIETY", 28) + " 99 ", 38) + std::string(40, '*') + "-");
    EXPECT_EQ(l[27],
              at(at("       ALCOHOL", 28) + " **", 38) + "Scale not scored, insufficient answers");
    EXPECT_EQ(l[39], at("       ** Too many omitted items", 38) +
                         "0               40          70      90 100");
    EXPECT_EQ(l[40], at("          to score this scale", 38) +
                         "----------- PERCENTILE SCORES -----------");
    EXPECT_THAT(report, HasSubstr("       DRUGS SCALE: MAXIMUM RISK RANGE                      "
                                  "RISK PERCENTILE:99\r\n        DRUGS MAXIMUM-HIGH line 1\r\n"));
    EXPECT_THAT(report, Not(HasSubstr("ALCOHOL SCALE:")));
}

TEST_F(ReportComposerTest, TruthfulnessOf90To94StarsEveryPercentile) {
    setPercentile(fx.tables, Scales::Truthfulness, 2, 92);
    setAnswers(responses, {1}, 1);
    const auto l = reportLines(compose());
    EXPECT_EQ(l[21],
              at(at("       TRUTHFULNESS", 28) + " 92 *", 38) + std::string(37, '*') + "...-");
    EXPECT_EQ(l[39],
              at("       * These test results", 38) + "0               40          70      90 100");
    EXPECT_EQ(l[40],
              at("         are inaccurate", 38) + "----------- PERCENTILE SCORES -----------");
}

TEST_F(ReportComposerTest, PagesBreakAtFiftyEightLinesWithANumberedHeader) {
    std::string text = "LOW\r\n"; // every scale is LOW
    for (int i = 1; i <= 70; ++i) {
        text += "Long line " + std::to_string(i) + "\r\n";
    }
    for (int s = 1; s <= 9; ++s) {
        fx.files[Scales::paragraphFile(s)] = text + "END\r\n";
    }
    const auto l = reportLines(compose());
    std::vector<std::size_t> feeds;
    for (std::size_t i = 0; i < l.size(); ++i) {
        if (l[i] == "\f") {
            feeds.push_back(i);
        }
    }
    ASSERT_GE(feeds.size(), 11u);
    // Page 1: 1 + 12 + 5 + 25 + 3 lines, the scale heading, then 11 paragraph lines; the
    // next page, its header and 56 paragraph lines.
    EXPECT_EQ(l[56], "        Long line 11");
    EXPECT_EQ(feeds[0], 57u);
    EXPECT_EQ(l[60], "        Long line 12");
    EXPECT_EQ(feeds[1], 57u + 59u);
    EXPECT_EQ(l[feeds[10] + 1],
              at(at("       NAME: Doe, Jane", 41) + "-2-", 60) + "ORV-Juvenile Report");
    EXPECT_EQ(l[feeds[8] + 1].substr(40, 3), "-0-");
}

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

TEST_F(ReportComposerTest, TreatmentNeedsNoneOrInTwoColumns) {
    EXPECT_THAT(compose(), HasSubstr("perceived treatment needs.\r\n\r\n"
                                     "       No Treatment Needs Identified\r\n\r\n"));
    setAnswers(responses, {121, 124, 130}, 1);
    EXPECT_THAT(compose(),
                HasSubstr("\r\n\r\n       Question 121                           Question 130\r\n"
                          "       Question 124\r\n\r\n"));
}

TEST_F(ReportComposerTest, ReportOptionsChooseTheStandardReportTheSummaryOrBoth) {
    setAnswers(responses, {125}, 1);
    const std::string standard = compose(ReportOption::Standard);
    const std::string onePage = compose(ReportOption::OnePage);
    EXPECT_EQ(compose(ReportOption::Both), standard + "\f\r\n" + onePage);

    EXPECT_EQ(reportLines(onePage).size(), 58u);
    EXPECT_EQ(onePage.find('\f'), std::string::npos);
    EXPECT_THAT(onePage, HasSubstr("\r\n       Question 125\r\n"));
}

TEST_F(ReportComposerTest, ReportFileIsReplacedWholeOrRemovedWithTheFaultNamed) {
    const std::string expected = compose();
    ReportWriter writer(home.path());
    writeFile(writer.reportPath(), "an earlier client's report");
    writer.writeReportFile(clients, 1, ReportOption::Standard);
    EXPECT_EQ(readFile(writer.reportPath()), expected);

    std::filesystem::remove(home.path() / "DORVANX.txt");
    EXPECT_THAT(errorOf([&] { writer.writeReportFile(clients, 1, ReportOption::Standard); }),
                HasSubstr((home.path() / "DORVANX.txt").string() + ": cannot open"));
    EXPECT_FALSE(std::filesystem::exists(writer.reportPath()));
    for (const auto& entry : std::filesystem::directory_iterator(home.path())) {
        EXPECT_EQ(entry.path().filename().string().find("REPORT.PRN."), std::string::npos);
    }
}

} // namespace
