#pragma once
// The temperature scale the painted test charts are read under, and the palette colour a chart
// publisher paints for a temperature.

#include "geo/Palette.h"
#include "geo/TemperatureScale.h"

#include <QImage>

#include <algorithm>
#include <cmath>

namespace painted {

constexpr int ScaleMin = 30;
constexpr int ScaleMax = 80;

struct Scale {
    QImage bitmap = geo::TemperatureScale::BuildScaleBitmap(geo::builtinPaletteText());
    geo::TemperatureScale scale;
    Scale() { scale.TempScaleChange(bitmap, ScaleMin, ScaleMax); }
    // The palette colour a chart publisher paints for a temperature: the scale row nearest it.
    QRgb colourOf(double fahrenheit) const {
        const int row = int(std::lround((ScaleMax - fahrenheit) / (ScaleMax - ScaleMin) * 255.0));
        return bitmap.pixel(15, std::clamp(row, 0, 255));
    }
};

} // namespace painted
