#include "tests/scoring/InventoryFixture.h"

#include "core/InventoryLayout.h"
#include "scoring/Scales.h"

#include <algorithm>
#include <numeric>
#include <regex>

namespace orvj::testing {
namespace {

// Sex groups 1..2, race groups 1..3, in the order of the file.
template <class F> void eachGroup(F f) {
    for (std::size_t sex = 1; sex <= 2; ++sex) {
        for (std::size_t race = 1; race <= 3; ++race) {
            f(sex, race);
        }
    }
}

std::string joinLines(const std::vector<std::string>& lines) {
    return std::accumulate(
        lines.begin(), lines.end(), std::string(),
        [](const std::string& out, const std::string& l) { return out + l + "\r\n"; });
}

} // namespace

InventoryFixture::InventoryFixture() {
    for (int k = 1; k <= 89; ++k) {
        statements.push_back("Statement " + std::to_string(k));
    }
    for (int k = 132; k <= 143; ++k) {
        for (int c = 1; c <= 4; ++c) {
            statements.push_back("Stressor " + std::to_string(k) + " code " + std::to_string(c));
        }
    }
    for (int item = 1; item <= 143; ++item) {
        std::string n = std::to_string(item) + ".";
        n.resize(5, ' ');
        questions.push_back(n + "Question " + std::to_string(item));
    }
    for (int s = 1; s <= Scales::kCount; ++s) {
        std::string text = "Lines before the first section are skipped\r\n";
        for (std::string key :
             {"LOW", "MEDIUM-LOW", "MEDIUM-HIGH", "PROBLEM", "MAXIMUM-LOW", "MAXIMUM-HIGH"}) {
            const std::string line = std::string(Scales::name(s)) + " " + key + " line ";
            text += key + "\r\n" + line + "1\r\n" + line + "2\r\nEND\r\n";
        }
        files[Scales::paragraphFile(s)] = text;
    }
    files["INVAL.TXT"] = "Invalid line 1\r\nInvalid line 2\r\nEND\r\n";
    files["PUBLISHER.TXT"] = "Sample Publisher, 1 Main Street, Springfield\r\n";
}

ScoringTables InventoryFixture::defaultTables() {
    ScoringTables t;
    // Significant items: the groups take consecutive items of sections 1 and 3.
    for (int k = 1; k <= 89; ++k) {
        t.significantItems[ix(k)] = i16(k <= 50 ? k : k + 25);
    }
    auto key = [](int length, char digit) { return std::string(ix(length), digit); };
    t.answerKey[1] = {key(50, '0'), key(50, '2'), key(50, '0'), "", "", ""};
    t.answerKey[3] = {key(45, '0'), key(45, '0'), key(45, '1'), key(45, '2'), key(45, '3'), ""};
    t.answerKey[4] = {key(11, '0'), key(11, '1'), key(11, '0'), "", "", ""};
    t.answerKey[5] = {key(12, '0'), key(12, '0'), key(12, '1'), key(12, '2'), key(12, '3'), ""};
    int next = 1;
    for (int scale : Scales::kKeyed) {
        // Male norms of race group 1 convert raw score n to 5n; the other groups and scales
        // differ, so that a field read out of order shows.
        eachGroup([&](std::size_t sex, std::size_t race) {
            const int g = static_cast<int>(2 * race + sex) - 3;
            t.maxRaw[ix(scale)][race][sex] = i16(20 + g + scale);
            for (int raw = 1; raw <= 20 + g + scale; ++raw) {
                t.percentileTable[ix(scale)][ix(raw)][race][sex] = i16(std::min(99, raw * 5 + g));
            }
        });
        // Five section 1 items per scale, from item 1 on.
        auto& list = t.scaleItems[ix(scale)];
        list[0] = 5;
        for (int p = 1; p <= 5; ++p) {
            list[ix(p)] = i16(next++);
        }
    }
    for (int k = 1; k <= 50; ++k) {
        t.stressBounds[ix(k)] = i16((k - 1) * 5);
    }
    for (int k = 1; k <= 27; ++k) {
        t.esteemBounds[ix(k)] = i16(-30 + (k - 1) * 3);
    }
    eachGroup([&](std::size_t sex, std::size_t race) {
        const int g = static_cast<int>(2 * race + sex) - 3;
        for (int k = 1; k <= 49; ++k) {
            t.stressPercentile[sex][race][ix(k)] = i16(std::min(99, 2 * k + g));
        }
        for (int k = 1; k <= 26; ++k) {
            t.esteemPercentile[sex][race][ix(k)] = i16(3 * k + g);
        }
    });
    // Key items point at item 50, which no list holds: no floors unless a test asks.
    std::fill(t.keyItems.begin() + 1, t.keyItems.end(), 50);
    return t;
}

std::string InventoryFixture::tableFileText(const ScoringTables& t) {
    std::vector<std::string> f;
    auto add = [&f](int n) { f.push_back(std::to_string(n)); };
    auto addAll = [&add](const auto& numbers, int first, int last) {
        for (int k = first; k <= last; ++k) {
            add(numbers[ix(k)]);
        }
    };
    addAll(t.significantItems, 1, 89);
    for (int s : {1, 3, 4, 5}) {
        for (int r = 0; r <= InventoryLayout::SectionOptions[ix(s)]; ++r) {
            f.push_back("\"" + t.answerKey[ix(s)][ix(r)] + "\"");
        }
    }
    eachGroup([&](std::size_t sex, std::size_t race) {
        for (int scale : Scales::kKeyed) {
            add(t.maxRaw[ix(scale)][race][sex]);
            for (int raw = 1; raw <= t.maxRaw[ix(scale)][race][sex]; ++raw) {
                add(t.percentileTable[ix(scale)][ix(raw)][race][sex]);
            }
        }
    });
    auto intervals = [&](const auto& bounds, int count, const auto& percentiles) {
        addAll(bounds, 1, count);
        eachGroup([&](std::size_t sex, std::size_t race) {
            addAll(percentiles[sex][race], 1, count - 1);
        });
    };
    intervals(t.stressBounds, 50, t.stressPercentile);
    intervals(t.esteemBounds, 27, t.esteemPercentile);
    for (int scale : Scales::kKeyed) {
        const auto& list = t.scaleItems[ix(scale)];
        add(list[0]);
        // A count above the table's 50 is written as it is, with the 50 items there are.
        addAll(list, 1, std::min<int>(list[0], ScoringTables::kMaxListItems));
    }
    addAll(t.keyItems, 1, 72);
    for (int band = 1; band <= 9; ++band) {
        for (int scale = 2; scale <= 9; ++scale) {
            add(t.truthAdjust[ix(scale)][ix(band)]);
        }
    }
    std::string out;
    for (std::size_t i = 0; i < f.size(); ++i) {
        out += f[i] + (i % 10 == 9 || i + 1 == f.size() ? "\r\n" : ",");
    }
    return out;
}

void InventoryFixture::write(const std::filesystem::path& folder) const {
    writeFile(folder / "ORVJB.TXT", tableFileText(tables));
    writeFile(folder / "ORVJRPT.TXT", joinLines(statements));
    writeFile(folder / "ORV-J.TXT", joinLines(questions));
    for (const auto& [name, bytes] : files) {
        writeFile(folder / name, bytes);
    }
}

ClientRecord makeClient(const std::string& name, const std::string& responses, char sex,
                        char race) {
    using F = ClientRecord::Field;
    ClientRecord r;
    r.set(F::Name, name);
    r.set(F::SSN, "123-45-6789");
    r.set(F::Age, "15");
    r.set(F::Gender, std::string(1, sex));
    r.set(F::Race, std::string(1, race));
    r.set(F::Education, "3");
    r.set(F::TestDate, "03/14/2026");
    r.set(F::Responses, responses);
    r.set(F::EditCount, "0");
    r.set(F::NameDeleted, "0");
    return r;
}

std::string neutralResponses() {
    return std::string(50, '2') + std::string(25, '3') + std::string(45, '1') +
           std::string(11, '2') + std::string(12, '1');
}

void setAnswers(std::string& responses, std::initializer_list<int> items, int code) {
    for (int item : items) {
        responses.at(ix(item - 1)) = static_cast<char>('0' + code);
    }
}

void setAnswers(ClientRecord& r, int first, int last, int code) {
    std::string answers(r.field(ClientRecord::Field::Responses));
    answers.replace(ix(first - 1), ix(last - first + 1), ix(last - first + 1),
                    static_cast<char>('0' + code));
    r.set(ClientRecord::Field::Responses, answers);
}

void setPercentile(ScoringTables& t, int scale, int raw, int percentile) {
    eachGroup([&](std::size_t sex, std::size_t race) {
        t.percentileTable[ix(scale)][ix(raw)][race][sex] = i16(percentile);
    });
}

void eachWriteFault(platform::FaultOp op, platform::FaultKind kind,
                    const std::function<void()>& action, const std::function<void(int)>& check) {
    for (int n = 1;; ++n) {
        platform::armWriteFault(op, n, kind);
        action();
        const bool struck = platform::writeFaultStruck();
        platform::disarmWriteFaults();
        if (!struck) {
            return;
        }
        check(n);
    }
}

std::vector<std::string> reportLines(const std::string& report) {
    std::vector<std::string> lines;
    for (std::size_t start = 0; start < report.size();) {
        const auto end = std::min(report.find("\r\n", start), report.size());
        lines.push_back(report.substr(start, end - start)); // the last may lack its CR LF
        start = end + 2;
    }
    return lines;
}

int pdfPages(const std::filesystem::path& pdf) {
    const std::string bytes = readFile(pdf);
    const std::regex page("/Type /Page[^s]");
    return static_cast<int>(
        std::distance(std::sregex_iterator(bytes.begin(), bytes.end(), page), {}));
}

} // namespace orvj::testing
