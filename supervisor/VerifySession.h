#pragma once

#include <string>
#include <vector>

namespace orvj {

// The second keying of one client's answers: a first pass over all 143 items, then a
// correction pass over the items whose two keyings differ.
class VerifySession {
public:
    // `stored` is the client's Responses field as it stands in the record.
    explicit VerifySession(std::string stored);

    enum class Result {
        Refused,           // beep, nothing changed
        Accepted,          // the next position is current
        NoDifferences,     // first pass ended, the keying matches the stored answers
        CorrectionsNeeded, // first pass ended, the differing items are to be keyed again
        CorrectionsDone,   // correction pass ended; reKeyed() is the new response string
    };

    // A typed character; only digits up to the item's option count are taken.
    Result key(char c);
    // Back to the previous position; false (a beep) at the first one.
    bool backspace();

    bool correctionPass() const { return m_correctionPass; }
    int position() const { return m_position; }
    int count() const { return static_cast<int>(m_list.size()); }
    // Item number at the current position.
    int currentItem() const;
    // Item number at the previous position, 0 at the first position.
    int previousItem() const;
    // The code keyed for the previous position's item.
    char previousCode() const;
    const std::vector<int>& questionList() const { return m_list; }
    const std::string& reKeyed() const { return m_reKeyed; }
    // Starts the correction pass over again at its first item (after a failed save).
    void restartCorrections();

private:
    void endOfPass(Result& r);

    std::string m_stored;
    std::string m_reKeyed;
    std::vector<int> m_list; // m_list[k-1] is the item at position k
    int m_position = 1;
    bool m_correctionPass = false;
    bool m_finished = false;
};

} // namespace orvj
