#pragma once

#include <string>

namespace orvj {

struct Date {
    int year = 0;
    int month = 0;
    int day = 0;
    // "mm/dd/yyyy", the form of the record's TestDate.
    std::string toRecordText() const;
};

// Today's date, behind an interface so tests can fix it.
class Clock {
public:
    virtual ~Clock() = default;
    virtual Date today() const = 0;
};

class SystemClock : public Clock {
public:
    Date today() const override;
};

class FixedClock : public Clock {
public:
    explicit FixedClock(Date d) : m_date(d) {}
    Date today() const override { return m_date; }
    void set(Date d) { m_date = d; }

private:
    Date m_date;
};

} // namespace orvj
