#include "geo/TemperatureHighlight.h"

#include "geo/TemperatureBreaks.h"

#include <cmath>

namespace geo {

HighlightLayer highlightBand(const TemperatureField& field, float temperature, float halfBand) {
    HighlightLayer layer;
    layer.width = field.width;
    layer.height = field.height;
    layer.temperature = temperature;
    layer.marks.assign(field.values.size(), 0);
    // Compared in double: 67.5 is in the band of 68 whatever single precision does to 68 - 0.5.
    const double low = double(temperature) - halfBand;
    const double high = double(temperature) + halfBand;
    for (std::size_t i = 0; i < field.values.size(); ++i) {
        const double value = field.values[i];
        if (value == 0.0) continue; // no reading
        if (value >= low && value <= high) {
            layer.marks[i] = 1;
            ++layer.markCount;
        }
    }
    return layer;
}

void drawHighlight(QImage& picture, const HighlightLayer& layer) {
    if (picture.width() != layer.width || picture.height() != layer.height || layer.markCount == 0)
        return;
    if (picture.format() != QImage::Format_RGB32 && picture.format() != QImage::Format_ARGB32 &&
        picture.format() != QImage::Format_ARGB32_Premultiplied)
        picture = picture.convertToFormat(QImage::Format_ARGB32_Premultiplied);
    const QRgb light = qRgb(255, 255, 255);
    const QRgb dark = qRgb(24, 24, 24);
    for (int y = 0; y < layer.height; ++y) {
        auto* line = reinterpret_cast<QRgb*>(picture.scanLine(y));
        const std::uint8_t* marks = layer.marks.data() + std::size_t(y) * layer.width;
        for (int x = 0; x < layer.width; ++x) {
            if (!marks[x]) continue;
            // Stripes four pixels apart along the diagonal: light, chart, dark, chart.
            const int phase = (x + y) & 3;
            if (phase == 0)
                line[x] = light;
            else if (phase == 2)
                line[x] = dark;
        }
    }
}

} // namespace geo
