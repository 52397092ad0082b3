#pragma once
#include <QIcon>
#include <QImage>

namespace app {

// The program's icon, drawn here: a chart square of warm and cool water split by a temperature
// break, with a thermometer. One picture per size, so that small sizes stay crisp.
QImage drawAppIcon(int size);
// The icon at the usual sizes (16 to 256 pixels).
QIcon appIcon();

// The tool buttons' glyphs, drawn here too, so that the buttons need no picture files; the
// waypoint glyph is the marker icon itself.
enum class ToolGlyph { Measure, Draw, Erase, Text, Waypoint, Polygon, Home };
QIcon toolIcon(ToolGlyph glyph, const QImage& waypointIcon);

} // namespace app
