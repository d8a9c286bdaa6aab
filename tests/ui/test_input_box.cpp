#include "ui/InputBoxSecretCodePrompt.h"
#include "ui/frmMyInputBox.h"

#include "tests/support/FakeMessageService.h"
#include "ui/FormConventions.h"

#include <QAbstractButton>
#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QTest>
#include <QTimer>
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

// Acts on every input box that comes up, in turn, until the script runs out.
class InputBoxDriver : public QObject {
public:
    using Step = std::function<void(frmMyInputBox*)>;
    explicit InputBoxDriver(QList<Step> steps) : m_steps(std::move(steps)) {
        connect(&m_timer, &QTimer::timeout, this, &InputBoxDriver::poll);
        m_timer.start(5);
    }
    int boxesSeen = 0;

private:
    void poll() {
        auto* box = qobject_cast<frmMyInputBox*>(QApplication::activeModalWidget());
        if (box == nullptr || box == m_last || !box->isVisible() || m_steps.isEmpty()) {
            return;
        }
        m_last = box;
        ++boxesSeen;
        EXPECT_EQ(box->windowTitle(), QStringLiteral("Secret Code"));
        EXPECT_EQ(box->findChild<QLabel*>(QStringLiteral("lblHelpMsg"))->text(),
                  QStringLiteral("Enter the Secret Code to continue.  For security, asterisks "
                                 "(*) will show as you type."));
        EXPECT_EQ(input(box)->echoMode(), QLineEdit::Password);
        EXPECT_TRUE(input(box)->text().isEmpty()) << "a fresh box for every attempt";
        m_steps.takeFirst()(box);
    }
    QList<Step> m_steps;
    QPointer<frmMyInputBox> m_last;
    QTimer m_timer;
};

TEST(InputBox, EmptyInputIsAskedForInTheWordingOfItsMode) {
    for (bool password : {false, true}) {
        FakeMessageService messages;
        frmMyInputBox box(messages);
        box.setPasswordInput(password);
        box.setInputLength(3);
        box.setHelpMessage(QStringLiteral("Type it."));
        box.show();
        QApplication::setActiveWindow(&box);
        ASSERT_TRUE(QTest::qWaitForWindowActive(&box));
        EXPECT_EQ(box.findChild<QLabel*>(QStringLiteral("lblHelpMsg"))->text(),
                  QStringLiteral("Type it."));
        EXPECT_EQ(input(&box)->echoMode(), password ? QLineEdit::Password : QLineEdit::Normal);

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

        typeAndAccept(&box, QStringLiteral("abcd"));
        EXPECT_FALSE(box.isVisible());
        EXPECT_EQ(box.InputValue(), QStringLiteral("abc"));
        EXPECT_FALSE(box.Cancelled());
    }
}

TEST(SecretCode, WrongCodesAreRefusedUntilTheCodeComesInLowerCase) {
    FakeMessageService messages;
    InputBoxSecretCodePrompt prompt(messages);
    InputBoxDriver driver({
        [](frmMyInputBox* box) {
            QTest::keyClicks(input(box), QStringLiteral("123456789"));
            EXPECT_EQ(input(box)->text(), QStringLiteral("12345678")) << "no ninth character";
            QTest::keyClick(input(box), Qt::Key_Return);
            QTest::keyClick(box->focusWidget(), Qt::Key_Return);
        },
        [](frmMyInputBox* box) { typeAndAccept(box, QStringLiteral("kk")); },
        [](frmMyInputBox* box) { typeAndAccept(box, QStringLiteral("k")); },
    });
    EXPECT_TRUE(prompt.AskSecretCode(nullptr));
    EXPECT_EQ(driver.boxesSeen, 3);
    ASSERT_EQ(messages.shown.size(), 2);
    for (const auto& shown : messages.shown) {
        EXPECT_EQ(shown.title, QStringLiteral("Incorrect Password"));
        EXPECT_EQ(shown.text, QStringLiteral("Incorrect Secret Code.  Please try again."));
        EXPECT_EQ(shown.icon, MessageService::Icon::Critical);
    }
}

TEST(SecretCode, CancelAnswersFalseAtOnce) {
    FakeMessageService messages;
    InputBoxSecretCodePrompt prompt(messages);
    InputBoxDriver driver({
        [](frmMyInputBox* box) { typeAndAccept(box, QStringLiteral("x")); },
        [](frmMyInputBox* box) { menuButton(box, 1)->click(); },
    });
    EXPECT_FALSE(prompt.AskSecretCode(nullptr));
    EXPECT_EQ(driver.boxesSeen, 2);
    EXPECT_EQ(messages.shown.size(), 1);
}

} // namespace

TEST(InputBox, TheSecretCodeShowsAnAsteriskForEveryCharacter) {
    FakeMessageService messages;
    frmMyInputBox box(messages);
    box.setPasswordInput(true);
    box.setInputLength(8);
    box.show();
    QApplication::setActiveWindow(&box);
    ASSERT_TRUE(QTest::qWaitForWindowActive(&box));
    QTest::keyClicks(input(&box), QStringLiteral("kq7"));
    EXPECT_EQ(input(&box)->text(), QStringLiteral("kq7"));
    EXPECT_EQ(input(&box)->displayText(), QStringLiteral("***"));
}
