#pragma once

#include <array>
#include <cstdint>

namespace orvj {

// One client's scores: what scoring computes and report composition reads. Per-scale arrays
// are indexed by scale number 1..9, per-item arrays by item number 1..143.
struct ClientScores {
    std::array<std::int16_t, 144> itemCode{};
    std::array<std::int16_t, 144> itemPoints{};
    std::array<int, 10> rawScore{};
    std::array<int, 10> percentile{};
    std::array<int, 10> endorsedCount{};
    std::array<int, 11> omitCount{};
    int sexGroup = 1;
    int raceGroup = 1;

    int code(int item) const { return itemCode[static_cast<std::size_t>(item)]; }
    int points(int item) const { return itemPoints[static_cast<std::size_t>(item)]; }
    int raw(int scale) const { return rawScore[static_cast<std::size_t>(scale)]; }
    int pct(int scale) const { return percentile[static_cast<std::size_t>(scale)]; }
    int omitted(int scale) const { return omitCount[static_cast<std::size_t>(scale)]; }

    // Truthfulness at 95 or more: the test is invalid.
    bool invalid() const { return pct(1) >= 95; }
    // Too many omitted items to report the scale.
    bool notScorable(int scale) const { return omitted(scale) > 4; }
};

} // namespace orvj
