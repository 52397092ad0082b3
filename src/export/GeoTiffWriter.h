#pragma once
// The chart as a GeoTIFF in Web Mercator (EPSG:3857), the picture or its temperature grid.

#include "export/ChartGeoreference.h"

namespace exports {

enum class GeoTiffContent {
    Picture, // layers.picture in colour
    // layers.temperature as Float32 in °F (°C when layers.celsius), the band's unit saying which,
    // NaN as NoData where the chart shows no water.
    Temperature,
};

// Writes a GeoTIFF at path, atomically, with the chart's exact transform. False, with a
// one-line reason in *error, when the chart cannot be placed, the content is missing or the
// file cannot be written.
bool writeGeoTiff(const QString& path, const ChartGeoreference& chart, const ExportLayers& layers,
                  GeoTiffContent content, QString* error);

} // namespace exports
