#pragma once

#include "core/InventoryLayout.h"
#include "store/QuestionBank.h"

#include <string>
#include <string_view>
#include <vector>

namespace orvj {

// The answer-sheet grids without the widgets: one grid per answer format in the order the
// formats first occur in the English table, the per-item codes, the cursor of each grid, the
// keys and the scrolling rule. Rows count from 1 (row 0 is the header row).
class AnswerGrids {
public:
    static constexpr int kVisibleRows = 17;

    struct Grid {
        InventoryLayout::AnswerFormat format = InventoryLayout::AnswerFormat::Numbered;
        int optionCount = 0;
        std::vector<int> items; // row r holds items[r - 1]
        int cursorRow = 1;      // kept while the grid is without focus
        int cursorColumn = 0;
        int topRow = 1; // first item row shown below the header

        int rowCount() const { return static_cast<int>(items.size()) + 1; } // header included
    };

    enum class Cell { Plain, Chosen, Cursor, CursorChosen };

    // Throws OrvjError when a row's ID is outside 1..143 or appears twice.
    AnswerGrids(const std::vector<QuestionRow>& englishRows, std::string_view responses);

    int gridCount() const { return static_cast<int>(m_grids.size()); }
    const Grid& grid(int g) const { return m_grids.at(static_cast<std::size_t>(g)); }
    int currentGrid() const { return m_current; }

    // Code of item 1..143: '0'..'5', or a space in a cleared record.
    char code(int item) const { return m_codes.at(static_cast<std::size_t>(item - 1)); }
    // The codes joined in item order.
    std::string responseString() const { return m_codes; }
    // True when the codes differ from the response string the grids were opened with, so
    // closing them would throw typed answers away.
    bool answersChanged() const { return m_codes != m_opened; }

    int itemAt(int g, int row) const;
    // Column 1..5 marked with "X" in a row; 0 when the code marks nothing.
    int markedColumn(int g, int row) const;
    Cell cell(int g, int row, int column) const;

    struct Result {
        bool beep = false;
        bool gridChanged = false; // another grid took the focus
    };
    // A character typed in the focused grid: an accepted digit stores the code and moves on
    // as Down does; any other character beeps.
    Result type(char c);
    Result down();
    Result up();
    // Tab / Shift+Tab and clicks: grid g takes the focus with the cursor it last had.
    void focusGrid(int g);
    // A click on an item row of grid g.
    void setCursor(int g, int row, int column);

private:
    Grid& gridRef(int g) { return m_grids.at(static_cast<std::size_t>(g)); }
    void moveTo(int g, int row);
    static void scroll(Grid& grid);

    std::vector<Grid> m_grids;
    std::string m_codes;
    std::string m_opened; // the first 143 characters of the response string given
    int m_current = 0;
};

} // namespace orvj
