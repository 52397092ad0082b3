#include "archive/ChartAge.h"

#include <QCoreApplication>

namespace archive {

std::optional<ChartAge> chartAge(const std::optional<QDateTime>& chartTime, const QDateTime& now) {
    if (!chartTime || !chartTime->isValid() || !now.isValid()) return std::nullopt;
    const QString when = chartTime->toString(QStringLiteral("yyyy-MM-dd HH:mm"));
    const qint64 seconds = chartTime->secsTo(now);
    ChartAge age;
    age.stale = seconds > StaleAfterSeconds;
    const auto translate = [](const char* text) {
        return QCoreApplication::translate("ChartAge", text);
    };
    const qint64 hours = seconds / 3600;
    const qint64 days = seconds / (24 * 3600);
    if (seconds < 0)
        age.text = translate("chart of %1").arg(when);
    else if (hours == 0)
        age.text = translate("chart of %1, less than an hour old").arg(when);
    else if (hours == 1)
        age.text = translate("chart of %1, 1 hour old").arg(when);
    else if (days == 0)
        age.text = translate("chart of %1, %2 hours old").arg(when).arg(hours);
    else if (days == 1)
        age.text = translate("chart of %1, 1 day old").arg(when);
    else
        age.text = translate("chart of %1, %2 days old").arg(when).arg(days);
    return age;
}

} // namespace archive
