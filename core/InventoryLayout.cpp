#include "core/InventoryLayout.h"

namespace orvj::InventoryLayout {

int sectionOf(int item) {
    for (int s = 1; s <= kSectionCount; ++s) {
        if (item > SectionEnd[s - 1] && item <= SectionEnd[s]) {
            return s;
        }
    }
    return 0;
}

int firstItemOf(int section) {
    return SectionEnd.at(static_cast<std::size_t>(section - 1)) + 1;
}

int optionCount(int item) {
    int s = sectionOf(item);
    return s == 0 ? 0 : SectionOptions[static_cast<std::size_t>(s)];
}

bool isValidCode(int item, char c) {
    return c >= '0' && c - '0' <= optionCount(item);
}

AnswerFormat formatOf(std::string_view answer2) {
    std::string_view head = answer2.substr(0, 5);
    if (head == "False") {
        return AnswerFormat::TrueFalse;
    }
    if (head == "Somet") {
        return AnswerFormat::Frequency;
    }
    if (head == "Mostl") {
        return AnswerFormat::MostlyTrue;
    }
    if (head == "Often") {
        return AnswerFormat::OppositeTerms;
    }
    if (head == "No") {
        return AnswerFormat::YesNo;
    }
    return AnswerFormat::Numbered;
}

int formatOptionCount(AnswerFormat f) {
    switch (f) {
    case AnswerFormat::TrueFalse:
    case AnswerFormat::YesNo:
        return 2;
    case AnswerFormat::Numbered:
    case AnswerFormat::Frequency:
        return 4;
    case AnswerFormat::MostlyTrue:
    case AnswerFormat::OppositeTerms:
        return 5;
    }
    return 0;
}

const char* formatLegend(AnswerFormat f) {
    switch (f) {
    case AnswerFormat::TrueFalse:
        return "0=No answer, 1=True, 2=False, Tab=Next grid";
    case AnswerFormat::YesNo:
        return "0=No answer, 1=Yes, 2=No, Tab=Next grid";
    case AnswerFormat::Numbered:
        return "0=No answer, 1=1, 2=2,  3=3, 4=4, Tab=Next grid";
    case AnswerFormat::Frequency:
        return "0=No answer, 1=Rare/Never, 2=Sometimes, 3=Often, 4=Very Often, Tab=Next grid";
    case AnswerFormat::MostlyTrue:
        return "0=No answer, 1=True, 2=Mostly True, 3=Can't Decide, 4=Mostly False, 5=False, "
               "Tab=Next grid";
    case AnswerFormat::OppositeTerms:
        return "0=No answer, 1=Very Often, 2=Often, 3=Can't Decide, 4=Often, 5=Very Often, "
               "Tab=Next grid";
    }
    return "";
}

std::string buildResponseString(const ResponseArray& responses) {
    std::string out;
    out.reserve(kItemCount);
    for (int i = 1; i <= kItemCount; ++i) {
        std::string digits = std::to_string(responses[static_cast<std::size_t>(i)]);
        out.push_back(digits.back());
    }
    return out;
}

} // namespace orvj::InventoryLayout
