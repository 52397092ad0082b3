#pragma once
#include "platform/Clock.h"

// A clock that says what the test set (local time).
class FakeClock : public platform::Clock {
public:
    explicit FakeClock(const QDateTime& start = QDateTime(QDate(2024, 6, 1), QTime(12, 0)))
        : current(start) {}
    QDateTime now() const override { return current; }
    void setNow(const QDateTime& when) { current = when; }
    void advanceDays(int days) { current = current.addDays(days); }

    QDateTime current;
};
