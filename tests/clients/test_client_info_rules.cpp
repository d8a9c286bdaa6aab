#include "clients/ClientInfoRules.h"

#include <gtest/gtest.h>

#include <set>
#include <string>
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

TEST(FieldOrder, EveryFieldOnceAndCombosWhereTheyBelong) {
    std::set<FieldKey> seen;
    for (int order = 0; order < kFieldCount; ++order) {
        const FieldKey k = fieldAt(order);
        EXPECT_TRUE(seen.insert(k).second) << order;
        EXPECT_EQ(orderOf(k), order);
        const bool combo = k == FieldKey::Gender || k == FieldKey::Race || k == FieldKey::Education;
        EXPECT_EQ(isCombo(order), combo) << order;
        if (combo) {
            // The list shown must be the one of the field's own code.
            const Combo expected = k == FieldKey::Gender ? Combo::Gender
                                   : k == FieldKey::Race ? Combo::Race
                                                         : Combo::Education;
            EXPECT_EQ(comboAt(order), expected) << order;
        }
        // The form drops the last character of the label for the control's accessible name.
        const std::string text = label(order);
        ASSERT_FALSE(text.empty());
        EXPECT_EQ(text.back(), ':') << text;
        EXPECT_NE(std::string(helpLine(order)).find("press Enter"), std::string::npos) << order;
    }
    EXPECT_FALSE(isCombo(kFieldCount)); // the "Information OK" button after the last field
}

TEST(NewClient, TakesTheSlotAfterTheLastUntilTheTableIsFull) {
    constexpr int kMax = ClientTable::kMaxClients;
    ClientTable clients;
    const std::pair<int, int> rows[] = {{0, 1}, {7, 8}, {kMax - 1, kMax}, {kMax, 0}};
    for (const auto& [count, slot] : rows) {
        clients.clientCount = static_cast<std::int16_t>(count);
        EXPECT_EQ(newClientSlot(clients), slot) << count;
    }
    EXPECT_NO_THROW(clients.at(kMax)); // the last slot given is still a record of the table
}

TEST(OpeningARecord, LockNoticeAndHelpLineAgree) {
    for (int deleted = 0; deleted <= 1; ++deleted) {
        for (int count = 0; count <= 9; ++count) {
            SCOPED_TRACE(std::to_string(deleted) + "/" + std::to_string(count));
            const bool locked = fieldsLocked(deleted, count);
            EXPECT_EQ(locked, deleted == 1 || count >= kEditLimit);
            // The help line never invites a change the form refuses, nor the reverse.
            EXPECT_EQ(okHelp(deleted, count) == OkHelp::Confirm, !locked);
            // A deleted name is the reason given, whatever the edit count.
            if (deleted == 1) {
                EXPECT_EQ(openNotice(deleted, count), OpenNotice::NameDeleted);
                EXPECT_EQ(okHelp(deleted, count), OkHelp::NameDeleted);
            }
            if (openNotice(deleted, count) == OpenNotice::EditLimit) {
                EXPECT_TRUE(locked);
            }
        }
    }
    // Only a record at the limit itself is announced as it opens.
    EXPECT_EQ(openNotice(0, kEditLimit - 1), OpenNotice::None);
    EXPECT_EQ(openNotice(0, kEditLimit), OpenNotice::EditLimit);
    EXPECT_EQ(openNotice(0, kEditLimit + 1), OpenNotice::None);
    EXPECT_EQ(okHelp(0, kEditLimit + 1), OkHelp::EditLimit);
    const std::set<std::string> lines = {okHelpLine(OkHelp::NameDeleted),
                                         okHelpLine(OkHelp::Confirm),
                                         okHelpLine(OkHelp::EditLimit)};
    EXPECT_EQ(lines.size(), static_cast<std::size_t>(kOkHelpCount));
}

} // namespace
