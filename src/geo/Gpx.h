#pragma once
// The waypoints as GPX, the exchange format of GPS units and chart plotters: GPX 1.1 written,
// GPX 1.0 and 1.1 read. Temperatures travel in the Garmin waypoint extension (°C).

#include "geo/Waypoint.h"

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <QXmlStreamWriter>

#include <optional>
#include <vector>

namespace geo {

// Files beyond this are refused before they are read: a trip is a few kilobytes.
constexpr qint64 GpxMaximumBytes = 8 * 1024 * 1024;

// Documents with an element of more attributes than this (namespace declarations included) are
// refused before they are parsed: the XML reader compares each attribute with every one before
// it, so its time grows with the square of their number. A GPX element has a handful; a root
// that declares every namespace of a plotter's extensions a few dozen.
constexpr int GpxMaximumAttributes = 64;

// The longest waypoint name a plotter takes.
constexpr qsizetype PlotterNameLength = 10;

// The GPX 1.1 document for the list: home (when set, both coordinates non-zero) as a waypoint
// named "HOME", each entry that parses under its own name or, without one, as "WPT01", "WPT02",
// ... (numbered by list position), with "Water 72.4°F" and the temperature in °C when it is not
// 0, then a route through home and the waypoints in order. A name is cut to PlotterNameLength
// characters and ends in a number where that would repeat another (without regard to case);
// the whole name is the waypoint's desc, the water's text then its cmt. UTF-8.
QByteArray gpxDocument(const QStringList& waypointList, double homeLat, double homeLon);

// Writes gpxDocument atomically. False, with a one-line reason in *error, when it cannot.
// The GPX 1.1 namespace, and the start of a GPX 1.1 document of ours: the XML declaration and
// the open gpx element (version 1.1, creator Thalwise), declaring the Garmin extension's
// namespace when asked. The caller writes the content and ends the document.
inline const QString Gpx11Namespace = QStringLiteral("http://www.topografix.com/GPX/1/1");
void startGpx11Document(QXmlStreamWriter& xml, bool garminExtensions);

// Writes a whole GPX document to path atomically; false, with the reason in *error, when it
// cannot.
bool writeGpxDocument(const QString& path, const QByteArray& document, QString* error);

bool writeGpxFile(const QString& path, const QStringList& waypointList, double homeLat,
                  double homeLon, QString* error);

// A home position read from a file, to the file's own precision.
struct GpxHome {
    double lat = 0.0;
    double lon = 0.0;
};

struct GpxWaypoints {
    // In file order, temperatures in °F (0 for none). A waypoint's name is its desc when the
    // file's name is that cut for a plotter, as gpxDocument cuts it; otherwise the file's name,
    // except the made-up "WPT01", "WPT02", ... which read as none.
    std::vector<Waypoint> waypoints;
    std::optional<GpxHome> home; // a waypoint named "HOME", kept apart from the list
};

// The waypoints of a GPX 1.0 or 1.1 document (the route points when it has no waypoints), in
// UTF-8, UTF-16 or UTF-32 (told by a byte order mark or the first '<') or the encoding its XML
// declaration names. Elements of other namespaces (extensions) are stepped over; a temperature
// that is not a finite number is no temperature. Nothing, with a message for the user in
// *error, for a document that is not well-formed, is larger than GpxMaximumBytes, is not in an
// encoding that can be read, has an element with more than GpxMaximumAttributes attributes,
// has a DOCTYPE (so no entity is ever declared or expanded), is not GPX, or holds no waypoint
// with a valid position.
std::optional<GpxWaypoints> readGpx(const QByteArray& document, QString* error);

// readGpx on a file, its size checked before it is read.
std::optional<GpxWaypoints> readGpxFile(const QString& path, QString* error);

// The list and home after importing a GPX file.
struct ImportedTrip {
    QStringList waypointList;
    double homeLat = 0.0;
    double homeLon = 0.0;
    int leftOut = 0; // waypoints not taken: their stored position would be latitude or longitude 0
};

// Replaces the list with the file's waypoints, or appends them to it. The file's HOME becomes
// home when replacing, or when no home is set yet; otherwise home stays. A waypoint whose
// stored text would read latitude or longitude 0 is left out: such an entry ends the saved list
// and would lose every waypoint after it at the next start.
ImportedTrip importWaypoints(const QStringList& waypointList, double homeLat, double homeLon,
                             const GpxWaypoints& imported, bool replace);

} // namespace geo
