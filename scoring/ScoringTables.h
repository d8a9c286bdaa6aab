#pragma once

#include <array>
#include <cstdint>
#include <string>

namespace orvj {

// The numbers of the scoring table file ORVJB.TXT, held for one report. Indices follow the
// file: scales 1..9, sections 1..5, race groups 1..3, sex groups 1..2, item numbers 1..143;
// index 0 and every entry the file does not fill read as zero.
struct ScoringTables {
    static constexpr int kSignificantItems = 89;
    static constexpr int kMaxListItems = 50;
    static constexpr int kMaxRawScore = 60;
    static constexpr int kStressBounds = 50;
    static constexpr int kEsteemBounds = 27;
    static constexpr int kKeyItems = 72;
    static constexpr int kTruthBands = 9;

    template <class T, std::size_t R, std::size_t S> using Groups = std::array<std::array<T, S>, R>;

    // Item numbers of the significant-item table, entries 1..89.
    std::array<std::int16_t, kSignificantItems + 1> significantItems{};
    // answerKey[s][r]: one digit per item of section s, the points for response code r.
    std::array<std::array<std::string, 6>, 6> answerKey{};
    // scaleItems[scale][0] = n, [1..n] the item numbers.
    std::array<std::array<std::int16_t, kMaxListItems + 1>, 10> scaleItems{};
    // maxRaw[scale][race][sex]
    std::array<Groups<std::int16_t, 4, 3>, 10> maxRaw{};
    // percentileTable[scale][raw][race][sex]
    std::array<std::array<Groups<std::int16_t, 4, 3>, kMaxRawScore + 1>, 10> percentileTable{};
    // stressBounds[1..50]; [51] is the zero that ends the search.
    std::array<std::int16_t, kStressBounds + 2> stressBounds{};
    // stressPercentile[sex][race][interval 1..49]
    Groups<std::array<std::int16_t, 55>, 3, 4> stressPercentile{};
    // esteemBounds[1..27]; [28] is the zero that ends the search.
    std::array<std::int16_t, kEsteemBounds + 2> esteemBounds{};
    // esteemPercentile[sex][race][interval 1..26]
    Groups<std::array<std::int16_t, 39>, 3, 4> esteemPercentile{};
    // keyItems[1..72]
    std::array<std::int16_t, kKeyItems + 1> keyItems{};
    // truthAdjust[scale][band 1..9]
    std::array<std::array<std::int16_t, 11>, 10> truthAdjust{};

    bool operator==(const ScoringTables&) const = default;
};

} // namespace orvj
