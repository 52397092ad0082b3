// Any bytes as a GPX file: read as File > Import waypoints (GPX) reads it, imported into an
// empty list, written back and read again. Whatever the file holds, reading never crashes,
// every waypoint read has a position on earth and a finite temperature, every entry the import
// takes is a stored text that reads back, and the written trip reads back with the same
// positions.
#include "geo/Gpx.h"

#include <cmath>
#include <cstdint>
#include <cstdlib>

namespace {

bool isSound(const Waypoint& waypoint) {
    return geo::isShowablePosition(waypoint.lat, waypoint.lon) && std::isfinite(waypoint.tempF);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const QByteArray document(reinterpret_cast<const char*>(data), qsizetype(size));
    QString error;
    const std::optional<geo::GpxWaypoints> read = geo::readGpx(document, &error);
    if (!read) {
        if (error.isEmpty()) std::abort(); // a refusal always says why
        return 0;
    }
    if (read->waypoints.empty()) std::abort();
    for (const Waypoint& waypoint : read->waypoints)
        if (!isSound(waypoint)) std::abort();
    if (read->home && !geo::isShowablePosition(read->home->lat, read->home->lon))
        std::abort();

    const geo::ImportedTrip trip = geo::importWaypoints({}, 0.0, 0.0, *read, true);
    if (trip.waypointList.size() + trip.leftOut != qsizetype(read->waypoints.size())) std::abort();
    std::vector<Waypoint> taken;
    for (const QString& text : trip.waypointList) {
        const std::optional<Waypoint> stored = ParseWaypoint(text);
        if (!stored || stored->lat == 0.0f || stored->lon == 0.0f) std::abort();
        taken.push_back(*stored);
    }

    // The trip as the export writes it reads back with every position unchanged.
    if (taken.empty()) return 0;
    const std::optional<geo::GpxWaypoints> again =
        geo::readGpx(geo::gpxDocument(trip.waypointList, trip.homeLat, trip.homeLon), &error);
    if (!again || again->waypoints.size() != taken.size()) std::abort();
    for (std::size_t i = 0; i < taken.size(); ++i)
        if (again->waypoints[i].lat != taken[i].lat || again->waypoints[i].lon != taken[i].lon)
            std::abort();
    return 0;
}
