// The shipped palette pinned line by line, and temperature readings worked out by hand from the
// averaging and bisection rules: windows mixing sea with land, cloud, coastline and colours that
// match nothing, and hues that fall between two scale rows.
#include "geo/Palette.h"
#include "geo/TemperatureScale.h"

#include <gtest/gtest.h>

#include <QCryptographicHash>

namespace {

TEST(GeoPaletteText, EveryLineIsPinned) {
    const QByteArray text = geo::builtinPaletteText().toLatin1();
    // SHA-256 of the 256 lines "R G B" with CR LF after each, the last one included.
    EXPECT_EQ(QCryptographicHash::hash(text, QCryptographicHash::Sha256).toHex(),
              QByteArray("0bae8b0b1543e75eb4b78768bf3b8a77ec9a7a86270a9f3d02083f0f50eddddc"));
    const QList<QByteArray> lines = text.split('\n');
    ASSERT_EQ(lines.size(), 257); // the last line break ends the text
    EXPECT_TRUE(lines[256].isEmpty());
    const struct {
        int line;
        const char* rgb;
    } cases[] = {
        {0, "100 100 100"},   {1, "205 205 205"},   {2, "241 241 241"},   {3, "255 255 255"},
        {4, "0 0 0"},         {5, "115 13 140"},    {51, "0 128 255"},    {102, "128 255 255"},
        {127, "128 255 130"}, {128, "130 255 128"}, {153, "255 255 128"}, {204, "255 128 0"},
        {255, "128 0 0"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(lines[c.line], QByteArray(c.rgb) + '\r') << c.line;
}

// The shipped scale with the range 30..80: row r reads 80 - 50 r / 255.
struct Scale30To80 {
    QImage bitmap = geo::TemperatureScale::BuildScaleBitmap(geo::builtinPaletteText());
    geo::TemperatureScale scale;
    Scale30To80() { scale.TempScaleChange(bitmap, 30, 80); }
};

QColor legendColour(char key) {
    static const struct {
        char key;
        QRgb rgb;
    } legend[] = {
        {'L', qRgb(205, 205, 205)}, // land
        {'W', qRgb(255, 255, 255)}, // cloud
        {'K', qRgb(0, 0, 0)},       // coastline
        {'N', qRgb(0, 0, 30)},      // too dark: lightness 15
        {'O', qRgb(150, 140, 120)}, // too grey: saturation 32
        {'a', qRgb(22, 105, 233)},  {'b', qRgb(52, 75, 203)}, {'c', qRgb(255, 187, 60)},
        {'d', qRgb(128, 255, 180)}, {'f', qRgb(2, 125, 253)}, {'g', qRgb(113, 240, 255)},
        {'h', qRgb(190, 62, 0)},    {'i', qRgb(165, 37, 0)},
    };
    for (const auto& entry : legend)
        if (entry.key == key) return QColor(entry.rgb);
    return QColor();
}

// A 9-pixel-wide chart whose rows are given by the words of rows (5 pixels each, placed in
// columns 2..6); everything else is orange, which would change any reading it took part in.
QImage windowChart(const char* rows) {
    const QList<QByteArray> words = QByteArray(rows).split(' ');
    QImage image(9, int(words.size()) + 2, QImage::Format_RGB888);
    image.fill(QColor(255, 128, 0));
    for (int r = 0; r < words.size(); ++r)
        for (int k = 0; k < 5; ++k)
            image.setPixelColor(2 + k, r + 1, legendColour(words[r][k]));
    return image;
}

TEST(GeoTemperatureAtPixel, MixedWindowsDivideByEverySampledPixel) {
    const Scale30To80 s;
    const struct {
        const char* rows;
        float reading; // 0: no temperature
    } windows[] = {
        {"aaLLL aaaLL aLLLL", 38.4314f}, // coast: average (8, 42, 93), hue 153, row 212
        {"WWccc WWWWc WWWWW", 65.6863f}, // cloud: (68, 49, 16), hue 27, row 73
        {"ggWWW gggWW ggggW", 0.0f},     // cloud: (67, 144, 153) has saturation 100 only
        {"KKbbb KKKba KKKKa", 36.8627f}, // coastline: (16, 34, 85), hue 159, row 220
        {"NNfff OOOff NOOOf", 40.3922f}, // no match: (0, 50, 101), hue 149, row 202
        {"hhNNO hOONN OOOOO", 75.4902f}, // no match: (38, 12, 0), hue 13, row 23
    };
    for (const auto& w : windows)
        EXPECT_NEAR(s.scale.TemperatureAtPixel(windowChart(w.rows), 4, 2), w.reading, 1e-3)
            << w.rows;

    // On the first and last rows the window is those 5 pixels alone.
    const struct {
        const char* row;
        float reading;
    } edges[] = {
        {"ddWWW", 0.0f},     // (51, 102, 72): saturation 85
        {"ffWWW", 40.3922f}, // (0, 50, 101), hue 149, row 202
        {"iiiWW", 77.4510f}, // (99, 22, 0), hue 9, row 13
    };
    for (const auto& e : edges) {
        const QImage top = windowChart(e.row).copy(0, 1, 9, 2); // the window, then orange
        EXPECT_NEAR(s.scale.TemperatureAtPixel(top, 4, 0), e.reading, 1e-3) << e.row;
        const QImage bottom = top.mirrored(false, true);
        EXPECT_NEAR(s.scale.TemperatureAtPixel(bottom, 4, 1), e.reading, 1e-3) << e.row;
    }
}

// Hues that no scale row has: the bisection runs all nine probes and answers the row below.
TEST(GeoTemperatureFromHue, HuesBetweenRowsTakeTheWholeSearch) {
    const Scale30To80 s;
    const struct {
        int hue;
        float reading;
    } cases[] = {
        {45, 59.8039f},  // row 103 (hue 44; row 104 has 46)
        {52, 59.0196f},  // row 107 (51 | 53)
        {55, 58.6275f},  // row 109 (54 | 56)
        {62, 57.8431f},  // row 113 (61 | 63)
        {84, 55.2941f},  // row 126 (83 | 85)
        {87, 54.9020f},  // row 128 (86 | 88)
        {127, 50.1961f}, // row 152 (126 | 128)
        {172, 34.9020f}, // row 230 (171 | 173)
        {185, 33.3333f}, // row 238 (184 | 187)
        {186, 33.3333f}, // row 238
        {202, 31.3725f}, // row 248 (201 | 203)
    };
    for (const auto& c : cases)
        EXPECT_NEAR(s.scale.TemperatureFromHue(c.hue), c.reading, 1e-3) << c.hue;
}

} // namespace
