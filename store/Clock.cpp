#include "store/Clock.h"

#include "store/platform/File.h"

#include <chrono>
#include <cstdio>
#include <ctime>
#include <thread>

namespace orvj {

std::string Date::toRecordText() const {
    char buf[16];
    std::snprintf(buf, sizeof buf, "%02d/%02d/%04d", month % 100, day % 100, year % 10000);
    return buf;
}

Date SystemClock::today() const {
    using namespace std::chrono;
    const auto now = system_clock::now();
    const time_t t = system_clock::to_time_t(now);
    const std::tm local = platform::localTime(t);
    return {local.tm_year + 1900, local.tm_mon + 1, local.tm_mday};
}

void SystemClock::pause(std::chrono::seconds duration) {
    std::this_thread::sleep_for(duration);
}

} // namespace orvj
