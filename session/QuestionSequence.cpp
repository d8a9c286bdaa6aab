#include "session/QuestionSequence.h"

#include "core/InventoryLayout.h"
#include "store/OrvjError.h"

namespace orvj {

void QuestionSequence::validate(const std::vector<QuestionRow>& rows, const std::string& table) {
    const int need = InventoryLayout::kItemCount;
    for (int i = 0; i < need && i < static_cast<int>(rows.size()); ++i) {
        const int id = rows[static_cast<std::size_t>(i)].id;
        if (id != i + 1) {
            throw OrvjError(ErrorCode::DbNoField,
                            "The question table \"" + table + "\" is not in item order: row " +
                                std::to_string(i + 1) + " holds item " + std::to_string(id) +
                                " where item " + std::to_string(i + 1) +
                                " was expected. The table must hold items 1 to 143 in order.");
        }
    }
    if (static_cast<int>(rows.size()) < need) {
        throw OrvjError(ErrorCode::InputPastEnd, "The question table \"" + table + "\" holds " +
                                                     std::to_string(rows.size()) +
                                                     " questions; the test needs all " +
                                                     std::to_string(need) + " items.");
    }
}

QuestionSequence::QuestionSequence(std::vector<QuestionRow> rows) : m_rows(std::move(rows)) {}

const QuestionRow& QuestionSequence::current() const {
    return m_rows.at(static_cast<std::size_t>(m_pos));
}

QuestionSequence::Step QuestionSequence::next() {
    Step step;
    if (m_firstCall) {
        m_item = 1;
        m_firstCall = false;
    } else {
        ++m_item;
    }
    if (m_item > InventoryLayout::kItemCount && !m_goingBack) {
        step.finished = true;
        return step;
    }
    if (m_item > 1) {
        ++m_pos;
        m_item = current().id;
    }
    if (!m_goingBack) {
        for (int s = 2; s <= InventoryLayout::kSectionCount; ++s) {
            if (m_item == InventoryLayout::firstItemOf(s)) {
                step.sectionInstructions = s;
            }
        }
    }
    return step;
}

QuestionSequence::Back QuestionSequence::back() {
    if (current().id == 1) {
        return Back::Beep;
    }
    --m_pos;
    if (m_pos < 0) {
        m_pos = 0;
        return Back::Beep;
    }
    --m_pos;
    m_goingBack = true;
    next();
    m_goingBack = false;
    return Back::SteppedBack;
}

} // namespace orvj
