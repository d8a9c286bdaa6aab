#include "scoring/ScaleScorer.h"

#include "core/InventoryLayout.h"
#include "scoring/Scales.h"
#include "store/OrvjError.h"

#include <limits>

namespace orvj {
namespace {

using InventoryLayout::SectionEnd;

constexpr std::size_t ix(int i) {
    return static_cast<std::size_t>(i);
}

// Stress Coping: the ratio of these two sums of section 3 codes.
constexpr std::array<int, 20> kStressNumerator = {76, 77,  79,  81,  85,  87,  90,  91,  94,  96,
                                                  99, 101, 103, 104, 106, 107, 108, 111, 113, 115};
constexpr std::array<int, 20> kStressDenominator = {78, 80, 82, 83,  84,  86,  88,  89,  92,  93,
                                                    95, 97, 98, 100, 102, 105, 109, 110, 112, 114};
constexpr int kStressFirst = 76;
constexpr int kStressLast = 115;

// The items the scorer reads one by one: the substance-use statement of section 5, whose first
// two options say that one of the two substances was never used, and the two home-conflict
// items of section 3 that raise Family Issues when answered "often" or more.
constexpr int kItemSubstanceStatement = 137;
constexpr int kItemArguesWithParents = 112;
constexpr int kItemConflictAtHome = 120;

// Self-Esteem: each section 2 item weighs its code through one of two rows.
constexpr std::array<int, 6> kEsteemPleasant = {-1, 2, 1, -1, -2, -3};
constexpr std::array<int, 6> kEsteemUnpleasant = {-1, -3, -2, -1, 1, 2};
constexpr std::array<int, 11> kEsteemUnpleasantItems = {53, 55, 59, 61, 63, 65, 67, 69, 71, 73, 75};

struct Floor {
    int c2; // -1: any
    int c3; // -1: any
    int t;
    bool orMore;
    int value;
};

constexpr Floor kMoodFloors[] = {
    {2, -1, 2, false, 17},  {-1, 1, 2, false, 26},  {-1, 2, 2, false, 37},
    {-1, -1, 3, false, 42}, {-1, -1, 4, false, 57}, {-1, -1, 5, false, 68},
    {-1, -1, 6, false, 71}, {-1, -1, 7, false, 79}, {-1, -1, 8, true, 89}};
constexpr Floor kSubstanceFloors[] = {
    {-1, 1, 1, false, 19},  {2, -1, 2, false, 29},  {-1, 1, 2, false, 36},  {-1, 2, 2, false, 41},
    {-1, -1, 3, false, 56}, {-1, -1, 4, false, 70}, {-1, -1, 5, false, 80}, {-1, -1, 6, true, 91}};
constexpr Floor kDistressFloors[] = {
    {-1, 1, 1, false, 18},  {2, -1, 2, false, 28},  {-1, 1, 2, false, 38},  {-1, 2, 2, false, 43},
    {-1, -1, 3, false, 54}, {-1, -1, 4, false, 58}, {-1, -1, 5, false, 69}, {-1, -1, 6, false, 73},
    {-1, -1, 7, false, 81}, {-1, -1, 8, false, 88}, {-1, -1, 9, true, 93}};
constexpr Floor kFamilyFloors[] = {{-1, -1, 2, false, 35},
                                   {-1, -1, 3, false, 47},
                                   {-1, -1, 4, false, 59},
                                   {-1, -1, 5, false, 72},
                                   {-1, -1, 6, true, 87}};

struct KeyItemRun {
    int first;
    int last;
};

KeyItemRun keyItemRun(int scale) {
    switch (scale) {
    case Scales::Anxiety:
        return {19, 31};
    case Scales::Depression:
        return {32, 45};
    case Scales::Alcohol:
        return {1, 9};
    case Scales::Drugs:
        return {10, 18};
    case Scales::Distress:
        return {46, 65};
    case Scales::FamilyIssues:
        return {66, 72};
    default:
        return {1, 0};
    }
}

template <std::size_t N> bool contains(const std::array<int, N>& items, int item) {
    for (int i : items) {
        if (i == item) {
            return true;
        }
    }
    return false;
}

std::string recordName(int recordNumber) {
    return "client record " + std::to_string(recordNumber);
}

// Band 1..9 of a Truthfulness percentile below 95; 0 below 10.
int truthBand(int p) {
    if (p < 10) {
        return 0;
    }
    if (p < 50) {
        return p / 10; // 10-19 band 1 ... 40-49 band 4
    }
    if (p <= 55) {
        return 5;
    }
    if (p <= 69) {
        return 6;
    }
    if (p <= 79) {
        return 7;
    }
    if (p <= 89) {
        return 8;
    }
    return 9;
}

} // namespace

ClientScores ScaleScorer::score(const ClientRecord& record, int recordNumber) const {
    ClientScores s;
    loadClient(record, recordNumber, s);
    computeRawScores(s);
    computePercentiles(s);
    return s;
}

void ScaleScorer::loadClient(const ClientRecord& record, int recordNumber, ClientScores& s) {
    const char sex = record.field(ClientRecord::Field::Gender)[0];
    if (sex == ' ' || sex == '0') {
        s.sexGroup = 1;
    } else if (sex == '1' || sex == '2') {
        s.sexGroup = sex - '0';
    } else {
        throw OrvjError(ErrorCode::SubscriptOutOfRange,
                        recordName(recordNumber) + ": the sex code is \"" + std::string(1, sex) +
                            "\"; only 0 (or blank), 1 and 2 can be scored");
    }
    const char race = record.field(ClientRecord::Field::Race)[0];
    if (race == ' ' || race == '0' || (race >= '4' && race <= '6')) {
        s.raceGroup = 1;
    } else if (race >= '1' && race <= '3') {
        s.raceGroup = race - '0';
    } else {
        throw OrvjError(ErrorCode::SubscriptOutOfRange,
                        recordName(recordNumber) + ": the ethnicity/race code is \"" +
                            std::string(1, race) + "\"; only 0 (or blank) to 6 can be scored");
    }
    const std::string_view responses = record.field(ClientRecord::Field::Responses);
    for (int item = 1; item <= InventoryLayout::kItemCount; ++item) {
        const char c = responses[ix(item - 1)];
        int code = 0;
        if (c >= '0' && c <= '9') {
            code = c - '0';
        } else if (c != ' ') {
            throw OrvjError(ErrorCode::TypeMismatch,
                            recordName(recordNumber) + ": the answer to item " +
                                std::to_string(item) + " is \"" + std::string(1, c) +
                                "\", not a response code");
        }
        if (code > InventoryLayout::optionCount(item)) {
            throw OrvjError(ErrorCode::SubscriptOutOfRange,
                            recordName(recordNumber) + ": the answer to item " +
                                std::to_string(item) + " is " + std::to_string(code) +
                                ", but the item has only " +
                                std::to_string(InventoryLayout::optionCount(item)) + " options");
        }
        s.itemCode[ix(item)] = static_cast<std::int16_t>(code);
    }
}

void ScaleScorer::computeRawScores(ClientScores& s) const {
    s.rawScore.fill(0);
    s.percentile.fill(0);
    s.omitCount.fill(0);
    s.endorsedCount.fill(0);
    s.itemPoints.fill(0);

    for (int scale : Scales::kKeyed) {
        const auto& list = m_tables.scaleItems[ix(scale)];
        for (int p = 1; p <= list[0]; ++p) {
            const int item = list[ix(p)];
            const int section = InventoryLayout::sectionOf(item);
            if (section == 0) {
                continue;
            }
            const int pos = item - SectionEnd[ix(section - 1)];
            const int code = s.code(item);
            if (code == 0) {
                ++s.omitCount[ix(scale)];
            }
            const std::string& key = m_tables.answerKey[ix(section)][ix(code)];
            const int points = ix(pos) <= key.size() ? key[ix(pos - 1)] - '0' : 0;
            s.itemPoints[ix(item)] = static_cast<std::int16_t>(points);
            s.rawScore[ix(scale)] += points;
            if (points > 0) {
                ++s.endorsedCount[ix(scale)];
            }
        }
    }

    if (s.code(kItemSubstanceStatement) == 1) {
        s.rawScore[Scales::Drugs] -= 2;
    }
    if (s.code(kItemSubstanceStatement) == 2) {
        s.rawScore[Scales::Alcohol] -= 2;
    }
    s.rawScore[Scales::FamilyIssues] +=
        (s.code(kItemConflictAtHome) == 3) + (s.code(kItemConflictAtHome) == 4) +
        (s.code(kItemArguesWithParents) == 3) + (s.code(kItemArguesWithParents) == 4);

    int a = 0;
    int b = 0;
    for (int item = kStressFirst; item <= kStressLast; ++item) {
        if (s.code(item) == 0) {
            ++s.omitCount[Scales::StressCoping];
        }
    }
    for (int item : kStressNumerator) {
        a += s.code(item);
    }
    for (int item : kStressDenominator) {
        b += s.code(item);
    }
    s.rawScore[Scales::StressCoping] = b >= 1 ? (a * 60) / b : 0;
    s.endorsedCount[Scales::StressCoping] = 9;

    int esteem = 0;
    for (int item = SectionEnd[1] + 1; item <= SectionEnd[2]; ++item) {
        const int code = s.code(item);
        if (code == 0) {
            ++s.omitCount[Scales::SelfEsteem];
        }
        esteem += contains(kEsteemUnpleasantItems, item) ? kEsteemUnpleasant[ix(code)]
                                                         : kEsteemPleasant[ix(code)];
    }
    s.rawScore[Scales::SelfEsteem] = esteem;
    s.endorsedCount[Scales::SelfEsteem] = 9;

    int trueAnswers = 0;
    for (int item = 1; item <= SectionEnd[1]; ++item) {
        trueAnswers += s.code(item) == 1;
    }
    // More than 95 % True in section 1 (48 of 50) makes the test invalid.
    if (trueAnswers > (SectionEnd[1] * 95) / 100) {
        s.rawScore[Scales::Truthfulness] = 99;
    }
}

void ScaleScorer::convertKeyedScale(ClientScores& s, int scale) const {
    const int raw = s.raw(scale);
    const int maxRaw = m_tables.maxRaw[ix(scale)][ix(s.raceGroup)][ix(s.sexGroup)];
    if (s.omitted(scale) < 4 && raw <= maxRaw && raw <= ScoringTables::kMaxRawScore) {
        s.percentile[ix(scale)] =
            raw >= 0 ? m_tables.percentileTable[ix(scale)][ix(raw)][ix(s.raceGroup)][ix(s.sexGroup)]
                     : 0;
    } else {
        s.percentile[ix(scale)] = 99;
    }
}

void ScaleScorer::addTruthCorrection(ClientScores& s, int scale, int band) const {
    const int corrected = s.raw(scale) + m_tables.truthAdjust[ix(scale)][ix(band)];
    if (corrected < std::numeric_limits<std::int16_t>::min() ||
        corrected > std::numeric_limits<std::int16_t>::max()) {
        throw OrvjError(ErrorCode::Overflow, std::string("the Truthfulness correction for band ") +
                                                 std::to_string(band) + " takes the raw score of " +
                                                 Scales::name(scale) + " outside the 16-bit range");
    }
    s.rawScore[ix(scale)] = corrected;
}

void ScaleScorer::applyKeyItemFloors(ClientScores& s, int scale) const {
    const KeyItemRun run = keyItemRun(scale);
    int c2 = 0;
    int c3 = 0;
    for (int pos = run.first; pos <= run.last; ++pos) {
        const int points = s.points(m_tables.keyItems[ix(pos)]);
        c2 += points == 2;
        c3 += points == 3;
    }
    const int t = c2 + c3;

    const Floor* begin = nullptr;
    const Floor* end = nullptr;
    switch (scale) {
    case Scales::Anxiety:
    case Scales::Depression:
        begin = std::begin(kMoodFloors);
        end = std::end(kMoodFloors);
        break;
    case Scales::Alcohol:
    case Scales::Drugs:
        begin = std::begin(kSubstanceFloors);
        end = std::end(kSubstanceFloors);
        break;
    case Scales::Distress:
        begin = std::begin(kDistressFloors);
        end = std::end(kDistressFloors);
        break;
    default:
        begin = std::begin(kFamilyFloors);
        end = std::end(kFamilyFloors);
        break;
    }
    int& p = s.percentile[ix(scale)];
    for (const Floor* f = begin; f != end; ++f) {
        const bool holds = (f->c2 < 0 || f->c2 == c2) && (f->c3 < 0 || f->c3 == c3) &&
                           (f->orMore ? t >= f->t : t == f->t);
        if (holds && f->value > p) {
            p = f->value;
            return;
        }
    }
}

void ScaleScorer::applyCrossScaleStep(ClientScores& s) const {
    int& anxiety = s.percentile[Scales::Anxiety];
    int& depression = s.percentile[Scales::Depression];
    int& distress = s.percentile[Scales::Distress];
    if ((InRange(depression, 70, 89) || InRange(anxiety, 70, 89)) && distress < 61) {
        distress = 61;
    }
    if ((InRange(depression, 90, 99) || InRange(anxiety, 90, 99)) && distress < 70) {
        distress = 70;
    }
    if (InRange(distress, 70, 89)) {
        anxiety = std::max(anxiety, 68);
        depression = std::max(depression, 63);
    } else if (InRange(distress, 90, 99)) {
        anxiety = std::max(anxiety, 75);
        depression = std::max(depression, 70);
    }
}

void ScaleScorer::computePercentiles(ClientScores& s) const {
    for (int scale = 1; scale <= Scales::kCount; ++scale) {
        if (scale != Scales::StressCoping && scale != Scales::SelfEsteem) {
            convertKeyedScale(s, scale);
        }
        int& p = s.percentile[ix(scale)];
        if (scale >= 2) {
            if (s.endorsedCount[ix(scale)] == 1 && p > 28) {
                p = 28;
            } else if (s.endorsedCount[ix(scale)] == 2 && p > 38) {
                p = 38;
            }
        }
        if (scale == Scales::Truthfulness) {
            if (p >= 95) {
                // An invalid test: every other scale is reported at 99 and nothing more is
                // converted.
                for (int other = 2; other <= Scales::kCount; ++other) {
                    s.percentile[ix(other)] = 99;
                    addTruthCorrection(s, other, ScoringTables::kTruthBands);
                }
                return;
            }
            const int band = truthBand(p);
            if (band > 0) {
                for (int other = 2; other <= Scales::kCount; ++other) {
                    if (s.endorsedCount[ix(other)] >= 2) {
                        addTruthCorrection(s, other, band);
                    }
                }
            }
        } else if (scale == Scales::StressCoping || scale == Scales::SelfEsteem) {
            const bool stress = scale == Scales::StressCoping;
            const int last = stress ? ScoringTables::kStressBounds : ScoringTables::kEsteemBounds;
            const int raw = s.raw(scale);
            for (int k = 1; k <= last; ++k) {
                const int low =
                    stress ? m_tables.stressBounds[ix(k)] : m_tables.esteemBounds[ix(k)];
                const int high =
                    stress ? m_tables.stressBounds[ix(k + 1)] : m_tables.esteemBounds[ix(k + 1)];
                if (low < raw && raw <= high) {
                    p = stress ? m_tables.stressPercentile[ix(s.sexGroup)][ix(s.raceGroup)][ix(k)]
                               : m_tables.esteemPercentile[ix(s.sexGroup)][ix(s.raceGroup)][ix(k)];
                    break;
                }
            }
        } else {
            applyKeyItemFloors(s, scale);
        }
    }
    applyCrossScaleStep(s);
}

} // namespace orvj
