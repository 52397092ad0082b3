#pragma once
// Composing the display picture of a chart: the chart itself, its temperature-break lines, then
// the annotation lines, the annotation texts, the home marker and the numbered waypoint
// markers, in that layer order.

#include "geo/Annotation.h"
#include "geo/Waypoint.h"

#include <QColor>
#include <QFont>
#include <QImage>
#include <QPoint>
#include <QPointF>
#include <QSize>
#include <QString>
#include <QStringList>
#include <QVector>
#include <cstdint>
#include <functional>
#include <optional>
#include <vector>

namespace geo {
struct BreakLayer;
struct HighlightLayer;
struct BreakLine;
struct Isotherm;
} // namespace geo

namespace display {

// Where an isotherm carries its temperature: the middle of the text in chart pixels, and the
// text's slant in degrees (clockwise on screen, -90..90 so that it never reads upside down).
struct IsothermLabel {
    QPointF at;
    double angle = 0.0;
    float temperature = 0.0f; // °F
};

// The labels of isotherms: one on each line at least minimumLength pixels long, in the middle
// of its straightest stretch of span pixels, and none on a line without a fairly straight one.
std::vector<IsothermLabel> isothermLabels(const std::vector<geo::Isotherm>& isotherms,
                                          double span = 28.0, double minimumLength = 60.0);

// An isotherm's label in the unit shown: whole degrees as "68°", others to a tenth, "20.5°".
QString isothermLabelText(float fahrenheit, bool celsius);

// The colour isotherms and their labels are drawn in: a dark slate no palette colour is.
inline QColor isothermColour() {
    return QColor(20, 24, 40);
}

// Maps a position to a chart pixel; false when no area is current.
using GeoToPixelFn = std::function<bool(float lat, float lon, int& x, int& y)>;

struct Overlays {
    const QList<AnnotationLine>* lines = nullptr;
    const QList<AnnotationText>* texts = nullptr;
    QFont font; // the annotation font, sized for a 96 dpi picture
    QColor fontColour = Qt::black;
    bool outlined = false; // draw texts with a one-pixel black outline at the diagonals
    double homeLat = 0;    // 0 in either means no home, as does a position that is no place
    double homeLon = 0;
    const QStringList* waypoints = nullptr;
    GeoToPixelFn geoToPixel; // empty: no current area
    QImage markerIcon;       // 32 x 32, tip at column 10, row 27
    // The temperature-break lines, drawn on the chart below every other overlay; none when
    // null or of another size than the chart.
    const geo::BreakLayer* breaks = nullptr;
    // The water of the slider's temperature, striped under the break lines; none when null or
    // of another size than the chart.
    const geo::HighlightLayer* highlight = nullptr;
    // The whole break lines, drawn in the break colour where the marks would be.
    const std::vector<geo::BreakLine>* breakLines = nullptr;
    // The isotherms and their labels, over the breaks and under the user's marks; the labels
    // read in °C when celsius.
    const std::vector<geo::Isotherm>* isotherms = nullptr;
    const std::vector<IsothermLabel>* isothermLabels = nullptr;
    bool celsius = false;
    // Home and the waypoints drawn into the picture (saved and printed pictures); the window
    // draws them over the view instead, at screen size whatever the zoom.
    bool markersInPicture = true;
};

// A home or waypoint marker: its tip on a chart pixel and its label ("H", or the waypoint's
// number and then its name when it has one).
struct Marker {
    QPoint tip;
    QString label;
    bool home = false;
};

// The markers of the overlays, home first and then the waypoints in list order; those with no
// place on the chart (no area, no home, a damaged entry, off the chart's mapping) left out.
std::vector<Marker> chartMarkers(const Overlays& overlays);

// Draws a marker with its tip at a point of the painter's device, in device pixels: the
// waypoint icon (tip at its column 10, row 27) or home's house, and the label ending left of
// it in the painter's font and colour over a white halo.
void drawMarker(class QPainter& painter, QPoint tip, const Marker& marker, const QImage& icon,
                QColor colour);

// The picture shown for the chart: a copy of base (made 32-bit RGB) with the overlays drawn on it.
// The result always has the size of base; the zoom stretches it on screen.
QImage RepaintChart(const QImage& base, const Overlays& overlays);

// Draws one marker (0 = home, labelled "H"; otherwise the number, then the waypoint's name when
// it has one) with its tip on the position; the label ends left of the tip.
void DrawMarker(class QPainter& painter, const Overlays& overlays, int number, float lat, float lon,
                const QString& name = QString());

// The size of a text in the annotation font as the picture draws it (advance width, line
// height), measured for the 96 dpi picture.
QSize TextSize(const QFont& font, const QString& text);

// Top-left corner of a text of width w and height h centred at (x, y); halves truncated toward
// zero.
inline void TextCorner(int x, int y, int w, int h, int& left, int& top) {
    left = x - w / 2;
    top = y - h / 2;
}

// Chart pixel under a mouse position on the display: halved (toward zero) while zoomed.
inline void MouseToChartPixel(int mx, int my, bool zoomed, int& x, int& y) {
    x = zoomed ? mx / 2 : mx;
    y = zoomed ? my / 2 : my;
}

// The zoom after a turn of the mouse wheel over the chart: forward zooms in, backward returns to
// the normal view, a purely sideways turn (delta 0) is no zoom request and keeps the view.
inline bool zoomAfterWheel(int wheelDelta, bool zoomed) {
    return wheelDelta == 0 ? zoomed : wheelDelta > 0;
}

// The picture doubled in width and height, each pixel becoming a 2 x 2 block (no smoothing).
QImage ZoomDouble(const QImage& picture);

} // namespace display
