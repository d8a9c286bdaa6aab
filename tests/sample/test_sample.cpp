// The committed sample content must fit the layout the program reads. (What the sample clients'
// reports say is held line by line by tests/scoring/test_golden_reports.cpp.)
#include "core/TestLayout.h"
#include "sample/tool/QuestionSource.h"
#include "scoring/InventoryLoader.h"

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

} // namespace
