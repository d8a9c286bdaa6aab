#include "scoring/ScaleScorer.h"
#include "scoring/Scales.h"
#include "tests/scoring/InventoryFixture.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

using namespace orvj;
using namespace orvj::testing;
using ::testing::HasSubstr;

namespace {

// The fixture's tables: True earns 2 points in section 1; section 3 codes 2, 3, 4 earn 1, 2,
// 3; TRUTHFULNESS holds items 1-5, ANXIETY 6-10, DEPRESSION 11-15, ALCOHOL 16-20, DRUGS
// 21-25, DISTRESS 26-30, FAMILY ISSUES 31-35; raw score n converts to 5n.
class ScaleScorerTest : public ::testing::Test {
protected:
    ScoringTables t = InventoryFixture::defaultTables();
    std::string r = neutralResponses();

    ClientScores score(char sex = '1', char race = '1') {
        return ScaleScorer(t).score(makeClient("Test", r, sex, race), 1);
    }
    // Percentiles from raw scores set by hand: no caps, nothing omitted.
    ClientScores percentilesFor(std::initializer_list<std::pair<int, int>> raw) {
        ClientScores s;
        s.endorsedCount.fill(9);
        for (auto [scale, value] : raw) {
            s.rawScore[ix(scale)] = value;
        }
        ScaleScorer(t).computePercentiles(s);
        return s;
    }
};

TEST_F(ScaleScorerTest, KeyedScalesSumTheKeyAndFixedItemsAdjust) {
    setAnswers(r, {6, 7}, 1);
    setAnswers(r, {8}, 0);
    setAnswers(r, {137}, 1);
    setAnswers(r, {120}, 4);
    setAnswers(r, {112}, 3);
    ClientScores s = score();
    EXPECT_EQ(s.raw(Scales::Anxiety), 4);
    EXPECT_EQ(s.pct(Scales::Depression), 0) << "raw 0 converts to 0";
    EXPECT_EQ(s.raw(Scales::Drugs), -2);
    EXPECT_EQ(s.pct(Scales::Drugs), 0) << "a negative raw score converts to 0";
    EXPECT_EQ(s.raw(Scales::FamilyIssues), 2);
    setAnswers(r, {137}, 2);
    EXPECT_EQ(score().raw(Scales::Alcohol), -2);
}

TEST_F(ScaleScorerTest, FortyEightTrueAnswersInSectionOneInvalidateTheTest) {
    r.replace(0, 47, std::string(47, '1'));
    EXPECT_EQ(score().pct(Scales::Truthfulness), 50);
    setAnswers(r, {48}, 1);
    const ClientScores s = score();
    EXPECT_EQ(s.raw(Scales::Truthfulness), 99);
    for (int n = 1; n <= Scales::kCount; ++n) {
        EXPECT_EQ(s.pct(n), 99) << Scales::name(n);
    }
}

TEST_F(ScaleScorerTest, StressCopingIsTheRatioOfTwoSectionThreeSums) {
    setAnswers(r, {76}, 4); // numerator: A = 20 + 3
    setAnswers(r, {78}, 3); // denominator: B = 20 + 2
    EXPECT_EQ(score().raw(Scales::StressCoping), (23 * 60) / 22);
    setAnswers(
        r, {78, 80, 82, 83, 84, 86, 88, 89, 92, 93, 95, 97, 98, 100, 102, 105, 109, 110, 112, 114},
        0);
    const ClientScores s = score();
    EXPECT_EQ(s.raw(Scales::StressCoping), 0) << "no denominator: raw score 0";
    EXPECT_EQ(s.omitted(Scales::StressCoping), 20);
    EXPECT_TRUE(s.notScorable(Scales::StressCoping));
}

TEST_F(ScaleScorerTest, SelfEsteemWeighsEveryCodeAndMayBeNegative) {
    r.replace(50, 25, std::string(25, '0'));
    EXPECT_EQ(score().raw(Scales::SelfEsteem), -25);
    EXPECT_EQ(score().pct(Scales::SelfEsteem), 6) << "bounds -30, -27, -24: interval 2";
    r.replace(50, 25, std::string(25, '1'));
    EXPECT_EQ(score().raw(Scales::SelfEsteem), 14 * 2 - 11 * 3);
    // An interval holds its upper bound, not its lower one.
    EXPECT_EQ(percentilesFor({{Scales::SelfEsteem, -27}}).pct(Scales::SelfEsteem), 3);
}

TEST_F(ScaleScorerTest, FourOmittedItemsGive99AndFiveAreNotScorable) {
    setAnswers(r, {6, 7, 8}, 0);
    EXPECT_EQ(score().pct(Scales::Anxiety), 0);
    setAnswers(r, {9}, 0);
    EXPECT_EQ(score().pct(Scales::Anxiety), 99);
    EXPECT_FALSE(score().notScorable(Scales::Anxiety));
    setAnswers(r, {10}, 1); // one endorsed item caps the 99
    EXPECT_EQ(score().pct(Scales::Anxiety), 28);
    setAnswers(r, {10}, 0);
    EXPECT_TRUE(score().notScorable(Scales::Anxiety));
}

TEST_F(ScaleScorerTest, SparseEndorsementCapsUnlessAKeyItemFloorRaisesAgain) {
    setPercentile(t, Scales::FamilyIssues, 2, 50);
    setAnswers(r, {31}, 1);
    EXPECT_EQ(score().pct(Scales::FamilyIssues), 28);
    // Two key items of FAMILY ISSUES scored on DEPRESSION, 3 points each: the floor for two
    // raises the capped 28 to 35.
    auto& depression = t.scaleItems[Scales::Depression];
    depression[0] = 7;
    depression[6] = t.keyItems[66] = 90;
    depression[7] = t.keyItems[67] = 91;
    setAnswers(r, {90, 91}, 4);
    EXPECT_EQ(score().pct(Scales::FamilyIssues), 35);
    setPercentile(t, Scales::FamilyIssues, 4, 50);
    setAnswers(r, {32}, 1);
    EXPECT_EQ(score().pct(Scales::FamilyIssues), 38) << "two endorsed items cap at 38";
    t.maxRaw[Scales::FamilyIssues][1][1] = 3;
    EXPECT_EQ(score().pct(Scales::FamilyIssues), 38) << "above the table: 99, capped";
}

TEST_F(ScaleScorerTest, TruthfulnessBandsCorrectTheOtherScalesOr95Invalidates) {
    for (int band = 1; band <= 9; ++band) {
        for (int scale = 2; scale <= 9; ++scale) {
            t.truthAdjust[ix(scale)][ix(band)] = i16(band);
        }
    }
    setAnswers(r, {1, 6, 7}, 1); // TRUTHFULNESS raw 2; ANXIETY two items, raw 4
    setAnswers(r, {11}, 1);      // DEPRESSION: one item, never corrected
    const std::pair<int, int> bands[] = {{9, 0},  {10, 1}, {49, 4}, {55, 5},
                                         {56, 6}, {89, 8}, {94, 9}};
    for (auto [truth, band] : bands) {
        setPercentile(t, Scales::Truthfulness, 2, truth);
        const ClientScores s = score();
        EXPECT_EQ(s.raw(Scales::Anxiety), 4 + band) << "Truthfulness " << truth;
        EXPECT_EQ(s.pct(Scales::Anxiety), std::min(38, (4 + band) * 5)) << "Truthfulness " << truth;
        EXPECT_EQ(s.raw(Scales::Depression), 2) << "Truthfulness " << truth;
    }
    setPercentile(t, Scales::Truthfulness, 2, 95);
    const ClientScores s = score();
    for (int scale = 2; scale <= 9; ++scale) {
        EXPECT_EQ(s.pct(scale), 99) << Scales::name(scale);
    }
    EXPECT_EQ(s.raw(Scales::Depression), 11) << "band 9 corrects whatever the endorsement";
}

TEST_F(ScaleScorerTest, CrossScaleStepLinksAnxietyDepressionAndDistress) {
    // Raw scores of ANXIETY, DEPRESSION and DISTRESS, then their percentiles after the step.
    const std::array<int, 6> cases[] = {
        {0, 0, 17, 68, 63, 85}, // Distress 85 raises the other two
        {15, 0, 0, 75, 0, 61},  // Anxiety 75 raises Distress to 61, which raises nothing
        {0, 19, 0, 68, 95, 70}, // Depression 95 raises Distress to 70, which raises Anxiety
        {16, 0, 19, 80, 70, 95}};
    for (const auto& c : cases) {
        const ClientScores s = percentilesFor(
            {{Scales::Anxiety, c[0]}, {Scales::Depression, c[1]}, {Scales::Distress, c[2]}});
        EXPECT_EQ(std::vector<int>(
                      {s.pct(Scales::Anxiety), s.pct(Scales::Depression), s.pct(Scales::Distress)}),
                  std::vector<int>({c[3], c[4], c[5]}));
    }
}

TEST_F(ScaleScorerTest, NormGroupsFollowSexAndRaceCodes) {
    setAnswers(r, {6, 7}, 1); // raw 4: 20 and the norm group's offset 0 to 5
    EXPECT_EQ(score('2', '3').pct(Scales::Anxiety), 25);
    for (char sex : {'0', ' '}) {
        EXPECT_EQ(score(sex, '2').pct(Scales::Anxiety), 22) << "sex code '" << sex << "'";
    }
    for (char race : {'0', ' ', '4', '5', '6'}) {
        EXPECT_EQ(score('2', race).pct(Scales::Anxiety), 21) << "race code '" << race << "'";
    }
}

TEST_F(ScaleScorerTest, UnscorableRecordsAreRefusedWithTheRecordNamed) {
    EXPECT_THAT(errorOf([&] { ScaleScorer(t).score(makeClient("T", r, '3'), 7); }),
                HasSubstr("client record 7: the sex code is \"3\""));
    r[40] = 'x';
    EXPECT_THAT(errorOf([&] { ScaleScorer(t).score(makeClient("T", r), 7); }),
                HasSubstr("the answer to item 41 is \"x\""));
}

} // namespace
