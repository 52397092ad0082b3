// thalwise-cli gpx FILE.gpx

#include "cli/CommandLine.h"

#include "geo/Gpx.h"

#include <QTextStream>

namespace cli {

// The waypoints File > Import waypoints (GPX) takes from the file into an empty list, one
// stored text a line ("Lat=%.2f,Lon=%.2f,Tf=%.1f"), then "home: LAT,LON" when the file has a
// waypoint named HOME and "left out: N" when entries were left out. Status 1, with the file's
// name and the reason, for a file the import refuses.
int gpx(const QStringList& args, QTextStream& out, QTextStream& err) {
    CommandLine line("gpx");
    line.addArgument(QStringLiteral("FILE.gpx"), QStringLiteral("A GPX 1.0 or 1.1 file."));
    if (const std::optional<int> done = line.parse(args, out, err)) return *done;
    if (line.arguments().size() != 1) return line.wrong(err);
    const QString path = line.arguments().front();
    QString error;
    const std::optional<geo::GpxWaypoints> read = geo::readGpxFile(path, &error);
    if (!read) {
        reportError(err, path, error);
        return 1;
    }
    const geo::ImportedTrip trip = geo::importWaypoints({}, 0.0, 0.0, *read, true);
    for (const QString& text : trip.waypointList)
        out << text << '\n';
    // Home as the file gives it, with as few decimals as read back the same.
    if (read->home)
        out << "home: " << shortestText(float(trip.homeLat)) << ','
            << shortestText(float(trip.homeLon)) << '\n';
    if (trip.leftOut > 0) out << "left out: " << trip.leftOut << '\n';
    out.flush();
    return 0;
}

} // namespace cli
