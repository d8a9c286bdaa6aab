#include "ui/InputBoxSecretCodePrompt.h"
#include "ui/frmMyInputBox.h"

#include "tests/support/FakeMessageService.h"
#include "tests/support/FormDriving.h"

#include <QLabel>
#include <QLineEdit>
#include <gtest/gtest.h>

#include <functional>

using namespace orvj;
using orvj::test::FakeMessageService;

namespace {

QLineEdit* input(QWidget* box) {
    return box->findChild<QLineEdit*>(QStringLiteral("txtInput"));
}

void typeAndAccept(QWidget* box, const QString& text) {
    QTest::keyClicks(input(box), text);
    QTest::keyClick(input(box), Qt::Key_Return);
    // The box's own focus widget: under load the box may not be the active window yet.
    QTest::keyClick(box->focusWidget(), Qt::Key_Return);
}

using Step = std::function<void(frmMyInputBox*)>;

// Acts on every secret-code box that comes up with the next step, until the steps run out.
void answerBoxes(QList<Step> steps, int& seen) {
    if (steps.isEmpty()) {
        return;
    }
    test::whenModal<frmMyInputBox>([steps, &seen](frmMyInputBox* box) mutable {
        ++seen;
        EXPECT_EQ(box->windowTitle(), QStringLiteral("Secret Code"));
        EXPECT_EQ(box->findChild<QLabel*>(QStringLiteral("lblHelpMsg"))->text(),
                  QStringLiteral("Enter the Secret Code to continue.  For security, asterisks "
                                 "(*) will show as you type."));
        EXPECT_EQ(input(box)->echoMode(), QLineEdit::Password);
        EXPECT_EQ(input(box)->maxLength(), 8);
        EXPECT_TRUE(input(box)->text().isEmpty()) << "a fresh box for every attempt";
        steps.takeFirst()(box);
        answerBoxes(steps, seen);
    });
}

TEST(InputBox, EmptyInputIsAskedForInTheWordingOfItsMode) {
    for (bool password : {false, true}) {
        FakeMessageService messages;
        frmMyInputBox box(messages);
        box.setPasswordInput(password);
        box.setInputLength(3);
        ASSERT_TRUE(test::showActive(&box));

        QTest::keyClick(input(&box), Qt::Key_Return);
        EXPECT_EQ(QApplication::focusWidget(), menuButton(&box, 0)) << "Enter only moves on";
        QTest::keyClick(menuButton(&box, 0), Qt::Key_Return);
        ASSERT_EQ(messages.shown.size(), 1);
        EXPECT_EQ(messages.shown[0].title, QStringLiteral("Input required"));
        EXPECT_EQ(messages.shown[0].text,
                  password ? QStringLiteral("Please enter the required password.")
                           : QStringLiteral("Please enter the required data."));
        EXPECT_EQ(messages.shown[0].icon, MessageService::Icon::Question);
        EXPECT_EQ(QApplication::focusWidget(), input(&box));
        EXPECT_TRUE(box.isVisible());

        // A password shows an asterisk for every character.
        QTest::keyClicks(input(&box), QStringLiteral("abcd"));
        EXPECT_EQ(input(&box)->displayText(),
                  password ? QStringLiteral("***") : QStringLiteral("abc"));
        typeAndAccept(&box, QString());
        EXPECT_FALSE(box.isVisible());
        EXPECT_EQ(box.InputValue(), QStringLiteral("abc"));
        EXPECT_FALSE(box.Cancelled());
    }
}

// Every wrong code is told and a fresh box comes, until the code (in any case) or Cancel.
TEST(SecretCode, WrongCodesAreRefusedUntilTheCodeOrCancel) {
    const auto typed = [](const char* text) -> Step {
        return [text](frmMyInputBox* box) { typeAndAccept(box, QString::fromLatin1(text)); };
    };
    const Step cancel = [](frmMyInputBox* box) { menuButton(box, 1)->click(); };
    const struct {
        const char* name;
        QList<Step> steps;
        bool answer;
    } runs[] = {
        {"the code in lower case", {typed("123456789"), typed("kk"), typed("k")}, true},
        {"cancelled", {typed("x"), cancel}, false},
    };
    for (const auto& run : runs) {
        SCOPED_TRACE(run.name);
        FakeMessageService messages;
        InputBoxSecretCodePrompt prompt(messages);
        int seen = 0;
        answerBoxes(run.steps, seen);
        EXPECT_EQ(prompt.AskSecretCode(nullptr), run.answer);
        EXPECT_EQ(seen, run.steps.size());
        ASSERT_EQ(messages.shown.size(), run.steps.size() - 1);
        for (const auto& shown : messages.shown) {
            EXPECT_EQ(shown.title, QStringLiteral("Incorrect Password"));
            EXPECT_EQ(shown.text, QStringLiteral("Incorrect Secret Code.  Please try again."));
            EXPECT_EQ(shown.icon, MessageService::Icon::Critical);
        }
    }
}

} // namespace
