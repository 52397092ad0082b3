#pragma once
// A waypoint and its stored text form.

#include <QString>
#include <optional>

// A position the user marked, with the water temperature read there (°F, 0 for none).
struct Waypoint {
    float lat = 0;
    float lon = 0;
    float tempF = 0;
};

// The stored text "Lat=%.2f,Lon=%.2f,Tf=%.1f", always with a period.
QString WaypointText(const Waypoint& waypoint);

// Reads a stored waypoint text: items split at commas and spaces (a double-quoted item may hold
// either), values of the items named LAT, LON and TF (any letter case). Nothing unless all three
// are numbers, the latitude within ±90°, the longitude within ±180° and the temperature finite:
// a damaged entry never reaches a marker or a readout. A period is the decimal separator; the
// locale's own is accepted too.
std::optional<Waypoint> ParseWaypoint(const QString& text);

namespace geo {

// True for a position that can be shown: both coordinates finite, the latitude within ±90°
// and the longitude within ±180°.
bool isShowablePosition(double latitude, double longitude);

} // namespace geo
