#include "core/ClientRecord.h"

#include "core/InventoryLayout.h"

#include <algorithm>

namespace orvj {

ClientRecord::Layout ClientRecord::layout(Field f) {
    switch (f) {
    case Field::Name:
        return {0, 25, "Name"};
    case Field::SSN:
        return {25, 11, "SSN"};
    case Field::Age:
        return {36, 2, "Age"};
    case Field::Gender:
        return {38, 1, "Gender"};
    case Field::Race:
        return {39, 1, "Race"};
    case Field::Education:
        return {40, 1, "Education"};
    case Field::TestDate:
        return {41, 10, "TestDate"};
    case Field::Responses:
        return {51, InventoryLayout::kItemCount, "Responses"};
    case Field::EditCount:
        return {194, 1, "EditCount"};
    case Field::NameDeleted:
        return {195, 1, "NameDeleted"};
    }
    return {0, 0, ""};
}

bool ClientRecord::isCleared() const {
    return std::all_of(m_bytes.begin(), m_bytes.end(), [](char c) { return c == ' '; });
}

ClientRecord ClientRecord::printable() const {
    ClientRecord out = *this;
    for (char& c : out.m_bytes) {
        const auto b = static_cast<unsigned char>(c);
        if (b < 0x20 || b == 0x7F) {
            c = ' ';
        }
    }
    return out;
}

std::string_view ClientRecord::field(Field f) const {
    auto l = layout(f);
    return {m_bytes.data() + l.offset, l.width};
}

std::string ClientRecord::trimmed(Field f) const {
    std::string_view v = field(f);
    auto first = v.find_first_not_of(' ');
    if (first == std::string_view::npos) {
        return {};
    }
    auto last = v.find_last_not_of(' ');
    return std::string(v.substr(first, last - first + 1));
}

void ClientRecord::set(Field f, std::string_view value) {
    auto l = layout(f);
    std::size_t n = std::min(value.size(), l.width);
    std::copy_n(value.data(), n, m_bytes.data() + l.offset);
    std::fill_n(m_bytes.data() + l.offset + n, l.width - n, ' ');
}

int ClientRecord::digit(Field f) const {
    std::string t = trimmed(f);
    if (t.size() != 1 || t[0] < '0' || t[0] > '9') {
        return -1;
    }
    return t[0] - '0';
}

} // namespace orvj
