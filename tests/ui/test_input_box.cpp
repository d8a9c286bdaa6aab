#include "ui/InputBoxSecretCodePrompt.h"
#include "ui/frmMyInputBox.h"

#include "tests/support/FakeMessageService.h"
#include "tests/support/FormDriving.h"

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
        EXPECT_TRUE(input(box)->text().isEmpty()) << "a fresh box for every attempt";
        steps.takeFirst()(box);
        answerBoxes(steps, seen);
    });
}

// An empty box asks for the code (Enter in the field only moves on to OK); the code shows as
// asterisks, eight at most; every wrong code is told and a fresh box comes, until the code (in
// any case) or Cancel.
TEST(SecretCode, EmptyAndWrongCodesAreRefusedUntilTheCodeOrCancel) {
    FakeMessageService messages;
    InputBoxSecretCodePrompt prompt(messages);
    const Step emptyThenTooLong = [&messages](frmMyInputBox* box) {
        QTest::keyClick(input(box), Qt::Key_Return);
        EXPECT_EQ(box->focusWidget(), menuButton(box, 0)) << "Enter only moves on";
        QTest::keyClick(menuButton(box, 0), Qt::Key_Return);
        EXPECT_EQ(messages.shown.size(), 1);
        EXPECT_EQ(messages.shown.value(0).title, QStringLiteral("Input required"));
        EXPECT_EQ(messages.shown.value(0).text,
                  QStringLiteral("Please enter the required password."));
        EXPECT_EQ(box->focusWidget(), input(box));
        QTest::keyClicks(input(box), QStringLiteral("123456789"));
        EXPECT_EQ(input(box)->displayText(), QStringLiteral("********"));
        typeAndAccept(box, QString());
    };
    const auto typed = [](const char* text) -> Step {
        return [text](frmMyInputBox* box) { typeAndAccept(box, QString::fromLatin1(text)); };
    };
    int seen = 0;
    answerBoxes({emptyThenTooLong, typed("kk"), typed("k")}, seen);
    EXPECT_TRUE(prompt.AskSecretCode(nullptr));
    answerBoxes({[](frmMyInputBox* box) { menuButton(box, 1)->click(); }}, seen);
    EXPECT_FALSE(prompt.AskSecretCode(nullptr));
    EXPECT_EQ(seen, 4);
    ASSERT_EQ(messages.shown.size(), 3);
    for (int i = 1; i < 3; ++i) {
        EXPECT_EQ(messages.shown[i].title, QStringLiteral("Incorrect Password"));
        EXPECT_EQ(messages.shown[i].text,
                  QStringLiteral("Incorrect Secret Code.  Please try again."));
    }
}

} // namespace
