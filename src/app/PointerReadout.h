#pragma once
// What the status bar shows for one pointer move over the chart or the temperature scale,
// decided without a window: the four panel texts, whether the rubber band follows the pointer
// and what the waypoint tool remembers.

#include "geo/AreaStuff.h"

#include <QLocale>
#include <QString>
#include <functional>

namespace app {

// The mouse tools of the chart (one is current).
enum class PointerTool { Measure, Text, Line, Polygon, Erase, Waypoint, Home };

struct PointerMove {
    PointerTool tool = PointerTool::Measure;
    bool overChart = true; // false: over the temperature scale
    int x = 0;             // chart (or scale) pixel, already halved while zoomed
    int y = 0;
    GeoPosition position; // of (x, y)
    bool dragging = false;
    GeoPosition pressPosition; // where the drag began
    // Temperature in °F under (x, y), 0 for none.
    std::function<float()> temperatureAt;
    int temperatureDecimals = 1; // 2 for a chart's data (ChartTemperatures::readoutDecimals)
    bool decimalDegrees = false;
    bool magneticReadout = false;
    float magneticVariation = 0.0f;
    bool temperatureCelsius = false; // panel 1 in °C
    QLocale locale;
};

enum class RubberBand { None, Line, Rectangle };

struct PointerReadout {
    QString position;          // panel 0 (empty over the scale)
    QString temperature;       // panel 1
    float temperatureF = 0.0f; // what panel 1 reads, °F; 0 when it reads nothing
    QString range;             // panel 2
    QString pixel;             // panel 3
    RubberBand rubberBand = RubberBand::None;
    // The waypoint tool remembers the temperature under the pointer, 0 included.
    bool setsWaypointTemperature = false;
    float waypointTemperature = 0.0f;
};

// Every tool reads the position and the temperature. The measuring and line tools read, while
// dragging, the range and heading from the press; the erase tool drags its rectangle; the
// waypoint tool also remembers the temperature it shows. Where the range cannot be computed,
// panel 2 stays empty.
PointerReadout pointerReadout(const PointerMove& move);

} // namespace app
