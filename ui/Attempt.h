#pragma once

#include "ui/FormConventions.h"
#include "ui/MessageService.h"

#include <QString>

#include <exception>
#include <utility>

class QWidget;

namespace orvj {

// What a failed attempt tells of its error: the error's own account for the supervisor when
// it has one (a report run's names what was printed), else its message.
template <class Error> QString attemptFaultText(const Error& e) {
    if constexpr (requires { e.message(); }) {
        return errorText(e.message());
    } else {
        return errorText(e);
    }
}

// Runs `work` under the hourglass and tells whether it succeeded. When it throws an `Error`,
// the hourglass ends first, then the box titled `title` shows `lead` followed by the error's
// text, with the critical icon and OK. Other exceptions pass on.
template <class Error = std::exception, class Work>
bool attempt(QWidget* parent, MessageService& messages, const QString& title, const QString& lead,
             Work&& work) {
    QString fault;
    try {
        const WaitCursor wait;
        std::forward<Work>(work)();
        return true;
    } catch (const Error& e) {
        fault = lead + attemptFaultText(e);
    }
    messages.show(parent, title, fault, MessageService::Icon::Critical,
                  MessageService::Buttons::Ok);
    return false;
}

} // namespace orvj
