#pragma once

#include "store/QuestionBank.h"

#include <string>
#include <vector>

namespace orvj {

// The item cursor of the on-screen test over the rows of one question table: the forward
// step with its section starts, and the step back of F10.
class QuestionSequence {
public:
    // Throws OrvjError (with the table named) when the table cannot carry a whole test: it
    // must hold the 143 items in ID order, one row each, from its first row on.
    static void validate(const std::vector<QuestionRow>& rows, const std::string& table);

    explicit QuestionSequence(std::vector<QuestionRow> rows);

    struct Step {
        bool finished = false;       // item 143 was answered: store the test
        int sectionInstructions = 0; // 2..5 when a section starts here moving forward, else 0
    };
    // Advances to the next question (the first call shows item 1).
    Step next();

    enum class Back { Beep, SteppedBack };
    // F10: shows the previous question, or beeps at item 1 / at the first row.
    Back back();

    const QuestionRow& current() const;
    int item() const { return m_item; }
    bool started() const { return !m_firstCall; }

private:
    std::vector<QuestionRow> m_rows;
    int m_pos = 0; // row index; -1 before the first row
    int m_item = 0;
    bool m_firstCall = true;
    bool m_goingBack = false;
};

} // namespace orvj
