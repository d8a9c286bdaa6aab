#include "scoring/ScaleScorer.h"
#include "scoring/Scales.h"
#include "store/OrvjError.h"
#include "tests/scoring/InventoryFixture.h"

#include <gtest/gtest.h>

using namespace orvj;
using namespace orvj::testing;

namespace {

constexpr std::size_t ix(int i) {
    return static_cast<std::size_t>(i);
}

class ScaleScorerTest : public ::testing::Test {
protected:
    ScoringTables t = InventoryFixture::defaultTables();

    ClientScores score(const std::string& responses, char sex = '1', char race = '1') {
        return ScaleScorer(t).score(makeClient("Test", responses, sex, race), 1);
    }

    // Percentiles from scores set by hand: no caps (three items endorsed), nothing omitted.
    ClientScores percentilesFor(const std::array<int, 10>& raw) {
        ClientScores s;
        s.rawScore = raw;
        s.endorsedCount.fill(3);
        s.endorsedCount[Scales::StressCoping] = 9;
        s.endorsedCount[Scales::SelfEsteem] = 9;
        ScaleScorer(t).computePercentiles(s);
        return s;
    }

    void setPercentile(int scale, int raw, int percentile) {
        for (int race = 1; race <= 3; ++race) {
            for (int sex = 1; sex <= 2; ++sex) {
                t.percentileTable[ix(scale)][ix(raw)][ix(race)][ix(sex)] =
                    static_cast<std::int16_t>(percentile);
            }
        }
    }
};

TEST_F(ScaleScorerTest, KeyedScalesSumTheKeyOverTheirItemsAndCountOmissions) {
    std::string r = neutralResponses();
    setAnswer(r, 6, 1); // ANXIETY items are 6..10; True earns 2 points
    setAnswer(r, 7, 1);
    setAnswer(r, 8, 0);
    const ClientScores s = score(r);
    EXPECT_EQ(s.raw(Scales::Anxiety), 4);
    EXPECT_EQ(s.endorsedCount[Scales::Anxiety], 2);
    EXPECT_EQ(s.omitted(Scales::Anxiety), 1);
    EXPECT_EQ(s.points(6), 2);
    EXPECT_EQ(s.points(8), 0);
    EXPECT_EQ(s.raw(Scales::Depression), 0);
}

TEST_F(ScaleScorerTest, FortyEightTrueAnswersInSectionOneInvalidateTheTest) {
    std::string r = neutralResponses();
    for (int i = 1; i <= 47; ++i) {
        setAnswer(r, i, 1);
    }
    ClientScores s = score(r);
    EXPECT_EQ(s.raw(Scales::Truthfulness), 10);
    EXPECT_FALSE(s.invalid());

    setAnswer(r, 48, 1);
    s = score(r);
    EXPECT_EQ(s.raw(Scales::Truthfulness), 99);
    EXPECT_TRUE(s.invalid());
    for (int n = 1; n <= Scales::kCount; ++n) {
        EXPECT_EQ(s.pct(n), 99) << Scales::name(n);
    }
}

TEST_F(ScaleScorerTest, FixedItemAdjustmentsMoveDrugsAlcoholAndFamily) {
    std::string r = neutralResponses();
    setAnswer(r, 137, 1);
    EXPECT_EQ(score(r).raw(Scales::Drugs), -2);
    EXPECT_EQ(score(r).pct(Scales::Drugs), 0) << "a negative raw score converts to 0";
    setAnswer(r, 137, 2);
    EXPECT_EQ(score(r).raw(Scales::Alcohol), -2);
    EXPECT_EQ(score(r).raw(Scales::Drugs), 0);
    setAnswer(r, 120, 4);
    setAnswer(r, 112, 3);
    EXPECT_EQ(score(r).raw(Scales::FamilyIssues), 2);
    setAnswer(r, 112, 2);
    EXPECT_EQ(score(r).raw(Scales::FamilyIssues), 1);
}

TEST_F(ScaleScorerTest, StressCopingIsTheRatioOfTwoSectionThreeSums) {
    std::string r = neutralResponses(); // section 3 all 1: A = 20, B = 20
    EXPECT_EQ(score(r).raw(Scales::StressCoping), 60);
    setAnswer(r, 76, 4); // numerator item: A = 23
    setAnswer(r, 78, 3); // denominator item: B = 22
    EXPECT_EQ(score(r).raw(Scales::StressCoping), (23 * 60) / 22);
    EXPECT_EQ(score(r).omitted(Scales::StressCoping), 0);

    for (int item :
         {78, 80, 82, 83, 84, 86, 88, 89, 92, 93, 95, 97, 98, 100, 102, 105, 109, 110, 112, 114}) {
        setAnswer(r, item, 0);
    }
    const ClientScores s = score(r);
    EXPECT_EQ(s.raw(Scales::StressCoping), 0) << "no denominator: raw score 0";
    EXPECT_EQ(s.omitted(Scales::StressCoping), 20);
    EXPECT_TRUE(s.notScorable(Scales::StressCoping));
}

TEST_F(ScaleScorerTest, SelfEsteemWeighsEveryCodeAndMayBeNegative) {
    std::string r = neutralResponses();
    for (int item = 51; item <= 75; ++item) {
        setAnswer(r, item, 0);
    }
    ClientScores s = score(r);
    EXPECT_EQ(s.raw(Scales::SelfEsteem), -25);
    EXPECT_EQ(s.omitted(Scales::SelfEsteem), 25);
    // Bounds -30, -27, -24, ...: -25 lies in interval 2.
    EXPECT_EQ(s.pct(Scales::SelfEsteem), 6);

    for (int item = 51; item <= 75; ++item) {
        setAnswer(r, item, 1);
    }
    // 14 items weigh code 1 as 2, 11 items as -3.
    EXPECT_EQ(score(r).raw(Scales::SelfEsteem), 14 * 2 - 11 * 3);
    setAnswer(r, 53, 5);
    EXPECT_EQ(score(r).raw(Scales::SelfEsteem), 14 * 2 - 10 * 3 + 2);
}

TEST_F(ScaleScorerTest, IntervalSearchTakesTheFirstBoundBelowAndTheNextAtOrAbove) {
    std::array<int, 10> raw{};
    raw[Scales::StressCoping] = 5; // bounds 0, 5, 10: 0 < 5 <= 5 is interval 1
    raw[Scales::SelfEsteem] = -27; // bounds -30, -27: interval 1
    ClientScores s = percentilesFor(raw);
    EXPECT_EQ(s.pct(Scales::StressCoping), 2);
    EXPECT_EQ(s.pct(Scales::SelfEsteem), 3);
    raw[Scales::StressCoping] = 6;
    raw[Scales::SelfEsteem] = -26;
    s = percentilesFor(raw);
    EXPECT_EQ(s.pct(Scales::StressCoping), 4);
    EXPECT_EQ(s.pct(Scales::SelfEsteem), 6);
    raw[Scales::StressCoping] = 0; // not above the first bound: no interval
    raw[Scales::SelfEsteem] = 500;
    s = percentilesFor(raw);
    EXPECT_EQ(s.pct(Scales::StressCoping), 0);
    EXPECT_EQ(s.pct(Scales::SelfEsteem), 0);
}

TEST_F(ScaleScorerTest, FourOmittedItemsStopTheConversion) {
    std::string r = neutralResponses();
    for (int item : {6, 7, 8}) {
        setAnswer(r, item, 0);
    }
    EXPECT_EQ(score(r).pct(Scales::Anxiety), 0) << "three omitted: raw 0 converts to 0";
    setAnswer(r, 9, 0);
    ClientScores s = score(r);
    EXPECT_EQ(s.omitted(Scales::Anxiety), 4);
    EXPECT_EQ(s.pct(Scales::Anxiety), 99);
    EXPECT_FALSE(s.notScorable(Scales::Anxiety));
    setAnswer(r, 10, 1); // one endorsed item caps the 99
    EXPECT_EQ(score(r).pct(Scales::Anxiety), 28);
    setAnswer(r, 10, 0);
    EXPECT_TRUE(score(r).notScorable(Scales::Anxiety));
}

TEST_F(ScaleScorerTest, RawScoreAboveTheTabulatedMaximumIs99) {
    t.maxRaw[Scales::Anxiety][1][1] = 3;
    std::string r = neutralResponses();
    setAnswer(r, 6, 1);
    setAnswer(r, 7, 1);
    EXPECT_EQ(score(r).pct(Scales::Anxiety), 38) << "raw 4 > 3: 99, capped for two items";
    t.maxRaw[Scales::Anxiety][1][1] = 4;
    EXPECT_EQ(score(r).pct(Scales::Anxiety), 20);
}

TEST_F(ScaleScorerTest, SparseEndorsementCapsUnlessAFloorRaisesAgain) {
    setPercentile(Scales::FamilyIssues, 2, 50);
    std::string r = neutralResponses();
    setAnswer(r, 31, 1); // one FAMILY ISSUES item (items 31..35)
    EXPECT_EQ(score(r).pct(Scales::FamilyIssues), 28);

    // Two key items of FAMILY ISSUES, scored on DEPRESSION, worth 3 points each: t = 2
    // raises the capped 28 to 35.
    auto& depression = t.scaleItems[Scales::Depression];
    depression[6] = 90;
    depression[7] = 91;
    depression[0] = 7;
    t.keyItems[66] = 90;
    t.keyItems[67] = 91;
    setAnswer(r, 90, 4);
    setAnswer(r, 91, 4);
    EXPECT_EQ(score(r).pct(Scales::FamilyIssues), 35);

    setPercentile(Scales::FamilyIssues, 4, 50);
    setAnswer(r, 32, 1);
    EXPECT_EQ(score(r).pct(Scales::FamilyIssues), 38) << "two endorsed items cap at 38";
}

TEST_F(ScaleScorerTest, KeyItemFloorsApplyTheFirstRowAboveTheCurrentPercentile) {
    // ANXIETY is scored on its key items alone (positions 19-31): section 3 codes 3 and 4
    // earn 2 and 3 points; its table gives 0 so that the floors decide.
    for (int raw = 1; raw <= 20; ++raw) {
        setPercentile(Scales::Anxiety, raw, 0);
    }
    auto withKeyPoints = [&](int twos, int threes) {
        std::string r = neutralResponses();
        auto& list = t.scaleItems[Scales::Anxiety];
        list[0] = static_cast<std::int16_t>(twos + threes);
        for (int i = 0; i < twos + threes; ++i) {
            const int item = 76 + i;
            list[ix(i + 1)] = static_cast<std::int16_t>(item);
            t.keyItems[ix(19 + i)] = static_cast<std::int16_t>(item);
            setAnswer(r, item, i < twos ? 3 : 4);
        }
        return score(r).pct(Scales::Anxiety);
    };
    EXPECT_EQ(withKeyPoints(2, 0), 17);
    EXPECT_EQ(withKeyPoints(1, 1), 26);
    EXPECT_EQ(withKeyPoints(0, 2), 37);
    EXPECT_EQ(withKeyPoints(0, 3), 42);
    EXPECT_EQ(withKeyPoints(4, 0), 57);
    EXPECT_EQ(withKeyPoints(5, 3), 89);
    EXPECT_EQ(withKeyPoints(0, 1), 0) << "one key item is no row of the mood scales";
    setPercentile(Scales::Anxiety, 9, 50);
    EXPECT_EQ(withKeyPoints(0, 3), 50) << "a floor below the percentile leaves it";
}

TEST_F(ScaleScorerTest, FloorTablesDifferPerScale) {
    for (int scale : {Scales::Alcohol, Scales::Drugs, Scales::Distress, Scales::FamilyIssues}) {
        for (int raw = 1; raw <= 20; ++raw) {
            setPercentile(scale, raw, 0);
        }
    }
    // Item 76 scored on ALCOHOL is a key item of ALCOHOL (positions 1-9), DRUGS (10-18),
    // DISTRESS (46-65) and FAMILY ISSUES (66-72).
    t.scaleItems[Scales::Alcohol][1] = 76;
    t.keyItems[1] = 76;
    t.keyItems[10] = 76;
    t.keyItems[46] = 76;
    t.keyItems[66] = 76;
    std::string r = neutralResponses();
    setAnswer(r, 76, 4);
    ClientScores s = score(r);
    EXPECT_EQ(s.pct(Scales::Alcohol), 19);
    EXPECT_EQ(s.pct(Scales::Drugs), 19);
    EXPECT_EQ(s.pct(Scales::Distress), 18);
    EXPECT_EQ(s.pct(Scales::FamilyIssues), 0);

    auto& distress = t.scaleItems[Scales::Distress];
    distress[0] = 9;
    for (int k = 0; k < 9; ++k) {
        distress[ix(k + 1)] = static_cast<std::int16_t>(80 + k);
        t.keyItems[ix(46 + k)] = static_cast<std::int16_t>(80 + k);
        setAnswer(r, 80 + k, 3);
    }
    EXPECT_EQ(score(r).pct(Scales::Distress), 93) << "t = 9";
}

TEST_F(ScaleScorerTest, TruthfulnessBandsCorrectTheOtherScalesBeforeTheyConvert) {
    for (int band = 1; band <= 9; ++band) {
        for (int scale = 2; scale <= 9; ++scale) {
            t.truthAdjust[ix(scale)][ix(band)] = static_cast<std::int16_t>(band);
        }
    }
    std::string r = neutralResponses();
    setAnswer(r, 1, 1); // TRUTHFULNESS raw 2
    setAnswer(r, 6, 1); // ANXIETY: two items, raw 4
    setAnswer(r, 7, 1);
    setAnswer(r, 11, 1); // DEPRESSION: one item, raw 2, never corrected
    const std::pair<int, int> bands[] = {{9, 0},  {10, 1}, {19, 1}, {20, 2}, {49, 4},
                                         {50, 5}, {55, 5}, {56, 6}, {69, 6}, {70, 7},
                                         {89, 8}, {90, 9}, {94, 9}};
    for (auto [truth, band] : bands) {
        setPercentile(Scales::Truthfulness, 2, truth);
        const ClientScores s = score(r);
        EXPECT_EQ(s.raw(Scales::Anxiety), 4 + band) << "Truthfulness " << truth;
        EXPECT_EQ(s.pct(Scales::Anxiety), std::min(38, (4 + band) * 5)) << "Truthfulness " << truth;
        EXPECT_EQ(s.raw(Scales::Depression), 2) << "Truthfulness " << truth;
        EXPECT_FALSE(s.invalid());
    }
}

TEST_F(ScaleScorerTest, TruthfulnessOf95EndsTheCalculation) {
    for (int scale = 2; scale <= 9; ++scale) {
        t.truthAdjust[ix(scale)][9] = 7;
    }
    setPercentile(Scales::Truthfulness, 2, 95);
    std::string r = neutralResponses();
    setAnswer(r, 1, 1);
    const ClientScores s = score(r);
    EXPECT_TRUE(s.invalid());
    for (int scale = 2; scale <= 9; ++scale) {
        EXPECT_EQ(s.pct(scale), 99) << Scales::name(scale);
    }
    EXPECT_EQ(s.raw(Scales::Anxiety), 7) << "corrected whatever the endorsement";
    EXPECT_EQ(s.raw(Scales::StressCoping), 67);
}

TEST_F(ScaleScorerTest, CrossScaleStepLinksAnxietyDepressionAndDistress) {
    std::array<int, 10> raw{};
    raw[Scales::Distress] = 17; // 85
    ClientScores s = percentilesFor(raw);
    EXPECT_EQ(s.pct(Scales::Distress), 85);
    EXPECT_EQ(s.pct(Scales::Anxiety), 68);
    EXPECT_EQ(s.pct(Scales::Depression), 63);

    raw = {};
    raw[Scales::Anxiety] = 15; // 75
    s = percentilesFor(raw);
    EXPECT_EQ(s.pct(Scales::Distress), 61);
    EXPECT_EQ(s.pct(Scales::Anxiety), 75);
    EXPECT_EQ(s.pct(Scales::Depression), 0) << "Distress 61 raises nothing";

    raw = {};
    raw[Scales::Depression] = 19; // 95: Distress to 70, which raises Anxiety to 68
    s = percentilesFor(raw);
    EXPECT_EQ(s.pct(Scales::Distress), 70);
    EXPECT_EQ(s.pct(Scales::Anxiety), 68);
    EXPECT_EQ(s.pct(Scales::Depression), 95);

    raw = {};
    raw[Scales::Distress] = 19; // 95
    raw[Scales::Anxiety] = 16;  // 80
    s = percentilesFor(raw);
    EXPECT_EQ(s.pct(Scales::Anxiety), 80);
    EXPECT_EQ(s.pct(Scales::Depression), 70);
}

TEST_F(ScaleScorerTest, NormGroupsFollowSexAndRaceCodes) {
    for (int race = 1; race <= 3; ++race) {
        for (int sex = 1; sex <= 2; ++sex) {
            t.percentileTable[Scales::Anxiety][4][ix(race)][ix(sex)] =
                static_cast<std::int16_t>(race * 10 + sex);
        }
    }
    std::string r = neutralResponses();
    setAnswer(r, 6, 1);
    setAnswer(r, 7, 1);
    auto pct = [&](char sex, char race) { return score(r, sex, race).pct(Scales::Anxiety); };
    // Two endorsed items cap at 38, above every value used here.
    EXPECT_EQ(pct('1', '1'), 11);
    EXPECT_EQ(pct('2', '3'), 32);
    EXPECT_EQ(pct('0', '2'), 21);
    EXPECT_EQ(pct(' ', '2'), 21);
    for (char race : {'0', ' ', '4', '5', '6'}) {
        EXPECT_EQ(pct('2', race), 12) << "race code '" << race << "'";
    }
}

TEST_F(ScaleScorerTest, UnscorableRecordsAreRefusedWithTheRecordNamed) {
    auto message = [&](const std::string& responses, char sex, char race) -> std::string {
        try {
            ScaleScorer(t).score(makeClient("Test", responses, sex, race), 7);
        } catch (const OrvjError& e) {
            return e.what();
        }
        return "no error";
    };
    const std::string r = neutralResponses();
    EXPECT_NE(message(r, '3', '1').find("client record 7: the sex code is \"3\""),
              std::string::npos);
    EXPECT_NE(message(r, 'M', '1').find("sex code"), std::string::npos);
    EXPECT_NE(message(r, '1', '7').find("ethnicity/race code is \"7\""), std::string::npos);
    std::string bad = r;
    bad[40] = 'x';
    EXPECT_NE(message(bad, '1', '1').find("item 41 is \"x\""), std::string::npos);
    bad = r;
    setAnswer(bad, 121, 3);
    EXPECT_NE(message(bad, '1', '1').find("item 121 is 3, but the item has only 2 options"),
              std::string::npos);
    bad = r;
    bad[5] = ' ';
    EXPECT_EQ(message(bad, '1', '1'), "no error") << "a blank answer is an omitted item";
}

TEST_F(ScaleScorerTest, RiskRangesAndParagraphKeys) {
    const std::pair<int, const char*> keys[] = {
        {0, "LOW"},          {39, "LOW"},         {40, "MEDIUM-LOW"},   {55, "MEDIUM-LOW"},
        {56, "MEDIUM-HIGH"}, {69, "MEDIUM-HIGH"}, {70, "PROBLEM"},      {89, "PROBLEM"},
        {90, "MAXIMUM-LOW"}, {94, "MAXIMUM-LOW"}, {95, "MAXIMUM-HIGH"}, {99, "MAXIMUM-HIGH"}};
    for (auto [p, key] : keys) {
        EXPECT_STREQ(Scales::paragraphKey(p), key) << p;
    }
    EXPECT_STREQ(Scales::riskName(39), "LOW");
    EXPECT_STREQ(Scales::riskName(40), "MEDIUM");
    EXPECT_STREQ(Scales::riskName(69), "MEDIUM");
    EXPECT_STREQ(Scales::riskName(70), "PROBLEM");
    EXPECT_STREQ(Scales::riskName(90), "MAXIMUM");
}

} // namespace
