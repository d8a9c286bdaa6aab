// The committed sample content must fit the layout the program reads, and each sample client
// is there to show one kind of report: score and compose them with the program's own code over
// the sample program folder and check that each still does.
#include "core/TestLayout.h"
#include "sample/tool/ClientSource.h"
#include "sample/tool/QuestionSource.h"
#include "scoring/InventoryLoader.h"
#include "scoring/ReportWriter.h"
#include "scoring/ScaleScorer.h"

#include <gtest/gtest.h>

using namespace orvj;
namespace TL = orvj::TestLayout;
namespace fs = std::filesystem;

namespace {

const fs::path kHome = ORVJ_SAMPLE_HOME;

mkdata::QuestionSource english() {
    return mkdata::readQuestionSource(fs::path(ORVJ_SOURCE_DIR) / "sample/questions/english.tsv",
                                      true);
}

TEST(SampleContent, QuestionSourceFollowsTheSectionFormats) {
    // True/False, opposite terms, frequency, Yes/No and numbered statements.
    const TL::AnswerFormat expected[] = {
        TL::AnswerFormat::TrueFalse, TL::AnswerFormat::OppositeTerms, TL::AnswerFormat::Frequency,
        TL::AnswerFormat::YesNo, TL::AnswerFormat::Numbered};
    for (const mkdata::QuestionRow& row : english().rows) {
        const int s = TL::sectionOf(row.id);
        EXPECT_EQ(TL::formatOf(*row.answers[1]), expected[s - 1]) << "item " << row.id;
        EXPECT_EQ(row.optionCount(), TL::optionCount(row.id)) << "item " << row.id;
    }
}

// The question lines of the report are those of the sample's question source; the report
// texts hold all their lines.
TEST(SampleContent, InventoryTextsMatchTheQuestionSource) {
    const Inventory inv = loadInventory(kHome);
    EXPECT_EQ(mkdata::splitLines(mkdata::readFile(kHome / "ORVJRPT.TXT")).size(), 137u);
    const auto en = english();
    for (int item = 121; item <= 131; ++item) {
        EXPECT_EQ(inv.texts.questionLine(item),
                  std::to_string(item) + ". " +
                      en.rows[static_cast<std::size_t>(item - 1)].question);
    }
}

TEST(SampleClients, EachShowsTheCaseItIsThereFor) {
    ClientTable clients;
    for (const auto& r :
         mkdata::readClientSource(fs::path(ORVJ_SOURCE_DIR) / "sample/clients.txt")) {
        clients.at(++clients.clientCount) = r;
    }
    ASSERT_GE(clients.clientCount, 5);
    const Inventory inv = loadInventory(kHome);
    ClientScores s[6];
    std::string report[6];
    for (int n = 1; n <= 5; ++n) {
        EXPECT_EQ(clients.at(n).trimmed(ClientRecord::Field::SSN), "S-100" + std::to_string(n));
        s[n] = ScaleScorer(inv.scoring).score(clients.at(n), n);
        report[n] = ReportWriter(kHome).composeText(clients, n, ReportOption::Both);
    }
    int notScorable = 0;
    for (int scale = 1; scale <= 9; ++scale) {
        EXPECT_LT(s[1].pct(scale), 40) << "client 1 is low risk on every scale";
        notScorable += s[5].notScorable(scale);
    }
    EXPECT_GT(std::count(report[2].begin(), report[2].end(), '\f'), 2) << "a long report";
    EXPECT_EQ(report[2].find("Lack of items may be deceptive."), std::string::npos);
    EXPECT_TRUE(InRange(s[3].pct(1), 90, 94));
    EXPECT_NE(report[3].find("* These test results"), std::string::npos);
    EXPECT_TRUE(s[4].invalid());
    EXPECT_NE(report[4].find("TRUTHFULNESS EXPLANATION"), std::string::npos);
    EXPECT_EQ(notScorable, 1);
    EXPECT_NE(report[5].find("Scale not scored, insufficient answers"), std::string::npos);
}

} // namespace
