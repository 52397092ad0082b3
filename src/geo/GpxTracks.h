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

// One line in chart pixel coordinates: pixel (x, y) covers x..x+1, y..y+1, so its centre lies
// at (x + 0.5, y + 0.5), where PixelToGeo places that pixel.
struct TrackLine {
    QString name;
    QString description;
    std::vector<QPointF> pixels;
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
    int maxPointsPerTrack = 500;
    int maxPointsInAll = 10000;
    int maxNameLength = 14;
    QDateTime chartTime; // the chart's date, into metadata/time when valid
};

// The GPX 1.1 document of the lines: one trk per line that has a position (its name cut to
// maxNameLength characters, its description as desc, one trkseg). The tolerance starts at a
// few metres and doubles until every track and all of them together are within the budgets.
// Nothing, with a one-line reason in *error, when the calibration is not valid or the budgets
// cannot be met (every track keeps its two end points).
std::optional<QByteArray> gpxTracksDocument(const Calibration& calibration,
                                            const std::vector<TrackLine>& lines,
                                            const GpxTrackOptions& options, QString* error);

// Writes gpxTracksDocument atomically. False, with a one-line reason in *error, when it cannot.
bool writeGpxTracks(const QString& path, const Calibration& calibration,
                    const std::vector<TrackLine>& lines, const GpxTrackOptions& options,
                    QString* error);

} // namespace geo
