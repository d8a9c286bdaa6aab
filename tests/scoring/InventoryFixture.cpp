#include "tests/scoring/InventoryFixture.h"

#include "scoring/Scales.h"
#include "testing/TestLayout.h"

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <stdexcept>

namespace orvj::testing {
namespace {

constexpr std::size_t ix(int i) {
    return static_cast<std::size_t>(i);
}

class FieldWriter {
public:
    void add(const std::string& field) {
        if (m_count > 0) {
            m_out << (m_count % 10 == 0 ? "\r\n" : ",");
        }
        m_out << field;
        ++m_count;
    }
    void add(int n) { add(std::to_string(n)); }
    std::string text() const { return m_out.str() + "\r\n"; }

private:
    std::ostringstream m_out;
    int m_count = 0;
};

std::string joinLines(const std::vector<std::string>& lines) {
    std::string out;
    for (const auto& l : lines) {
        out += l + "\r\n";
    }
    return out;
}

} // namespace

InventoryFixture::InventoryFixture() {
    for (int k = 1; k <= 89; ++k) {
        statements.push_back("Statement " + std::to_string(k));
    }
    for (int k = 1; k <= 12; ++k) {
        for (int c = 1; c <= 4; ++c) {
            statements.push_back("Stressor " + std::to_string(131 + k) + " code " +
                                 std::to_string(c));
        }
    }
    for (int item = 1; item <= 143; ++item) {
        std::string n = std::to_string(item) + ".";
        n.resize(5, ' ');
        questions.push_back(n + "Question " + std::to_string(item));
    }
    for (int s = 1; s <= Scales::kCount; ++s) {
        files[Scales::paragraphFile(s)] = paragraphFileText(Scales::name(s));
    }
    files["INVAL.TXT"] = "Invalid line 1\r\nInvalid line 2\r\nEND\r\n";
}

ScoringTables InventoryFixture::defaultTables() {
    ScoringTables t;
    // Significant items: every group takes consecutive items of section 1 and 3.
    int item = 1;
    for (int k = 1; k <= 89; ++k) {
        t.significantItems[ix(k)] = static_cast<std::int16_t>(item);
        item = item == 50 ? 76 : item + 1;
    }
    auto key = [](int length, char digit) { return std::string(ix(length), digit); };
    t.answerKey[1] = {key(50, '0'), key(50, '2'), key(50, '0'), "", "", ""};
    t.answerKey[3] = {key(45, '0'), key(45, '0'), key(45, '1'), key(45, '2'), key(45, '3'), ""};
    t.answerKey[4] = {key(11, '0'), key(11, '1'), key(11, '0'), "", "", ""};
    t.answerKey[5] = {key(12, '0'), key(12, '0'), key(12, '1'), key(12, '2'), key(12, '3'), ""};
    for (int scale : Scales::kKeyed) {
        for (int race = 1; race <= 3; ++race) {
            for (int sex = 1; sex <= 2; ++sex) {
                t.maxRaw[ix(scale)][ix(race)][ix(sex)] = 20;
                for (int raw = 1; raw <= 20; ++raw) {
                    t.percentileTable[ix(scale)][ix(raw)][ix(race)][ix(sex)] =
                        static_cast<std::int16_t>(std::min(99, raw * 5));
                }
            }
        }
    }
    for (int k = 1; k <= 50; ++k) {
        t.stressBounds[ix(k)] = static_cast<std::int16_t>((k - 1) * 5);
    }
    for (int k = 1; k <= 27; ++k) {
        t.esteemBounds[ix(k)] = static_cast<std::int16_t>(-30 + (k - 1) * 3);
    }
    for (int sex = 1; sex <= 2; ++sex) {
        for (int race = 1; race <= 3; ++race) {
            for (int k = 1; k <= 49; ++k) {
                t.stressPercentile[ix(sex)][ix(race)][ix(k)] = static_cast<std::int16_t>(2 * k);
            }
            for (int k = 1; k <= 26; ++k) {
                t.esteemPercentile[ix(sex)][ix(race)][ix(k)] = static_cast<std::int16_t>(3 * k);
            }
        }
    }
    // Item lists: five section 1 items per scale, from item 1 on.
    int next = 1;
    for (int scale : Scales::kKeyed) {
        auto& list = t.scaleItems[ix(scale)];
        list[0] = 5;
        for (int p = 1; p <= 5; ++p) {
            list[ix(p)] = static_cast<std::int16_t>(next++);
        }
    }
    // Key items point at item 50, which no list holds: no floors unless a test asks.
    for (int k = 1; k <= 72; ++k) {
        t.keyItems[ix(k)] = 50;
    }
    return t;
}

std::string InventoryFixture::tableFileText(const ScoringTables& t) {
    FieldWriter w;
    for (int k = 1; k <= 89; ++k) {
        w.add(t.significantItems[ix(k)]);
    }
    for (int s : {1, 3, 4, 5}) {
        for (int r = 0; r <= TestLayout::SectionOptions[ix(s)]; ++r) {
            w.add("\"" + t.answerKey[ix(s)][ix(r)] + "\"");
        }
    }
    for (int sex = 1; sex <= 2; ++sex) {
        for (int race = 1; race <= 3; ++race) {
            for (int scale : Scales::kKeyed) {
                const int maxRaw = t.maxRaw[ix(scale)][ix(race)][ix(sex)];
                w.add(maxRaw);
                for (int raw = 1; raw <= maxRaw; ++raw) {
                    w.add(t.percentileTable[ix(scale)][ix(raw)][ix(race)][ix(sex)]);
                }
            }
        }
    }
    for (int k = 1; k <= 50; ++k) {
        w.add(t.stressBounds[ix(k)]);
    }
    for (int sex = 1; sex <= 2; ++sex) {
        for (int race = 1; race <= 3; ++race) {
            for (int k = 1; k <= 49; ++k) {
                w.add(t.stressPercentile[ix(sex)][ix(race)][ix(k)]);
            }
        }
    }
    for (int k = 1; k <= 27; ++k) {
        w.add(t.esteemBounds[ix(k)]);
    }
    for (int sex = 1; sex <= 2; ++sex) {
        for (int race = 1; race <= 3; ++race) {
            for (int k = 1; k <= 26; ++k) {
                w.add(t.esteemPercentile[ix(sex)][ix(race)][ix(k)]);
            }
        }
    }
    for (int scale : Scales::kKeyed) {
        const auto& list = t.scaleItems[ix(scale)];
        w.add(list[0]);
        // A count above the table's 50 is written as it is, with the 50 items there are.
        for (int p = 1; p <= std::min<int>(list[0], ScoringTables::kMaxListItems); ++p) {
            w.add(list[ix(p)]);
        }
    }
    for (int k = 1; k <= 72; ++k) {
        w.add(t.keyItems[ix(k)]);
    }
    for (int band = 1; band <= 9; ++band) {
        for (int scale = 2; scale <= 9; ++scale) {
            w.add(t.truthAdjust[ix(scale)][ix(band)]);
        }
    }
    return w.text();
}

std::string InventoryFixture::paragraphFileText(const std::string& tag) {
    std::string out = "Lines before the first section are skipped\r\n";
    for (const char* key :
         {"LOW", "MEDIUM-LOW", "MEDIUM-HIGH", "PROBLEM", "MAXIMUM-LOW", "MAXIMUM-HIGH"}) {
        out += std::string(key) + "\r\n";
        out += tag + " " + key + " line 1\r\n";
        out += tag + " " + key + " line 2\r\n";
        out += "END\r\n";
    }
    return out;
}

void InventoryFixture::write(const std::filesystem::path& folder) const {
    writeFile(folder / "ORVJB.TXT", tableFileText(tables));
    writeFile(folder / "ORVJRPT.TXT", joinLines(statements));
    writeFile(folder / "ORV-J.TXT", joinLines(questions));
    writeFile(folder / "PUBLISHER.TXT", publisher + "\r\n");
    for (const auto& [name, bytes] : files) {
        writeFile(folder / name, bytes);
    }
}

TempFolder::TempFolder() {
    std::string pattern = (std::filesystem::temp_directory_path() / "orvj-scoring-XXXXXX").string();
    if (::mkdtemp(pattern.data()) == nullptr) {
        throw std::runtime_error("cannot create a temporary folder");
    }
    m_path = pattern;
}

TempFolder::~TempFolder() {
    std::error_code ec;
    std::filesystem::remove_all(m_path, ec);
}

ClientRecord makeClient(const std::string& name, const std::string& responses, char sex,
                        char race) {
    ClientRecord r;
    r.set(ClientRecord::Field::Name, name);
    r.set(ClientRecord::Field::SSN, "123-45-6789");
    r.set(ClientRecord::Field::Age, "15");
    r.set(ClientRecord::Field::Gender, std::string(1, sex));
    r.set(ClientRecord::Field::Race, std::string(1, race));
    r.set(ClientRecord::Field::Education, "3");
    r.set(ClientRecord::Field::TestDate, "03/14/2026");
    r.set(ClientRecord::Field::Responses, responses);
    r.set(ClientRecord::Field::EditCount, "0");
    r.set(ClientRecord::Field::NameDeleted, "0");
    return r;
}

std::string neutralResponses() {
    std::string r;
    r.append(50, '2');
    r.append(25, '3');
    r.append(45, '1');
    r.append(11, '2');
    r.append(12, '1');
    return r;
}

void setAnswer(std::string& responses, int item, int code) {
    responses.at(ix(item - 1)) = static_cast<char>('0' + code);
}

std::string readFile(const std::filesystem::path& p) {
    std::ifstream in(p, std::ios::binary);
    if (!in) {
        throw std::runtime_error("cannot read " + p.string());
    }
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

void writeFile(const std::filesystem::path& p, const std::string& bytes) {
    std::ofstream out(p, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    if (!out) {
        throw std::runtime_error("cannot write " + p.string());
    }
}

std::vector<std::string> reportLines(const std::string& report) {
    std::vector<std::string> lines;
    std::size_t start = 0;
    for (;;) {
        const auto end = report.find("\r\n", start);
        if (end == std::string::npos) {
            if (start < report.size()) {
                lines.push_back(report.substr(start)); // a line without its CR LF
            }
            return lines;
        }
        lines.push_back(report.substr(start, end - start));
        start = end + 2;
    }
}

} // namespace orvj::testing
