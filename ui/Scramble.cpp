#include "ui/Scramble.h"

namespace orvj {
namespace {

// A byte that shows as a visible character in Windows-1252: not a control, the space, DEL,
// one of the five undefined bytes, the no-break space or the soft hyphen.
bool printable(int code) {
    if (code < 33 || code > 255) {
        return false;
    }
    switch (code) {
    case 0x7F:
    case 0x81:
    case 0x8D:
    case 0x8F:
    case 0x90:
    case 0x9D:
    case 0xA0:
    case 0xAD:
        return false;
    default:
        return true;
    }
}

// The shifted code of a scrambled character must stay one visible byte. A code past 255
// wraps round to "!" and on (256 -> 33), and a code that lands on a control, a space-like
// or an undefined byte moves on to the next visible one. Of the ASCII characters only "x"
// (which would become DEL) and "z" (an undefined byte) are moved on; all others keep the
// plain +7/+3 shift.
int keepVisible(int code) {
    for (;;) {
        if (code > 255) {
            code = code - 256 + 33;
        }
        if (printable(code)) {
            return code;
        }
        ++code;
    }
}

} // namespace

std::string ScrambleText(std::string_view text, int mode) {
    std::string out(text);
    for (char& ch : out) {
        if (ch == ' ') {
            continue;
        }
        const int c = static_cast<unsigned char>(ch);
        int shifted = 0;
        if (mode == 0) {
            shifted = keepVisible(c % 2 == 0 ? c + 7 : c + 3);
        } else {
            shifted = (c % 2 == 0 ? c - 3 : c - 7) & 0xFF;
        }
        ch = static_cast<char>(static_cast<unsigned char>(shifted));
    }
    return out;
}

bool isNameDeleted(const ClientRecord& record) {
    const char c = record.field(ClientRecord::Field::NameDeleted)[0];
    return c >= '1' && c <= '9';
}

bool scrambleClientName(ClientRecord& record) {
    using F = ClientRecord::Field;
    if (isNameDeleted(record)) {
        return false;
    }
    record.set(F::Name, ScrambleText(record.field(F::Name), 0));
    record.set(F::SSN, ScrambleText(record.field(F::SSN), 0));
    record.set(F::NameDeleted, "1");
    return true;
}

} // namespace orvj
