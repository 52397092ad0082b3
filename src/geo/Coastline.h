#pragma once

// The land of the 30 chart areas, from the coastline rings built into the program
// (tools/coastlines: GSHHG shorelines): the rings themselves, a per-pixel land mask of a chart,
// and the coastline as lines in chart pixels for drawing.

#include "geo/AreaStuff.h"

#include <QByteArrayView>
#include <QList>
#include <QPointF>
#include <QPolygonF>

#include <cstdint>
#include <optional>
#include <vector>

namespace geo {

// One closed ring of land as longitude (x) and latitude (y) in degrees, east and north
// positive; the last point joins the first. Rings are filled even-odd: a ring inside a ring is
// water (a lake, a lagoon).
using CoastRing = QList<QPointF>;

// The rings of a coastline text: lines of "longitude latitude", each ring after a line starting
// with '>', '#' lines are comments, blank lines are skipped. Nothing when a line is not two
// finite numbers or a point comes before the first '>'.
std::optional<QList<CoastRing>> parseCoastRings(QByteArrayView text);

// The land rings of a calibrated area (1..30) from the built-in data; empty for an area that
// lies wholly at sea and for any other index.
QList<CoastRing> coastRings(int area);

// The rings as points in chart pixels under a calibration, in fractions (a whole number is a
// pixel's centre, as for GeoToPixel). Empty when the calibration is not valid.
QList<QPolygonF> ringsInPixels(const Calibration& calibration, const QList<CoastRing>& rings);

// Land flags of a chart of width x height pixels, row after row: 1 where the pixel's centre lies
// inside the rings (even-odd), else 0. Empty when a size is outside 1..16384.
std::vector<std::uint8_t> landMask(const QList<QPolygonF>& pixelRings, int width, int height);

// The land mask of an area's chart through its calibration; empty for an area without one
// (0, 31) or a size outside 1..16384.
std::vector<std::uint8_t> landMask(int area, int width, int height);

// The coast of an area as closed polylines in chart pixels (first point repeated at the end),
// for drawing on its chart. Where land runs off the chart, its ring closes some 15 to 20 pixels
// outside the picture, so that no drawn line runs along the chart's edge. Empty for an area
// without a calibration.
QList<QPolygonF> coastlinePolylines(int area);

// The pixels of the drawn coastline on a raster chart: 1 for a sea pixel with land next to it
// (left, right, above or below), else 0; same layout as the mask. Empty when the mask does not
// hold width x height flags.
std::vector<std::uint8_t> coastPixels(const std::vector<std::uint8_t>& land, int width, int height);

// The same coast drawn on a picture whose land pixels hold `landValue`: each other pixel with a
// land pixel left, right, above or below it becomes `coastValue` (which must differ from
// `landValue`). Does nothing when the picture does not hold width x height pixels.
void drawCoast(std::vector<std::uint8_t>& pixels, int width, int height, std::uint8_t landValue,
               std::uint8_t coastValue);

} // namespace geo
