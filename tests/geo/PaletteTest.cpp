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

TEST(GeoPalette, UpDownsWidenToTakeTheChartsOwnRange) {
    // A chart's TMIN and TMAX are never clamped: the up-downs' ranges grow to take them, and
    // only a value beyond the 16-bit positions is brought to the nearest one.
    const struct {
        int requested;
        int minLowest, minHighest;
        int maxLowest, maxHighest;
        int value;
    } cases[] = {
        {-40, -40, 80, -40, 100, -40}, {20, 20, 80, 20, 100, 20},
        {62, 20, 80, 40, 100, 62},     {85, 20, 85, 40, 100, 85},
        {101, 20, 101, 40, 101, 101},  {40000, 20, 32767, 40, 32767, 32767},
    };
    for (const auto& c : cases) {
        const geo::SpinnerRange lower = geo::scaleMinSpinner(c.requested);
        const geo::SpinnerRange upper = geo::scaleMaxSpinner(c.requested);
        EXPECT_EQ(lower.lowest, c.minLowest) << c.requested;
        EXPECT_EQ(lower.highest, c.minHighest) << c.requested;
        EXPECT_EQ(upper.lowest, c.maxLowest) << c.requested;
        EXPECT_EQ(upper.highest, c.maxHighest) << c.requested;
        EXPECT_EQ(lower.value, c.value) << c.requested;
        EXPECT_EQ(upper.value, c.value) << c.requested;
    }
}

} // namespace
