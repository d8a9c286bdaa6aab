#include "ui/Scramble.h"

#include <gtest/gtest.h>

#include <array>
#include <cstddef>
#include <deque>
#include <set>
#include <string>

using namespace orvj;
using F = ClientRecord::Field;

namespace {

// Random bytes from a script, in order; then zeros.
class ScriptedBytes {
public:
    explicit ScriptedBytes(std::deque<int> bytes) : m_bytes(std::move(bytes)) {}
    RandomByteSource source() {
        return [this](unsigned char* data, std::size_t n) {
            for (std::size_t i = 0; i < n; ++i) {
                data[i] = m_bytes.empty() ? 0 : static_cast<unsigned char>(m_bytes.front());
                if (!m_bytes.empty()) {
                    m_bytes.pop_front();
                }
            }
            ++calls;
        };
    }
    int calls = 0;

private:
    std::deque<int> m_bytes;
};

// The shift the program used before: what anyone could undo (c - 3 for an even code, c - 7
// for an odd one).
std::string oldInverse(const std::string& text) {
    std::string out = text;
    for (char& ch : out) {
        if (ch != ' ') {
            const int c = static_cast<unsigned char>(ch);
            ch = static_cast<char>((c % 2 == 0 ? c - 3 : c - 7) & 0xFF);
        }
    }
    return out;
}

// Each byte below 188 gives character 33 + byte % 94; a byte of 188 or more is drawn again, so
// that no character is likelier than another. Spaces stay where they were.
TEST(ScrambleText, MapsEachAcceptedByteOntoTheVisibleCharactersAndDrawsTheOthersAgain) {
    ScriptedBytes bytes({0, 93, 188, 255, 94, 200, 187, 65});
    EXPECT_EQ(ScrambleText("Ab c  d", bytes.source()), "!~ !  ~");
    EXPECT_EQ(bytes.calls, 1) << "the bytes are drawn in one batch";
}

// The system's random source: every character but a space becomes one of the 94 visible ASCII
// characters, each about as often as any other, and nothing of the old text can be read back.
TEST(ScrambleText, TheSystemSourceGivesEveryVisibleCharacterAlikeAndNoWayBack) {
    const std::string name = "Oakenfield, Priya R.     ";
    const std::string scrambled = ScrambleText(name);
    ASSERT_EQ(scrambled.size(), name.size());
    for (std::size_t i = 0; i < name.size(); ++i) {
        if (name[i] == ' ') {
            EXPECT_EQ(scrambled[i], ' ') << i;
        } else {
            EXPECT_GE(scrambled[i], '!') << i;
            EXPECT_LE(scrambled[i], '~') << i;
        }
    }
    EXPECT_NE(oldInverse(scrambled), name);
    EXPECT_NE(ScrambleText(name), scrambled) << "each deletion draws anew";

    const std::string many = ScrambleText(std::string(94 * 1000, 'x'));
    std::array<int, 256> counts{};
    for (char c : many) {
        ++counts[static_cast<unsigned char>(c)];
    }
    for (int c = 0; c < 256; ++c) {
        if (c < 33 || c > 126) {
            EXPECT_EQ(counts[static_cast<std::size_t>(c)], 0) << c;
        } else {
            // 1000 expected, one standard deviation about 31.
            EXPECT_GT(counts[static_cast<std::size_t>(c)], 800) << c;
            EXPECT_LT(counts[static_cast<std::size_t>(c)], 1200) << c;
        }
    }
}

// Only the name and ID change, each non-space byte by a random one; a record marked deleted
// (any number but 0) is never scrambled again.
TEST(ScrambleRecord, ReplacesNameAndIdKeepsTheRestAndAnyMarkButZeroCounts) {
    ClientRecord r;
    EXPECT_FALSE(isNameDeleted(r)) << "a blank field is the number 0";
    r.set(F::Name, "AB");
    r.set(F::SSN, "N");
    r.set(F::Responses, std::string(143, '2'));
    ScriptedBytes bytes({10, 20, 30});
    ASSERT_TRUE(scrambleClientName(r, bytes.source()));
    EXPECT_EQ(r.field(F::Name), "+5" + std::string(23, ' '));
    EXPECT_EQ(r.field(F::SSN), "!" + std::string(10, ' ')) << "the next batch begins with 0";
    EXPECT_EQ(r.field(F::NameDeleted), "1");
    EXPECT_EQ(r.field(F::Responses), std::string(143, '2'));
    const ClientRecord deleted = r;
    EXPECT_FALSE(scrambleClientName(r));
    EXPECT_EQ(r, deleted);
    r.set(F::NameDeleted, "2");
    EXPECT_TRUE(isNameDeleted(r)) << "any number but 0 counts";
}

} // namespace
