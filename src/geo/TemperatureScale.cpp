#include "geo/TemperatureScale.h"

#include "geo/ColourStuff.h"
#include "geo/TextFields.h"
#include "geo/ThalwiseUtils.h"

#include <QCoreApplication>

#include <algorithm>
#include <optional>

namespace {

constexpr int ScaleWidth = 30;
constexpr int ScaleRows = 256;
constexpr int MaxProbes = 9;
constexpr int NoSaturationYet = 123456;

// Calls sample(red, green, blue) for the pixels in columns first..last of one row, left to
// right. The 24-bit and 32-bit RGB layouts are read from the scanline directly, as a pointer
// move samples 15 pixels each time; every other format goes through QImage::pixel. The caller
// keeps first..last and row inside the image.
template <typename Sample>
inline void readRow(const QImage& image, int row, int first, int last, Sample&& sample) {
    switch (image.format()) {
    case QImage::Format_RGB888: {
        const uchar* p = image.constScanLine(row) + 3 * first;
        for (int x = first; x <= last; ++x, p += 3)
            sample(int(p[0]), int(p[1]), int(p[2]));
        break;
    }
    case QImage::Format_RGB32:
    case QImage::Format_ARGB32: { // not premultiplied: the components are the colour itself
        const QRgb* line = reinterpret_cast<const QRgb*>(image.constScanLine(row));
        for (int x = first; x <= last; ++x)
            sample(qRed(line[x]), qGreen(line[x]), qBlue(line[x]));
        break;
    }
    default:
        for (int x = first; x <= last; ++x) {
            const QRgb q = image.pixel(x, row);
            sample(qRed(q), qGreen(q), qBlue(q));
        }
        break;
    }
}

} // namespace

namespace geo {

QStringList TemperatureScale::paletteLines(const QString& paletteText) {
    return splitLines(paletteText);
}

QStringList TemperatureScale::paletteWords(const QString& line) {
    return splitCommaText(line);
}

QImage TemperatureScale::BuildScaleBitmap(const QStringList& lines) {
    if (lines.size() != ScaleRows) return QImage();
    QImage bitmap(ScaleWidth, ScaleRows, QImage::Format_RGB888);
    bitmap.fill(Qt::black);
    for (int i = 0; i < ScaleRows; ++i) {
        const QStringList words = paletteWords(lines[i]);
        if (words.size() != 3) continue;
        const std::optional<int> red = readDecimalInteger(words[0]);
        const std::optional<int> green = readDecimalInteger(words[1]);
        const std::optional<int> blue = readDecimalInteger(words[2]);
        if (!red || !green || !blue) continue;
        // Only the low 8 bits of each component make the colour.
        const uchar rgb[3] = {uchar(*red & 0xFF), uchar(*green & 0xFF), uchar(*blue & 0xFF)};
        uchar* row = bitmap.scanLine(ScaleRows - 1 - i);
        for (int x = 0; x < ScaleWidth; ++x)
            std::copy(rgb, rgb + 3, row + 3 * x);
    }
    return bitmap;
}

QImage TemperatureScale::BuildScaleBitmap(const QString& paletteText) {
    return BuildScaleBitmap(paletteLines(paletteText));
}

bool TemperatureScale::TempScaleChange(const QImage& scaleBitmap, int scaleMin, int scaleMax) {
    if (scaleBitmap.isNull()) return false;
    const int rows = scaleBitmap.height();
    const int middle = scaleBitmap.width() / 2;
    ScaleHues.assign(rows, 0.0);
    ScaleTemperatures.assign(rows, 0.0);
    m_hueKeys.assign(rows, 0.0f);
    ScaleMinSaturation = NoSaturationYet;
    // Reset so that a bitmap with fewer coloured rows than the last can never leave the bound
    // of the search beyond its tables.
    ScaleLastColouredRow = 0;
    const float min = float(scaleMin);
    const float max = float(scaleMax);
    for (int r = 0; r < rows; ++r) {
        RgbTriple colour;
        readRow(scaleBitmap, r, middle, middle, [&colour](int red, int green, int blue) {
            colour = {red, green, blue};
        });
        const HlsTriple hls = RgbToHls(colour);
        ScaleHues[r] = hls.Hue;
        m_hueKeys[r] = float(hls.Hue);
        // Row r stands for max - (max - min) * r / (rows - 1); the fraction is single.
        const float fraction = rows > 1 ? float(double(r) / double(rows - 1)) : 0.0f;
        ScaleTemperatures[r] = double(max) + (double(min) - double(max)) * double(fraction);
        if (hls.Saturation > 0) {
            ScaleMinSaturation = std::min(ScaleMinSaturation, int(hls.Saturation));
            ScaleLastColouredRow = r;
        }
    }
    return true;
}

float TemperatureScale::TemperatureAtPixel(const QImage& bitmap, int x, int y) const {
    const int width = bitmap.width();
    const int height = bitmap.height();
    if (x <= 1 || x >= width - 2 || y < 0 || y >= height) return 0.0f;
    int firstRow = y;
    int lastRow = y;
    if (y - 1 >= 0 && y + 1 <= height - 1) {
        firstRow = y - 1;
        lastRow = y + 1;
    }
    int red = 0;
    int green = 0;
    int blue = 0;
    auto sample = [&](int r, int g, int b) {
        // Greys, white and black (land, cloud, coast, no data, annotations) never count.
        if (countsTowardsTemperature(r, g, b)) {
            red += r;
            green += g;
            blue += b;
        }
    };
    for (int row = firstRow; row <= lastRow; ++row)
        readRow(bitmap, row, x - 2, x + 2, sample);
    // Rejected pixels still count: they darken the average, not its hue.
    const int count = 5 * (lastRow - firstRow + 1);
    return TemperatureOfAverage(red / count, green / count, blue / count); // truncating
}

float TemperatureScale::TemperatureOfAverage(int red, int green, int blue) const {
    const HlsTriple average = RgbToHls({red, green, blue});
    if (average.Hue == 0 || average.Saturation < ScaleMinSaturation) return 0.0f;
    return TemperatureFromHue(average.Hue);
}

float TemperatureScale::TemperatureFromHue(int hue) const {
    if (m_hueKeys.empty()) return 0.0f;
    const int lastRow = int(m_hueKeys.size()) - 1;
    int hi = ScaleLastColouredRow > 0 ? std::min(ScaleLastColouredRow, lastRow) : lastRow;
    int lo = 0;
    const float h = float(hue);
    if (h <= m_hueKeys[0]) return float(ScaleTemperatures[0]);
    if (h >= m_hueKeys[hi]) return float(ScaleTemperatures[hi]);
    // Bounds move to the probe itself, so the search can stall one row apart; the probe limit
    // ends it with the last probed row.
    double result = 0.0;
    for (int probe = 1; probe <= MaxProbes; ++probe) {
        const int mid = (lo + hi) / 2;
        result = ScaleTemperatures[mid];
        if (h < m_hueKeys[mid]) hi = mid;
        if (h > m_hueKeys[mid]) lo = mid;
        if (hi == lo || h == m_hueKeys[mid]) break;
    }
    return float(result);
}

SliderPlacement TemperatureScale::placeSlider(int scaleTop, int scaleHeight, int scaleMin,
                                              int scaleMax) {
    SliderPlacement s;
    s.top = scaleTop - 11;
    s.height = scaleHeight + 22;
    // Both bounds are set together: setting them one at a time, as the slider control refuses a
    // minimum above its maximum, would keep a bound of the previous range (38..62 then 64..84
    // left the slider at 38..84).
    s.minimum = std::min(scaleMin, scaleMax);
    s.maximum = std::max(scaleMin, scaleMax);
    // Halved in 64 bits: the ends may lie anywhere in 16 bits, their sum never overflows.
    s.position = int((qint64(s.minimum) + s.maximum) / 2); // truncated toward zero
    return s;
}

QString TemperatureScale::sliderLabelText(int minimum, int maximum, int position, bool celsius,
                                          const QLocale& locale) {
    const int fahrenheit = maximum + minimum - position;
    if (!celsius) return QString::number(fahrenheit) + temperatureUnitText(false);
    // A scale mark, not a reading: 0°F here is a temperature like any other.
    return temperatureDigits(double(fahrenheit), true, locale) + temperatureUnitText(true);
}

QString TemperatureScale::scaleEndToolTip(int fahrenheit, bool celsius, const QLocale& locale) {
    if (!celsius) return QString();
    //: A scale end's up-down: %1 its value in °F, %2 the same in °C.
    return QCoreApplication::translate("TemperatureScale", "%1 is %2")
        .arg(QString::number(fahrenheit) + temperatureUnitText(false),
             temperatureDigits(fahrenheit, true, locale) + temperatureUnitText(true));
}

} // namespace geo
