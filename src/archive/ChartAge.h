#pragma once
// How old the chart on screen is, from the date and hour its time stamp carries: charts come
// daily, and a trip is not planned on water that has changed since.

#include <QDateTime>
#include <QString>

#include <optional>

namespace archive {

// A chart older than this is stale and shown in a warning colour.
inline constexpr qint64 StaleAfterSeconds = 2 * 24 * 3600;

struct ChartAge {
    QString text; // "chart of 2026-12-01 12:00, 3 days old"
    bool stale = false;
};

// The age of a chart made at chartTime, seen at now (both local). Whole hours below a day,
// whole days above, counted down; a chart time after now says only when the chart is of.
// Stale when more than two days old. Nothing without a chart time.
std::optional<ChartAge> chartAge(const std::optional<QDateTime>& chartTime, const QDateTime& now);

} // namespace archive
