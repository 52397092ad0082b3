#pragma once
#include <QDateTime>

namespace platform {

// The local date and time. Tests set "today".
class Clock {
public:
    virtual ~Clock() = default;
    virtual QDateTime now() const = 0;
};

// Whole days of the local date and time since 30 December 1899, the fraction discarded.
int dayNumber(const QDateTime& localDateTime);

} // namespace platform
