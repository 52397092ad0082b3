#pragma once
// The water's history at one spot: the temperature at a chart pixel on every chart of the flip
// set, oldest to newest, each chart read by its own data or under its own range, with the dates
// from the archive names. Read on every pointer move, so the tables of each range are built
// once per flip.

#include "archive/ChartImages.h"
#include "geo/ChartTemperatures.h"

#include <QDateTime>
#include <QLocale>
#include <QString>

#include <optional>
#include <vector>

namespace app {

struct HistoryPoint {
    QString label;                 // the chart's date, "11-24", or its file name without one
    std::optional<QDateTime> time; // from the archive name
    float temperature = 0.0f;      // °F, 0 where the chart gives none
    int decimals = 1;              // two for a chart read by its data
};

class TemperatureHistory {
public:
    // The charts of the flip set (in the list's order, which is the order of time) against the
    // scale strip; a chart without its own range is read under fallbackMin..fallbackMax.
    void setCharts(const archive::ChartImageList& charts, const QImage& scaleBitmap,
                   int fallbackMin, int fallbackMax);
    // The range the charts without one of their own are read under, after the scale's changed.
    void setFallbackRange(int fallbackMin, int fallbackMax);
    void clear();

    int chartCount() const { return int(m_charts.size()); }
    // A history needs two charts at least.
    bool isActive() const { return m_charts.size() >= 2; }

    // The temperature at chart pixel (x, y) on every chart; points is reused, so that a pointer
    // move allocates nothing once it has its size.
    void readAt(int x, int y, std::vector<HistoryPoint>& points) const;

private:
    struct Chart {
        // Its data, or its colours under its own range, else the fallback.
        geo::ChartTemperatures temperatures;
        bool ownRange = false;
        QString label;
        std::optional<QDateTime> time;
    };
    std::vector<Chart> m_charts;
    QImage m_scaleBitmap;
};

// The label of a chart in the history: "MM-dd" from an archive name's date, otherwise the file
// name without its extension.
QString historyLabel(const QString& path, const std::optional<QDateTime>& time);

// The temperature panel's tool-tip: one line per chart that gives a temperature, "11-24:
// 55.3°F" (or °C; "55.27°F" for a chart read by its data), oldest first; empty when none does.
QString historyToolTip(const std::vector<HistoryPoint>& points, bool celsius,
                       const QLocale& locale = QLocale());

} // namespace app
