#include "scoring/Scales.h"

namespace orvj::Scales {
namespace {

constexpr std::array<const char*, kCount + 1> kNames = {
    "",      "TRUTHFULNESS",  "ANXIETY",     "DEPRESSION", "ALCOHOL",
    "DRUGS", "STRESS COPING", "SELF-ESTEEM", "DISTRESS",   "FAMILY ISSUES"};

constexpr std::array<const char*, kCount + 1> kParagraphFiles = {
    "",           "DORVVA.txt", "DORVANX.txt", "DORVDEP.txt", "DORVAL.txt",
    "DORVDG.txt", "DORVSC.txt", "DORVSE.txt",  "ORVJDI.txt",  "ORVJFA.txt"};

} // namespace

const char* name(int scale) {
    return scale >= 1 && scale <= kCount ? kNames[static_cast<std::size_t>(scale)] : "";
}

const char* paragraphFile(int scale) {
    return scale >= 1 && scale <= kCount ? kParagraphFiles[static_cast<std::size_t>(scale)] : "";
}

const char* riskName(int percentile) {
    if (percentile < 40) {
        return "LOW";
    }
    if (percentile < 70) {
        return "MEDIUM";
    }
    if (percentile < 90) {
        return "PROBLEM";
    }
    return "MAXIMUM";
}

const char* paragraphKey(int percentile) {
    if (percentile < 40) {
        return "LOW";
    }
    if (percentile <= 55) {
        return "MEDIUM-LOW";
    }
    if (percentile < 70) {
        return "MEDIUM-HIGH";
    }
    if (percentile < 90) {
        return "PROBLEM";
    }
    if (percentile <= 94) {
        return "MAXIMUM-LOW";
    }
    return "MAXIMUM-HIGH";
}

} // namespace orvj::Scales
