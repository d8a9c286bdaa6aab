// The committed sample content must fit the layout the program reads.
#include "core/TestLayout.h"
#include "sample/tool/QuestionSource.h"
#include "scoring/FieldReader.h"
#include "scoring/InventoryLoader.h"
#include "scoring/Scales.h"

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

TEST(SampleContent, InventoryLoadsWithNothingLeftOver) {
    const Inventory inv = loadInventory(kHome);
    // The fields the loader reads, counted from what it holds.
    int fields = 89 + 16 + 50 + 6 * 49 + 27 + 6 * 26 + 72 + 72;
    for (int scale : Scales::kKeyed) {
        const auto& maxRaw = inv.scoring.maxRaw[static_cast<std::size_t>(scale)];
        fields += 1 + inv.scoring.scaleItems[static_cast<std::size_t>(scale)][0] + 6;
        for (std::size_t race = 1; race <= 3; ++race) {
            fields += maxRaw[race][1] + maxRaw[race][2];
        }
    }
    FieldReader table(kHome / "ORVJB.TXT", mkdata::readFile(kHome / "ORVJB.TXT"));
    auto what = [] { return std::string("a field"); };
    for (int k = 0; k < fields; ++k) {
        table.text(what);
    }
    EXPECT_THROW(table.text(what), OrvjError) << "fields after the last table";

    EXPECT_EQ(mkdata::splitLines(mkdata::readFile(kHome / "ORVJRPT.TXT")).size(), 137u);
    const auto en = english();
    for (int item = 121; item <= 131; ++item) {
        EXPECT_EQ(inv.texts.questionLine(item),
                  std::to_string(item) + ". " +
                      en.rows[static_cast<std::size_t>(item - 1)].question);
    }
}

} // namespace
