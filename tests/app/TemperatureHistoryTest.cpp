// The water's history at a spot across the flip set: each chart read under its own range (a
// chart without one under the scale's), oldest first, dated from the archive names, and the
// tool-tip that lists only the charts that gave a temperature.

#include "app/TemperatureHistory.h"
#include "geo/Palette.h"
#include "geo/TemperatureScale.h"

#include <gtest/gtest.h>

#include <QImage>

namespace {

QImage scaleStrip() {
    return geo::TemperatureScale::BuildScaleBitmap(geo::builtinPaletteText());
}

// A chart of one colour, palette row 128 of the scale (its middle), with grey land at the left.
QImage halfWaterChart(const QImage& strip) {
    QImage chart(40, 20, QImage::Format_RGB888);
    chart.fill(strip.pixel(15, 128));
    for (int y = 0; y < 20; ++y)
        for (int x = 0; x < 15; ++x)
            chart.setPixel(x, y, qRgb(205, 205, 205));
    return chart;
}

QStringList rangeComment(int tmin, int tmax) {
    return {QStringLiteral("TIMESTAMP=2026-11-24-12ne01\r\nTMIN=%1\r\nTMAX=%2\r\nVARIATION=-15")
                .arg(tmin)
                .arg(tmax)};
}

TEST(TemperatureHistory, EachChartIsReadUnderItsOwnRangeOldestFirst) {
    const QImage strip = scaleStrip();
    const QImage chart = halfWaterChart(strip);
    archive::ChartImageList charts;
    // Added out of order: the list keeps the order of the names, which is the order of time.
    charts.add("/archive/2026-11-26-12ne01.gif", chart); // no comment: the scale's range
    charts.add("/archive/2026-11-24-12ne01.gif", chart, rangeComment(40, 60));
    charts.add("/archive/2026-11-25-12ne01.gif", chart, rangeComment(50, 70));

    app::TemperatureHistory history;
    history.setCharts(charts, strip, 30, 80);
    ASSERT_TRUE(history.isActive());
    std::vector<app::HistoryPoint> points;
    history.readAt(30, 10, points);
    ASSERT_EQ(points.size(), 3u);
    EXPECT_EQ(points[0].label, "11-24");
    EXPECT_EQ(points[1].label, "11-25");
    EXPECT_EQ(points[2].label, "11-26");
    EXPECT_EQ(points[0].time, QDateTime(QDate(2026, 11, 24), QTime(12, 0)));
    // Row 128 of 256 is 127/255 of the way down from the top (TMAX): the middle, give or take.
    const double down = 128.0 / 255.0;
    EXPECT_NEAR(points[0].temperature, 60 - 20 * down, 0.2);
    EXPECT_NEAR(points[1].temperature, 70 - 20 * down, 0.2);
    EXPECT_NEAR(points[2].temperature, 80 - 50 * down, 0.3);
    // The same colour reads exactly 10 °F warmer under a range 10 °F warmer.
    EXPECT_FLOAT_EQ(points[1].temperature - points[0].temperature, 10.0f);

    // A new fallback range reaches only the chart without a range of its own.
    history.setFallbackRange(40, 90);
    std::vector<app::HistoryPoint> again;
    history.readAt(30, 10, again);
    EXPECT_EQ(again[0].temperature, points[0].temperature);
    EXPECT_EQ(again[1].temperature, points[1].temperature);
    EXPECT_NEAR(again[2].temperature, 90 - 50 * down, 0.3);

    // Over land no chart gives a temperature, and the tool-tip says nothing.
    history.readAt(5, 10, points);
    for (const app::HistoryPoint& p : points)
        EXPECT_EQ(p.temperature, 0.0f);
    EXPECT_TRUE(app::historyToolTip(points, false).isEmpty());

    // One chart alone is no history.
    archive::ChartImageList one;
    one.add("/archive/2026-11-24-12ne01.gif", chart);
    history.setCharts(one, strip, 30, 80);
    EXPECT_FALSE(history.isActive());
}

TEST(TemperatureHistory, ToolTipListsTheChartsThatGiveATemperature) {
    std::vector<app::HistoryPoint> points(4);
    points[0].label = "11-24";
    points[0].temperature = 55.25f;
    points[1].label = "11-25"; // cloud that day
    points[2].label = "chart";
    points[2].temperature = 32.0f;
    points[3].label = "11-26"; // read by its data
    points[3].temperature = 55.27f;
    points[3].decimals = 2;
    EXPECT_EQ(app::historyToolTip(points, false, QLocale::c()),
              QString::fromUtf8("11-24: 55.2\u00B0F\nchart: 32.0\u00B0F\n11-26: 55.27\u00B0F"));
    EXPECT_EQ(app::historyToolTip(points, true, QLocale(QLocale::German)),
              QString::fromUtf8("11-24: 12,9\u00B0C\nchart: 0,0\u00B0C\n11-26: 12,93\u00B0C"));
    // A chart without a date in its name is labelled by its name.
    EXPECT_EQ(app::historyLabel("/x/area-ne01.gif", std::nullopt), "area-ne01");
}

} // namespace
