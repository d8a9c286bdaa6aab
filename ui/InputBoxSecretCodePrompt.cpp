#include "ui/InputBoxSecretCodePrompt.h"

#include "ui/MessageService.h"
#include "ui/frmMyInputBox.h"

namespace orvj {

bool InputBoxSecretCodePrompt::AskSecretCode(QWidget* parent) {
    for (;;) {
        QString typed;
        {
            frmMyInputBox box(m_messages, parent);
            box.setInputLength(8);
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
        if (typed.toUpper() == secretCode()) {
            return true;
        }
        m_messages.show(parent, QStringLiteral("Incorrect Password"),
                        QStringLiteral("Incorrect Secret Code.  Please try again."),
                        MessageService::Icon::Critical);
    }
}

} // namespace orvj
