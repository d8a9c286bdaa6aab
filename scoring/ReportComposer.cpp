#include "scoring/ReportComposer.h"

#include "core/InventoryLayout.h"
#include "scoring/Scales.h"
#include "store/DemographicLabels.h"
#include "store/OrvjError.h"

#include <algorithm>

namespace orvj {
namespace {

using Field = ClientRecord::Field;

constexpr std::size_t ix(int i) {
    return static_cast<std::size_t>(i);
}

constexpr std::string_view kChartRule = "+---------------+-----------+-------+---+";
constexpr std::string_view kChartScale = "-...............-...........-.......-...-";
constexpr std::string_view kChartEmptyRow = "-               -           -       -   -";

struct SignificantGroup {
    const char* name;
    int entries;
    int scale;
};
constexpr SignificantGroup kGroups[] = {
    {"ALCOHOL", 12, Scales::Alcohol},   {"DRUGS", 12, Scales::Drugs},
    {"DISTRESS", 26, Scales::Distress}, {"FAMILY ISSUES", 10, Scales::FamilyIssues},
    {"ANXIETY", 14, Scales::Anxiety},   {"DEPRESSION", 15, Scales::Depression}};

// A demographic code as the label tables index it: a blank reads as 0.
int labelCode(const ClientRecord& record, Field f) {
    const char c = record.field(f)[0];
    return c == ' ' ? 0 : record.digit(f);
}

std::string_view trimLeft(std::string_view s) {
    const auto first = s.find_first_not_of(' ');
    return first == std::string_view::npos ? std::string_view{} : s.substr(first);
}

std::string rightAligned3(int n) {
    std::string s = std::to_string(n);
    return s.size() < 3 ? std::string(3 - s.size(), ' ') + s : s;
}

} // namespace

ReportComposer::ReportComposer(const Inventory& inventory, const ClientScores& scores,
                               const ClientRecord& record, int clientNumber)
    : m_inventory(inventory), m_scores(scores), m_record(record.printable()),
      m_clientNumber(clientNumber), m_p(m_out) {}

std::string ReportComposer::compose(ReportOption option) {
    m_out.clear();
    m_out.reserve(12000);
    m_p.restart();
    switch (option) {
    case ReportOption::Standard:
        standardReport();
        break;
    case ReportOption::OnePage:
        summaryPage(false);
        break;
    case ReportOption::Both:
        standardReport();
        summaryPage(true);
        break;
    default:
        throw OrvjError(ErrorCode::SubscriptOutOfRange,
                        "report option " + std::to_string(static_cast<int>(option)) +
                            " is not 0 (standard), 1 (one-page) or 2 (both)");
    }
    return std::move(m_out);
}

void ReportComposer::newPage() {
    ++m_page;
    m_p.text("\f");
    m_p.endLine();
    m_p.spaces(7).text("NAME: ").text(m_record.field(Field::Name)).column(41).text("-");
    const std::string page = std::to_string(m_page);
    m_p.text(std::string_view(page).substr(page.size() - 1)).text("-");
    m_p.column(60).text("ORV-Juvenile Report");
    m_p.endLine();
    m_p.endLine();
    m_p.setLines(2);
}

void ReportComposer::room(int lines) {
    if (m_p.lines() + lines > kPageLines) {
        newPage();
    }
}

void ReportComposer::rowRoom(int lines) {
    if (m_p.lines() >= kPageLines || m_p.lines() + lines > kPageLines) {
        newPage();
    }
}

void ReportComposer::emptyLine() {
    m_p.endLine();
}

void ReportComposer::closingEmptyLine() {
    if (m_p.lines() < kPageLines) {
        emptyLine();
    }
}

void ReportComposer::printLines(const std::vector<std::string>& lines, int indent) {
    for (const std::string& line : lines) {
        if (m_p.lines() >= kPageLines) {
            newPage();
        }
        m_p.spaces(indent).text(line);
        m_p.endLine();
    }
}

void ReportComposer::standardReport() {
    m_page = 1;
    m_p.setLines(1);
    headerBlock(true);
    m_p.spaces(7).text("Orvell-Juvenile results  are confidential  and");
    m_p.endLine();
    m_p.spaces(7).text("should be considered working hypotheses. No diagnosis or decision should");
    m_p.endLine();
    m_p.spaces(7).text("be based solely upon these results.  Use  only  with  experienced  staff");
    m_p.endLine();
    m_p.spaces(7).text("judgment.");
    m_p.endLine();
    emptyLine();
    profileChart();

    if (m_scores.invalid()) {
        recommendations();
        responsesListing();
        footer();
        newPage();
        truthfulnessExplanation();
        return;
    }

    summaryParagraphs();
    room(6);
    significantItems();
    room(4);
    treatmentNeeds(true);
    closingEmptyLine();
    room(8);
    recommendations();
    room(6);
    responsesListing();
    footer();
}

void ReportComposer::summaryPage(bool afterStandardReport) {
    if (afterStandardReport) {
        ++m_page;
        m_p.text("\f");
        m_p.endLine();
    } else {
        m_page = 1;
    }
    m_p.setLines(0);
    headerBlock(false);
    m_p.spaces(7).text("Orvell results are confidential and should be");
    m_p.endLine();
    m_p.spaces(7).text("considered working hypotheses. No diagnosis or decision should be based");
    m_p.endLine();
    m_p.spaces(7).text("solely upon these results. Use only with experienced staff judgment.");
    m_p.endLine();
    emptyLine();
    profileChart();
    recommendations();
    treatmentNeeds(false);
    footer();
}

void ReportComposer::headerBlock(bool fullReport) {
    emptyLine();
    m_p.spaces(21).text("Orvell--Juvenile");
    m_p.endLine();
    m_p.spaces(21).text("******************************************");
    m_p.endLine();
    m_p.spaces(21).text(fullReport ? "           CONFIDENTIAL REPORT"
                                   : "        OPTIONAL ONE-PAGE SUMMARY");
    m_p.endLine();
    emptyLine();
    m_p.spaces(7).text("NAME        : ").text(trimLeft(m_record.field(Field::Name)));
    m_p.endLine();
    m_p.spaces(7).text("ID#         : ").text(m_record.field(Field::SSN));
    m_p.endLine();
    m_p.spaces(7).text("AGE: ").text(m_record.field(Field::Age));
    m_p.column(16).text("SEX : ").text(DemographicLabels::sex(labelCode(m_record, Field::Gender)));
    m_p.endLine();
    m_p.spaces(7)
        .text("ETHNICITY   : ")
        .text(DemographicLabels::race(labelCode(m_record, Field::Race)));
    m_p.endLine();
    m_p.spaces(7)
        .text("EDUCATION   : ")
        .text(DemographicLabels::education(labelCode(m_record, Field::Education)));
    m_p.endLine();
    m_p.column(8).text("DATE        : ").text(m_record.field(Field::TestDate));
    m_p.endLine();
    emptyLine();
}

void ReportComposer::profileChart() {
    m_p.spaces(7)
        .text("MEASURES")
        .spaces(11)
        .text(" %ile")
        .spaces(6)
        .text("            ORV-JUVENILE PROFILE");
    m_p.endLine();
    m_p.spaces(7).text("--------").spaces(11).text(" ----").spaces(6).text(kChartRule);
    m_p.endLine();
    m_p.spaces(37).text("-   LOW RISK    -  MEDIUM   -PROBLEM-MAX-");
    m_p.endLine();
    m_p.spaces(37).text(kChartEmptyRow);
    m_p.endLine();

    const bool inaccurate = m_scores.pct(Scales::Truthfulness) >= 90;
    bool notScored = false;
    for (int n = 1; n <= Scales::kCount; ++n) {
        const int p = m_scores.pct(n);
        m_p.spaces(7).text(Scales::name(n)).column(p < 10 ? 29 : 28);
        if (m_scores.notScorable(n)) {
            m_p.text(" **").column(38).text("Scale not scored, insufficient answers");
            notScored = true;
        } else {
            m_p.number(p);
            if (inaccurate) {
                m_p.text("*");
            }
            // One bar character per 2.5 percentile points over the chart's scale marks.
            const int b = (p * 10) / 25;
            m_p.column(38).text(std::string(ix(b + 1), '*'));
            m_p.text(kChartScale.substr(kChartScale.size() - ix(40 - b)));
        }
        m_p.endLine();
        m_p.spaces(37).text(n < Scales::kCount ? kChartEmptyRow : kChartRule);
        m_p.endLine();
    }

    if (notScored) {
        m_p.spaces(7).text("** Too many omitted items");
    } else if (inaccurate) {
        m_p.spaces(7).text("* These test results");
    }
    m_p.column(38).text("0").spaces(15).text("40").spaces(10).text("70").spaces(6).text("90 100");
    m_p.endLine();
    if (notScored) {
        m_p.spaces(7).text("   to score this scale");
    } else if (inaccurate) {
        m_p.spaces(7).text("  are inaccurate");
    }
    m_p.column(38).text("----------- PERCENTILE SCORES -----------");
    m_p.endLine();
    emptyLine();
}

void ReportComposer::summaryParagraphs() {
    m_p.spaces(7).text(" * * SUMMARY PARAGRAPHS EXPLAINING CLIENT'S ATTAINED SCALE SCORES * *");
    m_p.endLine();
    m_p.spaces(7).text("     ------------------------------------------------------------");
    m_p.endLine();
    emptyLine();

    for (int n = 1; n <= Scales::kCount; ++n) {
        bool paragraphWritten = false;
        if (m_scores.notScorable(n)) {
            room(5);
            m_p.spaces(7).text(Scales::name(n));
            m_p.endLine();
            emptyLine();
            m_p.spaces(8).text(
                "This scale is inaccurate and  not  scorable  because  the  respondent");
            m_p.endLine();
            m_p.spaces(8).text("omitted or skipped an excessive number of items.");
            m_p.endLine();
            emptyLine();
        } else if (m_scores.raw(Scales::Truthfulness) == 99 && n == Scales::Truthfulness) {
            room(4);
            emptyLine();
            m_p.spaces(8).text(
                "The Truthfulness Scale is inaccurate because there were an  excessive");
            m_p.endLine();
            m_p.spaces(8).text("number of True responses in Section 1.");
            m_p.endLine();
            emptyLine();
            paragraphWritten = true;
        } else {
            const int p = m_scores.pct(n);
            // The decimal text carries a sign position, so a one-digit percentile keeps its
            // column: "RISK PERCENTILE: 5".
            const std::string digits = " " + std::to_string(p);
            m_p.spaces(7).text(Scales::name(n)).text(" SCALE: ").text(Scales::riskName(p));
            m_p.text(" RISK RANGE").column(61).text("RISK PERCENTILE:");
            m_p.text(std::string_view(digits).substr(digits.size() - 2));
            m_p.endLine();
            printLines(ParagraphFile::section(m_inventory.texts.paragraphFiles[ix(n)],
                                              Scales::paragraphKey(p)),
                       8);
            paragraphWritten = true;
        }
        if (paragraphWritten) {
            room(2);
            if (m_p.lines() > 2 && m_p.lines() < kPageLines) {
                emptyLine();
            }
        }
        room(3);
    }
}

void ReportComposer::significantItems() {
    m_p.spaces(7).text("SIGNIFICANT ITEMS:  The following self-report responses represent areas");
    m_p.endLine();
    m_p.spaces(7).text("that may help in understanding the inmate's situation.");
    m_p.endLine();
    emptyLine();

    const auto& table = m_inventory.scoring.significantItems;
    const auto& statements = m_inventory.texts.statements;
    std::vector<std::string> lists[std::size(kGroups)];
    int first = 1;
    for (std::size_t g = 0; g < std::size(kGroups); ++g) {
        const int end = first + kGroups[g].entries;
        for (int k = first; k < end;) {
            const int item = table[ix(k)];
            int run = 1;
            while (k + run < end && table[ix(k + run)] == item) {
                ++run;
            }
            // A run of entries for one item belongs to the item's highest response codes,
            // in order; a single entry stands for every code.
            const int code = m_scores.code(item);
            const int firstCode = InventoryLayout::optionCount(item) - run + 1;
            const int minimum = InRange(item, 121, 131) ? 1 : 2;
            for (int j = 0; j < run; ++j) {
                const bool considered = run == 1 || code == firstCode + j;
                if (considered && m_scores.points(item) >= minimum) {
                    lists[g].push_back(statements[ix(k + j)]);
                }
            }
            k += run;
        }
        first = end;
        if (lists[g].empty()) {
            if (m_scores.pct(kGroups[g].scale) >= 70) {
                lists[g].emplace_back("*** Many negative answers");
            } else {
                lists[g].emplace_back("Lack of items may be deceptive.");
                lists[g].emplace_back("Review validity and other scales.");
            }
        }
    }

    for (std::size_t g = 0; g < std::size(kGroups); g += 2) {
        const std::string_view left = kGroups[g].name;
        const std::string_view right = kGroups[g + 1].name;
        room(3);
        m_p.spaces(7).text(left).column(44).text(right);
        m_p.endLine();
        m_p.spaces(7)
            .text(std::string(left.size(), '-'))
            .column(44)
            .text(std::string(right.size(), '-'));
        m_p.endLine();
        const std::size_t rows = std::max(lists[g].size(), lists[g + 1].size());
        for (std::size_t row = 0; row < rows; ++row) {
            // A statement that reaches past the right column takes a second line.
            if (row < lists[g].size() && row < lists[g + 1].size()) {
                rowRoom(LinePrinter::linesOf(8, lists[g][row], 44));
            }
            if (row < lists[g].size()) {
                m_p.spaces(7).text(lists[g][row]);
            }
            if (row < lists[g + 1].size()) {
                m_p.column(44).text(lists[g + 1][row]);
            }
            m_p.endLine();
            // The page ends with the row that fills it, so that the next pair's heading
            // never lands below the foot of the page.
            if (m_p.lines() >= kPageLines) {
                newPage();
            }
        }
        if (m_p.lines() >= 3 && m_p.lines() < kPageLines) {
            emptyLine();
        }
    }
}

void ReportComposer::treatmentNeeds(bool fullReport) {
    std::vector<std::string_view> needs;
    for (int item = InventoryLayout::SectionEnd[3] + 1; item <= InventoryLayout::SectionEnd[4];
         ++item) {
        if (m_scores.code(item) == 1) {
            std::string_view line = m_inventory.texts.questionLine(item);
            needs.push_back(line.size() > 5 ? line.substr(5) : std::string_view{});
        }
    }
    m_p.spaces(7).text("TREATMENT NEEDS: The identified items listed below reflect the  youth's");
    m_p.endLine();
    m_p.spaces(7).text("self-reported opinions about perceived treatment needs.");
    m_p.endLine();
    if (m_p.lines() < kPageLines) {
        emptyLine();
    }
    if (needs.empty()) {
        m_p.spaces(7).text("No Treatment Needs Identified");
        m_p.endLine();
    } else {
        const std::size_t m = needs.size();
        const std::size_t r = (m + 1) / 2;
        for (std::size_t j = 1; j <= r; ++j) {
            rowRoom(2 * j <= m ? LinePrinter::linesOf(8, needs[j - 1], 47) : 1);
            m_p.spaces(7).text(needs[j - 1]);
            if (2 * j <= m) {
                m_p.column(47).text(needs[j + r - 1]);
            }
            m_p.endLine();
        }
    }
    closingEmptyLine();
    if (!fullReport) {
        return;
    }

    std::vector<std::string> stressors;
    for (int k = 1; k <= 12; ++k) {
        const int item = InventoryLayout::SectionEnd[4] + k;
        const int code = m_scores.code(item);
        if (code == 0) {
            const std::string number = std::to_string(item);
            stressors.push_back(number.substr(number.size() > 3 ? number.size() - 3 : 0) +
                                ". No response given");
        } else {
            stressors.push_back(m_inventory.texts.stressorStatements[ix(4 * (k - 1) + code)]);
        }
    }
    room(8);
    m_p.spaces(7).text("SOCIAL STRESSORS (STRUCTURED INTERVIEW)");
    m_p.endLine();
    m_p.spaces(7).text("---------------------------------------");
    m_p.endLine();
    for (std::size_t j = 0; j < 6; ++j) {
        rowRoom(LinePrinter::linesOf(8, stressors[j], 44));
        m_p.spaces(7).text(stressors[j]).column(44).text(stressors[j + 6]);
        m_p.endLine();
    }
    // This empty line is not counted: the page model of the offices' reports leaves it out,
    // and the printed sheet has room for the extra line.
    if (m_p.lines() >= 3 && m_p.lines() < kPageLines) {
        m_p.endUncountedLine();
    }
}

void ReportComposer::recommendations() {
    const std::string rule(71, '_');
    m_p.spaces(7).text("RECOMMENDATIONS:").text(std::string(55, '_'));
    m_p.endLine();
    for (int i = 0; i < 2; ++i) {
        emptyLine();
        m_p.spaces(7).text(rule);
        m_p.endLine();
    }
    emptyLine();
    m_p.spaces(7).text("______________________        ______________");
    m_p.endLine();
    m_p.spaces(7).text("STAFF MEMBER SIGNATURE             DATE").column(66).text("(TEST #");
    m_p.number(m_clientNumber).text(")");
    m_p.endLine();
    closingEmptyLine();
}

void ReportComposer::responsesListing() {
    m_p.spaces(31).text("ORV-JUVENILE RESPONSES");
    m_p.endLine();
    m_p.spaces(31).text("----------------------");
    m_p.endLine();
    const int rows[3][2] = {{1, 50}, {51, 100}, {101, InventoryLayout::kItemCount}};
    for (const auto& row : rows) {
        m_p.spaces(9).text(rightAligned3(row[0])).text("-").text(rightAligned3(row[1])).text("   ");
        for (int item = row[0]; item <= row[1]; ++item) {
            const int code = m_scores.code(item);
            char mark = static_cast<char>('0' + code % 10);
            if (item <= InventoryLayout::SectionEnd[1]) {
                mark = code == 1 ? 'T' : code == 2 ? 'F' : '0';
            } else if (InRange(item, InventoryLayout::SectionEnd[3] + 1,
                               InventoryLayout::SectionEnd[4])) {
                mark = code == 1 ? 'Y' : code == 2 ? 'N' : '0';
            }
            m_p.text(std::string_view(&mark, 1));
            if ((item - row[0] + 1) % 10 == 0) {
                m_p.text("  ");
            }
        }
        m_p.endLine();
    }
    if (m_p.lines() < kPageLines) {
        emptyLine();
    }
}

void ReportComposer::footer() {
    while (m_p.lines() < kPageLines - 1) {
        emptyLine();
    }
    if (m_p.lines() < kPageLines) {
        m_p.column(8).text(m_inventory.texts.publisher);
        m_p.endLine();
    }
}

void ReportComposer::truthfulnessExplanation() {
    emptyLine();
    m_p.column(30).text("TRUTHFULNESS EXPLANATION");
    m_p.endLine();
    emptyLine();
    printLines(ParagraphFile::untilEnd(m_inventory.texts.invalidExplanation), 7);
}

} // namespace orvj
