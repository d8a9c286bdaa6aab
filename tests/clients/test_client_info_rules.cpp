#include "clients/ClientInfoRules.h"

#include <gtest/gtest.h>

#include <tuple>

using namespace orvj;
using namespace orvj::ClientInfo;

namespace {

TEST(ComboRules, TypedTextSelectsAnEntryOrNone) {
    // -1: no row matches, and the list drops down.
    const std::tuple<Combo, const char*, int> rows[] = {
        {Combo::Gender, "2", 2},     {Combo::Gender, "f", 2},       {Combo::Gender, "n", 0},
        {Combo::Gender, "3", -1},    {Combo::Gender, "", -1},       {Combo::Race, "NA", 5},
        {Combo::Race, "na", 5},      {Combo::Race, "N", 0},         {Combo::Race, "7", -1},
        {Combo::Education, "7", 2},  {Combo::Education, "2", 2},    {Combo::Education, "1", 1},
        {Combo::Education, "9x", 4}, {Combo::Education, "11th", 6}, {Combo::Education, "Z", -1},
    };
    for (const auto& [combo, text, entry] : rows) {
        EXPECT_EQ(entryForText(combo, text), entry) << text;
    }
    // An entry picked from the list must keep itself when the field is left.
    for (Combo c : {Combo::Gender, Combo::Race, Combo::Education}) {
        for (int code = 0; code < entryCount(c); ++code) {
            EXPECT_EQ(entryForText(c, entryText(c, code)), code) << entryText(c, code);
        }
    }
}

TEST(ComboRules, AllowedKeys) {
    const std::tuple<Combo, char32_t, bool> rows[] = {
        {Combo::Gender, U'2', true},    {Combo::Gender, U'3', false},
        {Combo::Gender, U'n', true},    {Combo::Gender, U'M', false},
        {Combo::Race, U'6', true},      {Combo::Race, U'7', false},
        {Combo::Education, U'8', true}, {Combo::Education, U'9', false},
        {Combo::Education, U'N', true}, {Combo::Education, U'\b', false}};
    for (const auto& [combo, key, allowed] : rows) {
        EXPECT_EQ(comboKeyAllowed(combo, key), allowed) << static_cast<int>(key);
    }
}

TEST(InformationOk, ScanEditsSavePastTheEditLimit) {
    Fields f;
    f.name = "Ann";
    EXPECT_EQ(decide(f, true, false, ClientRecord(), 3), OkStep::CloseAtEditLimit);
    EXPECT_EQ(decide(f, true, true, ClientRecord(), 3), OkStep::Save);
    EXPECT_EQ(nextEditCount(9), 9) << "the count stays one digit";
}

} // namespace
