#include "geo/TemperatureScale.h"

#include "geo/ColourStuff.h"

#include <algorithm>
#include <limits>
#include <optional>

namespace {

constexpr int ScaleWidth = 30;
constexpr int ScaleRows = 256;
constexpr int MaxProbes = 9;
constexpr int NoSaturationYet = 123456;

bool isSeparator(QChar c) {
    return c.unicode() <= u' ' || c == u',';
}

// A decimal integer with an optional sign that fits 32 bits.
std::optional<int> toInt(const QString& word) {
    qsizetype i = 0;
    bool negative = false;
    if (i < word.size() && (word[i] == u'+' || word[i] == u'-')) {
        negative = word[i] == u'-';
        ++i;
    }
    if (i == word.size()) return std::nullopt;
    long long value = 0;
    for (; i < word.size(); ++i) {
        const char16_t c = word[i].unicode();
        if (c < u'0' || c > u'9') return std::nullopt;
        value = value * 10 + (c - u'0');
        if (value > 2147483648LL) return std::nullopt;
    }
    if (negative) value = -value;
    if (value > std::numeric_limits<int>::max()) return std::nullopt;
    return int(value);
}

// The packed colour (red in bits 0-7, green 8-15, blue 16-23) of one pixel.
inline std::uint32_t packedColour(const uchar* line, QImage::Format format, const QImage& image,
                                  int x, int y) {
    switch (format) {
    case QImage::Format_RGB888: {
        const uchar* p = line + 3 * x;
        return std::uint32_t(p[0]) | std::uint32_t(p[1]) << 8 | std::uint32_t(p[2]) << 16;
    }
    case QImage::Format_RGB32:
    case QImage::Format_ARGB32: {
        const QRgb q = reinterpret_cast<const QRgb*>(line)[x];
        return std::uint32_t(qRed(q)) | std::uint32_t(qGreen(q)) << 8 |
               std::uint32_t(qBlue(q)) << 16;
    }
    default: {
        const QRgb q = image.pixel(x, y);
        return std::uint32_t(qRed(q)) | std::uint32_t(qGreen(q)) << 8 |
               std::uint32_t(qBlue(q)) << 16;
    }
    }
}

} // namespace

namespace geo {

QStringList TemperatureScale::paletteLines(const QString& paletteText) {
    QStringList lines;
    qsizetype start = 0;
    const qsizetype n = paletteText.size();
    for (qsizetype i = 0; i < n; ++i) {
        const QChar c = paletteText[i];
        if (c != u'\r' && c != u'\n') continue;
        lines.append(paletteText.mid(start, i - start));
        if (c == u'\r' && i + 1 < n && paletteText[i + 1] == u'\n') ++i;
        start = i + 1;
    }
    if (start < n) lines.append(paletteText.mid(start));
    return lines;
}

QStringList TemperatureScale::paletteWords(const QString& line) {
    QStringList words;
    const qsizetype n = line.size();
    qsizetype i = 0;
    auto skipBlanks = [&] {
        while (i < n && line[i].unicode() <= u' ')
            ++i;
    };
    skipBlanks();
    while (i < n) {
        QString word;
        if (line[i] == u'"') {
            ++i;
            while (i < n) {
                if (line[i] == u'"') {
                    if (i + 1 < n && line[i + 1] == u'"') {
                        word += u'"';
                        i += 2;
                        continue;
                    }
                    ++i;
                    break;
                }
                word += line[i++];
            }
        } else {
            const qsizetype begin = i;
            while (i < n && !isSeparator(line[i]))
                ++i;
            word = line.mid(begin, i - begin);
        }
        words.append(word);
        skipBlanks();
        if (i < n && line[i] == u',') {
            ++i;
            skipBlanks();
            if (i == n) words.append(QString()); // a trailing comma ends an empty word
        }
    }
    return words;
}

QImage TemperatureScale::BuildScaleBitmap(const QStringList& lines) {
    if (lines.size() != ScaleRows) return QImage();
    QImage bitmap(ScaleWidth, ScaleRows, QImage::Format_RGB888);
    bitmap.fill(Qt::black);
    for (int i = 0; i < ScaleRows; ++i) {
        const QStringList words = paletteWords(lines[i]);
        if (words.size() != 3) continue;
        const std::optional<int> red = toInt(words[0]);
        const std::optional<int> green = toInt(words[1]);
        const std::optional<int> blue = toInt(words[2]);
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
    const QImage::Format format = scaleBitmap.format();
    for (int r = 0; r < rows; ++r) {
        const HlsTriple hls = RgbToHls(ColourToRgb(
            packedColour(scaleBitmap.constScanLine(r), format, scaleBitmap, middle, r)));
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
    if (bitmap.format() == QImage::Format_RGB888) {
        for (int row = firstRow; row <= lastRow; ++row) {
            const uchar* p = bitmap.constScanLine(row) + 3 * (x - 2);
            for (int k = 0; k < 5; ++k, p += 3)
                sample(p[0], p[1], p[2]);
        }
    } else {
        for (int row = firstRow; row <= lastRow; ++row)
            for (int column = x - 2; column <= x + 2; ++column) {
                const QRgb q = bitmap.pixel(column, row);
                sample(qRed(q), qGreen(q), qBlue(q));
            }
    }
    // Rejected pixels still count: they darken the average, not its hue.
    const int count = 5 * (lastRow - firstRow + 1);
    const HlsTriple average = RgbToHls({red / count, green / count, blue / count}); // truncating
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

SliderPlacement TemperatureScale::placeSlider(int scaleTop, int scaleHeight, int currentMinimum,
                                              int currentMaximum, int scaleMin, int scaleMax) {
    SliderPlacement s;
    s.top = scaleTop - 11;
    s.height = scaleHeight + 22;
    s.minimum = currentMinimum;
    s.maximum = currentMaximum;
    if (scaleMin <= s.maximum) s.minimum = scaleMin;
    if (scaleMax >= s.minimum) s.maximum = scaleMax;
    s.position = (s.minimum + s.maximum) / 2; // truncated toward zero
    return s;
}

QString TemperatureScale::sliderLabelText(int minimum, int maximum, int position) {
    return QString::number(maximum + minimum - position) + QChar(u'\u00B0') + u'F';
}

} // namespace geo
