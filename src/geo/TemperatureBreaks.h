#pragma once
// Temperature breaks: where the water's temperature changes fast over a short distance, the
// places fish gather. The temperature of every chart pixel is read as the pointer readout reads
// it; the field is smoothed over the palette's steps, its gradient taken in °F per nautical mile
// with the area's calibration, and a break is marked as a one-pixel line along the steepest
// part of every change that reaches the threshold.

#include "geo/AreaStuff.h"

#include <QColor>
#include <QImage>

#include <cstdint>
#include <optional>
#include <vector>

namespace geo {

class TemperatureScale;

// °F per nautical mile: the default shows the breaks worth the fuel; the weak one shows more.
inline constexpr double DefaultBreakThreshold = 0.7;
inline constexpr double WeakBreakThreshold = 0.35;
// The thresholds the dialog takes.
inline constexpr double LowestBreakThreshold = 0.05;
inline constexpr double HighestBreakThreshold = 20.0;

// The water temperature (°F) of every pixel of a chart, row by row; 0 where there is none.
struct TemperatureField {
    int width = 0;
    int height = 0;
    std::vector<float> values;
    // True where the pixel's whole sampling window is water colour: no land, cloud, coast or
    // other grey, white or black pixel took part in its reading.
    std::vector<std::uint8_t> clean;
    // The largest step between two temperatures the readings can give (°F): the palette and
    // the hue's whole units make the readings discrete. 0 for a field of exact values.
    float readingStep = 0.0f;

    float at(int x, int y) const { return values[std::size_t(y) * width + x]; }
};

// The largest step between two readings a scale can give (°F), see readingStep.
float readingStep(const TemperatureScale& scale);

// Every pixel read exactly as TemperatureScale::TemperatureAtPixel reads it, in one pass.
TemperatureField temperatureField(const TemperatureScale& scale, const QImage& chart);

// The size of one pixel of a chart row in nautical miles, east-west and north-south, from the
// calibration's mapping (on a Mercator chart both shrink toward the pole). Nothing without a
// valid calibration.
struct PixelSize {
    double eastWestNm = 0.0;
    double northSouthNm = 0.0;
};
std::optional<PixelSize> pixelSizeNm(const Calibration& calibration, int row);

// The breaks of a field: marks[i] is 1 on a break line. strength holds the smoothed gradient
// in 1/1024 °F per NM (up to 64) wherever it could be taken, 0 elsewhere (near pixels without
// a clean reading).
struct BreakLayer {
    int width = 0;
    int height = 0;
    double threshold = DefaultBreakThreshold;
    std::vector<std::uint8_t> marks;
    std::vector<std::uint16_t> strength;
    int markCount = 0;
    double smoothing = 0.0; // the width (sigma, pixels) of the smoothing before the gradient

    bool isMarked(int x, int y) const { return marks[std::size_t(y) * width + x] != 0; }
    // The gradient at a pixel in °F per NM.
    float strengthAt(int x, int y) const;
};

// A gradient reaches the threshold when it is at least the threshold, give or take the
// rounding of single precision.
inline constexpr double ThresholdTolerance = 1e-4;
inline bool reachesThreshold(double gradient, double threshold) {
    return gradient >= threshold * (1.0 - ThresholdTolerance);
}

// Breaks of a field under a calibration (empty marks without a valid one). The field is
// smoothed over its readings' steps first: just enough that a single step in calm water stays
// below the threshold, so that the lines follow the water and not the palette.
BreakLayer findTemperatureBreaks(const TemperatureField& field, const Calibration& calibration,
                                 double threshold);

// The ridges of a field's smoothed gradient, found as the break layer finds its lines but down
// to a lower strength: the pixels where the change is steepest across it. A break followed
// along its ridge starts where the threshold is reached and goes on over these.
struct BreakRidges {
    int width = 0;
    int height = 0;
    std::vector<std::uint16_t> strength; // as BreakLayer::strength
    std::vector<std::uint8_t> ridge;     // 1 where the change is steepest, reaching the lowest
    double smoothing = 0.0;              // as BreakLayer::smoothing
    int shortestLine = 0; // the fewest pixels a line is drawn with: about a mile, at least 3

    // The gradient at pixel index i in °F per NM.
    float strengthAt(std::size_t i) const;
    // Whether a stored strength reaches a threshold (°F per NM), as the break layer decides it.
    static bool reaches(std::uint16_t strength, double threshold);
};

// The ridges of a field down to lowest (°F per NM, at most threshold), under the smoothing the
// threshold calls for. The ridge pixels reaching the threshold are the break layer's marks
// before its short scraps are left out. With joining above 0 only the ridges a break reaches
// are kept: those reaching the threshold and the weaker ones joined to them through ridge
// pixels at most joining pixels apart across and down (the rest is never tested, which is
// much faster). No ridges without a valid calibration.
BreakRidges findBreakRidges(const TemperatureField& field, const Calibration& calibration,
                            double threshold, double lowest, int joining = 0);

// The breaks of a chart read under a scale: the same as findTemperatureBreaks of its
// temperatureField, reading the chart row by row instead of keeping its whole field.
BreakLayer chartBreaks(const TemperatureScale& scale, const QImage& chart,
                       const Calibration& calibration, double threshold);

// The colour the break lines are drawn in: a bright magenta no palette colour comes near.
inline QColor breakLineColour() {
    return QColor(255, 0, 255);
}

// The break lines as a picture of the chart's size, transparent off the lines.
QImage breakOverlay(const BreakLayer& layer);

// Draws the break lines into a picture of the layer's size.
void drawBreaks(QImage& picture, const BreakLayer& layer);

// Whether a threshold is one the breaks can be drawn for: a number within
// LowestBreakThreshold..HighestBreakThreshold.
inline bool isBreakThreshold(double value) {
    return value >= LowestBreakThreshold && value <= HighestBreakThreshold; // false for NaN
}

// A threshold as text (the command line's argument), with a period or a decimal comma;
// nothing for text that is no number, or none the breaks can be drawn for.
std::optional<double> readBreakThreshold(const QString& text);

} // namespace geo
