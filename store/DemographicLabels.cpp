#include "store/DemographicLabels.h"

#include <array>
#include <string_view>

namespace orvj::DemographicLabels {
namespace {

template <std::size_t N>
std::string lookup(const std::array<std::string_view, N>& table, int code, int width) {
    if (code < 0 || code >= static_cast<int>(N)) {
        return {};
    }
    std::string label(table[static_cast<std::size_t>(code)]);
    label.resize(static_cast<std::size_t>(width), ' ');
    return label;
}

constexpr std::array<std::string_view, kSexCount> kSex = {"N/A", "Male", "Female"};
constexpr std::array<std::string_view, kRaceCount> kRace = {
    "N/A", "Caucasian", "Black", "Hispanic", "Asian", "Native American", "Other"};
constexpr std::array<std::string_view, kEducationCount> kEducation = {
    "N/A",        "6th grade or less",    "7th grade",   "8th grade", "9th grade", "10th grade",
    "11th grade", "High school graduate", "Some College"};

} // namespace

std::string sex(int code) {
    return lookup(kSex, code, kSexWidth);
}
std::string race(int code) {
    return lookup(kRace, code, kRaceWidth);
}
std::string education(int code) {
    return lookup(kEducation, code, kEducationWidth);
}

} // namespace orvj::DemographicLabels
