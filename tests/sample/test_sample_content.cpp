// Consistency of the committed sample content: the question bank sources, the scoring table
// and report texts, and the sample clients must fit the layout the program reads.
#include "sample/tool/ClientSource.h"
#include "sample/tool/QuestionSource.h"
#include "sample/tool/SourceText.h"
#include "testing/TestLayout.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <map>
#include <set>
#include <string>
#include <vector>

using namespace orvj::mkdata;
namespace TL = orvj::TestLayout;
namespace fs = std::filesystem;
using Field = orvj::ClientRecord::Field;

namespace {

const fs::path kSample = fs::path(ORVJ_SOURCE_DIR) / "sample";
const fs::path kInventory = kSample / "inventory";

// Reads the scoring table the way its loader does: fields separated by commas or line ends,
// strings optionally quoted.
class FieldReader {
public:
    explicit FieldReader(const fs::path& file) {
        for (const std::string& line : splitLines(readFile(file))) {
            std::size_t start = 0;
            while (true) {
                std::size_t comma = line.find(',', start);
                std::string f = line.substr(start, comma == std::string::npos ? std::string::npos
                                                                              : comma - start);
                if (f.size() >= 2 && f.front() == '"' && f.back() == '"') {
                    f = f.substr(1, f.size() - 2);
                }
                m_fields.push_back(f);
                if (comma == std::string::npos) {
                    break;
                }
                start = comma + 1;
            }
        }
    }
    std::string text() {
        if (m_pos >= m_fields.size()) {
            ADD_FAILURE() << "the scoring table ends early";
            return "0";
        }
        return m_fields[m_pos++];
    }
    int number() {
        std::string f = text();
        int v = 0;
        try {
            std::size_t used = 0;
            v = std::stoi(f, &used);
            EXPECT_EQ(used, f.size()) << "field " << m_pos << " \"" << f << "\"";
        } catch (const std::exception&) {
            ADD_FAILURE() << "field " << m_pos << " \"" << f << "\" is not a number";
        }
        return v;
    }
    std::vector<int> numbers(int n) {
        std::vector<int> v;
        for (int i = 0; i < n; ++i) {
            v.push_back(number());
        }
        return v;
    }
    std::size_t remaining() const { return m_fields.size() - m_pos; }

private:
    std::vector<std::string> m_fields;
    std::size_t m_pos = 0;
};

struct ScoringTable {
    std::vector<int> significant;
    std::map<int, std::vector<std::string>> keys; // section -> key per response
    std::map<int, std::vector<int>> items;        // scale -> item numbers
    std::vector<int> keyItems;

    // Points item i earns for response code r.
    int points(int item, int r) const {
        const int s = TL::sectionOf(item);
        return keys.at(s).at(static_cast<std::size_t>(r))[static_cast<std::size_t>(
                   item - TL::SectionEnd[static_cast<std::size_t>(s - 1)] - 1)] -
               '0';
    }
    int maxPoints(int item) const {
        int best = 0;
        for (int r = 0; r <= TL::optionCount(item); ++r) {
            best = std::max(best, points(item, r));
        }
        return best;
    }
};

bool nonDecreasing(const std::vector<int>& v) {
    return std::is_sorted(v.begin(), v.end());
}
bool strictlyAscending(const std::vector<int>& v) {
    return std::adjacent_find(v.begin(), v.end(), std::greater_equal<int>()) == v.end();
}

ScoringTable readScoringTable() {
    ScoringTable t;
    FieldReader in(kInventory / "ORVJB.TXT");
    t.significant = in.numbers(89);

    for (int s : {1, 3, 4, 5}) {
        const auto width =
            static_cast<std::size_t>(TL::SectionEnd[static_cast<std::size_t>(s)] -
                                     TL::SectionEnd[static_cast<std::size_t>(s - 1)]);
        for (int r = 0; r <= TL::SectionOptions[static_cast<std::size_t>(s)]; ++r) {
            std::string key = in.text();
            EXPECT_EQ(key.size(), width) << "section " << s << " response " << r;
            EXPECT_EQ(key.find_first_not_of("0123456789"), std::string::npos) << key;
            if (r == 0) {
                EXPECT_EQ(key, std::string(width, '0')) << "an omitted item earns nothing";
            }
            key.resize(width, '0');
            t.keys[s].push_back(key);
        }
    }

    for (int sex = 1; sex <= 2; ++sex) {
        for (int race = 1; race <= 3; ++race) {
            for (int scale : {1, 2, 3, 4, 5, 8, 9}) {
                SCOPED_TRACE("norms sex " + std::to_string(sex) + " race " + std::to_string(race) +
                             " scale " + std::to_string(scale));
                const int maxRaw = in.number();
                EXPECT_TRUE(maxRaw >= 1 && maxRaw <= 60) << maxRaw;
                std::vector<int> pct = in.numbers(std::clamp(maxRaw, 1, 60));
                EXPECT_TRUE(nonDecreasing(pct));
                EXPECT_GE(pct.front(), 1);
                EXPECT_EQ(pct.back(), 99);
            }
        }
    }

    std::vector<int> stressBounds = in.numbers(50);
    EXPECT_TRUE(strictlyAscending(stressBounds));
    EXPECT_LT(stressBounds.front(), 0) << "a raw score of 0 must fall in the first interval";
    for (int g = 0; g < 6; ++g) {
        std::vector<int> pct = in.numbers(49);
        EXPECT_TRUE(nonDecreasing(pct)) << "more stress for each unit of coping is more risk";
        EXPECT_TRUE(pct.front() >= 0 && pct.back() <= 99);
    }
    std::vector<int> esteemBounds = in.numbers(27);
    EXPECT_TRUE(strictlyAscending(esteemBounds));
    EXPECT_LT(esteemBounds.front(), -75) << "the lowest possible self-esteem score";
    EXPECT_GE(esteemBounds.back(), 50) << "the highest possible self-esteem score";
    for (int g = 0; g < 6; ++g) {
        std::vector<int> pct = in.numbers(26);
        EXPECT_TRUE(std::is_sorted(pct.rbegin(), pct.rend())) << "high self-esteem is low risk";
        EXPECT_TRUE(pct.back() >= 0 && pct.front() <= 99);
    }

    for (int scale : {1, 2, 3, 4, 5, 8, 9}) {
        const int n = in.number();
        EXPECT_TRUE(n >= 1 && n <= 50) << "scale " << scale << " has " << n << " items";
        t.items[scale] = in.numbers(std::clamp(n, 0, 50));
    }
    t.keyItems = in.numbers(72);
    for (int v : in.numbers(9 * 8)) {
        EXPECT_TRUE(v >= -3 && v <= 3) << "Truthfulness correction " << v;
    }
    EXPECT_EQ(in.remaining(), 0u) << "fields after the last block";
    return t;
}

TEST(SampleContent, ScoringTableItemListsAndKeyItems) {
    ScoringTable t = readScoringTable();
    for (const auto& [scale, items] : t.items) {
        std::set<int> unique(items.begin(), items.end());
        EXPECT_EQ(unique.size(), items.size()) << "scale " << scale << " lists an item twice";
        for (int i : items) {
            const int s = TL::sectionOf(i);
            ASSERT_TRUE(s == 1 || s == 3 || s == 4 || s == 5) << "scale " << scale << " item " << i;
            EXPECT_GT(t.maxPoints(i), 0) << "scale " << scale << " item " << i << " earns nothing";
            if (scale == 1) {
                EXPECT_EQ(s, 1) << "Truthfulness is scored from section 1 only";
            }
        }
    }
    const std::pair<int, std::pair<int, int>> runs[] = {
        {4, {1, 9}}, {5, {10, 18}}, {2, {19, 31}}, {3, {32, 45}}, {8, {46, 65}}, {9, {66, 72}}};
    ASSERT_EQ(t.keyItems.size(), 72u);
    for (const auto& [scale, run] : runs) {
        const auto& own = t.items[scale];
        for (int pos = run.first; pos <= run.second; ++pos) {
            const int item = t.keyItems[static_cast<std::size_t>(pos - 1)];
            EXPECT_NE(std::find(own.begin(), own.end(), item), own.end())
                << "key item position " << pos << " (item " << item << ") is not on scale "
                << scale;
            EXPECT_GE(t.maxPoints(item), 2) << "key item " << item << " can never count";
        }
    }
}

TEST(SampleContent, SignificantItemsCanBeSelected) {
    ScoringTable t = readScoringTable();
    ASSERT_EQ(t.significant.size(), 89u);
    // Groups ALCOHOL 12, DRUGS 12, DISTRESS 26, FAMILY ISSUES 10, ANXIETY 14, DEPRESSION 15 and
    // the scale each group belongs to.
    const std::pair<int, int> groups[] = {{12, 4}, {12, 5}, {26, 8}, {10, 9}, {14, 2}, {15, 3}};
    std::size_t k = 0;
    for (const auto& [size, scale] : groups) {
        const std::size_t end = k + static_cast<std::size_t>(size);
        while (k < end) {
            const int item = t.significant[k];
            ASSERT_TRUE(item >= 1 && item <= 143) << "entry " << k + 1;
            std::size_t r = 1;
            while (k + r < end && t.significant[k + r] == item) {
                ++r;
            }
            const int need = TL::sectionOf(item) == 4 ? 1 : 2;
            const int options = TL::optionCount(item);
            // A run of r entries belongs to the item's r highest codes.
            for (std::size_t j = 0; j < r; ++j) {
                const int code = options - static_cast<int>(r) + 1 + static_cast<int>(j);
                EXPECT_GE(t.points(item, r == 1 ? 0 : code) + (r == 1 ? t.maxPoints(item) : 0),
                          need)
                    << "entry " << k + j + 1 << " (item " << item << ") can never be selected";
            }
            const auto& own = t.items[scale];
            EXPECT_NE(std::find(own.begin(), own.end(), item), own.end())
                << "entry " << k + 1 << ": item " << item << " is not on scale " << scale;
            k += r;
        }
    }
}

std::vector<std::string> lines(const fs::path& file) {
    return splitLines(readFile(file));
}

TEST(SampleContent, ReportTextFiles) {
    auto statements = lines(kInventory / "ORVJRPT.TXT");
    ASSERT_EQ(statements.size(), 137u);
    for (std::size_t i = 0; i < statements.size(); ++i) {
        EXPECT_FALSE(statements[i].empty()) << "line " << i + 1;
        // Statements stand two to a row, the right one from column 44.
        EXPECT_LE(statements[i].size(), 36u) << "line " << i + 1 << ": " << statements[i];
    }
    auto inval = lines(kInventory / "INVAL.TXT");
    auto end = std::find(inval.begin(), inval.end(), "END");
    ASSERT_NE(end, inval.end());
    EXPECT_GT(end - inval.begin(), 2);
    for (auto it = inval.begin(); it != end; ++it) {
        EXPECT_LE(it->size(), 70u) << *it;
    }
    auto publisher = lines(kInventory / "PUBLISHER.TXT");
    ASSERT_EQ(publisher.size(), 1u);
    EXPECT_FALSE(publisher[0].empty());

    // Everything in the folder is copied as it is, so it must already be Windows-1252; plain
    // ASCII is.
    for (const auto& entry : fs::directory_iterator(kInventory)) {
        const std::string bytes = readFile(entry.path());
        const auto bad = std::find_if(bytes.begin(), bytes.end(), [](char c) {
            return static_cast<unsigned char>(c) >= 0x80 || (c < 0x20 && c != '\r' && c != '\n');
        });
        EXPECT_EQ(bad, bytes.end())
            << entry.path().filename() << " holds a non-ASCII byte at " << (bad - bytes.begin());
    }
}

TEST(SampleContent, QuestionBankSourcesFollowTheSectionFormats) {
    QuestionSource en = readQuestionSource(kSample / "questions" / "english.tsv", true);
    EXPECT_TRUE(en.warnings.empty()) << en.warnings.front();
    const TL::AnswerFormat expected[] = {
        TL::AnswerFormat::TrueFalse, TL::AnswerFormat::OppositeTerms, TL::AnswerFormat::Frequency,
        TL::AnswerFormat::YesNo, TL::AnswerFormat::Numbered};
    for (const QuestionRow& row : en.rows) {
        const int s = TL::sectionOf(row.id);
        EXPECT_EQ(TL::formatOf(*row.answers[1]), expected[s - 1]) << "item " << row.id;
        EXPECT_EQ(row.optionCount(), TL::optionCount(row.id)) << "item " << row.id;
        EXPECT_EQ(row.questionAudio, "Q" +
                                         std::string(row.id < 10    ? "00"
                                                     : row.id < 100 ? "0"
                                                                    : "") +
                                         std::to_string(row.id));
    }
    // Section 5 item 137 feeds the fixed Drugs and Alcohol adjustments.
    EXPECT_NE(en.rows[136].answers[0]->find("never used drugs"), std::string::npos);
    EXPECT_NE(en.rows[136].answers[1]->find("never drunk alcohol"), std::string::npos);

    const fs::path spanish = kSample / "questions" / "spanish.tsv";
    if (fs::exists(spanish)) {
        QuestionSource es = readQuestionSource(spanish, false);
        EXPECT_NO_THROW(checkSameOptions(en, es, spanish.string()));
        for (std::size_t i = 0; i < es.rows.size(); ++i) {
            EXPECT_EQ(es.rows[i].questionAudio, en.rows[i].questionAudio);
            EXPECT_EQ(es.rows[i].choiceAudio, en.rows[i].choiceAudio);
        }
    }
}

TEST(SampleContent, BuiltQuestionTextHoldsTheSection4Questions) {
    QuestionSource en = readQuestionSource(kSample / "questions" / "english.tsv", true);
    auto text = lines(fs::path(ORVJ_SAMPLE_HOME) / "ORV-J.TXT");
    ASSERT_EQ(text.size(), 143u);
    for (int item = 121; item <= 131; ++item) {
        const std::string& line = text[static_cast<std::size_t>(item - 1)];
        EXPECT_EQ(line.substr(0, 5), std::to_string(item) + ". ");
        EXPECT_EQ(line.substr(5), en.rows[static_cast<std::size_t>(item - 1)].question);
    }
}

TEST(SampleContent, ClientsCoverTheCasesTheyAreMeantFor) {
    auto clients = readClientSource(kSample / "clients.txt");
    ASSERT_GE(clients.size(), 5u);
    ASSERT_LE(clients.size(), 8u);
    ScoringTable t = readScoringTable();
    std::set<int> sexes, races;
    bool invalid = false;
    bool notScorable = false;
    for (const auto& c : clients) {
        sexes.insert(c.digit(Field::Gender));
        races.insert(c.digit(Field::Race));
        EXPECT_EQ(c.trimmed(Field::SSN).rfind("S-", 0), 0u);
        const std::string answers(c.field(Field::Responses));
        invalid = invalid || std::count(answers.begin(), answers.begin() + 50, '1') >= 48;
        for (const auto& [scale, items] : t.items) {
            const auto omitted = std::count_if(items.begin(), items.end(), [&](int i) {
                return answers[static_cast<std::size_t>(i - 1)] == '0';
            });
            notScorable = notScorable || omitted >= 5;
        }
    }
    EXPECT_TRUE(sexes.count(1) && sexes.count(2));
    EXPECT_TRUE(races.count(0) && races.count(5));
    EXPECT_TRUE(invalid) << "no client invalidates the test with 48 True answers";
    EXPECT_TRUE(notScorable) << "no client leaves a scale unscorable";
}

} // namespace
