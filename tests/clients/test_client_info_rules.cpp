#include "clients/ClientInfoRules.h"

#include <gtest/gtest.h>

using namespace orvj;
using namespace orvj::ClientInfo;
using F = ClientRecord::Field;

namespace {

TEST(ComboRules, EveryEntryTextMapsBackOntoItself) {
    for (Combo c : {Combo::Gender, Combo::Race, Combo::Education}) {
        for (int code = 0; code < entryCount(c); ++code) {
            EXPECT_EQ(entryForText(c, entryText(c, code)), code) << entryText(c, code);
        }
    }
}

TEST(ComboRules, TypedDigitsAndLetters) {
    EXPECT_EQ(entryForText(Combo::Gender, "1"), 1);
    EXPECT_EQ(entryForText(Combo::Gender, "2"), 2);
    EXPECT_EQ(entryForText(Combo::Gender, "0"), 0);
    EXPECT_EQ(entryForText(Combo::Gender, "n"), 0);
    EXPECT_EQ(entryForText(Combo::Gender, "f"), 2) << "starts tests are upper-cased";
    EXPECT_EQ(entryForText(Combo::Race, "N"), 0) << "a lone N is not Native American";
    EXPECT_EQ(entryForText(Combo::Race, "na"), 5);
    EXPECT_EQ(entryForText(Combo::Race, "6"), 6);
    // In education the first rows' starts tests win over the typed position.
    EXPECT_EQ(entryForText(Combo::Education, "7"), 2);
    EXPECT_EQ(entryForText(Combo::Education, "2"), 2);
    EXPECT_EQ(entryForText(Combo::Education, "6"), 1);
    EXPECT_EQ(entryForText(Combo::Education, "8"), 3);
    EXPECT_EQ(entryForText(Combo::Education, "5"), 5);
    EXPECT_EQ(entryForText(Combo::Education, "11th Grade"), 6);
    EXPECT_EQ(entryForText(Combo::Education, "1"), 1) << "whole 1 comes before starts 10/11";
}

TEST(ComboRules, NoMatchAsksForTheList) {
    EXPECT_EQ(entryForText(Combo::Gender, ""), -1);
    EXPECT_EQ(entryForText(Combo::Gender, "3"), -1);
    EXPECT_EQ(entryForText(Combo::Race, "7"), -1);
    EXPECT_EQ(entryForText(Combo::Education, "9x"), 4) << "starts 9";
    EXPECT_EQ(entryForText(Combo::Education, "Z"), -1);
}

TEST(ComboRules, AllowedKeys) {
    EXPECT_TRUE(comboKeyAllowed(Combo::Gender, U'2'));
    EXPECT_FALSE(comboKeyAllowed(Combo::Gender, U'3'));
    EXPECT_TRUE(comboKeyAllowed(Combo::Gender, U'n'));
    EXPECT_FALSE(comboKeyAllowed(Combo::Gender, U'M'));
    EXPECT_TRUE(comboKeyAllowed(Combo::Race, U'6'));
    EXPECT_FALSE(comboKeyAllowed(Combo::Race, U'7'));
    EXPECT_TRUE(comboKeyAllowed(Combo::Education, U'8'));
    EXPECT_FALSE(comboKeyAllowed(Combo::Education, U'9'));
    EXPECT_FALSE(comboKeyAllowed(Combo::Education, U'\b'));
}

TEST(AgeRules, KeysAndRange) {
    EXPECT_EQ(ageKey("", U'7'), AgeKey::Accept);
    EXPECT_EQ(ageKey("", U'n'), AgeKey::Accept);
    EXPECT_EQ(ageKey("5", U'n'), AgeKey::EmptyAndError);
    EXPECT_EQ(ageKey("5", U'\b'), AgeKey::EmptyAndBeep);
    EXPECT_EQ(ageKey("", U'x'), AgeKey::EmptyAndBeep);
    EXPECT_FALSE(ageAcceptable("4"));
    EXPECT_TRUE(ageAcceptable("5"));
    EXPECT_TRUE(ageAcceptable("99"));
    EXPECT_FALSE(ageAcceptable("04"));
    EXPECT_FALSE(ageAcceptable("00"));
    EXPECT_FALSE(ageAcceptable(""));
    EXPECT_FALSE(ageAcceptable("5N"));
    EXPECT_TRUE(ageAcceptable(normalizedAge(" n ")));
}

TEST(TextRules, NotAvailableAndStorableCharacters) {
    EXPECT_EQ(notAvailableForm("n"), "N");
    EXPECT_EQ(notAvailableForm("nina"), "nina");
    EXPECT_TRUE(textKeyAllowed(U'\u00E9'));  // é is in Windows-1252
    EXPECT_TRUE(textKeyAllowed(U'\u20AC'));  // so is the euro sign
    EXPECT_FALSE(textKeyAllowed(U'\u0141')); // Ł is not
    EXPECT_FALSE(textKeyAllowed(U'\u0081')); // an undefined byte is no character
    EXPECT_FALSE(textKeyAllowed(U'\t'));
}

Fields filled() {
    Fields f;
    f.name = "Ann";
    f.ssn = "123-45";
    f.age = "15";
    f.gender = 1;
    f.race = 2;
    f.education = 3;
    return f;
}

ClientRecord recordOf(const Fields& f) {
    ClientRecord r;
    initialiseNewRecord(r, 0, Date{2025, 1, 2});
    RecordToDB(r, f, Date{2025, 1, 2});
    return r;
}

TEST(InformationOk, EmptyFieldsAreFoundInTheirOrder) {
    FieldKey which{};
    Fields f = filled();
    EXPECT_FALSE(firstEmptyField(f, which));
    f.education = -1;
    f.race = -1;
    ASSERT_TRUE(firstEmptyField(f, which));
    EXPECT_EQ(which, FieldKey::Race) << "race is tested before sex and education";
    f.name = "   ";
    ASSERT_TRUE(firstEmptyField(f, which));
    EXPECT_EQ(which, FieldKey::Name);
}

TEST(InformationOk, DecisionFollowsChangeAndEditLimit) {
    const Fields f = filled();
    const ClientRecord same = recordOf(f);
    EXPECT_EQ(decide(f, true, false, same, 0), OkStep::CloseUnchanged);
    Fields changed = f;
    changed.gender = 2;
    EXPECT_EQ(decide(changed, true, false, same, 2), OkStep::Save);
    EXPECT_EQ(decide(changed, true, false, same, 3), OkStep::CloseAtEditLimit);
    EXPECT_EQ(decide(changed, true, true, same, 3), OkStep::Save) << "scan edits skip the limit";
    EXPECT_EQ(decide(f, false, false, same, 0), OkStep::Save) << "a new client always saves";
}

TEST(InformationOk, NewRecordIsCompleteAndCut) {
    Fields f = filled();
    f.name = std::string(30, 'x');
    ClientRecord r;
    r.set(F::Name, "leftover from an abandoned client");
    initialiseNewRecord(r, 0, Date{2025, 3, 4});
    RecordToDB(r, f, Date{2025, 3, 4});
    EXPECT_EQ(r.field(F::Name), std::string(25, 'x'));
    EXPECT_EQ(r.field(F::Responses), std::string(143, '0'));
    EXPECT_EQ(r.field(F::TestDate), "03/04/2025");
    EXPECT_EQ(r.field(F::EditCount), "0");
    EXPECT_EQ(r.field(F::NameDeleted), "0");
    EXPECT_EQ(r.field(F::Race), "2");
    EXPECT_EQ(r.field(F::Gender), "1");
}

TEST(ChangeTracking, LeftFieldsAreComparedWithTheLoadedValues) {
    const ClientRecord r = recordOf(filled());
    LoadedValues loaded;
    loaded.load(r);
    EXPECT_EQ(loaded.value(FieldKey::Race), "2");
    EXPECT_FALSE(loaded.noteLeft(FieldKey::Name, "Ann"));
    EXPECT_FALSE(loaded.changeNoted());
    EXPECT_TRUE(loaded.noteLeft(FieldKey::Name, "Anna"));
    EXPECT_FALSE(loaded.noteLeft(FieldKey::Name, "Anna")) << "the entry took the new value";
    EXPECT_TRUE(loaded.changeNoted());
    EXPECT_EQ(loaded.editCount(), 0);
    EXPECT_EQ(nextEditCount(2), 3);
    EXPECT_EQ(nextEditCount(9), 9) << "the count stays one digit";
}

} // namespace
