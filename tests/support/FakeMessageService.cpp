#include "tests/support/FakeMessageService.h"

namespace orvj::test {

MessageService::Answer FakeMessageService::show(QWidget*, const QString& title, const QString& text,
                                                Icon icon, Buttons buttons) {
    Shown s{title, text, icon, buttons};
    shown.append(s);
    if (m_onShow) {
        m_onShow(s);
    }
    if (!m_script.isEmpty()) {
        return m_script.takeFirst();
    }
    switch (buttons) {
    case Buttons::YesNo:
        return Answer::Yes;
    case Buttons::YesNoDefaultNo:
        return Answer::No;
    default:
        return Answer::Ok;
    }
}

} // namespace orvj::test
