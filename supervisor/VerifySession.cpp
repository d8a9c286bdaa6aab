#include "supervisor/VerifySession.h"

#include "core/InventoryLayout.h"

namespace orvj {

VerifySession::VerifySession(std::string stored)
    : m_stored(std::move(stored)), m_reKeyed(InventoryLayout::kItemCount, '0') {
    m_list.reserve(InventoryLayout::kItemCount);
    for (int item = 1; item <= InventoryLayout::kItemCount; ++item) {
        m_list.push_back(item);
    }
}

int VerifySession::currentItem() const {
    return m_list[static_cast<std::size_t>(m_position - 1)];
}

int VerifySession::previousItem() const {
    return m_position > 1 ? m_list[static_cast<std::size_t>(m_position - 2)] : 0;
}

char VerifySession::previousCode() const {
    const int item = previousItem();
    return item > 0 ? m_reKeyed[static_cast<std::size_t>(item - 1)] : ' ';
}

bool VerifySession::backspace() {
    if (m_finished || m_position <= 1) {
        return false;
    }
    --m_position;
    return true;
}

VerifySession::Result VerifySession::key(char c) {
    if (m_finished) {
        return Result::Refused;
    }
    const int item = currentItem();
    if (!InventoryLayout::isValidCode(item, c)) {
        return Result::Refused;
    }
    m_reKeyed[static_cast<std::size_t>(item - 1)] = c;
    ++m_position;
    Result r = Result::Accepted;
    if (m_position > count()) {
        endOfPass(r);
    }
    return r;
}

void VerifySession::endOfPass(Result& r) {
    if (m_correctionPass) {
        m_finished = true;
        r = Result::CorrectionsDone;
        return;
    }
    std::vector<int> differing;
    for (int p = 1; p <= InventoryLayout::kItemCount; ++p) {
        const auto i = static_cast<std::size_t>(p - 1);
        // A stored field shorter than the item, or holding a space there, never matches.
        if (i >= m_stored.size() || m_stored[i] != m_reKeyed[i]) {
            differing.push_back(p);
        }
    }
    if (differing.empty()) {
        m_finished = true;
        r = Result::NoDifferences;
        return;
    }
    m_list = std::move(differing);
    m_correctionPass = true;
    m_position = 1;
    r = Result::CorrectionsNeeded;
}

void VerifySession::restartCorrections() {
    if (m_correctionPass) {
        m_finished = false;
        m_position = 1;
    }
}

} // namespace orvj
