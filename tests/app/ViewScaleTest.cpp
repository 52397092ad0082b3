// The view's scale: view positions to chart pixels at every zoom and fit, the picture shown
// there, the zoom steps, and the numbers beside the temperature scale.

#include "app/ViewScale.h"
#include "app/ScaleTicks.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <vector>

using view::Scale;
constexpr auto percent = &Scale::percent;

TEST(ViewScale, EveryViewPositionLandsOnThePixelItShows) {
    // A chart whose every pixel is its own colour, so that the picture tells which one it shows.
    QImage chart(101, 67, QImage::Format_RGB32);
    for (int y = 0; y < chart.height(); ++y)
        for (int x = 0; x < chart.width(); ++x)
            chart.setPixel(x, y, qRgb(x, y, 0));
    // Every zoom step's kind, and two fits (71/101 and 650/1024).
    const Scale scales[] = {percent(25),
                            percent(33),
                            percent(50),
                            percent(67),
                            percent(100),
                            percent(150),
                            percent(200),
                            percent(300),
                            percent(800),
                            view::fitScale(chart.size(), QSize(71, 500)),
                            view::fitScale(QSize(1024, 1024), QSize(840, 650))};
    for (const Scale s : scales) {
        SCOPED_TRACE(std::to_string(s.num) + "/" + std::to_string(s.den));
        const QSize shown = view::viewSize(chart.size(), s);
        const QImage picture = view::renderArea(chart, s, QRect(QPoint(0, 0), shown));
        for (int axis = 0; axis < 2; ++axis) {
            const int length = axis == 0 ? shown.width() : shown.height();
            for (int v = 0; v < length; ++v) {
                const int pixel = view::chartPixel(v, s);
                // Truncated: the pixel whose span [pixel * s, (pixel + 1) * s) holds v.
                ASSERT_LE(view::viewPosition(pixel, s), v);
                ASSERT_GT(view::viewPosition(pixel + 1, s), v);
                // The readout's pixel is the one on screen there.
                const QRgb seen = axis == 0 ? picture.pixel(v, 0) : picture.pixel(0, v);
                ASSERT_EQ(axis == 0 ? qRed(seen) : qGreen(seen), pixel) << v;
            }
            // Nothing is cut off: the last view position shows the chart's last pixel, or reduced,
            // one of the last pixels a view pixel stands for.
            const int last = (axis == 0 ? chart.width() : chart.height()) - 1;
            EXPECT_LE(last - view::chartPixel(length - 1, s), (s.den - 1) / s.num);
        }
        // A part of the view (what a paint exposes) is that part of the whole.
        const QRect part(QRect(13, 5, 40, 30).intersected(QRect(QPoint(0, 0), shown)));
        EXPECT_EQ(view::renderArea(chart, s, part), picture.copy(part));
    }
    // In floating point 7 / 0.7 is 9.999...: the exact fraction keeps it on pixel 10.
    EXPECT_EQ(view::chartPixel(7, Scale{7, 10}), 10);
}

TEST(ViewScale, FitShowsTheWholeChartWithoutEnlargingIt) {
    const struct {
        QSize chart, room, shown;
    } cases[] = {
        {{1024, 1024}, {840, 650}, {650, 650}},
        {{1024, 1024}, {700, 900}, {700, 700}},
        {{1024, 512}, {800, 800}, {800, 400}},
        {{1024, 1024}, {1900, 1000}, {1000, 1000}},
        {{1024, 1024}, {1600, 1200}, {1024, 1024}},
        {{8, 8}, {500, 500}, {8, 8}},
        {{1024, 1024}, {1, 1}, {1, 1}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(view::viewSize(c.chart, view::fitScale(c.chart, c.room)), c.shown)
            << c.room.width() << 'x' << c.room.height();
}

TEST(ViewScale, ZoomStepsRunFrom25To800AndKeepThePointer) {
    std::vector<int> up, down;
    for (Scale s = percent(25); up.size() < 11; s = percent(up.back()))
        up.push_back(view::stepPercent(s, 1));
    for (Scale s = percent(800); down.size() < 11; s = percent(down.back()))
        down.push_back(view::stepPercent(s, -1));
    EXPECT_EQ(up, (std::vector<int>{33, 50, 67, 100, 150, 200, 300, 400, 600, 800, 800}));
    EXPECT_EQ(down, (std::vector<int>{600, 400, 300, 200, 150, 100, 67, 50, 33, 25, 25}));
    // From a fit between two steps, the next step either way.
    EXPECT_EQ(view::stepPercent(Scale{650, 1024}, 1), 67);
    EXPECT_EQ(view::stepPercent(Scale{650, 1024}, -1), 50);

    // The chart pixel under the pointer stays under it: exactly between whole scales, else
    // within the chart pixels one view pixel stands for, before or after (at least one).
    const Scale scales[] = {percent(25),  Scale{650, 1024}, percent(100), percent(150),
                            percent(200), percent(300),     percent(800)};
    for (const Scale before : scales)
        for (const Scale after : scales)
            for (const int d : {0, 37, 255, 640})
                for (const int viewPoint : {0, 300}) {
                    const int scrolled = view::scrollToKeep(d, before, after, viewPoint);
                    const int now = view::chartPixel(scrolled + viewPoint, after);
                    const int was = view::chartPixel(d, before);
                    const bool whole = before.num % before.den == 0 && after.num % after.den == 0;
                    const int perViewPixel = std::max((after.den + after.num - 1) / after.num,
                                                      (before.den + before.num - 1) / before.num);
                    EXPECT_LE(std::abs(now - was), whole ? 0 : std::max(1, perViewPixel))
                        << before.num << '/' << before.den << " -> " << after.num << '/'
                        << after.den << " at " << d;
                }
}

TEST(ScaleTicks, RoundNumbersInTheUnitShownNeverTouching) {
    const auto texts = [](const std::vector<app::ScaleTick>& ticks) {
        QStringList out;
        for (const app::ScaleTick& t : ticks)
            out << QStringLiteral("%1@%2").arg(t.text).arg(t.row);
        return out;
    };
    // 30..80 °F over 256 rows: 5.1 rows a degree, so every 5 °F; the ends are too near the edge.
    // Rows are rounded half to even (25.5 -> 26, 76.5 -> 76).
    EXPECT_EQ(texts(app::scaleTicks(30, 80, false, 256, 24, 7)),
              QStringList({"75°@26", "70°@51", "65°@76", "60°@102", "55°@128", "50°@153", "45°@178",
                           "40°@204", "35°@230"}));
    // The same range read in °C: -1.1..26.7 °C, every 5 °C.
    EXPECT_EQ(texts(app::scaleTicks(30, 80, true, 256, 24, 7)),
              QStringList({"25°@15", "20°@61", "15°@107", "10°@153", "5°@199", "0°@245"}));
    // A narrow range: one number in the middle, none cut at the ends.
    EXPECT_EQ(texts(app::scaleTicks(64, 66, false, 256, 24, 7)), QStringList({"65°@128"}));
    // A range set upside down runs the other way; an empty one has no numbers.
    EXPECT_EQ(texts(app::scaleTicks(80, 30, false, 256, 24, 7)).first(), "35°@26");
    EXPECT_TRUE(app::scaleTicks(50, 50, false, 256, 24, 7).empty());
}
