#include "ui/FormConventions.h"

#include "store/OrvjError.h"
#include "tests/support/FakeMessageService.h"
#include "tests/support/FormDriving.h"
#include "ui/Attempt.h"

#include <QApplication>
#include <QCursor>
#include <QDialog>
#include <QLabel>
#include <QLineEdit>
#include <QSignalSpy>
#include <QVBoxLayout>

#include <stdexcept>

using namespace orvj;
using namespace Qt::StringLiterals;

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

bool hourglass() {
    const QCursor* c = QApplication::overrideCursor();
    return c != nullptr && c->shape() == Qt::WaitCursor;
}

// A guard inside another ends only its own hourglass; the outer one showing until its guard
// goes, and then the arrow is back, also when the inner guard is left by an exception.
TEST(FormConventions, NestedWaitCursorsEndInTurn) {
    ASSERT_EQ(QApplication::overrideCursor(), nullptr);
    {
        const WaitCursor outer;
        {
            const WaitCursor inner;
            EXPECT_TRUE(hourglass());
        }
        EXPECT_TRUE(hourglass()) << "the inner guard ended the outer hourglass";
        try {
            const WaitCursor inner;
            throw OrvjError(ErrorCode::FileNotFound, "gone");
        } catch (const OrvjError&) {
            EXPECT_TRUE(hourglass());
        }
    }
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
}

// The work runs under the hourglass; its error ends it before the box, which shows the lead
// and the error's text. An error of another kind passes on.
TEST(FormConventions, AttemptShowsTheFaultAfterTheHourglass) {
    test::FakeMessageService messages;
    bool waited = false;
    EXPECT_TRUE(attempt(nullptr, messages, u"Title"_s, u"Lead\n"_s, [&] { waited = hourglass(); }));
    EXPECT_TRUE(waited);
    EXPECT_TRUE(messages.shown.isEmpty());

    bool boxUnderHourglass = true;
    messages.onShow([&](const auto&) { boxUnderHourglass = hourglass(); });
    EXPECT_FALSE(attempt<OrvjError>(nullptr, messages, u"Title"_s, u"Lead\n"_s, [] {
        throw OrvjError(ErrorCode::FileNotFound, "DATA301.OVJ is missing");
    }));
    EXPECT_FALSE(boxUnderHourglass);
    ASSERT_EQ(messages.shown.size(), 1);
    EXPECT_EQ(messages.shown[0].title, u"Title"_s);
    EXPECT_EQ(messages.shown[0].text, u"Lead\nDATA301.OVJ is missing"_s);
    EXPECT_EQ(messages.shown[0].icon, MessageService::Icon::Critical);

    const WaitCursor outer; // a caller's own hourglass outlives a failed attempt
    EXPECT_FALSE(attempt<OrvjError>(nullptr, messages, u"Title"_s, QString(),
                                    [] { throw OrvjError(ErrorCode::DeviceIO, "x"); }));
    EXPECT_TRUE(hourglass());

    EXPECT_THROW(attempt<OrvjError>(nullptr, messages, u"Title"_s, QString(),
                                    [] { throw std::logic_error("other"); }),
                 std::logic_error);
    EXPECT_EQ(messages.shown.size(), 2);
}

} // namespace
