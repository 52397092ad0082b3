#include "geo/GpxTracks.h"

#include "geo/Gpx.h"
#include "geo/vekMapping.h"

#include <QCoreApplication>
#include <QSet>
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

// A point of a line: its position and where it lies on the chart.
struct LinePoint {
    TrackPoint at;
    QPointF pixel;
};

std::vector<LinePoint> linePoints(const Calibration& calibration,
                                  const std::vector<QPointF>& pixels) {
    std::vector<LinePoint> result;
    result.reserve(pixels.size());
    for (const QPointF& pixel : pixels)
        if (const std::optional<TrackPoint> position = positionOfPixelPoint(calibration, pixel))
            result.push_back({*position, pixel});
    return result;
}

// Distance in pixels from p to the segment a..b.
double pixelDistanceToSegment(QPointF p, QPointF a, QPointF b) {
    const QPointF ab = b - a, ap = p - a;
    const double length2 = QPointF::dotProduct(ab, ab);
    const double t =
        length2 > 0.0 ? std::clamp(QPointF::dotProduct(ap, ab) / length2, 0.0, 1.0) : 0.0;
    const QPointF off = ap - t * ab;
    return std::hypot(off.x(), off.y());
}

// The farthest the points left out lie from the simplified line, in metres and pixels.
struct Shift {
    double metres = 0.0;
    double pixels = 0.0;
};

// Douglas-Peucker: the indices of the points kept; *shift, when given, takes the farthest a
// point left out lies from the chord that replaces it.
std::vector<std::size_t> douglasPeucker(const std::vector<LinePoint>& points, double tolerance,
                                        Shift* shift = nullptr) {
    if (points.size() <= 2) {
        std::vector<std::size_t> all(points.size());
        for (std::size_t i = 0; i < all.size(); ++i)
            all[i] = i;
        return all;
    }
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
            const double d = distanceToSegment(points[i].at, points[first].at, points[last].at);
            if (d > farthest) {
                farthest = d;
                at = i;
            }
        }
        if (farthest > tolerance) {
            keep[at] = true;
            stretches.push_back({first, at});
            stretches.push_back({at, last});
        } else if (shift && farthest > 0.0) {
            shift->metres = std::max(shift->metres, farthest);
            for (size_t i = first + 1; i < last; ++i)
                shift->pixels = std::max(shift->pixels, pixelDistanceToSegment(points[i].pixel,
                                                                               points[first].pixel,
                                                                               points[last].pixel));
        }
    }
    std::vector<std::size_t> result;
    for (size_t i = 0; i < points.size(); ++i)
        if (keep[i]) result.push_back(i);
    return result;
}

// The length of a line along its points, in metres.
double lengthMetres(const std::vector<LinePoint>& points) {
    double length = 0.0;
    for (std::size_t i = 1; i < points.size(); ++i)
        length += distanceToSegment(points[i].at, points[i - 1].at, points[i - 1].at);
    return length;
}

// The name cut to at most length characters, never within a surrogate pair.
QString cutName(const QString& name, int length) {
    if (length < 0) length = 0;
    if (name.size() <= length) return name;
    qsizetype end = length;
    if (end > 0 && name.at(end - 1).isHighSurrogate()) --end;
    return name.left(end);
}

// The name cut to length and told apart from those already used: a plotter may take a second
// track of the same name for the first one again.
QString distinctName(const QString& name, int length, QSet<QString>& used) {
    QString result = cutName(name, length);
    for (int n = 2; used.contains(result); ++n) {
        const QString number = QStringLiteral(" ") + QString::number(n);
        result = cutName(name, int(length - number.size())) + number;
    }
    used.insert(result);
    return result;
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
    const std::vector<LinePoint> points = linePoints(calibration, pixels);
    std::vector<TrackPoint> result;
    for (const std::size_t i : douglasPeucker(points, toleranceMetres))
        result.push_back(points[i].at);
    return result;
}

std::optional<QByteArray> gpxTracksDocument(const Calibration& calibration,
                                            const std::vector<TrackLine>& lines,
                                            const GpxTrackOptions& options, QString* error,
                                            GpxTrackReport* report) {
    auto refuse = [error](const QString& message) -> std::optional<QByteArray> {
        if (error) *error = message;
        return std::nullopt;
    };
    if (!calibration.Valid)
        return refuse(QCoreApplication::translate(
            "GpxTracks", "The chart's area has no calibration, so its lines have no positions."));

    struct Piece {
        std::vector<LinePoint> points;
        double length = 0.0; // metres
        std::vector<std::size_t> kept;
        std::size_t order = 0; // its place in the line's pieces
    };
    struct Track {
        const TrackLine* line;
        std::vector<Piece> pieces; // longest first
    };
    std::vector<Track> tracks;
    for (const TrackLine& line : lines) {
        Track track{&line, {}};
        for (const std::vector<QPointF>& pixels : line.pieces) {
            Piece piece{linePoints(calibration, pixels), 0.0, {}, track.pieces.size()};
            if (piece.points.empty()) continue;
            piece.length = lengthMetres(piece.points);
            track.pieces.push_back(std::move(piece));
        }
        if (track.pieces.empty()) continue;
        std::stable_sort(track.pieces.begin(), track.pieces.end(),
                         [](const Piece& a, const Piece& b) { return a.length > b.length; });
        tracks.push_back(std::move(track));
    }

    GpxTrackReport cost;
    // Quirk "gpx-weakest-breaks-out": a plotter holds only so many tracks; the weakest break
    // lines make room, and the user hears how many went. Isotherms were asked for one by one
    // and are never left out: too many of them is refused.
    if (qsizetype(tracks.size()) > options.maxTracks) {
        std::vector<std::size_t> breaks;
        for (std::size_t i = 0; i < tracks.size(); ++i)
            if (tracks[i].line->kind == TrackKind::Break) breaks.push_back(i);
        std::stable_sort(breaks.begin(), breaks.end(), [&](std::size_t a, std::size_t b) {
            return tracks[a].line->value < tracks[b].line->value;
        });
        const qsizetype excess = qsizetype(tracks.size()) - std::max(options.maxTracks, 0);
        std::vector<bool> out(tracks.size(), false);
        for (qsizetype n = 0; n < excess && n < qsizetype(breaks.size()); ++n) {
            out[breaks[std::size_t(n)]] = true;
            ++cost.breaksLeftOut;
            cost.strongestLeftOut =
                std::max(cost.strongestLeftOut, tracks[breaks[std::size_t(n)]].line->value);
        }
        std::vector<Track> kept;
        for (std::size_t i = 0; i < tracks.size(); ++i)
            if (!out[i]) kept.push_back(std::move(tracks[i]));
        tracks = std::move(kept);
        if (qsizetype(tracks.size()) > options.maxTracks)
            return refuse(QCoreApplication::translate(
                              "GpxTracks",
                              "The %1 isotherms need %1 tracks; the plotter takes %2. Ask for "
                              "fewer temperatures.")
                              .arg(tracks.size())
                              .arg(options.maxTracks));
    }

    // Quirk "gpx-track-budget-unreachable": a budget below the two end points of a track (or
    // of all tracks) is refused with its reason instead of doubling the tolerance for ever or
    // writing more points than the plotter takes.
    qsizetype leastInAll = 0;
    for (const Track& track : tracks) {
        const qsizetype least = std::min<qsizetype>(qsizetype(track.pieces[0].points.size()), 2);
        if (least > options.maxPointsPerTrack)
            return refuse(
                QCoreApplication::translate(
                    "GpxTracks", "A track needs at least %1 points; the plotter takes %2.")
                    .arg(least)
                    .arg(options.maxPointsPerTrack));
        leastInAll += least;
    }
    if (leastInAll > options.maxPointsInAll)
        return refuse(
            QCoreApplication::translate(
                "GpxTracks", "The %1 tracks need at least %2 points; the plotter takes %3.")
                .arg(tracks.size())
                .arg(leastInAll)
                .arg(options.maxPointsInAll));

    // Each track is thinned at its own tolerance, the smallest of the doubling steps that keeps
    // it within its budget and at least the common floor; the floor doubles until all tracks
    // together fit too. A line with little detail thus keeps its every bend while a busy one
    // is thinned.
    auto thin = [](Track& track, double tolerance) {
        qsizetype inTrack = 0;
        for (std::size_t p = 0; p < track.pieces.size(); ++p) {
            Piece& piece = track.pieces[p];
            // A piece shorter than the tolerance would be a dot at this scale; at the first
            // tolerance nothing presses, and every piece stays.
            if (p > 0 && tolerance > FirstToleranceMetres && piece.length < tolerance) {
                piece.kept.clear();
                continue;
            }
            piece.kept = douglasPeucker(piece.points, tolerance);
            inTrack += qsizetype(piece.kept.size());
        }
        return inTrack;
    };
    std::vector<double> tolerances(tracks.size(), FirstToleranceMetres);
    double floor = FirstToleranceMetres;
    for (int attempt = 0;; ++attempt, floor *= 2.0) {
        qsizetype inAll = 0;
        for (std::size_t t = 0; t < tracks.size(); ++t) {
            double& tolerance = tolerances[t];
            tolerance = std::max(tolerance, floor);
            qsizetype inTrack = thin(tracks[t], tolerance);
            for (int more = 0; inTrack > options.maxPointsPerTrack; ++more) {
                if (more == MostDoublings)
                    return refuse(QCoreApplication::translate(
                        "GpxTracks", "The lines cannot be thinned to the plotter's point budget."));
                tolerance *= 2.0;
                inTrack = thin(tracks[t], tolerance);
            }
            inAll += inTrack;
        }
        if (inAll <= options.maxPointsInAll) break;
        if (attempt == MostDoublings)
            return refuse(QCoreApplication::translate(
                "GpxTracks", "The lines cannot be thinned to the plotter's point budget."));
    }
    // The cost of the tolerances chosen, measured once.
    Shift shift;
    for (std::size_t t = 0; t < tracks.size(); ++t) {
        for (Piece& piece : tracks[t].pieces) {
            if (piece.kept.empty())
                ++cost.piecesLeftOut;
            else
                douglasPeucker(piece.points, tolerances[t], &shift);
        }
        cost.tolerance = std::max(cost.tolerance, tolerances[t]);
    }
    cost.tracks = int(tracks.size());
    cost.largestShiftMetres = shift.metres;
    cost.largestShiftPixels = shift.pixels;
    if (report) *report = cost;

    QByteArray document;
    QXmlStreamWriter xml(&document);
    startGpx11Document(xml, false);
    if (options.chartTime.isValid()) {
        xml.writeStartElement(Gpx11, QStringLiteral("metadata"));
        xml.writeTextElement(Gpx11, QStringLiteral("time"),
                             options.chartTime.toUTC().toString(Qt::ISODate));
        xml.writeEndElement();
    }
    QSet<QString> names;
    for (const Track& track : tracks) {
        xml.writeStartElement(Gpx11, QStringLiteral("trk"));
        // The schema's order: name, then desc, then the segments.
        xml.writeTextElement(Gpx11, QStringLiteral("name"),
                             distinctName(track.line->name, options.maxNameLength, names));
        if (!track.line->description.isEmpty())
            xml.writeTextElement(Gpx11, QStringLiteral("desc"), track.line->description);
        // The pieces in the order the line gave them.
        std::vector<const Piece*> pieces;
        for (const Piece& piece : track.pieces)
            if (!piece.kept.empty()) pieces.push_back(&piece);
        std::sort(pieces.begin(), pieces.end(),
                  [](const Piece* a, const Piece* b) { return a->order < b->order; });
        for (const Piece* piece : pieces) {
            xml.writeStartElement(Gpx11, QStringLiteral("trkseg"));
            for (const std::size_t i : piece->kept) {
                xml.writeEmptyElement(Gpx11, QStringLiteral("trkpt"));
                xml.writeAttribute(QStringLiteral("lat"), coordinate(piece->points[i].at.lat));
                xml.writeAttribute(QStringLiteral("lon"), coordinate(piece->points[i].at.lon));
            }
            xml.writeEndElement();
        }
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
