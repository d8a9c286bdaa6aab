#pragma once

#include <string>

namespace orvj {

// The help lines of the question screen: one while the question has the focus, one while an
// answer has it. Texts are UTF-8.
class AnswerHints {
public:
    AnswerHints(bool spanish, bool audioAvailable)
        : m_spanish(spanish), m_audioAvailable(audioAvailable) {}

    std::string question() const;
    // Without sound the line does not offer to hear the question again.
    std::string option() const;

private:
    bool m_spanish;
    bool m_audioAvailable;
};

} // namespace orvj
