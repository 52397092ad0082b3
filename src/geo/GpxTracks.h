#pragma once
// Lines on the chart (breaks, isotherms) as GPX 1.1 tracks for a chart plotter: each line
// thinned by Douglas-Peucker simplification until it fits the plotter's point budgets.

#include "geo/AreaStuff.h"

#include <QByteArray>
#include <QDateTime>
#include <QPointF>
#include <QString>

#include <optional>
#include <vector>

namespace geo {

// What a line on the chart is, for the way it is drawn and how a plotter with too few tracks
// ranks it.
enum class TrackKind { Other, Break, Isotherm };

// One line on the chart as one track: a break line, or all pieces of one isotherm. The pieces
// are in chart pixel coordinates: pixel (x, y) covers x..x+1, y..y+1, so its centre lies at
// (x + 0.5, y + 0.5), where PixelToGeo places that pixel.
struct TrackLine {
    QString name;
    QString description;
    std::vector<std::vector<QPointF>> pieces;
    TrackKind kind = TrackKind::Other;
    float value = 0.0f; // a break's strength (°F per NM), an isotherm's temperature (°F)
};

// A position in decimal degrees, double precision.
struct TrackPoint {
    double lat = 0.0;
    double lon = 0.0;
};

// The position of a point in chart pixel coordinates: PixelToGeo's arithmetic on doubles, so
// that (x + 0.5, y + 0.5) lands where PixelToGeo puts pixel (x, y) and points between centres
// land between. Nothing when the calibration is not valid or the point is not finite.
std::optional<TrackPoint> positionOfPixelPoint(const Calibration& calibration, QPointF pixel);

// The positions of a line, thinned by Douglas-Peucker simplification: a point stays when it lies
// farther than toleranceMetres from the chord of the stretch it belongs to (distances on a local
// flat projection of the sphere). The end points always stay. Points that have no position are
// left out; an invalid calibration gives no positions.
std::vector<TrackPoint> simplifiedPositions(const Calibration& calibration,
                                            const std::vector<QPointF>& pixels,
                                            double toleranceMetres);

// What a plotter takes; the defaults fit Garmin plotters.
struct GpxTrackOptions {
    int maxTracks = 50;
    int maxPointsPerTrack = 500;
    int maxPointsInAll = 10000;
    int maxNameLength = 14;
    QDateTime chartTime; // the chart's date, into metadata/time when valid
};

// What fitting the lines to the plotter cost, for the user to hear.
struct GpxTrackReport {
    int tracks = 0;                // tracks written
    int breaksLeftOut = 0;         // break lines left out for the track count, the weakest
    float strongestLeftOut = 0.0f; // the strongest of those, °F per NM
    int piecesLeftOut = 0;         // pieces shorter than the tolerance, left out
    double tolerance = 0.0;        // the simplification's tolerance in metres
    // The farthest a point of a line lies from the simplified line that replaces it, in metres
    // and in chart pixels (the chart is conformal, so the two agree where it lies).
    double largestShiftMetres = 0.0;
    double largestShiftPixels = 0.0;
};

// The GPX 1.1 document of the lines: one trk per line that has a position (its name cut to
// maxNameLength characters and told apart from the names before it, its description as desc),
// one trkseg per piece. When there are more lines than maxTracks, break lines are left out,
// the weakest first; when that is not enough the document is refused. Each track's tolerance
// starts at a few metres and doubles until it is within its point budget, and all of them
// until the tracks together are; a piece shorter than its track's tolerance is left out (a
// track keeps its longest). Nothing,
// with a one-line reason in *error, when the calibration is not valid or the budgets cannot be
// met. What it cost goes into *report.
std::optional<QByteArray> gpxTracksDocument(const Calibration& calibration,
                                            const std::vector<TrackLine>& lines,
                                            const GpxTrackOptions& options, QString* error,
                                            GpxTrackReport* report = nullptr);

// Writes gpxTracksDocument atomically. False, with a one-line reason in *error, when it cannot.
bool writeGpxTracks(const QString& path, const Calibration& calibration,
                    const std::vector<TrackLine>& lines, const GpxTrackOptions& options,
                    QString* error);

} // namespace geo
