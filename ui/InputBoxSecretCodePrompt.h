#pragma once

#include "ui/SecretCodePrompt.h"

#include <QString>

namespace orvj {

class MessageService;

// The secret-code prompt on a fresh input box for every attempt, so no typed text survives
// a wrong one.
class InputBoxSecretCodePrompt : public SecretCodePrompt {
public:
    explicit InputBoxSecretCodePrompt(MessageService& messages) : m_messages(messages) {}

    bool AskSecretCode(QWidget* parent) override;

    static QString secretCode() { return QStringLiteral("K"); }

private:
    MessageService& m_messages;
};

} // namespace orvj
