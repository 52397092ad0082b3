#include "platform/SystemClock.h"

namespace platform {

QDateTime SystemClock::now() const {
    return QDateTime::currentDateTime();
}

int dayNumber(const QDateTime& localDateTime) {
    if (!localDateTime.isValid()) return 0;
    // Only the calendar date counts: the time of day is the fraction that is discarded.
    static const QDate epoch(1899, 12, 30);
    return static_cast<int>(epoch.daysTo(localDateTime.toLocalTime().date()));
}

} // namespace platform
