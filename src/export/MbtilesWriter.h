#pragma once
// The chart as raster MBTiles 1.3 (PNG tiles) for chart software and phone apps.

#include "export/ChartGeoreference.h"

namespace exports {

// Writes layers.picture as an MBTiles file at path, atomically: PNG tiles in TMS row order at
// the zooms that keep every chart pixel, nearest neighbour, with its metadata. False, with a
// one-line reason in *error, when the chart cannot be placed or the file cannot be written.
bool writeMbtiles(const QString& path, const ChartGeoreference& chart, const ExportLayers& layers,
                  QString* error);

} // namespace exports
