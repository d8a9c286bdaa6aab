#pragma once

#include "ui/SecretCodePrompt.h"

#include <QString>

namespace orvj {

struct AppState;
class Clock;
class MessageService;

// The secret-code prompt on a fresh input box for every attempt, so no typed text survives
// a wrong one. The code is checked against ORVJTest.ini of the program folder (SecretCode:
// "K" until an office sets its own). After the third wrong try in a row, each further wrong
// try makes the prompt wait before it takes a code again: 1, 2, 4 ... at most 30 seconds. The
// count lives as long as the prompt (the whole run): cancelling does not end it; the right
// code does.
class InputBoxSecretCodePrompt : public SecretCodePrompt {
public:
    InputBoxSecretCodePrompt(MessageService& messages, Clock& clock, const AppState& state)
        : m_messages(messages), m_clock(clock), m_state(state) {}

    bool AskSecretCode(QWidget* parent) override;

    // The longest code the prompt takes.
    static int inputLength();
    // Wrong tries in a row so far.
    int wrongInARow() const { return m_wrongInARow; }

private:
    void refuseDamaged(QWidget* parent);

    MessageService& m_messages;
    Clock& m_clock;
    const AppState& m_state;
    int m_wrongInARow = 0;
};

// The box shown when the stored office code is damaged: every code is refused.
QString damagedSecretCodeText(const QString& configFile);

} // namespace orvj
