#include "scoring/ReportWriter.h"
#include "scoring/Scales.h"
#include "tests/scoring/InventoryFixture.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

using namespace orvj;
using namespace orvj::testing;
using ::testing::HasSubstr;

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

// Where the pages break is fixed by the golden reports; those never reach a tenth page.
TEST_F(ReportComposerTest, PageHeadersShowTheLastDigitOfThePageNumber) {
    std::string text = "LOW\r\n"; // every scale is LOW
    for (int i = 1; i <= 70; ++i) {
        text += "Long line " + std::to_string(i) + "\r\n";
    }
    for (int s = 1; s <= 9; ++s) {
        fx.files[Scales::paragraphFile(s)] = text + "END\r\n";
    }
    const auto l = reportLines(compose());
    std::vector<std::string> headers; // of pages 2, 3, ...
    for (std::size_t i = 0; i + 1 < l.size(); ++i) {
        if (l[i] == "\f") {
            headers.push_back(l[i + 1]);
        }
    }
    ASSERT_GE(headers.size(), 11u);
    EXPECT_EQ(headers[10],
              at(at("       NAME: Doe, Jane", 41) + "-2-", 60) + "ORV-Juvenile Report");
    EXPECT_EQ(headers[8].substr(40, 3), "-0-");
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
// report composition checks the layout on any record).
TEST_F(ReportComposerTest, ControlCharactersInNameAndIdPrintAsSpaces) {
    const struct {
        const char* what;
        std::string name;
        std::string id;
        std::string nameShown; // the name as the header block shows it, trimmed at the left
        std::string idShown;
    } cases[] = {
        {"CR LF in the name", "Doe,\r\nJane", "123", "Doe,  Jane", "123"},
        {"bare LF and CR", "\nDoe\rJane", "12\n34", "Doe Jane", "12 34"},
        {"tab, form feed, NUL and DEL", "Doe\tJ\fa\x7Fne",
         std::string("4\0"
                     "5",
                     3),
         "Doe J a ne", "4 5"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        name = c.name;
        id = c.id;
        const std::string report = compose(ReportOption::Both);
        EXPECT_THAT(report, HasSubstr("       NAME        : " + c.nameShown));
        EXPECT_THAT(report, HasSubstr("       ID#         : " + c.idShown));
    }
}

} // namespace
