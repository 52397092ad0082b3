#pragma once
// A waypoint and its stored text form.

#include <QString>
#include <optional>

// A position the user marked, with the water temperature read there (°F, 0 for none) and the
// name the user gave it (empty for none). The position is a double: a position taken from a GPX
// file keeps its six decimals (0.1 m), which a float cannot hold.
struct Waypoint {
    double lat = 0;
    double lon = 0;
    float tempF = 0;
    QString name = {};
};

// How many decimals the stored text keeps.
enum class WaypointPrecision {
    // A clicked position: the pixel's position to four decimals (about 10 m, finer than a chart
    // pixel), the temperature as the readout shows it, one decimal.
    Pixel,
    // A position taken from elsewhere (a GPX file): as given, up to six decimals and at least
    // two; the temperature up to four decimals (what a Celsius reading to 0.001 becomes in °F).
    // Trailing zeros are dropped.
    Given,
};

// The stored text "Lat=...,Lon=...,Tf=..." with the decimals of precision, always with a period,
// then ",Name=..." for a named waypoint: the name item is double-quoted (its quotes doubled) when
// it holds a comma, a quote or a blank, so the three fields stay first and a reader of the three
// sees nothing new.
QString WaypointText(const Waypoint& waypoint,
                     WaypointPrecision precision = WaypointPrecision::Pixel);

// Reads a stored waypoint text: items split at commas and spaces (a double-quoted item may hold
// either), values of the items named LAT, LON and TF (any letter case). Nothing unless all three
// are numbers, the latitude within ±90°, the longitude within ±180° and the temperature finite:
// a damaged entry never reaches a marker or a readout. A period is the decimal separator; the
// locale's own is accepted too. The item named NAME, when there is one, gives the name as
// waypointName makes it.
std::optional<Waypoint> ParseWaypoint(const QString& text);

namespace geo {

// The longest name a waypoint keeps, in characters.
constexpr qsizetype WaypointNameLength = 30;

// A name as a waypoint keeps it: control characters (a line break pasted in) become blanks, the
// blanks at either end are dropped and the rest is cut to WaypointNameLength characters, never
// within a surrogate pair.
QString waypointName(const QString& typed);

// The stored text with its name replaced (waypointName of name; none when that is empty): every
// other item stays as it was, the name item comes last.
QString withWaypointName(const QString& text, const QString& name);

// The text cut to at most length UTF-16 units, never within a surrogate pair.
QString cutCharacters(const QString& text, qsizetype length);

// True for a position that can be shown: both coordinates finite, the latitude within ±90°
// and the longitude within ±180°.
bool isShowablePosition(double latitude, double longitude);

} // namespace geo
