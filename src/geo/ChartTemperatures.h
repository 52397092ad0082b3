#pragma once
// The water temperature of a chart's pixels: the one thing the pointer, a new waypoint, the
// history at a spot, the breaks, the isotherms, the highlight and the exports ask. It has one
// of two sources, chosen once where the chart is loaded: the chart's colours read under the
// temperature scale (every chart), or the values a chart made from satellite data carries for
// each of its pixels. A chart without data reads exactly as its colours always read.

#include "geo/PixelTemperatures.h"
#include "geo/TemperatureBreaks.h"
#include "geo/TemperatureScale.h"

#include <QImage>

#include <memory>

namespace geo {

class ChartTemperatures {
public:
    // Reads nothing anywhere.
    ChartTemperatures() = default;
    // The chart's picture (as decoded, any format) read under scale, or through data when the
    // chart carries values of its own. Quirk "data-of-the-picture's-size": values of another
    // size than the picture are not this chart's and are not read; its colours are.
    ChartTemperatures(const QImage& picture, const TemperatureScale& scale,
                      std::shared_ptr<const PixelTemperatures> data = nullptr);

    // The scale's range changed: the colours read under the new one (data reads as before).
    void setScale(const TemperatureScale& scale) { m_scale = scale; }

    // Whether the readings are the data's own values rather than the colours'.
    bool fromData() const { return m_data != nullptr; }

    // Water temperature (°F) at chart pixel (x, y); 0 means none: outside the chart, land,
    // cloud or coast. From the colours exactly TemperatureScale::TemperatureAtPixel (the 5 x 3
    // window's average, nothing within two pixels of the left and right edges); from data the
    // pixel's own value, every pixel of the chart, NaN reading none.
    float at(int x, int y) const {
        if (!m_data) return m_scale.TemperatureAtPixel(m_picture, x, y);
        if (x < 0 || y < 0 || x >= m_data->width || y >= m_data->height) return 0.0f;
        const float value = m_data->at(x, y);
        return value == value ? value : 0.0f; // NaN: no water value
    }

    // Every pixel as at() reads it. clean marks the readings made of water only: from the
    // colours, a 5 x 3 window without land, cloud or coast; from data, every pixel with a value.
    // Data readings are exact (readingStep 0).
    TemperatureField field() const;

    // The decimals a reading is shown with: one for the colours (the palette's rows are a fifth
    // of a degree apart and more), two for data, the precision the data sets are published to.
    int readoutDecimals() const { return m_data ? 2 : 1; }

    const QImage& picture() const { return m_picture; }
    const TemperatureScale& scale() const { return m_scale; }
    const std::shared_ptr<const PixelTemperatures>& data() const { return m_data; }

private:
    QImage m_picture; // 32-bit RGB, as the pointer samples it
    TemperatureScale m_scale;
    std::shared_ptr<const PixelTemperatures> m_data; // null: read the colours
};

} // namespace geo
