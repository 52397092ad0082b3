#include "geo/GpxTracks.h"

#include "geo/Gpx.h"
#include "geo/vekMapping.h"

#include <QCoreApplication>
#include <QXmlStreamWriter>

#include <algorithm>
#include <charconv>
#include <cmath>
#include <utility>

namespace geo {

namespace {

const QString& Gpx11 = Gpx11Namespace;

constexpr double Pi = 3.141592653589793;
constexpr double DegToRad = Pi / 180.0;
constexpr double EarthRadiusMetres = 6371008.8; // mean radius
// The first tolerance tried; each try doubles it. A chart pixel spans a kilometre or more, so
// a few metres keeps every point a plotter could tell apart.
constexpr double FirstToleranceMetres = 4.0;
// Beyond this many doublings the tolerance exceeds the Earth, and every line is its end points.
constexpr int MostDoublings = 64;

// The shortest text that reads back as the same float, as the waypoints are written.
QString coordinate(double degrees) {
    char digits[64];
    const auto result =
        std::to_chars(digits, digits + sizeof digits, float(degrees), std::chars_format::fixed);
    return QString::fromLatin1(digits, result.ptr - digits);
}

// Distance in metres from p to the segment a..b, on the flat projection about a.
double distanceToSegment(const TrackPoint& p, const TrackPoint& a, const TrackPoint& b) {
    const double scale = std::cos(a.lat * DegToRad);
    auto x = [&](const TrackPoint& q) { return (q.lon - a.lon) * scale * DegToRad; };
    auto y = [&](const TrackPoint& q) { return (q.lat - a.lat) * DegToRad; };
    const double bx = x(b), by = y(b), px = x(p), py = y(p);
    const double length2 = bx * bx + by * by;
    double t = length2 > 0.0 ? (px * bx + py * by) / length2 : 0.0;
    t = std::clamp(t, 0.0, 1.0);
    return std::hypot(px - t * bx, py - t * by) * EarthRadiusMetres;
}

std::vector<TrackPoint> positions(const Calibration& calibration,
                                  const std::vector<QPointF>& pixels) {
    std::vector<TrackPoint> result;
    result.reserve(pixels.size());
    for (const QPointF& pixel : pixels)
        if (const std::optional<TrackPoint> position = positionOfPixelPoint(calibration, pixel))
            result.push_back(*position);
    return result;
}

std::vector<TrackPoint> douglasPeucker(const std::vector<TrackPoint>& points, double tolerance) {
    if (points.size() <= 2) return points;
    std::vector<bool> keep(points.size(), false);
    keep.front() = keep.back() = true;
    // Stretches still to look at, on a stack rather than by recursion: a line of a hundred
    // thousand points must not run the stack out.
    std::vector<std::pair<size_t, size_t>> stretches{{0, points.size() - 1}};
    while (!stretches.empty()) {
        const auto [first, last] = stretches.back();
        stretches.pop_back();
        double farthest = -1.0;
        size_t at = first;
        for (size_t i = first + 1; i < last; ++i) {
            const double d = distanceToSegment(points[i], points[first], points[last]);
            if (d > farthest) {
                farthest = d;
                at = i;
            }
        }
        if (farthest > tolerance) {
            keep[at] = true;
            stretches.push_back({first, at});
            stretches.push_back({at, last});
        }
    }
    std::vector<TrackPoint> result;
    for (size_t i = 0; i < points.size(); ++i)
        if (keep[i]) result.push_back(points[i]);
    return result;
}

// The name cut to at most length characters, never within a surrogate pair.
QString cutName(const QString& name, int length) {
    if (length < 0) length = 0;
    if (name.size() <= length) return name;
    qsizetype end = length;
    if (end > 0 && name.at(end - 1).isHighSurrogate()) --end;
    return name.left(end);
}

} // namespace

std::optional<TrackPoint> positionOfPixelPoint(const Calibration& calibration, QPointF pixel) {
    // PixelToGeo places pixel x at its centre, x + 0.5 in these coordinates.
    TrackPoint point;
    if (!PixelPointToGeo(calibration, pixel.x() - 0.5, pixel.y() - 0.5, point.lat, point.lon))
        return std::nullopt;
    return point;
}

std::vector<TrackPoint> simplifiedPositions(const Calibration& calibration,
                                            const std::vector<QPointF>& pixels,
                                            double toleranceMetres) {
    return douglasPeucker(positions(calibration, pixels), toleranceMetres);
}

std::optional<QByteArray> gpxTracksDocument(const Calibration& calibration,
                                            const std::vector<TrackLine>& lines,
                                            const GpxTrackOptions& options, QString* error) {
    auto refuse = [error](const QString& message) -> std::optional<QByteArray> {
        if (error) *error = message;
        return std::nullopt;
    };
    if (!calibration.Valid)
        return refuse(QCoreApplication::translate(
            "GpxTracks", "The chart's area has no calibration, so its lines have no positions."));

    struct Track {
        const TrackLine* line;
        std::vector<TrackPoint> all;
        std::vector<TrackPoint> kept;
    };
    std::vector<Track> tracks;
    qsizetype leastInAll = 0;
    for (const TrackLine& line : lines) {
        std::vector<TrackPoint> all = positions(calibration, line.pixels);
        if (all.empty()) continue;
        const qsizetype least = std::min<qsizetype>(qsizetype(all.size()), 2);
        // Quirk "gpx-track-budget-unreachable": a budget below the two end points of a track
        // (or of all tracks) is refused with its reason instead of doubling the tolerance for
        // ever or writing more points than the plotter takes.
        if (least > options.maxPointsPerTrack)
            return refuse(
                QCoreApplication::translate(
                    "GpxTracks", "A track needs at least %1 points; the plotter takes %2.")
                    .arg(least)
                    .arg(options.maxPointsPerTrack));
        leastInAll += least;
        tracks.push_back({&line, std::move(all), {}});
    }
    if (leastInAll > options.maxPointsInAll)
        return refuse(
            QCoreApplication::translate(
                "GpxTracks", "The %1 tracks need at least %2 points; the plotter takes %3.")
                .arg(tracks.size())
                .arg(leastInAll)
                .arg(options.maxPointsInAll));

    double tolerance = FirstToleranceMetres;
    for (int attempt = 0;; ++attempt, tolerance *= 2.0) {
        qsizetype inAll = 0;
        bool eachFits = true;
        for (Track& track : tracks) {
            track.kept = douglasPeucker(track.all, tolerance);
            inAll += qsizetype(track.kept.size());
            eachFits = eachFits && qsizetype(track.kept.size()) <= options.maxPointsPerTrack;
        }
        if (eachFits && inAll <= options.maxPointsInAll) break;
        if (attempt == MostDoublings)
            return refuse(QCoreApplication::translate(
                "GpxTracks", "The lines cannot be thinned to the plotter's point budget."));
    }

    QByteArray document;
    QXmlStreamWriter xml(&document);
    startGpx11Document(xml, false);
    if (options.chartTime.isValid()) {
        xml.writeStartElement(Gpx11, QStringLiteral("metadata"));
        xml.writeTextElement(Gpx11, QStringLiteral("time"),
                             options.chartTime.toUTC().toString(Qt::ISODate));
        xml.writeEndElement();
    }
    for (const Track& track : tracks) {
        xml.writeStartElement(Gpx11, QStringLiteral("trk"));
        // The schema's order: name, then desc, then the segments.
        xml.writeTextElement(Gpx11, QStringLiteral("name"),
                             cutName(track.line->name, options.maxNameLength));
        if (!track.line->description.isEmpty())
            xml.writeTextElement(Gpx11, QStringLiteral("desc"), track.line->description);
        xml.writeStartElement(Gpx11, QStringLiteral("trkseg"));
        for (const TrackPoint& point : track.kept) {
            xml.writeEmptyElement(Gpx11, QStringLiteral("trkpt"));
            xml.writeAttribute(QStringLiteral("lat"), coordinate(point.lat));
            xml.writeAttribute(QStringLiteral("lon"), coordinate(point.lon));
        }
        xml.writeEndElement();
        xml.writeEndElement();
    }
    xml.writeEndElement();
    xml.writeEndDocument();
    return document;
}

bool writeGpxTracks(const QString& path, const Calibration& calibration,
                    const std::vector<TrackLine>& lines, const GpxTrackOptions& options,
                    QString* error) {
    const std::optional<QByteArray> document =
        gpxTracksDocument(calibration, lines, options, error);
    return document && writeGpxDocument(path, *document, error);
}

} // namespace geo
