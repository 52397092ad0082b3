#pragma once
// Temperature breaks as whole lines: each front followed along its ridge, so that one front
// gives one polyline in chart pixels with its strength, for the display, the command-line tool
// and the exporters.

#include "geo/TemperatureBreaks.h"

#include <QPointF>

#include <vector>

namespace geo {

// One break line in chart pixel coordinates: pixel (x, y) covers x..x+1, y..y+1, so its centre
// lies at (x + 0.5, y + 0.5).
struct BreakLine {
    std::vector<QPointF> points;
    float strength = 0.0f; // the steepest gradient along the line, °F per NM
};

// The break lines of a field under a calibration: a line starts where the gradient reaches the
// threshold and continues along the ridge while a lower one holds. Nothing without a valid
// calibration.
std::vector<BreakLine> findBreakLines(const TemperatureField& field,
                                      const Calibration& calibration, double threshold);

} // namespace geo
