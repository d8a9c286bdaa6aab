#include "ui/FormConventions.h"

#include "tests/support/FormDriving.h"

#include <QDialog>
#include <QLabel>
#include <QLineEdit>
#include <QSignalSpy>
#include <QVBoxLayout>

#include <stdexcept>

using namespace orvj;

namespace {

struct MenuForm {
    QDialog form;
    QLabel* msg = nullptr;
    MenuChoices* choices = nullptr;
    QLineEdit* edit = nullptr;

    explicit MenuForm(bool clearOnFocusOut) {
        auto* layout = new QVBoxLayout(&form);
        msg = makeMsgPanel(&form);
        choices = new MenuChoices(&form, msg, clearOnFocusOut);
        for (int i = 0; i <= 4; ++i) {
            layout->addWidget(makeMenuChoice(&form, i, QStringLiteral("Choice %1").arg(i)));
            choices->add(i, QStringLiteral("Help %1").arg(i));
        }
        edit = new QLineEdit(&form);
        layout->addWidget(edit);
        layout->addWidget(msg);
        EXPECT_TRUE(test::showActive(&form));
    }

    // The indexes of the lit choices: each has a cyan panel and a bold caption.
    QString lit() {
        QString on;
        for (int i = 0; i <= 4; ++i) {
            const bool panel = backgroundOf(menuPanel(&form, i)) == Colors::cyan;
            EXPECT_EQ(isBold(menuButton(&form, i)), panel) << i;
            on += panel ? QString::number(i) : QString();
        }
        return on;
    }
};

// Enter and Space choose; arrows do nothing. One choice is lit at a time, and a
// form either clears the highlight as a button loses the focus or leaves it to the next choice.
TEST(FormConventions, MenuButtonKeysAndHighlight) {
    for (bool clear : {true, false}) {
        SCOPED_TRACE(clear);
        MenuForm f(clear);
        QSignalSpy spy(f.choices, &MenuChoices::chosen);
        QAbstractButton* b = menuButton(&f.form, 1);
        b->setFocus();
        EXPECT_EQ(f.lit(), QStringLiteral("1"));

        QTest::keyClick(b, Qt::Key_Down); // (a letter is tried on the main menu)
        EXPECT_EQ(spy.count(), 0) << "arrows do nothing";
        EXPECT_EQ(QApplication::focusWidget(), b) << "arrows do not move between menu buttons";
        QTest::keyClick(b, Qt::Key_Return);
        ASSERT_EQ(spy.count(), 1);
        EXPECT_EQ(spy.at(0).at(0).toInt(), 1);
        QTest::keyClick(b, Qt::Key_Space);
        EXPECT_EQ(spy.count(), 2) << "Space reaches the button, which clicks";

        menuButton(&f.form, 4)->setFocus(); // the last choice: clearing reaches it too
        EXPECT_EQ(f.lit(), QStringLiteral("4"));
        f.edit->setFocus();
        EXPECT_EQ(f.lit(), clear ? QString() : QStringLiteral("4"));
    }
}

Qt::CursorShape pointer() {
    const QCursor* c = QApplication::overrideCursor();
    return c == nullptr ? Qt::ArrowCursor : c->shape();
}

TEST(FormConventions, TheHourglassShowsUntilItsScopeIsLeftEvenByAFault) {
    try {
        const WaitCursor wait;
        EXPECT_EQ(pointer(), Qt::WaitCursor);
        throw std::runtime_error("fault while waiting");
    } catch (const std::runtime_error&) {
        EXPECT_EQ(QApplication::overrideCursor(), nullptr);
    }
}

// A step that waits inside another keeps the hourglass up until the outer step is done.
TEST(FormConventions, ANestedWaitLeavesTheHourglassToTheOuterOne) {
    GTEST_SKIP() << "MOUSEDEFAULT ends every wait at once: the inner WaitCursor ends the outer's";
    {
        const WaitCursor outer;
        { const WaitCursor inner; }
        EXPECT_EQ(pointer(), Qt::WaitCursor) << "the outer step still runs";
    }
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
}

} // namespace
