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

} // namespace
