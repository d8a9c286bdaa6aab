#pragma once

#include <chrono>
#include <string>
#include <vector>

namespace orvj {

struct Date {
    int year = 0;
    int month = 0;
    int day = 0;
    // "mm/dd/yyyy", the form of the record's TestDate.
    std::string toRecordText() const;
};

// Today's date and waiting, behind an interface so tests can fix the one and skip the other.
class Clock {
public:
    virtual ~Clock() = default;
    virtual Date today() const = 0;
    // Returns after `duration` (the secret-code prompt's pause after wrong tries).
    virtual void pause(std::chrono::seconds duration) = 0;
};

class SystemClock : public Clock {
public:
    Date today() const override;
    // Sleeps: the program's windows use a clock that keeps them painted meanwhile (QtClock).
    void pause(std::chrono::seconds duration) override;
};

// A clock that stands still: today() is the date it was given, and pause() returns at once,
// noting each pause asked for.
class FixedClock : public Clock {
public:
    explicit FixedClock(Date d) : m_date(d) {}
    Date today() const override { return m_date; }
    void set(Date d) { m_date = d; }
    void pause(std::chrono::seconds duration) override { pauses.push_back(duration); }

    std::vector<std::chrono::seconds> pauses;

private:
    Date m_date;
};

} // namespace orvj
