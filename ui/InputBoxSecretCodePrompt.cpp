#include "ui/InputBoxSecretCodePrompt.h"

#include "core/AppState.h"
#include "store/Clock.h"
#include "store/SecretCode.h"
#include "ui/FormConventions.h"
#include "ui/MessageService.h"
#include "ui/PathText.h"
#include "ui/frmMyInputBox.h"

namespace orvj {

QString damagedSecretCodeText(const QString& configFile) {
    return QStringLiteral("The office's secret code kept in %1 (section [Security], line "
                          "SecretCode=) is damaged, so no code can be accepted.\n\n"
                          "To set the code again, remove that line from the file: the code is "
                          "then \"K\" again, as on a new installation. Then set the office's "
                          "code with \"Options > Change Secret Code...\".")
        .arg(configFile);
}

int InputBoxSecretCodePrompt::inputLength() {
    return static_cast<int>(SecretCode::kMaxLength);
}

void InputBoxSecretCodePrompt::refuseDamaged(QWidget* parent) {
    m_messages.show(parent, QStringLiteral("Secret Code Damaged"),
                    damagedSecretCodeText(pathToQString(m_state.paths.configFile)),
                    MessageService::Icon::Critical);
}

bool InputBoxSecretCodePrompt::AskSecretCode(QWidget* parent) {
    for (;;) {
        QString typed;
        {
            frmMyInputBox box(m_messages, parent);
            box.setInputLength(inputLength());
            box.setHelpMessage(QStringLiteral("Enter the Secret Code to continue.  For security, "
                                              "asterisks (*) will show as you type."));
            box.setWindowTitle(QStringLiteral("Secret Code"));
            box.setPasswordInput(true);
            box.exec();
            if (box.Cancelled()) {
                return false;
            }
            typed = box.InputValue();
        }
        SecretCode::Check result = SecretCode::Check::Refused;
        {
            const WaitCursor wait; // the slow hash takes a moment
            result = SecretCode(m_state.paths.configFile).check(typed.toStdString());
        }
        switch (result) {
        case SecretCode::Check::Accepted:
            m_wrongInARow = 0;
            return true;
        case SecretCode::Check::Damaged:
            refuseDamaged(parent);
            continue;
        case SecretCode::Check::Refused:
            break;
        }
        ++m_wrongInARow;
        m_messages.show(parent, QStringLiteral("Incorrect Password"),
                        QStringLiteral("Incorrect Secret Code.  Please try again."),
                        MessageService::Icon::Critical);
        if (const int seconds = SecretCode::pauseAfter(m_wrongInARow); seconds > 0) {
            const WaitCursor wait;
            m_clock.pause(std::chrono::seconds(seconds));
        }
    }
}

} // namespace orvj
