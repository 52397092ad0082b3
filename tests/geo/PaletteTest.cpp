// The palette text compiled into the library, and the ranges of the scale's two ends.
#include "geo/Palette.h"
#include "geo/TemperatureScale.h"

#include <gtest/gtest.h>

#include <QFile>

namespace {

TEST(GeoPalette, BuiltinTextIsThePaletteFileByteForByte) {
    QFile f(QStringLiteral(THALWISE_SOURCE_DIR "/src/resources/TEXTPALETTE6C.txt"));
    ASSERT_TRUE(f.open(QIODevice::ReadOnly)) << "palette file missing";
    EXPECT_EQ(geo::builtinPaletteText().toLatin1(), f.readAll());
}

TEST(GeoPalette, BuiltinTextBuildsTheScale) {
    const QStringList lines = geo::TemperatureScale::paletteLines(geo::builtinPaletteText());
    ASSERT_EQ(lines.size(), 256);
    const QImage bitmap = geo::TemperatureScale::BuildScaleBitmap(lines);
    ASSERT_EQ(bitmap.size(), QSize(30, 256));
    // Line 0 is the bottom row, line 255 the top.
    EXPECT_EQ(bitmap.pixel(15, 255), qRgb(100, 100, 100));
    EXPECT_EQ(bitmap.pixel(15, 0), qRgb(128, 0, 0));
    geo::TemperatureScale scale;
    ASSERT_TRUE(scale.TempScaleChange(bitmap, geo::ScaleMinInitial, geo::ScaleMaxInitial));
    EXPECT_EQ(scale.scaleMinSaturation(), 129);
    EXPECT_EQ(scale.scaleLastColouredRow(), 250);
}

TEST(GeoPalette, ScaleEndsAreBroughtIntoTheirUpDownRanges) {
    const struct {
        int requested;
        int lowerEnd;
        int upperEnd;
    } cases[] = {
        {-40, 20, 40}, {19, 20, 40}, {20, 20, 40},   {39, 39, 40},   {40, 40, 40},    {62, 62, 62},
        {80, 80, 80},  {81, 80, 81}, {100, 80, 100}, {101, 80, 100}, {1000, 80, 100},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(geo::clampScaleMin(c.requested), c.lowerEnd) << c.requested;
        EXPECT_EQ(geo::clampScaleMax(c.requested), c.upperEnd) << c.requested;
    }
    EXPECT_EQ(geo::clampScaleMin(geo::ScaleMinInitial), geo::ScaleMinInitial);
    EXPECT_EQ(geo::clampScaleMax(geo::ScaleMaxInitial), geo::ScaleMaxInitial);
}

} // namespace
