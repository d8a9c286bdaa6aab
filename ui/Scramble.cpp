#include "ui/Scramble.h"

#include "store/platform/File.h"

#include <array>

namespace orvj {
namespace {

// The largest multiple of 94 that a byte can reach: bytes below it map evenly onto the 94
// characters (two bytes for each), bytes from it on are drawn again.
constexpr int kAcceptBelow = 256 / kVisibleCount * kVisibleCount;

// Hands out random bytes drawn in batches from the source.
class RandomBytes {
public:
    explicit RandomBytes(const RandomByteSource& source) : m_source(source) {}
    unsigned char next() {
        if (m_at == m_batch.size()) {
            m_source(m_batch.data(), m_batch.size());
            m_at = 0;
        }
        return m_batch[m_at++];
    }

private:
    const RandomByteSource& m_source;
    std::array<unsigned char, 64> m_batch{};
    std::size_t m_at = m_batch.size();
};

char randomVisible(RandomBytes& random) {
    for (;;) {
        const int b = random.next();
        if (b < kAcceptBelow) {
            return static_cast<char>(kFirstVisible + b % kVisibleCount);
        }
    }
}

} // namespace

void systemRandomBytes(unsigned char* data, std::size_t n) {
    platform::randomBytes(data, n);
}

std::string ScrambleText(std::string_view text, const RandomByteSource& random) {
    RandomBytes bytes(random);
    std::string out(text);
    for (char& ch : out) {
        if (ch != ' ') {
            ch = randomVisible(bytes);
        }
    }
    return out;
}

bool isNameDeleted(const ClientRecord& record) {
    const char c = record.field(ClientRecord::Field::NameDeleted)[0];
    return c >= '1' && c <= '9';
}

bool scrambleClientName(ClientRecord& record, const RandomByteSource& random) {
    using F = ClientRecord::Field;
    if (isNameDeleted(record)) {
        return false;
    }
    record.set(F::Name, ScrambleText(record.field(F::Name), random));
    record.set(F::SSN, ScrambleText(record.field(F::SSN), random));
    record.set(F::NameDeleted, "1");
    return true;
}

} // namespace orvj
