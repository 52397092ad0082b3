// Colour to HLS, the scale strip built from the palette text, its tables and the temperature
// lookups under a pixel.
#include "geo/ColourStuff.h"
#include "geo/TemperatureScale.h"
#include "geo/ThalwiseUtils.h"

#include <gtest/gtest.h>

#include <QFile>

#include <optional>
#include <vector>

namespace {

QString paletteText() {
    QFile f(QStringLiteral(THALWISE_SOURCE_DIR "/src/resources/TEXTPALETTE6C.txt"));
    if (!f.open(QIODevice::ReadOnly)) return QString();
    return QString::fromLatin1(f.readAll());
}

// The shipped scale with the range 30..80.
struct ShippedScale {
    QImage bitmap = geo::TemperatureScale::BuildScaleBitmap(paletteText());
    geo::TemperatureScale scale;
    ShippedScale(int scaleMin = 30, int scaleMax = 80) {
        scale.TempScaleChange(bitmap, scaleMin, scaleMax);
    }
};

QImage uniform(QColor colour, int width = 9, int height = 5) {
    QImage image(width, height, QImage::Format_RGB888);
    image.fill(colour);
    return image;
}

QString oneDecimal(float t) {
    return geo::formatFixed(t, 1, QLocale::c());
}

TEST(GeoColour, ColourToRgb) {
    const struct {
        std::uint32_t colour;
        RgbTriple rgb;
    } cases[] = {
        {0x000000, {0, 0, 0}},   {0x0080FF, {255, 128, 0}},  {0xFF0000, {0, 0, 255}},
        {0x00FF00, {0, 255, 0}}, {0x8C0D73, {115, 13, 140}}, {0xFFFFFF, {255, 255, 255}},
    };
    for (const auto& c : cases) {
        const RgbTriple rgb = ColourToRgb(c.colour);
        EXPECT_EQ(rgb.Red, c.rgb.Red) << std::hex << c.colour;
        EXPECT_EQ(rgb.Green, c.rgb.Green) << std::hex << c.colour;
        EXPECT_EQ(rgb.Blue, c.rgb.Blue) << std::hex << c.colour;
    }
}

TEST(GeoColour, RgbToHls) {
    const struct {
        RgbTriple rgb;
        HlsTriple hls;
    } cases[] = {
        {{255, 128, 0}, {21, 128, 256}}, // lightness 127.5 goes to even
        {{128, 0, 0}, {0, 64, 256}},     // the hottest palette colour has hue 0
        {{130, 2, 0}, {1, 65, 256}},
        {{0, 0, 255}, {170, 128, 256}},
        {{255, 0, 10}, {-2, 128, 256}},   // blue above green in the red sector: negative
        {{255, 0, 255}, {213, 128, 256}}, // red and blue tie: blue wins
        {{255, 255, 0}, {43, 128, 256}},
        {{0, 255, 255}, {128, 128, 256}},
        {{192, 192, 64}, {43, 128, 128}},
        {{115, 13, 140}, {205, 76, 212}}, // lightness 76.5 goes to even,
        {{0, 0, 0}, {0, 0, 0}},
        {{100, 100, 100}, {0, 100, 0}},
        {{255, 255, 255}, {0, 255, 0}},
    };
    for (const auto& c : cases) {
        const HlsTriple hls = RgbToHls(c.rgb);
        SCOPED_TRACE(testing::Message() << c.rgb.Red << " " << c.rgb.Green << " " << c.rgb.Blue);
        EXPECT_EQ(hls.Hue, c.hls.Hue);
        EXPECT_EQ(hls.Lightness, c.hls.Lightness);
        EXPECT_EQ(hls.Saturation, c.hls.Saturation);
    }
    for (int c = 0; c < 256; ++c) {
        const HlsTriple hls = RgbToHls({c, c, c});
        EXPECT_EQ(hls.Hue, 0);
        EXPECT_EQ(hls.Saturation, 0);
        EXPECT_EQ(hls.Lightness, c);
    }
    // Components beyond 255 do not make undefined results.
    const HlsTriple odd = RgbToHls({512, 0, 0});
    EXPECT_EQ(odd.Saturation, 0);
    EXPECT_EQ(MaxOfThree(1, 3, 2), 3.0);
    EXPECT_EQ(MinOfThree(1, -3, 2), -3.0);
}

TEST(GeoColour, SampleAcceptanceMatchesHls) {
    // Lightness and saturation depend on the largest and smallest component only, so every
    // (largest, smallest) pair with the middle component at either end covers all colours.
    for (int max = 0; max < 256; ++max)
        for (int min = 0; min <= max; ++min) {
            const HlsTriple hls = RgbToHls({max, min, min});
            const bool expected = hls.Saturation > 100 && hls.Lightness > 40;
            ASSERT_EQ(geo::countsTowardsTemperature(max, min, min), expected) << max << " " << min;
            ASSERT_EQ(geo::countsTowardsTemperature(min, max, max), expected) << max << " " << min;
            ASSERT_EQ(geo::countsTowardsTemperature(min, max, min), expected) << max << " " << min;
            ASSERT_EQ(geo::countsTowardsTemperature(min, min, max), expected) << max << " " << min;
        }
}

TEST(GeoPalette, ShippedFile) {
    const QString text = paletteText();
    ASSERT_FALSE(text.isEmpty()) << "palette file missing";
    EXPECT_TRUE(text.endsWith(QLatin1String("128 0 0\r\n")));
    const QStringList lines = geo::TemperatureScale::paletteLines(text);
    ASSERT_EQ(lines.size(), 256);
    const struct {
        int line;
        const char* text;
    } anchors[] = {{0, "100 100 100"},   {4, "0 0 0"},         {5, "115 13 140"},
                   {51, "0 128 255"},    {102, "128 255 255"}, {127, "128 255 130"},
                   {128, "130 255 128"}, {153, "255 255 128"}, {204, "255 128 0"},
                   {255, "128 0 0"}};
    for (const auto& a : anchors)
        EXPECT_EQ(lines[a.line], QLatin1String(a.text)) << a.line;
    // Steps between neighbouring ramp lines stay small.
    for (int i = 6; i < 256; ++i) {
        const QStringList a = geo::TemperatureScale::paletteWords(lines[i - 1]);
        const QStringList b = geo::TemperatureScale::paletteWords(lines[i]);
        ASSERT_EQ(a.size(), 3);
        ASSERT_EQ(b.size(), 3);
        for (int k = 0; k < 3; ++k)
            EXPECT_LE(std::abs(a[k].toInt() - b[k].toInt()), 5) << i;
    }
}

TEST(GeoPalette, LinesAndWords) {
    using geo::TemperatureScale;
    EXPECT_EQ(TemperatureScale::paletteLines(QStringLiteral("a\r\nb\rc\nd")),
              QStringList({"a", "b", "c", "d"}));
    EXPECT_EQ(TemperatureScale::paletteLines(QStringLiteral("a\r\n\r\nb\r\n")),
              QStringList({"a", "", "b"}));
    EXPECT_TRUE(TemperatureScale::paletteLines(QString()).isEmpty());
    EXPECT_EQ(TemperatureScale::paletteWords(QStringLiteral("1 2 3")),
              QStringList({"1", "2", "3"}));
    EXPECT_EQ(TemperatureScale::paletteWords(QStringLiteral("  1,2 ,  3  ")),
              QStringList({"1", "2", "3"}));
    EXPECT_EQ(TemperatureScale::paletteWords(QStringLiteral("\"1 2\" 3")),
              QStringList({"1 2", "3"}));
    EXPECT_EQ(TemperatureScale::paletteWords(QStringLiteral("1,,3")), QStringList({"1", "", "3"}));
    EXPECT_EQ(TemperatureScale::paletteWords(QStringLiteral("1,2,")), QStringList({"1", "2", ""}));
}

TEST(GeoScaleBitmap, BuiltFromLines) {
    QStringList lines;
    for (int i = 0; i < 256; ++i)
        lines << QStringLiteral("%1 %2 %3").arg(i).arg(255 - i).arg(7);
    lines[10] = QStringLiteral("1 2");          // two words: skipped
    lines[11] = QStringLiteral("1 2 x");        // not an integer: skipped
    lines[12] = QStringLiteral("256,-1,\"3\""); // low 8 bits of each; commas and quotes
    const QImage bitmap = geo::TemperatureScale::BuildScaleBitmap(lines);
    ASSERT_FALSE(bitmap.isNull());
    EXPECT_EQ(bitmap.size(), QSize(30, 256));
    EXPECT_EQ(bitmap.depth(), 24);
    for (int x : {0, 15, 29}) {
        EXPECT_EQ(bitmap.pixelColor(x, 255), QColor(0, 255, 7)); // line 0 is the bottom row
        EXPECT_EQ(bitmap.pixelColor(x, 0), QColor(255, 0, 7));   // line 255 the top row
        EXPECT_EQ(bitmap.pixelColor(x, 255 - 10), QColor(Qt::black));
        EXPECT_EQ(bitmap.pixelColor(x, 255 - 11), QColor(Qt::black));
        EXPECT_EQ(bitmap.pixelColor(x, 255 - 12), QColor(0, 255, 3));
    }
    lines.removeLast();
    EXPECT_TRUE(geo::TemperatureScale::BuildScaleBitmap(lines).isNull());
    lines << QStringLiteral("1 1 1") << QStringLiteral("1 1 1");
    EXPECT_TRUE(geo::TemperatureScale::BuildScaleBitmap(lines).isNull());
}

TEST(GeoScaleTables, ShippedPalette) {
    const ShippedScale s;
    ASSERT_FALSE(s.bitmap.isNull());
    EXPECT_EQ(s.scale.scaleMinSaturation(), 129);
    EXPECT_EQ(s.scale.scaleLastColouredRow(), 250);
    const auto& hues = s.scale.scaleHues();
    const auto& temps = s.scale.scaleTemperatures();
    ASSERT_EQ(hues.size(), 256u);
    EXPECT_EQ(hues[0], 0.0);
    EXPECT_EQ(hues[250], 205.0);
    for (int r = 1; r <= 250; ++r)
        EXPECT_GE(hues[r], hues[r - 1]) << r;
    EXPECT_EQ(temps[0], 80.0);
    EXPECT_EQ(temps[255], 30.0);
    EXPECT_NEAR(temps[250], 80.0 - 50.0 * 250 / 255, 1e-5);
    // Every hue on the scale is found on a row of that hue, within the probe limit.
    for (int r = 1; r <= 250; ++r) {
        const float t = s.scale.TemperatureFromHue(int(hues[r]));
        bool found = false;
        for (int k = 0; k <= 250; ++k)
            found = found || (hues[k] == hues[r] && float(temps[k]) == t);
        EXPECT_TRUE(found) << "row " << r << " hue " << hues[r];
    }
    EXPECT_EQ(s.scale.TemperatureFromHue(-5), 80.0f);
    EXPECT_EQ(s.scale.TemperatureFromHue(300), float(temps[250]));
}

TEST(GeoScaleTables, NoTablesNoTemperature) {
    geo::TemperatureScale scale;
    EXPECT_EQ(scale.TemperatureFromHue(100), 0.0f);
    EXPECT_EQ(scale.TemperatureAtPixel(uniform(QColor(0, 128, 255)), 4, 2), 0.0f);
    EXPECT_FALSE(scale.TempScaleChange(QImage(), 30, 80));
    EXPECT_EQ(scale.TemperatureFromHue(100), 0.0f);
}

TEST(GeoTemperatureAtPixel, HoveringOverTheScale) {
    const ShippedScale s;
    const struct {
        int row;
        const char* reading; // empty: no temperature
    } cases[] = {
        {0, ""},                    // "128 0 0" has hue 0
        {1, "79.8"},   {2, "79.8"}, // the window of rows 1..3 averages to the hue of row 1
        {250, "31.2"},              // lowest coloured row; the black row below darkens the window
        {251, "31.0"},              // the black row still holds purple pixels in its window
        {252, ""},     {253, ""},   {254, ""}, {255, ""},
    };
    for (int x = 2; x <= 27; ++x)
        for (const auto& c : cases) {
            const float t = s.scale.TemperatureAtPixel(s.bitmap, x, c.row);
            EXPECT_EQ(t == 0.0f ? QString() : oneDecimal(t), QLatin1String(c.reading))
                << "x " << x << " row " << c.row;
        }
    for (int x : {-1, 0, 1, 28, 29, 30})
        EXPECT_EQ(s.scale.TemperatureAtPixel(s.bitmap, x, 100), 0.0f) << x;
    for (int y : {-1, 256})
        EXPECT_EQ(s.scale.TemperatureAtPixel(s.bitmap, 10, y), 0.0f) << y;
}

TEST(GeoTemperatureAtPixel, ChartColours) {
    const ShippedScale s;
    const struct {
        QColor colour;
        std::optional<float> reading; // nothing: no temperature
    } cases[] = {
        {QColor(128, 0, 0), std::nullopt}, // hue 0
        {QColor(130, 2, 0), 80.0f - 50.0f / 255},
        {QColor(255, 0, 10), 80.0f},          // negative hue: the scale's maximum
        {QColor(192, 192, 64), std::nullopt}, // saturation 128, hue on the scale
        {QColor(255, 255, 128), 80.0f - 50.0f * 102 / 255},
        {QColor(100, 100, 100), std::nullopt},
        {QColor(255, 255, 255), std::nullopt},
        {QColor(0, 0, 0), std::nullopt},
    };
    for (const auto& c : cases) {
        const float t = s.scale.TemperatureAtPixel(uniform(c.colour), 4, 2);
        if (c.reading)
            EXPECT_NEAR(t, *c.reading, 1e-4) << c.colour.name().toStdString();
        else
            EXPECT_EQ(t, 0.0f) << c.colour.name().toStdString();
    }
}

TEST(GeoTemperatureAtPixel, MostlyGreyWindowReadsTheSea) {
    const ShippedScale s;
    const QColor sea(0, 128, 255);
    const float seaReading = s.scale.TemperatureAtPixel(uniform(sea), 4, 2);
    ASSERT_NE(seaReading, 0.0f);
    for (int seaPixels : {2, 4, 7}) {
        QImage image = uniform(QColor(100, 100, 100));
        for (int k = 0; k < seaPixels; ++k)
            image.setPixelColor(2 + k % 5, 1 + k / 5, sea);
        EXPECT_NEAR(s.scale.TemperatureAtPixel(image, 4, 2), seaReading, 0.5) << seaPixels;
    }
    QImage land = uniform(QColor(205, 205, 205));
    land.setPixelColor(4, 2, QColor(40, 40, 40));
    EXPECT_EQ(s.scale.TemperatureAtPixel(land, 4, 2), 0.0f);
}

TEST(GeoTemperatureAtPixel, FirstAndLastRowsAreSampledAlone) {
    const ShippedScale s;
    const QColor edge(255, 200, 73);
    const QColor inner(0, 128, 255);
    const float edgeReading = s.scale.TemperatureAtPixel(uniform(edge), 4, 2);
    const float innerReading = s.scale.TemperatureAtPixel(uniform(inner), 4, 2);
    ASSERT_NE(edgeReading, 0.0f);
    ASSERT_NE(innerReading, 0.0f);
    QImage image = uniform(inner, 9, 4);
    for (int x = 0; x < 9; ++x) {
        image.setPixelColor(x, 0, edge);
        image.setPixelColor(x, 3, edge);
    }
    // Only the edge row itself is sampled: its neighbour's hue does not mix in.
    EXPECT_EQ(s.scale.TemperatureAtPixel(image, 4, 0), edgeReading);
    EXPECT_EQ(s.scale.TemperatureAtPixel(image, 4, 3), edgeReading);
    const float mixed = s.scale.TemperatureAtPixel(image, 4, 1);
    EXPECT_NE(mixed, edgeReading);
    EXPECT_NE(mixed, innerReading);
}

TEST(GeoTemperatureAtPixel, OtherPixelFormatsReadTheSame) {
    const ShippedScale s;
    const QImage chart = uniform(QColor(255, 200, 73));
    const float expected = s.scale.TemperatureAtPixel(chart, 4, 2);
    ASSERT_NE(expected, 0.0f);
    for (QImage::Format f : {QImage::Format_RGB32, QImage::Format_ARGB32, QImage::Format_Indexed8,
                             QImage::Format_RGB16})
        EXPECT_EQ(s.scale.TemperatureAtPixel(chart.convertToFormat(f), 4, 2), expected) << f;
}

// A chart of varied colours read through each pixel layout gives, pixel for pixel, what the
// 24-bit picture gives: the direct scanline reads must pick the same 5 x 3 windows as the
// generic path, on every row and at the edges.
TEST(GeoTemperatureAtPixel, EveryLayoutReadsEveryPixelAlike) {
    const ShippedScale s;
    constexpr int Width = 23;
    constexpr int Height = 11;
    QImage chart(Width, Height, QImage::Format_RGB888);
    for (int y = 0; y < Height; ++y)
        for (int x = 0; x < Width; ++x) {
            // Palette rows in diagonal bands, with grey land and black coast pixels among them.
            const QColor colour = (x * 7 + y * 3) % 11 == 0 ? QColor(205, 205, 205)
                                  : (x + y) % 13 == 0
                                      ? QColor(0, 0, 0)
                                      : s.bitmap.pixelColor(15, (x * 9 + y * 31) % 251);
            chart.setPixelColor(x, y, colour);
        }
    std::vector<float> expected;
    int withTemperature = 0;
    for (int y = -1; y <= Height; ++y)
        for (int x = -1; x <= Width; ++x) {
            expected.push_back(s.scale.TemperatureAtPixel(chart, x, y));
            withTemperature += expected.back() != 0.0f;
        }
    ASSERT_GT(withTemperature, Width * Height / 2);
    const QImage::Format layouts[] = {
        QImage::Format_RGB32,    QImage::Format_ARGB32,   QImage::Format_ARGB32_Premultiplied,
        QImage::Format_RGBX8888, QImage::Format_RGBA8888, QImage::Format_BGR888,
    };
    for (QImage::Format layout : layouts) {
        const QImage converted = chart.convertToFormat(layout);
        std::size_t k = 0;
        for (int y = -1; y <= Height; ++y)
            for (int x = -1; x <= Width; ++x, ++k)
                ASSERT_EQ(s.scale.TemperatureAtPixel(converted, x, y), expected[k])
                    << "layout " << layout << " at " << x << ',' << y;
    }
}

TEST(GeoScaleTables, ReversedLimitsReverseTheOrder) {
    const ShippedScale s(80, 30);
    EXPECT_EQ(s.scale.scaleTemperatures()[0], 30.0);
    EXPECT_EQ(s.scale.scaleTemperatures()[255], 80.0);
    EXPECT_EQ(oneDecimal(s.scale.TemperatureAtPixel(s.bitmap, 10, 1)), QLatin1String("30.2"));
    EXPECT_EQ(oneDecimal(s.scale.TemperatureAtPixel(s.bitmap, 10, 250)), QLatin1String("78.8"));
}

TEST(GeoSlider, PlacementAndLabel) {
    using geo::TemperatureScale;
    // The slider's ends are the scale's limits whatever range it had before: set one bound at
    // a time, 38..62 then 64..84 would leave it at 38..84.
    const struct {
        int newMin, newMax;
        int min, max, position;
    } cases[] = {
        {30, 80, 30, 80, 55},
        {64, 84, 64, 84, 74},
        {38, 62, 38, 62, 50},
        {85, 95, 85, 95, 90},
        {80, 30, 30, 80, 55},              // reversed limits: the lower one on top
        {-9, 0, -9, 0, -4},                // truncated toward zero
        {-32768, 32767, -32768, 32767, 0}, // no overflow at the 16-bit ends
    };
    for (const auto& c : cases) {
        const geo::SliderPlacement p = TemperatureScale::placeSlider(40, 256, c.newMin, c.newMax);
        EXPECT_EQ(p.top, 29);
        EXPECT_EQ(p.height, 278);
        EXPECT_EQ(p.minimum, c.min) << c.newMin << ".." << c.newMax;
        EXPECT_EQ(p.maximum, c.max) << c.newMin << ".." << c.newMax;
        EXPECT_EQ(p.position, c.position) << c.newMin << ".." << c.newMax;
    }
    EXPECT_EQ(TemperatureScale::sliderLabelText(30, 80, 30), QString::fromUtf8("80°F"));
    EXPECT_EQ(TemperatureScale::sliderLabelText(30, 80, 80), QString::fromUtf8("30°F"));
    EXPECT_EQ(TemperatureScale::sliderLabelText(30, 80, 55), QString::fromUtf8("55°F"));
}

} // namespace
