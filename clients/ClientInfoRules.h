#pragma once

#include "core/ClientRecord.h"
#include "core/ClientTable.h"
#include "store/Clock.h"

#include <array>
#include <string>
#include <string_view>

namespace orvj::ClientInfo {

// The fields of the identification form, in the order "Information OK" tests them.
enum class FieldKey { Name, SSN, Age, Race, Gender, Education };
constexpr int kFieldCount = 6;

enum class Combo { Gender, Race, Education };

// The fields as the form shows them, top to bottom (the Tab order): name, ID, age, then the
// three combos sex, ethnicity, education. Enter in field `order` moves to `order + 1`;
// kFieldCount stands for the "Information OK" button.
constexpr int kFirstCombo = 3;
FieldKey fieldAt(int order);
int orderOf(FieldKey k);
bool isCombo(int order);
// Only meaningful when isCombo(order).
Combo comboAt(int order);
// The label left of the field, ending in ':'.
const char* label(int order);
// The help line shown while the field has the focus.
const char* helpLine(int order);

// Number of entries in a combo's list (entry 0 is always "N/A").
int entryCount(Combo c);
// The combo's own text of entry `code`.
const char* entryText(Combo c, int code);
// Typed keys a combo accepts; any other key empties it with a beep.
bool comboKeyAllowed(Combo c, char32_t key);
// The text-to-entry rule: the entry the text selects, or -1 when no row matches (the list
// is then dropped down).
int entryForText(Combo c, std::string_view text);

// What a key typed into the age field does.
enum class AgeKey {
    Accept,        // a digit, or "n"/"N" into an empty field
    EmptyAndError, // "n"/"N" into a non-empty field: emptied, age error box
    EmptyAndBeep,  // anything else: emptied, beep, no box
};
AgeKey ageKey(std::string_view current, char32_t key);

// The age field's text as Enter or Tab leaves it: trimmed and upper-cased.
std::string normalizedAge(std::string_view text);
// "N", or a number from 5 to 99.
bool ageAcceptable(std::string_view normalized);

// A character the name and ID fields can store: visible and held by Windows-1252.
bool textKeyAllowed(char32_t key);

std::string trimmed(std::string_view text);
// A text that is only "n" or "N" becomes "N"; any other text is kept.
std::string notAvailableForm(std::string_view text);

// The six fields as the form holds them, text in Windows-1252; a combo without an entry
// holds -1.
struct Fields {
    std::string name;
    std::string ssn;
    std::string age;
    int gender = -1;
    int race = -1;
    int education = -1;
};

// The first empty field in the order name, ID, age, race, sex, education; a combo counts as
// empty when no entry is chosen. False when all are filled.
bool firstEmptyField(const Fields& f, FieldKey& which);

// True when the fields differ from what the record holds (trimmed text, code digits).
bool differsFrom(const ClientRecord& r, const Fields& f);

// The values of the fields as an existing client was loaded, and the change tracking of
// the form. An entry is replaced by the current value when a field is left changed.
class LoadedValues {
public:
    void clear();
    void load(const ClientRecord& r);
    // Called when a field loses the focus; true when the value differs from the loaded one.
    bool noteLeft(FieldKey k, std::string_view value);
    bool changeNoted() const { return m_changeNoted; }
    const std::string& value(FieldKey k) const;
    // The loaded EditCount as a number; 0 when it was empty or not a number.
    int editCount() const;

private:
    std::array<std::string, kFieldCount> m_values;
    std::string m_editCount;
    bool m_changeNoted = false;
};

// A record's EditCount (or NameDeleted) digit as a number; 0 when it holds none.
int digitOrZero(const ClientRecord& r, ClientRecord::Field f);

constexpr int kEditLimit = 3;

// The record slot a new client takes: the one after the last client, 0 when the table is full.
int newClientSlot(const ClientTable& clients);

// A loaded record's fields cannot be changed once its name is deleted or it has been edited
// kEditLimit times or more.
bool fieldsLocked(int nameDeleted, int editCount);

// The message box the form shows as it opens; EditLimit also locks the fields.
enum class OpenNotice { None, NameDeleted, EditLimit };
OpenNotice openNotice(int nameDeleted, int editCount);

// The help line of "Information OK": name deleted, editing still allowed, or limit reached.
enum class OkHelp { NameDeleted, Confirm, EditLimit };
constexpr int kOkHelpCount = 3;
OkHelp okHelp(int nameDeleted, int editCount);
const char* okHelpLine(OkHelp which);

// The edit count a save of changed information writes: one more than loaded, kept to one
// digit.
int nextEditCount(int loaded);

// What "Information OK" does after the emptiness check and after DialogConfirmed is set.
enum class OkStep { CloseUnchanged, CloseAtEditLimit, Save };
OkStep decide(const Fields& f, bool editMode, bool scanEditMode, const ClientRecord& current,
              int loadedEditCount);

// A new client's record before the fields are copied: 143 "0" answers, the edit count,
// NameDeleted "0", today's date.
void initialiseNewRecord(ClientRecord& r, int editCount, const Date& today);
// Copies the fields into the record and stamps today's date.
void RecordToDB(ClientRecord& r, const Fields& f, const Date& today);

} // namespace orvj::ClientInfo
