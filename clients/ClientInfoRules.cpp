#include "clients/ClientInfoRules.h"

#include "core/InventoryLayout.h"
#include "store/Cp1252.h"

#include <algorithm>
#include <cctype>

namespace orvj::ClientInfo {
namespace {

using F = ClientRecord::Field;

struct FieldRow {
    FieldKey key;
    const char* label;
    const char* help;
};

constexpr std::array<FieldRow, kFieldCount> kFieldRows = {{
    {FieldKey::Name,
     "Name:", "Type client's name (up to 25 characters) or N for Not Available, then press Enter."},
    {FieldKey::SSN, "ID#:", "Type ID number or N for Not Available, then press Enter."},
    {FieldKey::Age, "Age:", "Type age in years or N for Not Available, then press Enter."},
    {FieldKey::Gender,
     "Sex:", "Use up or down arrow keys to select sex or N/A for Not Available, then press Enter."},
    {FieldKey::Race, "Ethnicity (Race):",
     "Use up or down arrow keys to select ethnicity/race or N/A for Not Available, then press "
     "Enter."},
    {FieldKey::Education, "Education (Highest Grade Completed):",
     "Use up or down arrow keys to select education or N/A for Not Available, then press "
     "Enter."},
}};

constexpr std::array<const char*, kOkHelpCount> kOkHelp = {
    "Client name has been deleted. Editing is not permitted. Press Enter to continue or select "
    "Cancel to return to the main menu.",
    "If information is correct press Enter or press Tab to change an entry.",
    "Exceeded limits of editing. No further editing is permitted. Press Enter to continue or "
    "select Cancel to return to the main menu."};

constexpr std::array<const char*, 3> kGender = {"N/A", "Male", "Female"};
constexpr std::array<const char*, 7> kRace = {"N/A",   "Caucasian",       "Black", "Hispanic",
                                              "Asian", "Native American", "Other"};
constexpr std::array<const char*, 9> kEducation = {
    "N/A",        "6th Grade or Less",    "7th Grade",      "8th Grade", "9th Grade", "10th Grade",
    "11th Grade", "High School Graduate", "Partial College"};

// One row of a text-to-entry table: the whole text equals `whole`, or the text starts with
// `prefix` (upper-cased); either selects `code`. An empty member never matches.
struct Row {
    const char* whole;
    const char* prefix;
    int code;
};

constexpr Row kGenderRows[] = {{"1", "M", 1}, {"2", "F", 2}, {"0", "N", 0}};
constexpr Row kRaceRows[] = {{"1", "C", 1},  {"2", "B", 2}, {"3", "H", 3}, {"4", "A", 4},
                             {"5", "NA", 5}, {"6", "O", 6}, {"0", "N", 0}};
constexpr Row kEducationRows[] = {{"1", "6", 1}, {"2", "7", 2},  {"3", "8", 3},
                                  {"4", "9", 4}, {"5", "10", 5}, {"", "11", 6},
                                  {"", "H", 7},  {"", "P", 8},   {"0", "N", 0}};

std::string upper(std::string_view s) {
    std::string out(s);
    for (char& c : out) {
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    }
    return out;
}

template <std::size_t N> int match(const Row (&rows)[N], std::string_view text) {
    const std::string up = upper(text);
    for (const Row& row : rows) {
        const std::string_view whole = row.whole;
        const std::string_view prefix = row.prefix;
        if (!whole.empty() && text == whole) {
            return row.code;
        }
        if (!prefix.empty() && up.size() >= prefix.size() &&
            up.compare(0, prefix.size(), prefix) == 0) {
            return row.code;
        }
    }
    return -1;
}

int fieldIndex(FieldKey k) {
    return static_cast<int>(k);
}

} // namespace

int entryCount(Combo c) {
    switch (c) {
    case Combo::Gender:
        return static_cast<int>(kGender.size());
    case Combo::Race:
        return static_cast<int>(kRace.size());
    case Combo::Education:
        return static_cast<int>(kEducation.size());
    }
    return 0;
}

const char* entryText(Combo c, int code) {
    if (code < 0 || code >= entryCount(c)) {
        return "";
    }
    switch (c) {
    case Combo::Gender:
        return kGender[static_cast<std::size_t>(code)];
    case Combo::Race:
        return kRace[static_cast<std::size_t>(code)];
    case Combo::Education:
        return kEducation[static_cast<std::size_t>(code)];
    }
    return "";
}

bool comboKeyAllowed(Combo c, char32_t key) {
    if (key == U'N' || key == U'n') {
        return true;
    }
    const char32_t highest = U'0' + static_cast<char32_t>(entryCount(c) - 1);
    return key >= U'0' && key <= highest;
}

int entryForText(Combo c, std::string_view text) {
    switch (c) {
    case Combo::Gender:
        return match(kGenderRows, text);
    case Combo::Race:
        return match(kRaceRows, text);
    case Combo::Education:
        return match(kEducationRows, text);
    }
    return -1;
}

AgeKey ageKey(std::string_view current, char32_t key) {
    if (key >= U'0' && key <= U'9') {
        return AgeKey::Accept;
    }
    if (key == U'n' || key == U'N') {
        return current.empty() ? AgeKey::Accept : AgeKey::EmptyAndError;
    }
    return AgeKey::EmptyAndBeep;
}

std::string normalizedAge(std::string_view text) {
    return upper(trimmed(text));
}

bool ageAcceptable(std::string_view normalized) {
    if (normalized == "N") {
        return true;
    }
    if (normalized.empty() || normalized.size() > 2 ||
        !std::all_of(normalized.begin(), normalized.end(),
                     [](char c) { return c >= '0' && c <= '9'; })) {
        return false;
    }
    const int value = std::stoi(std::string(normalized));
    return value > 4 && value < 100;
}

bool textKeyAllowed(char32_t key) {
    if (key < 0x20 || key == 0x7F || (key >= 0x80 && key <= 0x9F)) {
        return false;
    }
    return cp1252CanHold(key);
}

std::string trimmed(std::string_view text) {
    const auto first = text.find_first_not_of(' ');
    if (first == std::string_view::npos) {
        return {};
    }
    const auto last = text.find_last_not_of(' ');
    return std::string(text.substr(first, last - first + 1));
}

std::string notAvailableForm(std::string_view text) {
    if (text == "n" || text == "N") {
        return "N";
    }
    return std::string(text);
}

bool firstEmptyField(const Fields& f, FieldKey& which) {
    // A name or ID of spaces only is as good as none.
    if (trimmed(f.name).empty()) {
        which = FieldKey::Name;
    } else if (trimmed(f.ssn).empty()) {
        which = FieldKey::SSN;
    } else if (trimmed(f.age).empty()) {
        which = FieldKey::Age;
    } else if (f.race < 0) {
        which = FieldKey::Race;
    } else if (f.gender < 0) {
        which = FieldKey::Gender;
    } else if (f.education < 0) {
        which = FieldKey::Education;
    } else {
        return false;
    }
    return true;
}

bool differsFrom(const ClientRecord& r, const Fields& f) {
    return r.trimmed(F::Name) != trimmed(f.name) || r.trimmed(F::SSN) != trimmed(f.ssn) ||
           r.trimmed(F::Age) != trimmed(f.age) || r.digit(F::Gender) != f.gender ||
           r.digit(F::Race) != f.race || r.digit(F::Education) != f.education;
}

void LoadedValues::clear() {
    for (auto& v : m_values) {
        v.clear();
    }
    m_editCount.clear();
    m_changeNoted = false;
}

void LoadedValues::load(const ClientRecord& r) {
    clear();
    m_values[static_cast<std::size_t>(fieldIndex(FieldKey::Name))] = r.trimmed(F::Name);
    m_values[static_cast<std::size_t>(fieldIndex(FieldKey::SSN))] = r.trimmed(F::SSN);
    m_values[static_cast<std::size_t>(fieldIndex(FieldKey::Age))] = r.trimmed(F::Age);
    m_values[static_cast<std::size_t>(fieldIndex(FieldKey::Race))] = r.trimmed(F::Race);
    m_values[static_cast<std::size_t>(fieldIndex(FieldKey::Gender))] = r.trimmed(F::Gender);
    m_values[static_cast<std::size_t>(fieldIndex(FieldKey::Education))] = r.trimmed(F::Education);
    m_editCount = r.trimmed(F::EditCount);
}

bool LoadedValues::noteLeft(FieldKey k, std::string_view value) {
    std::string& loaded = m_values[static_cast<std::size_t>(fieldIndex(k))];
    if (loaded == value) {
        return false;
    }
    loaded = std::string(value);
    m_changeNoted = true;
    return true;
}

const std::string& LoadedValues::value(FieldKey k) const {
    return m_values[static_cast<std::size_t>(fieldIndex(k))];
}

int LoadedValues::editCount() const {
    if (m_editCount.size() != 1 || m_editCount[0] < '0' || m_editCount[0] > '9') {
        return 0;
    }
    return m_editCount[0] - '0';
}

int digitOrZero(const ClientRecord& r, ClientRecord::Field f) {
    const int d = r.digit(f);
    return d < 0 ? 0 : d;
}

int nextEditCount(int loaded) {
    return std::min(loaded + 1, 9);
}

OkStep decide(const Fields& f, bool editMode, bool scanEditMode, const ClientRecord& current,
              int loadedEditCount) {
    if (editMode && !differsFrom(current, f)) {
        return OkStep::CloseUnchanged;
    }
    if (!scanEditMode && loadedEditCount >= kEditLimit) {
        return OkStep::CloseAtEditLimit;
    }
    return OkStep::Save;
}

void initialiseNewRecord(ClientRecord& r, int editCount, const Date& today) {
    r.set(F::Responses, std::string(InventoryLayout::kItemCount, '0'));
    r.set(F::EditCount, std::to_string(editCount));
    r.set(F::NameDeleted, "0");
    r.set(F::TestDate, today.toRecordText());
}

void RecordToDB(ClientRecord& r, const Fields& f, const Date& today) {
    r.set(F::Name, f.name);
    r.set(F::SSN, f.ssn);
    r.set(F::Age, f.age);
    r.set(F::Race, std::to_string(f.race));
    r.set(F::Gender, std::to_string(f.gender));
    r.set(F::Education, std::to_string(f.education));
    r.set(F::TestDate, today.toRecordText());
}

FieldKey fieldAt(int order) {
    return kFieldRows.at(static_cast<std::size_t>(order)).key;
}

int orderOf(FieldKey k) {
    for (int i = 0; i < kFieldCount; ++i) {
        if (kFieldRows[static_cast<std::size_t>(i)].key == k) {
            return i;
        }
    }
    return -1;
}

bool isCombo(int order) {
    return order >= kFirstCombo && order < kFieldCount;
}

Combo comboAt(int order) {
    switch (fieldAt(order)) {
    case FieldKey::Gender:
        return Combo::Gender;
    case FieldKey::Race:
        return Combo::Race;
    default:
        return Combo::Education;
    }
}

const char* label(int order) {
    return kFieldRows.at(static_cast<std::size_t>(order)).label;
}

const char* helpLine(int order) {
    return kFieldRows.at(static_cast<std::size_t>(order)).help;
}

int newClientSlot(const ClientTable& clients) {
    return clients.isFull() ? 0 : clients.clientCount + 1;
}

bool fieldsLocked(int nameDeleted, int editCount) {
    return nameDeleted == 1 || editCount >= kEditLimit;
}

OpenNotice openNotice(int nameDeleted, int editCount) {
    if (nameDeleted == 1) {
        return OpenNotice::NameDeleted;
    }
    // Only a record at the limit itself is announced; a higher count came from elsewhere and
    // is locked without a word.
    return editCount == kEditLimit ? OpenNotice::EditLimit : OpenNotice::None;
}

OkHelp okHelp(int nameDeleted, int editCount) {
    if (nameDeleted == 1) {
        return OkHelp::NameDeleted;
    }
    return editCount < kEditLimit ? OkHelp::Confirm : OkHelp::EditLimit;
}

const char* okHelpLine(OkHelp which) {
    return kOkHelp.at(static_cast<std::size_t>(which));
}

} // namespace orvj::ClientInfo
