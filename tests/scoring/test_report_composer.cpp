#include "scoring/LinePrinter.h"
#include "scoring/ReportWriter.h"
#include "scoring/Scales.h"
#include "store/OrvjError.h"
#include "tests/scoring/InventoryFixture.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>

using namespace orvj;
using namespace orvj::testing;
using ::testing::HasSubstr;

namespace {

constexpr std::size_t ix(int i) {
    return static_cast<std::size_t>(i);
}

using Page = std::vector<std::string>;

// The report cut at its form-feed lines; every page after the first starts after the line
// that holds only the form feed.
std::vector<Page> pagesOf(const std::string& report) {
    std::vector<Page> pages(1);
    for (const std::string& line : reportLines(report)) {
        if (line == "\f") {
            pages.emplace_back();
        } else {
            EXPECT_EQ(line.find('\f'), std::string::npos) << "a form feed inside a line";
            pages.back().push_back(line);
        }
    }
    return pages;
}

// `text` moved to column `col` (counting from 1) by padding with spaces.
std::string at(const std::string& text, int col) {
    std::string s = text;
    s.resize(static_cast<std::size_t>(col - 1), ' ');
    return s;
}

int indexOf(const Page& lines, const std::string& text, int from = 0) {
    for (std::size_t i = static_cast<std::size_t>(from); i < lines.size(); ++i) {
        if (lines[i] == text) {
            return static_cast<int>(i);
        }
    }
    return -1;
}

class ReportComposerTest : public ::testing::Test {
protected:
    TempFolder home;
    InventoryFixture fx;
    ClientTable clients;
    std::string responses = neutralResponses();
    std::string name = "Doe, Jane";

    // Client 1 (female, race group 3) with `responses`.
    std::string compose(ReportOption option = ReportOption::Standard, int client = 1) {
        fx.write(home.path());
        clients.at(1) = makeClient(name, responses, '2', '3');
        clients.clientCount = 1;
        return ReportWriter(home.path()).composeText(clients, client, option);
    }
    std::vector<std::string> lines(ReportOption option = ReportOption::Standard) {
        return reportLines(compose(option));
    }
    std::string composeError() {
        try {
            compose();
        } catch (const OrvjError& e) {
            return e.what();
        }
        return "no error";
    }

    void setPercentile(int scale, int raw, int percentile) {
        for (int race = 1; race <= 3; ++race) {
            for (int sex = 1; sex <= 2; ++sex) {
                fx.tables.percentileTable[ix(scale)][ix(raw)][ix(race)][ix(sex)] =
                    static_cast<std::int16_t>(percentile);
            }
        }
    }
    // Paragraphs of n lines for every scale.
    void longParagraphs(int n) {
        for (int s = 1; s <= 9; ++s) {
            std::string text;
            for (const char* key :
                 {"LOW", "MEDIUM-LOW", "MEDIUM-HIGH", "PROBLEM", "MAXIMUM-LOW", "MAXIMUM-HIGH"}) {
                text += std::string(key) + "\r\n";
                for (int i = 1; i <= n; ++i) {
                    text += "Scale " + std::to_string(s) + " line " + std::to_string(i) + "\r\n";
                }
                text += "END\r\n";
            }
            fx.files[Scales::paragraphFile(s)] = text;
        }
    }
};

TEST(LinePrinter, ColumnsCountFromOneAndAPassedColumnStartsANewLine) {
    std::string out;
    LinePrinter p(out);
    p.spaces(2).text("ab").column(6).text("x");
    EXPECT_EQ(p.position(), 7);
    p.column(7).text("y").column(3).text("z");
    p.endLine();
    p.number(5).number(-12).number(0).text("|");
    p.endLine();
    EXPECT_EQ(out, "  ab xy\r\n  z\r\n 5 -12  0 |\r\n");
}

TEST_F(ReportComposerTest, HeaderBlockNoticeAndChartOpenTheReport) {
    name = "  Doe, Jane";
    const auto l = lines();
    const std::vector<std::string> expected = {
        "",
        std::string(21, ' ') + "Orvell--Juvenile",
        std::string(21, ' ') + std::string(42, '*'),
        std::string(21, ' ') + "           CONFIDENTIAL REPORT",
        "",
        "       NAME        : Doe, Jane" + std::string(14, ' '),
        "       ID#         : 123-45-6789",
        "       AGE: 15 SEX : Female",
        "       ETHNICITY   : Hispanic       ",
        "       EDUCATION   : 8th grade" + std::string(19, ' '),
        "       DATE        : 03/14/2026",
        "",
        "       Orvell-Juvenile results  are confidential  and",
    };
    ASSERT_GE(l.size(), expected.size());
    EXPECT_EQ(std::vector<std::string>(l.begin(), l.begin() + 13), expected);
    EXPECT_EQ(l[17], "       MEASURES            %ile                  ORV-JUVENILE PROFILE");
    EXPECT_EQ(l[18],
              "       --------            ----      +---------------+-----------+-------+---+");
    EXPECT_EQ(l[41], "");
    EXPECT_EQ(l[42],
              "        * * SUMMARY PARAGRAPHS EXPLAINING CLIENT'S ATTAINED SCALE SCORES * *");
}

TEST_F(ReportComposerTest, ChartBarsAlignPercentilesAndMarkTheScale) {
    const std::string bar = "-...............-...........-.......-...-";
    setPercentile(2, 2, 99);
    setPercentile(3, 2, 9);
    setAnswer(responses, 6, 1);  // ANXIETY raw 2 -> 99, capped for one item: 28
    setAnswer(responses, 11, 1); // DEPRESSION raw 2 -> 9
    for (int item = 16; item <= 20; ++item) {
        setAnswer(responses, item, 0); // ALCOHOL: five omitted
    }
    auto l = lines();
    // Percentile 0: one asterisk, then the last 40 characters of the scale.
    EXPECT_EQ(l[21], at(at("       TRUTHFULNESS", 29) + " 0 ", 38) + "*" + bar.substr(1));
    EXPECT_EQ(l[22], std::string(37, ' ') + "-               -           -       -   -");
    EXPECT_EQ(l[23],
              at(at("       ANXIETY", 28) + " 28 ", 38) + std::string(12, '*') + bar.substr(12));
    EXPECT_EQ(l[25],
              at(at("       DEPRESSION", 29) + " 9 ", 38) + std::string(4, '*') + bar.substr(4));
    EXPECT_EQ(l[27],
              at(at("       ALCOHOL", 28) + " **", 38) + "Scale not scored, insufficient answers");
    EXPECT_EQ(l[38], std::string(37, ' ') + "+---------------+-----------+-------+---+");
    EXPECT_EQ(l[39], at("       ** Too many omitted items", 38) +
                         "0               40          70      90 100");
    EXPECT_EQ(l[40], at("          to score this scale", 38) +
                         "----------- PERCENTILE SCORES -----------");

    responses = neutralResponses();
    setAnswer(responses, 6, 1);
    setAnswer(responses, 7, 1);
    setAnswer(responses, 8, 1);
    setPercentile(2, 6, 99);
    l = lines();
    // Percentile 99: 40 asterisks and the closing mark.
    EXPECT_EQ(l[23], at(at("       ANXIETY", 28) + " 99 ", 38) + std::string(40, '*') + "-");
    EXPECT_EQ(l[39], at("", 38) + "0               40          70      90 100");
    EXPECT_EQ(l[40], at("", 38) + "----------- PERCENTILE SCORES -----------");
}

TEST_F(ReportComposerTest, TruthfulnessOf90To94StarsEveryPercentile) {
    setPercentile(1, 2, 92);
    setAnswer(responses, 1, 1);
    const auto l = lines();
    EXPECT_EQ(l[21],
              at(at("       TRUTHFULNESS", 28) + " 92 *", 38) + std::string(37, '*') + "...-");
    EXPECT_EQ(l[23], at(at("       ANXIETY", 29) + " 0 *", 38) +
                         "*...............-...........-.......-...-");
    EXPECT_EQ(l[31], at(at("       STRESS COPING", 28) + " 24 *", 38) +
                         "**********......-...........-.......-...-");
    EXPECT_EQ(l[33], at(at("       SELF-ESTEEM", 29) + " 6 *", 38) +
                         "***.............-...........-.......-...-");
    EXPECT_EQ(l[39],
              at("       * These test results", 38) + "0               40          70      90 100");
    EXPECT_EQ(l[40],
              at("         are inaccurate", 38) + "----------- PERCENTILE SCORES -----------");
    EXPECT_EQ(l[45],
              at("       TRUTHFULNESS SCALE: MAXIMUM RISK RANGE", 61) + "RISK PERCENTILE:92");
    EXPECT_EQ(l[46], "        TRUTHFULNESS MAXIMUM-LOW line 1");
}

TEST_F(ReportComposerTest, ParagraphSectionFollowsThePercentile) {
    const std::pair<int, const char*> cases[] = {
        {39, "LOW"},         {40, "MEDIUM-LOW"},  {55, "MEDIUM-LOW"}, {56, "MEDIUM-HIGH"},
        {69, "MEDIUM-HIGH"}, {70, "PROBLEM"},     {89, "PROBLEM"},    {90, "MAXIMUM-LOW"},
        {94, "MAXIMUM-LOW"}, {95, "MAXIMUM-HIGH"}};
    const std::vector<std::string> range = {"LOW", "MEDIUM", "PROBLEM", "MAXIMUM"};
    setAnswer(responses, 26, 1);
    setAnswer(responses, 27, 1);
    setAnswer(responses, 28, 1); // DISTRESS raw 6, three items: never capped
    for (auto [p, key] : cases) {
        setPercentile(8, 6, p);
        const std::string report = compose();
        const std::string risk = p < 40   ? "LOW"
                                 : p < 70 ? "MEDIUM"
                                 : p < 90 ? "PROBLEM"
                                          : "MAXIMUM";
        std::string heading = "       DISTRESS SCALE: " + risk + " RISK RANGE";
        heading.resize(60, ' ');
        heading += "RISK PERCENTILE:" + std::string(p < 10 ? " " : "") + std::to_string(p) +
                   "\r\n        DISTRESS " + key +
                   " line 1\r\n        DISTRESS " + key + " line 2\r\n";
        EXPECT_THAT(report, HasSubstr(heading)) << p;
    }
}

TEST_F(ReportComposerTest, FiveOmittedItemsMakeAScaleNotScorableFourDoNot) {
    for (int item = 21; item <= 24; ++item) {
        setAnswer(responses, item, 0); // DRUGS: four omitted -> 99
    }
    std::string report = compose();
    EXPECT_THAT(report, HasSubstr("       DRUGS SCALE: MAXIMUM RISK RANGE                      "
                                  "RISK PERCENTILE:99\r\n        DRUGS MAXIMUM-HIGH line 1\r\n"));
    setAnswer(responses, 25, 0);
    report = compose();
    EXPECT_THAT(report, HasSubstr("\r\n       DRUGS\r\n\r\n        This scale is inaccurate and  "
                                  "not  scorable  because  the  respondent\r\n        omitted or "
                                  "skipped an excessive number of items.\r\n\r\n       "));
    EXPECT_THAT(report, ::testing::Not(HasSubstr("DRUGS SCALE:")));
}

TEST_F(ReportComposerTest, PagesBreakAtFiftyEightLinesWithANumberedHeader) {
    // Many significant items, so that their rows cross a page end for some paragraph length.
    for (int item = 1; item <= 50; ++item) {
        setAnswer(responses, item, 1);
    }
    for (int item = 1; item <= 47; ++item) {
        setAnswer(responses, item, item % 3 == 0 ? 1 : 2);
    }
    for (int n = 0; n <= 60; ++n) {
        longParagraphs(n);
        const auto pages = pagesOf(compose());
        ASSERT_GE(pages.size(), 2u);
        EXPECT_LE(pages[0].size(), 57u) << n;
        for (std::size_t k = 1; k < pages.size(); ++k) {
            const std::string header =
                at(at("       NAME: Doe, Jane", 41) + "-" + std::to_string((k + 1) % 10) + "-",
                   60) +
                "ORV-Juvenile Report";
            EXPECT_EQ(pages[k][0], header) << n;
            EXPECT_EQ(pages[k][1], "");
            // Treatment needs and stressors check their room only before they start, and a
            // pair of significant-item groups not at all: its heading, rule and first row may
            // run two lines past the foot before the page ends.
            if (indexOf(pages[k], "       SOCIAL STRESSORS (STRUCTURED INTERVIEW)") < 0) {
                EXPECT_LE(pages[k].size(), 60u) << "paragraphs of " << n << ", page " << k + 1;
                if (indexOf(pages[k], "       --------                            -------------") <
                        0 &&
                    indexOf(pages[k], "       -------                             ----------") <
                        0) {
                    EXPECT_LE(pages[k].size(), 58u) << n << ", page " << k + 1;
                }
            }
        }
        for (std::size_t k = 0; k < pages.size(); ++k) {
            for (const char* heading : {"       ALCOHOL                             DRUGS",
                                        "       DISTRESS                            FAMILY ISSUES",
                                        "       ANXIETY                             DEPRESSION"}) {
                const int at = indexOf(pages[k], heading);
                if (at >= 0) {
                    EXPECT_LE(at + 3, static_cast<int>(pages[k].size()))
                        << "a group heading without its rows, paragraphs of " << n;
                }
            }
        }
        const Page& last = pages.back();
        // The empty line after the social stressors is written but not counted, so a page
        // holding them runs one line longer.
        const std::size_t pageLength =
            58u + (indexOf(last, "       SOCIAL STRESSORS (STRUCTURED INTERVIEW)") >= 0 ? 1u : 0u);
        if (last.back() == "       " + fx.publisher) {
            EXPECT_EQ(last.size(), pageLength) << "the footer sits on the last counted line";
        } else {
            // The responses listing ended on line 58: no room is left for the footer.
            EXPECT_EQ(last.size(), pageLength) << n;
            EXPECT_EQ(last[last.size() - 2],
                      "         101-143   1111111111  1111111111  NNNNNNNNNN  N111111111  111")
                << n;
        }
    }
}

TEST_F(ReportComposerTest, ParagraphsContinueOnANewPageAtTheFoot) {
    longParagraphs(70);
    const auto pages = pagesOf(compose());
    ASSERT_GE(pages.size(), 12u);
    // Page 1: 1 + 12 + 5 + 25 + 3 lines, the scale heading, then 11 paragraph lines.
    EXPECT_EQ(pages[0].back(), "        Scale 1 line 11");
    EXPECT_EQ(pages[1][2], "        Scale 1 line 12");
    EXPECT_EQ(pages[11][0].substr(40, 3), "-2-") << "page 12 shows its last digit";
    EXPECT_EQ(pages[9][0].substr(40, 3), "-0-");
}

TEST_F(ReportComposerTest, InvalidTestEndsWithTheTruthfulnessExplanation) {
    for (int item = 1; item <= 48; ++item) {
        setAnswer(responses, item, 1);
    }
    const std::string report = compose();
    const auto pages = pagesOf(report);
    ASSERT_EQ(pages.size(), 2u);
    const Page& first = pages[0];
    EXPECT_EQ(first[41], "");
    EXPECT_EQ(first[42], "       RECOMMENDATIONS:" + std::string(55, '_'));
    EXPECT_EQ(first[49],
              "       STAFF MEMBER SIGNATURE             DATE                   (TEST # 1 )");
    EXPECT_EQ(first[51], "                               ORV-JUVENILE RESPONSES");
    EXPECT_EQ(first[53],
              "           1- 50   TTTTTTTTTT  TTTTTTTTTT  TTTTTTTTTT  TTTTTTTTTT  TTTTTTTTFF  ");
    // The counter reaches 58 with the responses: the footer has no room left on the page.
    EXPECT_EQ(first.size(), 57u);
    EXPECT_EQ(first.back(), "");
    EXPECT_EQ(pages[1],
              (Page{pages[1][0], "", "", "                             TRUTHFULNESS EXPLANATION",
                    "", "       Invalid line 1", "       Invalid line 2"}));
    EXPECT_THAT(report, ::testing::Not(HasSubstr("SUMMARY PARAGRAPHS")));
    EXPECT_THAT(report, ::testing::Not(HasSubstr("SIGNIFICANT ITEMS")));
}

TEST_F(ReportComposerTest, SignificantItemRunsBelongToTheHighestCodes) {
    // DEPRESSION's group (entries 75..89): entries 75 and 76 are a run for item 80, entry
    // 77 a single entry for item 81; both items are scored on DEPRESSION.
    auto& t = fx.tables;
    t.significantItems[75] = 80;
    t.significantItems[76] = 80;
    t.significantItems[77] = 81;
    auto& depression = t.scaleItems[3];
    depression[6] = 80;
    depression[7] = 81;
    depression[0] = 7;
    // ALCOHOL's group (entries 1..12): entry 1 for section 4 item 121, which earns 1 point.
    t.significantItems[1] = 121;
    t.scaleItems[4][1] = 121;

    auto depressionList = [&](int code80, int code81, bool withOtherItems = false) {
        responses = neutralResponses();
        if (withOtherItems) {
            for (int item : {11, 12, 13}) {
                setAnswer(responses, item, 1);
            }
        }
        setAnswer(responses, 80, code80);
        setAnswer(responses, 81, code81);
        setAnswer(responses, 121, 1);
        const auto l = lines();
        const int at = indexOf(l, "       ANXIETY                             DEPRESSION");
        std::vector<std::string> right;
        for (std::size_t i = static_cast<std::size_t>(at) + 2; i < l.size() && !l[i].empty(); ++i) {
            if (l[i].size() > 43) {
                right.push_back(l[i].substr(43));
            }
        }
        return right;
    };
    EXPECT_EQ(depressionList(3, 4), (std::vector<std::string>{"Statement 75", "Statement 77"}));
    EXPECT_EQ(depressionList(4, 3), (std::vector<std::string>{"Statement 76", "Statement 77"}));
    const std::vector<std::string> lack = {"Lack of items may be deceptive.",
                                           "Review validity and other scales."};
    EXPECT_EQ(depressionList(2, 2), lack) << "one point each is not enough";
    // Three more DEPRESSION items (11-13), outside its group, lift it to 75.
    setPercentile(3, 8, 75);
    EXPECT_EQ(depressionList(2, 2, true), std::vector<std::string>{"*** Many negative answers"});
    EXPECT_EQ(depressionList(1, 4), (std::vector<std::string>{"Statement 77"}))
        << "code 1 is not one of the run's codes";

    const auto l = lines();
    const int at = indexOf(l, "       ALCOHOL                             DRUGS");
    ASSERT_GE(at, 0);
    EXPECT_EQ(l[ix(at + 1)], "       -------                             -----");
    EXPECT_EQ(l[ix(at + 2)],
              "       Statement 1                         Lack of items may be deceptive.");
    EXPECT_EQ(l[ix(at + 3)],
              "                                           Review validity and other scales.");
    EXPECT_EQ(l[ix(at + 4)], "");
    EXPECT_EQ(l[ix(at + 5)], "       DISTRESS                            FAMILY ISSUES");
}

TEST_F(ReportComposerTest, TreatmentNeedsInTwoColumnsAndStressorsByCode) {
    std::string report = compose();
    EXPECT_THAT(report, HasSubstr("self-reported opinions about perceived treatment needs.\r\n\r\n"
                                  "       No Treatment Needs Identified\r\n\r\n"));
    for (int item : {121, 124, 130}) {
        setAnswer(responses, item, 1);
    }
    setAnswer(responses, 132, 0);
    setAnswer(responses, 137, 3);
    setAnswer(responses, 143, 4);
    report = compose();
    EXPECT_THAT(report,
                HasSubstr("\r\n\r\n       Question 121                           Question 130\r\n"
                          "       Question 124\r\n\r\n"
                          "       SOCIAL STRESSORS (STRUCTURED INTERVIEW)\r\n"
                          "       ---------------------------------------\r\n"
                          "       132. No response given              Stressor 138 code 1\r\n"));
    EXPECT_THAT(report,
                HasSubstr("       Stressor 137 code 3                 Stressor 143 code 4\r\n"));
}

TEST_F(ReportComposerTest, ResponsesListingMarksEveryItem) {
    setAnswer(responses, 1, 1);
    setAnswer(responses, 2, 0);
    setAnswer(responses, 60, 5);
    setAnswer(responses, 121, 1);
    setAnswer(responses, 122, 0);
    setAnswer(responses, 143, 4);
    responses[99] = ' ';
    const auto l = lines();
    const int at = indexOf(l, "                               ORV-JUVENILE RESPONSES");
    ASSERT_GE(at, 0);
    EXPECT_EQ(l[ix(at + 1)], "                               ----------------------");
    EXPECT_EQ(l[ix(at + 2)],
              "           1- 50   T0FFFFFFFF  FFFFFFFFFF  FFFFFFFFFF  FFFFFFFFFF  FFFFFFFFFF  ");
    EXPECT_EQ(l[ix(at + 3)],
              "          51-100   3333333335  3333333333  3333311111  1111111111  1111111110  ");
    EXPECT_EQ(l[ix(at + 4)],
              "         101-143   1111111111  1111111111  Y0NNNNNNNN  N111111111  114");
    EXPECT_EQ(l[ix(at + 5)], "");
}

TEST_F(ReportComposerTest, ReportOptionsChooseTheStandardReportTheSummaryOrBoth) {
    setAnswer(responses, 125, 1);
    const std::string standard = compose(ReportOption::Standard);
    const std::string onePage = compose(ReportOption::OnePage);
    const std::string both = compose(ReportOption::Both);
    EXPECT_EQ(both, standard + "\f\r\n" + onePage);
    EXPECT_THAT(standard, ::testing::Not(HasSubstr("OPTIONAL ONE-PAGE SUMMARY")));

    const auto pages = pagesOf(onePage);
    ASSERT_EQ(pages.size(), 1u) << "the one-page report has no form feed";
    const Page& p = pages[0];
    ASSERT_EQ(p.size(), 58u);
    EXPECT_EQ(p[0], "");
    EXPECT_EQ(p[3], std::string(21, ' ') + "        OPTIONAL ONE-PAGE SUMMARY");
    EXPECT_EQ(p[12], "       Orvell results are confidential and should be");
    EXPECT_EQ(p[14], "       solely upon these results. Use only with experienced staff judgment.");
    EXPECT_EQ(p[16], "       MEASURES            %ile                  ORV-JUVENILE PROFILE");
    EXPECT_EQ(p[41], "       RECOMMENDATIONS:" + std::string(55, '_'));
    EXPECT_EQ(p[50],
              "       TREATMENT NEEDS: The identified items listed below reflect the  youth's");
    EXPECT_EQ(p[53], "       Question 125");
    EXPECT_EQ(p[54], "");
    EXPECT_EQ(p[56], "");
    EXPECT_EQ(p[57], "       " + fx.publisher);
    EXPECT_THAT(onePage, ::testing::Not(HasSubstr("SOCIAL STRESSORS")));
    EXPECT_THAT(onePage, ::testing::Not(HasSubstr("ORV-JUVENILE RESPONSES")));
}

TEST_F(ReportComposerTest, MissingTextsAndBadRequestsAreErrors) {
    fx.files.erase("DORVSC.txt");
    std::filesystem::remove(home.path() / "DORVSC.txt");
    EXPECT_THAT(composeError(), HasSubstr((home.path() / "DORVSC.txt").string() + ": cannot open"));
    fx = InventoryFixture();
    fx.files["ORVJDI.txt"] = "LOW\r\nno end\r\n";
    EXPECT_THAT(composeError(),
                HasSubstr("ORVJDI.txt: no line \"END\" closes the section \"LOW\""));
    fx = InventoryFixture();
    fx.files["INVAL.TXT"] = "no end\r\n";
    for (int item = 1; item <= 48; ++item) {
        setAnswer(responses, item, 1);
    }
    EXPECT_THAT(composeError(), HasSubstr("INVAL.TXT: no line \"END\""));

    fx = InventoryFixture();
    EXPECT_THAT(
        [&] {
            try {
                compose(ReportOption::Standard, 2);
            } catch (const OrvjError& e) {
                return std::string(e.what());
            }
            return std::string("no error");
        }(),
        HasSubstr("client 2 is not in the client file (clients 1 to 1)"));
    EXPECT_THROW(ReportWriter::optionFromNumber(3), OrvjError);
    EXPECT_EQ(ReportWriter::optionFromNumber(1), ReportOption::OnePage);
}

TEST_F(ReportComposerTest, ReportFileIsReplacedWholeOrRemoved) {
    const std::string expected = compose();
    ReportWriter writer(home.path());
    writeFile(writer.reportPath(), "an earlier client's report");
    writer.writeReportFile(clients, 1, ReportOption::Standard);
    EXPECT_EQ(readFile(writer.reportPath()), expected);

    std::filesystem::remove(home.path() / "DORVANX.txt");
    EXPECT_THROW(writer.writeReportFile(clients, 1, ReportOption::Standard), OrvjError);
    EXPECT_FALSE(std::filesystem::exists(writer.reportPath()));
    EXPECT_THROW(writer.writeReportFile(clients, 5, ReportOption::Standard), OrvjError);
    EXPECT_FALSE(std::filesystem::exists(writer.reportPath()));
    for (const auto& entry : std::filesystem::directory_iterator(home.path())) {
        EXPECT_EQ(entry.path().filename().string().find("REPORT.PRN."), std::string::npos)
            << "temporary file left behind: " << entry.path();
    }
}

} // namespace
