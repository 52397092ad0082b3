#include "geo/ChartTemperatures.h"

#include <cmath>

namespace geo {

namespace {

// The 32-bit RGB the pointer's reading and the field's row sums take fastest.
QImage asRgb32(const QImage& picture) {
    if (picture.isNull() || picture.format() == QImage::Format_RGB32 ||
        picture.format() == QImage::Format_ARGB32)
        return picture;
    return picture.convertToFormat(QImage::Format_RGB32);
}

} // namespace

ChartTemperatures::ChartTemperatures(const QImage& picture, const TemperatureScale& scale,
                                     std::shared_ptr<const PixelTemperatures> data)
    : m_picture(asRgb32(picture)), m_scale(scale) {
    if (data && !data->isEmpty() && data->width == picture.width() &&
        data->height == picture.height() &&
        data->fahrenheit.size() == std::size_t(data->width) * std::size_t(data->height))
        m_data = std::move(data);
}

TemperatureField ChartTemperatures::field() const {
    if (!m_data) return temperatureField(m_scale, m_picture);
    TemperatureField field;
    field.width = m_data->width;
    field.height = m_data->height;
    field.readingStep = 0.0f; // exact values
    field.values.resize(m_data->fahrenheit.size());
    field.clean.resize(m_data->fahrenheit.size());
    for (std::size_t i = 0; i < m_data->fahrenheit.size(); ++i) {
        const float value = m_data->fahrenheit[i];
        const bool water = !std::isnan(value) && value != 0.0f;
        field.values[i] = water ? value : 0.0f;
        field.clean[i] = water ? 1 : 0;
    }
    return field;
}

} // namespace geo
