#pragma once

class QWidget;

namespace orvj {

// Asks for the supervisor's secret code until it is typed or the prompt is cancelled.
class SecretCodePrompt {
public:
    virtual ~SecretCodePrompt() = default;
    // True when the secret code was typed, False when the input box was cancelled.
    virtual bool AskSecretCode(QWidget* parent) = 0;
};

} // namespace orvj
