#include "scoring/CriticalCases.h"
#include "store/ConfigFile.h"
#include "tests/scoring/InventoryFixture.h"

#include <gtest/gtest.h>

using namespace orvj;
using namespace orvj::testing;

namespace {

// Scores with the given percentiles (scale, percentile), every other scale at 10.
ClientScores scoresWith(std::initializer_list<std::pair<int, int>> percentiles) {
    ClientScores s;
    for (int n = 1; n <= 9; ++n) {
        s.percentile[ix(n)] = 10;
    }
    for (auto [scale, value] : percentiles) {
        s.percentile[ix(scale)] = value;
    }
    return s;
}

TEST(CriticalRule, TheDefaultRuleFlagsAMaximumTwoProblemsOrAnInvalidTest) {
    const CriticalRule rule;
    EXPECT_FALSE(rule.flags(scoresWith({})));
    EXPECT_TRUE(rule.flags(scoresWith({{4, 90}})));
    EXPECT_FALSE(rule.flags(scoresWith({{4, 89}})));
    EXPECT_TRUE(rule.flags(scoresWith({{4, 89}, {9, 70}})));
    EXPECT_FALSE(rule.flags(scoresWith({{4, 89}, {9, 69}})));
    EXPECT_TRUE(rule.flags(scoresWith({{1, 95}})));
    // Truthfulness in the maximum range but still valid is no risk scale in the maximum range.
    EXPECT_FALSE(rule.flags(scoresWith({{1, 94}})));

    // A scale not scored (too many omitted items) shows no range and counts for nothing.
    ClientScores notScored = scoresWith({{5, 99}, {2, 75}});
    notScored.omitCount[5] = 5;
    EXPECT_FALSE(rule.flags(notScored));
    notScored.omitCount[5] = 4;
    EXPECT_TRUE(rule.flags(notScored));
}

TEST(CriticalRule, ACountOfNoneLeavesItsConditionOut) {
    CriticalRule rule;
    rule.maximumScales = 0;
    rule.problemScales = 3;
    rule.invalidTruthfulness = false;
    EXPECT_FALSE(rule.flags(scoresWith({{2, 99}, {3, 99}})));
    EXPECT_FALSE(rule.flags(scoresWith({{1, 99}})));
    EXPECT_FALSE(rule.flags(scoresWith({{2, 70}, {3, 80}})));
    EXPECT_TRUE(rule.flags(scoresWith({{2, 70}, {3, 80}, {8, 89}})));
    rule.maximumScales = 2;
    EXPECT_TRUE(rule.flags(scoresWith({{2, 99}, {3, 90}})));
}

TEST(CriticalRule, TheOfficeRuleIsKeptInTheConfigurationFile) {
    TempFolder home;
    const ConfigFile config(home.path() / ConfigFile::kFileName);
    EXPECT_EQ(CriticalRule::read(config), CriticalRule{}) << "no file: the default rule";

    writeFile(config.path(), "[Path]\r\nFilePath=data\r\n");
    const CriticalRule mine{0, 3, false};
    mine.write(config);
    EXPECT_EQ(CriticalRule::read(config), mine);
    EXPECT_NE(readFile(config.path()).find("FilePath=data"), std::string::npos);

    // A value that is no count of scales keeps its default; the others are read.
    writeFile(config.path(), "[Critical]\r\nMaximumScales=9\r\nProblemScales=-1\r\n"
                             "InvalidTruthfulness=False\r\n");
    EXPECT_EQ(CriticalRule::read(config), (CriticalRule{1, 2, false}));
    writeFile(config.path(), "[critical]\r\nmaximumscales=x\r\nproblemscales= 4 \r\n");
    EXPECT_EQ(CriticalRule::read(config), (CriticalRule{1, 4, true}));
}

// The flags come from the scoring the reports use.
TEST(CriticalRule, ClientsOfATableAreFlaggedFromTheirScores) {
    ClientTable clients;
    clients.at(1) = makeClient("Calm", neutralResponses());
    clients.at(2) = makeClient("All True", std::string(143, '1'));
    clients.at(3) = makeClient("Bad", std::string(143, 'x'));
    clients.clientCount = 3;
    const ScoringTables tables = InventoryFixture::defaultTables();
    CriticalRule rule{0, 0, true};
    const std::vector<bool> flags = criticalClients(clients, tables, rule);
    ASSERT_EQ(flags.size(), 4u);
    EXPECT_FALSE(flags[1]);
    EXPECT_TRUE(flags[2]) << "48 or more True answers: invalid";
    EXPECT_FALSE(flags[3]) << "a record that cannot be scored carries no flag";

    TempFolder empty;
    EXPECT_EQ(criticalClients(clients, empty.path(), empty.path() / ConfigFile::kFileName),
              std::vector<bool>(4, false))
        << "no inventory: nobody flagged";
}

} // namespace
