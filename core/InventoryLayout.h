#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

namespace orvj {

// The shape of the inventory: 143 items in five sections, the options of each section, the
// answer formats of the answer-sheet grids and the 143-character response string.
namespace InventoryLayout {

constexpr int kItemCount = 143;
constexpr int kSectionCount = 5;

// SectionEnd[s] is the last item of section s; section s covers SectionEnd[s-1]+1..SectionEnd[s].
constexpr std::array<std::int16_t, 6> SectionEnd = {0, 50, 75, 120, 131, 143};
// SectionOptions[s] for s = 1..5 (index 0 unused).
constexpr std::array<std::int16_t, 6> SectionOptions = {0, 2, 5, 4, 2, 4};

// Section 1..5 of an item 1..143; 0 for any other number.
int sectionOf(int item);
// First item of section s (1..5).
int firstItemOf(int section);
// Option count of the item's section (0 for an item outside 1..143).
int optionCount(int item);
// True when code character c is a valid code for the item: "0" up to its option count.
bool isValidCode(int item, char c);

// Answer formats, decided from the first five characters of the English Answer2 text.
enum class AnswerFormat : int {
    TrueFalse = 0,     // "False"
    YesNo = 1,         // the whole text is "No"
    Numbered = 2,      // none of the other rules
    Frequency = 3,     // "Somet"
    MostlyTrue = 4,    // "Mostl"
    OppositeTerms = 5, // "Often"
};
AnswerFormat formatOf(std::string_view answer2);
int formatOptionCount(AnswerFormat f);
// The help line shown while a grid of this format has the focus.
const char* formatLegend(AnswerFormat f);

// The response array of the on-screen test: index 0 unused, 1..143 the option chosen.
using ResponseArray = std::array<std::int16_t, kItemCount + 1>;
// Appends, for i = 1..143, the last character of the decimal text of element i.
std::string buildResponseString(const ResponseArray& responses);

} // namespace InventoryLayout

// True when low <= value <= high, bounds included.
constexpr bool InRange(int value, int low, int high) {
    return low <= value && value <= high;
}

} // namespace orvj
