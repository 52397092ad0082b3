#pragma once
// The chart as a BSB 3 raster chart (KAP) for OpenCPN and other chart software.

#include "export/ChartGeoreference.h"

namespace exports {

// Writes layers.picture as a KAP file at path, atomically: at most 127 colours, Mercator on
// WGS84, REF points from the area's calibration, a PLY border, the chart's date. False, with a
// one-line reason in *error, when the chart cannot be placed or the file cannot be written.
bool writeKap(const QString& path, const ChartGeoreference& chart, const ExportLayers& layers,
              QString* error);

} // namespace exports
