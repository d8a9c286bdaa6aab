#pragma once

#include "ui/FormConventions.h"

#include <QAbstractButton>
#include <QApplication>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

#include <functional>

namespace orvj::test {

// Shows a form as exec() would and lets its activation run (which may close it again).
inline void showForm(QWidget* form) {
    form->show();
    QApplication::setActiveWindow(form);
    EXPECT_TRUE(QTest::qWaitFor([form] { return form->isActiveWindow() || !form->isVisible(); }));
    QApplication::processEvents();
}

// Shows a form as the active window, so focus changes reach its controls.
inline bool showActive(QWidget* form) {
    form->show();
    QApplication::setActiveWindow(form);
    return QTest::qWaitForWindowActive(form);
}

// Chooses a menu button of a form with the keyboard.
inline void press(QWidget* form, int choice) {
    menuButton(form, choice)->setFocus();
    QTest::keyClick(menuButton(form, choice), Qt::Key_Return);
}

// A key to whatever holds the focus (the form itself when nothing does).
inline void press(QWidget* form, Qt::Key key, Qt::KeyboardModifiers mods = Qt::NoModifier) {
    QWidget* target = QApplication::focusWidget();
    QTest::keyClick(target != nullptr ? target : form, key, mods);
}

// Runs `f` on the next modal dialog of type T (for forms that run exec()). It waits one turn
// after the dialog is first seen, so the dialog's own activation comes first, and fails the
// test when no such dialog comes up within about ten seconds.
template <typename T>
void whenModal(std::function<void(T*)> f, int triesLeft = 1000, bool seen = false) {
    QTimer::singleShot(10, qApp, [f, triesLeft, seen] {
        auto* dialog = qobject_cast<T*>(QApplication::activeModalWidget());
        if (dialog != nullptr && dialog->isVisible() && seen) {
            QApplication::setActiveWindow(dialog);
            f(dialog);
        } else if (triesLeft > 0) {
            whenModal<T>(f, triesLeft - 1, dialog != nullptr);
        } else {
            ADD_FAILURE() << "the dialog never came up";
        }
    });
}

} // namespace orvj::test
