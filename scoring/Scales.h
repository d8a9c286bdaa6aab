#pragma once

#include <array>

namespace orvj {

// The nine scales of the inventory, numbered 1 to 9 (the index of every per-scale array),
// and the risk ranges their percentiles fall into.
namespace Scales {

constexpr int kCount = 9;
constexpr int Truthfulness = 1;
constexpr int Anxiety = 2;
constexpr int Depression = 3;
constexpr int Alcohol = 4;
constexpr int Drugs = 5;
constexpr int StressCoping = 6;
constexpr int SelfEsteem = 7;
constexpr int Distress = 8;
constexpr int FamilyIssues = 9;

// Scales whose raw score is an answer key summed over an item list, in table-file order.
constexpr std::array<int, 7> kKeyed = {1, 2, 3, 4, 5, 8, 9};

// "TRUTHFULNESS" ... "FAMILY ISSUES"; empty outside 1..9.
const char* name(int scale);
// The scale's paragraph file in the program folder.
const char* paragraphFile(int scale);

// "LOW", "MEDIUM", "PROBLEM" or "MAXIMUM".
const char* riskName(int percentile);
// The key of the paragraph section: "LOW", "MEDIUM-LOW", "MEDIUM-HIGH", "PROBLEM",
// "MAXIMUM-LOW" or "MAXIMUM-HIGH".
const char* paragraphKey(int percentile);

} // namespace Scales
} // namespace orvj
