// Whole break lines on charts painted from known fronts: a broad, gentle front gives one line
// along its length, two fronts give two, land across a front cuts it in two, and a line's
// strength is the break layer's.
#include "geo/BreakLines.h"
#include "geo/AreaStuff.h"
#include "geo/Palette.h"
#include "geo/TemperatureBreaks.h"
#include "geo/TemperatureScale.h"
#include "geo/vekMapping.h"

#include "PaintedScale.h"

#include <gtest/gtest.h>

#include <QImage>

#include <algorithm>
#include <cmath>
#include <functional>

namespace {

using painted::Scale;
using painted::ScaleMax;
using painted::ScaleMin;

struct Case {
    const char* name;
    // °F at a pixel, or nothing for land.
    std::function<std::optional<double>(int x, int y)> water;
    int lines;
    int shortestRows; // every line runs down at least this many rows
};

// A front warming eastward about column centre, steepest (°F per NM) at its middle, slanted a
// little so that it crosses the pixel grid.
double front(int x, int y, double centre, double steepest, double milesPerColumn) {
    const double halfWidth = 3.0 / (steepest * milesPerColumn);
    return 3.0 * std::tanh((x - centre - 0.08 * y) / halfWidth);
}

TEST(BreakLines, FollowEachFrontWhole) {
    const Scale s;
    const geo::Calibration ne01 = geo::Calibration::forArea(RecogniseArea("ne01"));
    const double miles = geo::pixelSizeNm(ne01, 200)->eastWestNm;
    const int width = 260, height = 400;
    const Case cases[] = {
        {"broad gentle front", [&](int x, int y) { return 55.0 + front(x, y, 110, 0.9, miles); }, 1,
         300},
        {"two fronts",
         [&](int x, int y) {
             return 55.0 + front(x, y, 60, 1.5, miles) - front(x, y, 190, 1.5, miles);
         },
         2, 300},
        {"front cut by land",
         [&](int x, int y) -> std::optional<double> {
             if (y >= 190 && y < 215) return std::nullopt;
             return 55.0 + front(x, y, 110, 1.5, miles);
         },
         2, 120},
    };
    for (const Case& c : cases) {
        QImage chart(width, height, QImage::Format_RGB32);
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x) {
                const std::optional<double> t = c.water(x, y);
                chart.setPixel(x, y, t ? s.colourOf(*t) : qRgb(205, 205, 205));
            }
        const geo::TemperatureField field = geo::temperatureField(s.scale, chart);
        const std::vector<geo::BreakLine> lines =
            geo::findBreakLines(field, ne01, geo::DefaultBreakThreshold);
        const geo::BreakLayer layer =
            geo::findTemperatureBreaks(field, ne01, geo::DefaultBreakThreshold);
        ASSERT_EQ(int(lines.size()), c.lines) << c.name;
        for (const geo::BreakLine& line : lines) {
            double top = 1e9, bottom = -1e9, steepestMarked = 0.0;
            for (const QPointF& p : line.points) {
                top = std::min(top, p.y());
                bottom = std::max(bottom, p.y());
                const int x = int(p.x()), y = int(p.y());
                if (layer.isMarked(x, y))
                    steepestMarked = std::max(steepestMarked, double(layer.strengthAt(x, y)));
            }
            EXPECT_GE(bottom - top, c.shortestRows) << c.name;
            // The steepest point of a front is on the layer's line too.
            EXPECT_NEAR(line.strength, steepestMarked, 1.0 / 1024) << c.name;
        }
    }
    // Without a calibration there are no miles and so no lines.
    EXPECT_TRUE(
        geo::findBreakLines(geo::temperatureField(s.scale, QImage(50, 50, QImage::Format_RGB32)),
                            geo::Calibration(), 0.7)
            .empty());
}

// Ridges spread from the breaks are exactly the ridge pixels joined to one reaching the
// threshold through ridge pixels at most two apart, on a sample chart's fronts, eddies, land
// and cloud.
TEST(BreakLines, RidgesSpreadFromBreaksAreAllABreakReaches) {
    const QImage chart =
        QImage(QStringLiteral(THALWISE_SOURCE_DIR "/resources/samples/area-ne01.gif"))
            .convertToFormat(QImage::Format_RGB32);
    ASSERT_FALSE(chart.isNull());
    geo::TemperatureScale scale;
    scale.TempScaleChange(geo::TemperatureScale::BuildScaleBitmap(geo::builtinPaletteText()), 38,
                          62);
    const geo::Calibration ne01 = geo::Calibration::forArea(RecogniseArea("ne01"));
    const geo::TemperatureField field = geo::temperatureField(scale, chart);
    for (const double threshold : {geo::WeakBreakThreshold, geo::DefaultBreakThreshold}) {
        const geo::BreakRidges all = geo::findBreakRidges(field, ne01, threshold, 0.6 * threshold);
        const geo::BreakRidges spread =
            geo::findBreakRidges(field, ne01, threshold, 0.6 * threshold, 2);
        std::vector<std::uint8_t> reached(all.ridge.size(), 0);
        std::vector<std::size_t> open;
        for (std::size_t i = 0; i < all.ridge.size(); ++i)
            if (all.ridge[i] && geo::BreakRidges::reaches(all.strength[i], threshold)) {
                reached[i] = 1;
                open.push_back(i);
            }
        while (!open.empty()) {
            const int x = int(open.back() % std::size_t(all.width));
            const int y = int(open.back() / std::size_t(all.width));
            open.pop_back();
            for (int ny = std::max(0, y - 2); ny <= std::min(all.height - 1, y + 2); ++ny)
                for (int nx = std::max(0, x - 2); nx <= std::min(all.width - 1, x + 2); ++nx) {
                    const std::size_t j = std::size_t(ny) * std::size_t(all.width) + nx;
                    if (all.ridge[j] && !reached[j]) {
                        reached[j] = 1;
                        open.push_back(j);
                    }
                }
        }
        EXPECT_TRUE(spread.ridge == reached) << threshold;
        // Not a trivial case: some weaker ridges lie apart from every break.
        EXPECT_LT(std::count(reached.begin(), reached.end(), 1),
                  std::count(all.ridge.begin(), all.ridge.end(), 1))
            << threshold;
    }
}

} // namespace
