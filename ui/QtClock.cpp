#include "ui/QtClock.h"

#include <QEventLoop>
#include <QTimer>

namespace orvj {

void QtClock::pause(std::chrono::seconds duration) {
    QEventLoop loop;
    QTimer::singleShot(duration, &loop, &QEventLoop::quit);
    loop.exec(QEventLoop::ExcludeUserInputEvents);
}

} // namespace orvj
