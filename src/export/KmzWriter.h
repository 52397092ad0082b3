#pragma once
// The chart as a KMZ for Google Earth: a GroundOverlay of the picture, and the lines.

#include "export/ChartGeoreference.h"

namespace exports {

// Writes a KMZ at path, atomically: layers.picture resampled row by row to equal latitude
// steps under a KML GroundOverlay box, and layers.lines and waypoints as placemarks. False,
// with a one-line reason in *error, when the chart cannot be placed or the file cannot be
// written.
bool writeKmz(const QString& path, const ChartGeoreference& chart, const ExportLayers& layers,
              QString* error);

} // namespace exports
