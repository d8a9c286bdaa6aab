#include "session/AnswerGrids.h"

#include "store/OrvjError.h"

#include <algorithm>

namespace orvj {

AnswerGrids::AnswerGrids(const std::vector<QuestionRow>& englishRows, std::string_view responses)
    : m_codes(InventoryLayout::kItemCount, '0'),
      m_opened(responses.substr(0, InventoryLayout::kItemCount)) {
    std::vector<bool> seen(InventoryLayout::kItemCount + 1, false);
    for (const auto& row : englishRows) {
        if (!InRange(row.id, 1, InventoryLayout::kItemCount)) {
            throw OrvjError(ErrorCode::SubscriptOutOfRange,
                            "The question table \"English\" holds item number " +
                                std::to_string(row.id) + ", outside 1 to 143.");
        }
        if (seen[static_cast<std::size_t>(row.id)]) {
            throw OrvjError(ErrorCode::SubscriptOutOfRange,
                            "The question table \"English\" holds item " + std::to_string(row.id) +
                                " twice.");
        }
        seen[static_cast<std::size_t>(row.id)] = true;
        const auto format = InventoryLayout::formatOf(row.answers[1].value_or(std::string()));
        auto it = std::find_if(m_grids.begin(), m_grids.end(),
                               [format](const Grid& g) { return g.format == format; });
        if (it == m_grids.end()) {
            Grid g;
            g.format = format;
            g.optionCount = InventoryLayout::formatOptionCount(format);
            m_grids.push_back(g);
            it = m_grids.end() - 1;
        }
        it->items.push_back(row.id);
    }
    for (std::size_t i = 0; i < m_codes.size() && i < responses.size(); ++i) {
        m_codes[i] = responses[i];
    }
}

int AnswerGrids::itemAt(int g, int row) const {
    return grid(g).items.at(static_cast<std::size_t>(row - 1));
}

int AnswerGrids::markedColumn(int g, int row) const {
    const char c = code(itemAt(g, row));
    if (c < '1' || c > '9') {
        return 0;
    }
    const int column = c - '0';
    // A code above the grid's options has no column to show it in.
    return column <= grid(g).optionCount ? column : 0;
}

AnswerGrids::Cell AnswerGrids::cell(int g, int row, int column) const {
    const bool chosen = column > 0 && markedColumn(g, row) == column;
    const bool underCursor = column > 0 && g == m_current && grid(g).cursorRow == row;
    if (underCursor) {
        return chosen ? Cell::CursorChosen : Cell::Cursor;
    }
    return chosen ? Cell::Chosen : Cell::Plain;
}

AnswerGrids::Result AnswerGrids::type(char c) {
    const Grid& g = grid(m_current);
    if (c < '0' || c > static_cast<char>('0' + g.optionCount)) {
        return {true, false};
    }
    m_codes[static_cast<std::size_t>(itemAt(m_current, g.cursorRow) - 1)] = c;
    return down();
}

AnswerGrids::Result AnswerGrids::down() {
    const Grid& g = grid(m_current);
    if (g.cursorRow < g.rowCount() - 1) {
        moveTo(m_current, g.cursorRow + 1);
        return {};
    }
    if (m_current + 1 < gridCount()) {
        moveTo(m_current + 1, 1);
        return {false, true};
    }
    return {true, false};
}

AnswerGrids::Result AnswerGrids::up() {
    const Grid& g = grid(m_current);
    if (g.cursorRow > 1) {
        moveTo(m_current, g.cursorRow - 1);
        return {};
    }
    if (m_current > 0) {
        moveTo(m_current - 1, grid(m_current - 1).rowCount() - 1);
        return {false, true};
    }
    return {true, false};
}

void AnswerGrids::focusGrid(int g) {
    m_current = std::clamp(g, 0, gridCount() - 1);
}

void AnswerGrids::setCursor(int g, int row, int column) {
    moveTo(g, row);
    gridRef(g).cursorColumn = column;
}

void AnswerGrids::moveTo(int g, int row) {
    m_current = g;
    Grid& target = gridRef(g);
    target.cursorRow = std::clamp(row, 1, std::max(1, target.rowCount() - 1));
    scroll(target);
}

void AnswerGrids::scroll(Grid& g) {
    const int r = g.cursorRow;
    const bool visible = r >= g.topRow && r < g.topRow + kVisibleRows;
    if (visible) {
        return;
    }
    if (r + kVisibleRows - 1 > g.rowCount()) {
        g.topRow = std::max(1, g.rowCount() - kVisibleRows);
    } else if (r == 1) {
        g.topRow = 1;
    } else {
        g.topRow = r - 1;
    }
}

} // namespace orvj
