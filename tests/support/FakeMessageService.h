#pragma once

#include "ui/MessageService.h"

#include <QList>
#include <QString>

#include <functional>

namespace orvj::test {

// Records every message box and beep; answers from a script, else with the default button, as
// Enter would (OK, Yes, or No for a Yes/No box whose default is No).
class FakeMessageService : public MessageService {
public:
    struct Shown {
        QString title;
        QString text;
        Icon icon;
        Buttons buttons;
    };

    Answer show(QWidget* parent, const QString& title, const QString& text, Icon icon,
                Buttons buttons) override;
    void beep() override { ++beeps; }

    // Answers for the next boxes, in order.
    void answerNext(Answer a) { m_script.append(a); }
    // Runs while the next box is "shown", before it answers (to check state at that moment).
    void onShow(std::function<void(const Shown&)> f) { m_onShow = std::move(f); }

    QList<Shown> shown;
    int beeps = 0;

private:
    QList<Answer> m_script;
    std::function<void(const Shown&)> m_onShow;
};

} // namespace orvj::test
