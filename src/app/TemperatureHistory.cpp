#include "app/TemperatureHistory.h"

#include "archive/ChartIntake.h"
#include "geo/ChartMetadata.h"
#include "geo/ThalwiseUtils.h"

#include <QFileInfo>

namespace app {

QString historyLabel(const QString& path, const std::optional<QDateTime>& time) {
    if (time) return time->toString(QStringLiteral("MM-dd"));
    return QFileInfo(path).completeBaseName();
}

void TemperatureHistory::clear() {
    m_charts.clear();
}

void TemperatureHistory::setCharts(const archive::ChartImageList& charts,
                                   const QImage& scaleBitmap, int fallbackMin, int fallbackMax) {
    clear();
    if (scaleBitmap.isNull()) return;
    m_scaleBitmap = scaleBitmap;
    for (const ChartImage& image : charts) {
        if (image.bitmap.isNull()) continue;
        Chart chart;
        // Each chart under its own range, as the scale shows it when that chart is opened.
        chart.ownRange = image.metadata.hasRange;
        const geo::ScaleRange range =
            geo::chartScaleRange(image.metadata, {fallbackMin, fallbackMax});
        geo::TemperatureScale scale;
        scale.TempScaleChange(scaleBitmap, range.min, range.max);
        chart.temperatures = geo::ChartTemperatures(image.bitmap, scale, image.temperatures);
        chart.time = archive::chartTimeOf(QFileInfo(image.path).completeBaseName());
        chart.label = historyLabel(image.path, chart.time);
        m_charts.push_back(std::move(chart));
    }
}

void TemperatureHistory::setFallbackRange(int fallbackMin, int fallbackMax) {
    geo::TemperatureScale fallback;
    fallback.TempScaleChange(m_scaleBitmap, fallbackMin, fallbackMax);
    for (Chart& chart : m_charts)
        if (!chart.ownRange) chart.temperatures.setScale(fallback);
}

void TemperatureHistory::readAt(int x, int y, std::vector<HistoryPoint>& points) const {
    points.resize(m_charts.size());
    for (std::size_t i = 0; i < m_charts.size(); ++i) {
        const Chart& chart = m_charts[i];
        HistoryPoint& point = points[i];
        point.label = chart.label; // shared, not copied
        point.time = chart.time;
        point.temperature = chart.temperatures.at(x, y);
        point.decimals = chart.temperatures.readoutDecimals();
    }
}

QString historyToolTip(const std::vector<HistoryPoint>& points, bool celsius,
                       const QLocale& locale) {
    QString text;
    for (const HistoryPoint& point : points) {
        if (point.temperature == 0.0f) continue;
        if (!text.isEmpty()) text += QLatin1Char('\n');
        text += point.label;
        text += QLatin1String(": ");
        text += geo::temperatureText(point.temperature, celsius, locale, point.decimals);
    }
    return text;
}

} // namespace app
