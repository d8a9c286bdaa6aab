#pragma once

#include <string>

namespace orvj {

// The labels the report prints for the one-digit codes of sex, ethnicity/race and education,
// padded to their table width so report columns line up.
namespace DemographicLabels {

constexpr int kSexWidth = 6;
constexpr int kRaceWidth = 15;
constexpr int kEducationWidth = 28;
constexpr int kSexCount = 3;
constexpr int kRaceCount = 7;
constexpr int kEducationCount = 9;

// Empty string for a code outside the table.
std::string sex(int code);
std::string race(int code);
std::string education(int code);

} // namespace DemographicLabels
} // namespace orvj
