#include "clients/ClientInfoRules.h"

#include <gtest/gtest.h>

#include <string>
#include <tuple>

using namespace orvj;
using namespace orvj::ClientInfo;

namespace {

// The form's own test types a digit into each list and a second key into one; here are the
// edges: each list's highest code taken and the next refused, N in either case, a letter, and
// the texts that select an entry or none (-1: the list drops down).
TEST(ComboRules, KeysAndTypedTextSelectAnEntryOrNone) {
    const std::tuple<Combo, char32_t, bool> keys[] = {
        {Combo::Gender, U'2', true},     {Combo::Gender, U'3', false},
        {Combo::Gender, U'M', false},    {Combo::Race, U'6', true},
        {Combo::Race, U'7', false},      {Combo::Education, U'8', true},
        {Combo::Education, U'9', false}, {Combo::Education, U'n', true}};
    for (const auto& [combo, key, allowed] : keys) {
        EXPECT_EQ(comboKeyAllowed(combo, key), allowed) << static_cast<int>(key);
    }
    const std::tuple<Combo, const char*, int> texts[] = {
        {Combo::Gender, "f", 2},     {Combo::Gender, "3", -1},   {Combo::Gender, "", -1},
        {Combo::Race, "na", 5},      {Combo::Race, "N", 0},      {Combo::Education, "1", 1},
        {Combo::Education, "9x", 4}, {Combo::Education, "Z", -1}};
    for (const auto& [combo, text, entry] : texts) {
        EXPECT_EQ(entryForText(combo, text), entry) << text;
    }
    // An entry picked from the list must keep itself when the field is left.
    for (Combo c : {Combo::Gender, Combo::Race, Combo::Education}) {
        for (int code = 0; code < entryCount(c); ++code) {
            EXPECT_EQ(entryForText(c, entryText(c, code)), code) << entryText(c, code);
        }
    }
}

TEST(InformationOk, ScanEditsSavePastTheEditLimit) {
    Fields f;
    f.name = "Ann";
    EXPECT_EQ(decide(f, true, false, ClientRecord(), 3), OkStep::CloseAtEditLimit);
    EXPECT_EQ(decide(f, true, true, ClientRecord(), 3), OkStep::Save);
    EXPECT_EQ(nextEditCount(9), 9) << "the count stays one digit";
}

TEST(NewClient, TakesTheSlotAfterTheLastUntilTheTableIsFull) {
    constexpr int kMax = ClientTable::kMaxClients;
    ClientTable clients;
    const std::pair<int, int> rows[] = {{0, 1}, {7, 8}, {kMax - 1, kMax}, {kMax, 0}};
    for (const auto& [count, slot] : rows) {
        clients.clientCount = static_cast<std::int16_t>(count);
        EXPECT_EQ(newClientSlot(clients), slot) << count;
    }
}

// The boundary rows: one below the limit, at it, past it, and a deleted name below and at it.
TEST(OpeningARecord, LockNoticeAndHelpLineAgree) {
    using N = OpenNotice;
    using H = OkHelp;
    const std::tuple<int, int, bool, N, H> rows[] = {
        {0, kEditLimit - 1, false, N::None, H::Confirm},
        {0, kEditLimit, true, N::EditLimit, H::EditLimit}, // only the limit itself is announced
        {0, kEditLimit + 1, true, N::None, H::EditLimit},
        {1, 0, true, N::NameDeleted, H::NameDeleted}, // a deleted name is the reason given
        {1, kEditLimit, true, N::NameDeleted, H::NameDeleted},
    };
    for (const auto& [deleted, count, locked, notice, help] : rows) {
        SCOPED_TRACE(std::to_string(deleted) + "/" + std::to_string(count));
        EXPECT_EQ(fieldsLocked(deleted, count), locked);
        EXPECT_EQ(openNotice(deleted, count), notice);
        EXPECT_EQ(okHelp(deleted, count), help);
    }
    // The help line never invites a change the form refuses.
    EXPECT_STRNE(okHelpLine(H::Confirm), okHelpLine(H::EditLimit));
    EXPECT_STRNE(okHelpLine(H::Confirm), okHelpLine(H::NameDeleted));
}

} // namespace
