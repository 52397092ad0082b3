// Temperature breaks on charts painted from known temperature fields: the field reads every
// pixel as the pointer does, the pixel size follows the calibration's latitude, a straight
// front of known strength is found where it is and nowhere else, and land, cloud and coast
// edges, which change the colours but not the water, give none.
#include "geo/AreaStuff.h"
#include "geo/Palette.h"
#include "geo/TemperatureBreaks.h"
#include "geo/TemperatureHighlight.h"
#include "geo/TemperatureScale.h"
#include "geo/vekMapping.h"

#include "PaintedScale.h"

#include <gtest/gtest.h>

#include <QFileInfo>
#include <QImage>

#include <cmath>
#include <functional>
#include <random>

namespace {

using painted::Scale;
using painted::ScaleMax;
using painted::ScaleMin;

const QRgb Land = qRgb(205, 205, 205);
const QRgb Cloud = qRgb(255, 255, 255);
const QRgb Coast = qRgb(0, 0, 0);

QImage paint(int width, int height, const std::function<QRgb(int, int)>& colour) {
    QImage chart(width, height, QImage::Format_RGB32);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            chart.setPixel(x, y, colour(x, y));
    return chart;
}

// A linear chart of one degree square over 600 pixels: every row has the same north-south size.
geo::Calibration linearCalibration() {
    geo::Calibration c;
    c.Valid = true;
    c.Area = 1;
    c.Lat1 = 30.0f;
    c.Row1 = 0;
    c.Lat2 = 29.0f;
    c.Row2 = 600;
    c.LonWest1 = 80.0f;
    c.Col1 = 0;
    c.LonWest2 = 79.0f;
    c.Col2 = 600;
    return c;
}

TEST(TemperatureField, ReadsEveryPixelAsThePointerDoes) {
    // Sea colours of many temperatures mixed with land, cloud, coast and dark pixels, so that
    // windows of every mixture occur, on a 24-bit picture as well as the window's 32-bit one.
    const Scale s;
    std::mt19937 random(7);
    std::uniform_int_distribution<int> pick(0, 19);
    std::uniform_real_distribution<double> warmth(0.0, 30.0);
    const QImage chart = paint(61, 23, [&](int x, int y) {
        switch (pick(random)) {
        case 0: return Land;
        case 1: return Cloud;
        case 2: return Coast;
        case 3: return qRgb(0, 0, 30);
        // Water warming eastward with a little noise: neighbours of like colours.
        default: return s.colourOf(45.0 + 0.3 * x + 0.2 * y + warmth(random) / 30.0);
        }
    });
    for (const QImage& picture : {chart, chart.convertToFormat(QImage::Format_RGB888)}) {
        const geo::TemperatureField field = geo::temperatureField(s.scale, picture);
        ASSERT_EQ(field.width, 61);
        ASSERT_EQ(field.height, 23);
        int readings = 0;
        for (int y = 0; y < chart.height(); ++y)
            for (int x = 0; x < chart.width(); ++x) {
                const float expected = s.scale.TemperatureAtPixel(chart, x, y);
                ASSERT_EQ(field.at(x, y), expected) << x << "," << y;
                readings += expected != 0.0f;
            }
        EXPECT_GT(readings, 300); // the mixture left most windows readable
    }
    // A picture too narrow for any reading reads nothing, without touching memory beyond it.
    const geo::TemperatureField narrow = geo::temperatureField(s.scale, chart.copy(0, 0, 4, 9));
    EXPECT_EQ(std::count(narrow.values.begin(), narrow.values.end(), 0.0f), 36);
}

TEST(TemperatureBreaks, PixelSizeFollowsTheLatitudeOfTheRow) {
    // On the Mercator area ne01 a pixel spans fewer miles the farther north its row lies; each
    // size agrees with the miles between rows 40 apart as the mapping places them.
    const geo::Calibration ne01 = geo::Calibration::forArea(RecogniseArea("ne01"));
    ASSERT_TRUE(ne01.Valid);
    ASSERT_TRUE(ne01.Mercator);
    double eastWest[2] = {};
    int index = 0;
    for (const int row : {100, 900}) {
        const std::optional<geo::PixelSize> size = geo::pixelSizeNm(ne01, row);
        ASSERT_TRUE(size);
        float latNorth = 0, latSouth = 0, lonWest = 0, lonEast = 0, lat = 0, lon = 0;
        ASSERT_TRUE(PixelToGeo(ne01, 500, row - 20, latNorth, lon));
        ASSERT_TRUE(PixelToGeo(ne01, 500, row + 20, latSouth, lon));
        ASSERT_TRUE(PixelToGeo(ne01, 300, row, lat, lonWest));
        ASSERT_TRUE(PixelToGeo(ne01, 700, row, lat, lonEast));
        const double northSouth = (double(latNorth) - latSouth) * 60.0 / 40.0;
        const double alongParallel =
            (double(lonEast) - lonWest) * 60.0 * std::cos(lat * M_PI / 180.0) / 400.0;
        EXPECT_NEAR(size->northSouthNm, northSouth, northSouth * 1e-3) << row;
        EXPECT_NEAR(size->eastWestNm, alongParallel, alongParallel * 1e-3) << row;
        eastWest[index++] = size->eastWestNm;
    }
    // 43.3° north at row 100 against 41.3° at row 900: cos ratio 0.9695.
    float north = 0, south = 0, lon = 0;
    PixelToGeo(ne01, 0, 100, north, lon);
    PixelToGeo(ne01, 0, 900, south, lon);
    EXPECT_NEAR(eastWest[0] / eastWest[1],
                std::cos(north * M_PI / 180.0) / std::cos(south * M_PI / 180.0), 1e-6);
    EXPECT_LT(eastWest[0], eastWest[1]);

    // A linear chart's rows are all equally high; without a calibration there is no size.
    EXPECT_NEAR(geo::pixelSizeNm(linearCalibration(), 10)->northSouthNm, 0.1, 1e-9);
    EXPECT_NEAR(geo::pixelSizeNm(linearCalibration(), 590)->northSouthNm, 0.1, 1e-9);
    EXPECT_FALSE(geo::pixelSizeNm(geo::Calibration::forArea(geo::NoArea), 10));
}

TEST(TemperatureBreaks, AStraightFrontIsFoundWhereItIsAndNowhereElse) {
    // A front running north-south at column 100: 6 °F across it, steepest at 2 °F per NM on
    // the palette's own steps, on an ne01 chart.
    const Scale s;
    const geo::Calibration ne01 = geo::Calibration::forArea(RecogniseArea("ne01"));
    const double milesPerColumn = geo::pixelSizeNm(ne01, 400)->eastWestNm;
    const double steepest = 2.0;
    const double halfWidth = 3.0 / (steepest * milesPerColumn); // pixels: 3/halfWidth per pixel
    QImage chart = paint(200, 800, [&](int x, int) {
        return s.colourOf(55.0 + 3.0 * std::tanh((x - 100) / halfWidth));
    });
    const geo::TemperatureField field = geo::temperatureField(s.scale, chart);

    const geo::BreakLayer found = geo::findTemperatureBreaks(field, ne01, geo::DefaultBreakThreshold);
    int rowsWithMark = 0;
    for (int y = 0; y < found.height; ++y) {
        int marksInRow = 0;
        for (int x = 0; x < found.width; ++x) {
            if (!found.isMarked(x, y)) continue;
            ++marksInRow;
            EXPECT_NEAR(x, 100, 1) << "row " << y;
        }
        EXPECT_LE(marksInRow, 1) << "row " << y; // a line one pixel thin
        rowsWithMark += marksInRow > 0;
    }
    // Every row but the margins near the top and bottom, where the smoothing has no room.
    EXPECT_GE(rowsWithMark, 800 - 2 * (3 * found.smoothing + 4));
    // Its strength is the front's, softened by the reading's window and the smoothing over
    // the palette's steps, never steepened.
    const float strength = found.strengthAt(100, 400);
    EXPECT_LE(strength, steepest);
    EXPECT_GE(strength, 0.8 * steepest);

    // A threshold above the front's strength finds nothing.
    EXPECT_EQ(geo::findTemperatureBreaks(field, ne01, 2.1).markCount, 0);
    // Without a calibration there are no miles and so no breaks.
    EXPECT_EQ(geo::findTemperatureBreaks(field, geo::Calibration(), 0.1).markCount, 0);
}

TEST(TemperatureBreaks, AGradientExactlyAtTheThresholdIsABreak) {
    // Water warming northward at exactly 0.7 °F per NM between rows 200 and 400 of a linear
    // chart (0.1 NM a row), flat beyond: one line across the ramp, none outside it.
    const int width = 120, height = 600;
    geo::TemperatureField field;
    field.width = width;
    field.height = height;
    field.values.resize(std::size_t(width) * height);
    field.clean.assign(field.values.size(), 1);
    const double perRow = 0.7 * 0.1;
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            field.values[std::size_t(y) * width + x] =
                float(60.0 - perRow * (std::clamp(y, 200, 400) - 200));
    const geo::Calibration c = linearCalibration();

    const geo::BreakLayer at = geo::findTemperatureBreaks(field, c, 0.7);
    ASSERT_GT(at.markCount, 0);
    int lineRow = -1;
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            if (at.isMarked(x, y)) {
                EXPECT_GT(y, 200);
                EXPECT_LT(y, 400);
                if (lineRow < 0) lineRow = y;
                EXPECT_EQ(y, lineRow) << "one line, not a band"; // a plateau gives one line
            }
    EXPECT_GE(at.markCount, width - 2 * 8);
    EXPECT_GT(geo::findTemperatureBreaks(field, c, 0.6995).markCount, 0);
    EXPECT_EQ(geo::findTemperatureBreaks(field, c, 0.7005).markCount, 0);
}

TEST(TemperatureBreaks, LandCloudAndCoastEdgesAreNoBreaks) {
    // Uniform water with a black-rimmed island, a cloud bank and a grid line across it: their
    // edges darken the readings beside them, but the water does not change, so even the
    // weakest threshold finds nothing. Across the middle, a real front still shows beside them.
    const Scale s;
    const geo::Calibration ne01 = geo::Calibration::forArea(RecogniseArea("ne01"));
    auto scene = [&](int x, int y, double water) -> QRgb {
        const bool island = std::hypot(x - 80, y - 80) < 30;
        const bool rim = !island && std::hypot(x - 80, y - 80) < 31.5;
        if (island) return Land;
        if (rim) return Coast;
        if (x > 150 && x < 190 && y > 40 && y < 200) return Cloud;
        if (y == 250) return qRgb(128, 128, 128); // a grid line
        return s.colourOf(water);
    };
    const QImage calm = paint(240, 300, [&](int x, int y) { return scene(x, y, 55.0); });
    const geo::BreakLayer none = geo::findTemperatureBreaks(geo::temperatureField(s.scale, calm),
                                                            ne01, geo::LowestBreakThreshold);
    EXPECT_EQ(none.markCount, 0);

    const QImage front = paint(240, 300, [&](int x, int y) {
        return scene(x, y, 55.0 + 3.0 * std::tanh((x - 120) / 10.0));
    });
    const geo::BreakLayer some = geo::findTemperatureBreaks(geo::temperatureField(s.scale, front),
                                                            ne01, geo::DefaultBreakThreshold);
    ASSERT_GT(some.markCount, 0);
    for (int y = 0; y < some.height; ++y)
        for (int x = 0; x < some.width; ++x)
            if (some.isMarked(x, y)) {
                EXPECT_NEAR(x, 120, 1) << y;
            }
}

TEST(TemperatureBreaks, FrontsAreFoundWhicheverWayTheWarmWaterLies) {
    // The same front turned through eight directions, diagonals included: each is found along
    // its middle, a line through the chart's centre across the warm side's direction.
    const Scale s;
    const geo::Calibration c = linearCalibration(); // about 0.09 by 0.1 NM a pixel
    for (int turn = 0; turn < 8; ++turn) {
        const double angle = turn * M_PI / 4.0;
        const double ux = std::cos(angle), uy = std::sin(angle); // toward the warm side
        const QImage chart = paint(160, 160, [&](int x, int y) {
            const double along = (x - 80) * ux + (y - 80) * uy;
            return s.colourOf(55.0 + 3.0 * std::tanh(along / 10.0));
        });
        const geo::BreakLayer layer =
            geo::chartBreaks(s.scale, chart, c, geo::DefaultBreakThreshold);
        EXPECT_GT(layer.markCount, 40) << "turn " << turn;
        int off = 0;
        for (int y = 0; y < layer.height; ++y)
            for (int x = 0; x < layer.width; ++x)
                if (layer.isMarked(x, y) && std::abs((x - 80) * ux + (y - 80) * uy) > 1.5) ++off;
        EXPECT_EQ(off, 0) << "turn " << turn;
    }
}

TEST(TemperatureBreaks, TheWarmCurrentOfTheSampleChartsShows) {
    const QString sample = QStringLiteral(THALWISE_SOURCE_DIR "/resources/samples/area-ne01.gif");
    QImage chart(sample);
    ASSERT_FALSE(chart.isNull()) << sample.toStdString();
    chart = chart.convertToFormat(QImage::Format_RGB32);
    geo::TemperatureScale scale;
    // The sample's own range, TMIN 38 and TMAX 62.
    scale.TempScaleChange(geo::TemperatureScale::BuildScaleBitmap(geo::builtinPaletteText()), 38,
                          62);
    const geo::Calibration ne01 = geo::Calibration::forArea(geo::chartAreaOfFile(sample));
    const geo::BreakLayer layer = geo::chartBreaks(scale, chart, ne01, geo::DefaultBreakThreshold);
    // Lines, not a speckle: thousands of pixels, yet a small share of the chart.
    EXPECT_GT(layer.markCount, 3000);
    EXPECT_LT(layer.markCount, 1024 * 1024 / 50);
    // Most of them lie on the current's edges, where the water is 48 to 56 °F (cyan to
    // yellow-orange on this scale), not in the calm shelf water or the current's warm core.
    int onEdges = 0;
    for (int y = 0; y < layer.height; ++y)
        for (int x = 0; x < layer.width; ++x)
            if (layer.isMarked(x, y)) {
                const float t = scale.TemperatureAtPixel(chart, x, y);
                onEdges += t >= 46.0f && t <= 57.0f;
            }
    EXPECT_GT(onEdges, layer.markCount * 3 / 4);

    // Reading the chart row by row gives what its whole field gives.
    const geo::BreakLayer whole = geo::findTemperatureBreaks(geo::temperatureField(scale, chart),
                                                             ne01, geo::WeakBreakThreshold);
    const geo::BreakLayer rows = geo::chartBreaks(scale, chart, ne01, geo::WeakBreakThreshold);
    EXPECT_EQ(rows.marks, whole.marks);
    EXPECT_EQ(rows.strength, whole.strength);
}

TEST(TemperatureBreaks, OverlayAndThresholdText) {
    geo::BreakLayer layer;
    layer.width = 3;
    layer.height = 2;
    layer.marks = {0, 1, 0, 0, 0, 1};
    layer.markCount = 2;
    const QImage overlay = geo::breakOverlay(layer);
    EXPECT_EQ(overlay.pixelColor(1, 0), geo::breakLineColour());
    EXPECT_EQ(overlay.pixelColor(2, 1), geo::breakLineColour());
    EXPECT_EQ(qAlpha(overlay.pixel(0, 0)), 0);
    QImage picture(3, 2, QImage::Format_RGB32);
    picture.fill(Qt::blue);
    geo::drawBreaks(picture, layer);
    EXPECT_EQ(picture.pixelColor(0, 1), QColor(Qt::blue));
    EXPECT_EQ(picture.pixelColor(2, 1), geo::breakLineColour());

    EXPECT_EQ(geo::readBreakThreshold(" 0.35 "), 0.35);
    EXPECT_EQ(geo::readBreakThreshold("0,7"), 0.7);
    EXPECT_EQ(geo::readBreakThreshold("20"), 20.0);
    EXPECT_FALSE(geo::readBreakThreshold("0"));
    EXPECT_FALSE(geo::readBreakThreshold("20.5"));
    EXPECT_FALSE(geo::readBreakThreshold("nan"));
    EXPECT_FALSE(geo::readBreakThreshold("0.7F"));
    EXPECT_FALSE(geo::readBreakThreshold(""));
}

} // namespace

TEST(TemperatureHighlight, TheBandTakesTheWaterWithinHalfADegreeAndNothingElse) {
    geo::TemperatureField field;
    field.width = 7;
    field.height = 1;
    field.values = {67.4f, 67.5f, 68.0f, 68.5f, 68.6f, 0.0f, 68.2f};
    const geo::HighlightLayer layer = geo::highlightBand(field, 68.0f);
    EXPECT_EQ(layer.marks, (std::vector<std::uint8_t>{0, 1, 1, 1, 0, 0, 1}));
    EXPECT_EQ(layer.markCount, 4);
    // A pixel without a reading is never in a band, not even in the one around 0 °F.
    EXPECT_EQ(geo::highlightBand(field, 0.0f).markCount, 0);
    // Drawn, the band changes marked pixels only, and not all of them: the chart's colour shows
    // between the stripes.
    QImage picture(7, 1, QImage::Format_RGB32);
    picture.fill(qRgb(0, 128, 255));
    geo::drawHighlight(picture, layer);
    int changed = 0;
    for (int x = 0; x < 7; ++x) {
        const bool differs = picture.pixel(x, 0) != qRgb(0, 128, 255);
        EXPECT_TRUE(!differs || layer.isMarked(x, 0)) << x;
        changed += differs;
    }
    EXPECT_GT(changed, 0);
    EXPECT_LT(changed, layer.markCount);
}
