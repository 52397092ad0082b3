// thalwise-cli waypoints [--home LAT,LON] [--decimal] [--magnetic VARIATION] [--grid]
// [--gpx OUT.gpx] TEXT...

#include "cli/CommandLine.h"

#include "geo/Gpx.h"
#include "geo/WaypointTable.h"

#include <QLocale>
#include <QTextStream>

#include <cmath>

namespace cli {

// The printed waypoint list for the waypoint texts ("Lat=%.2f,Lon=%.2f,Tf=%.1f", in list
// order), one line each, positions in degrees and minutes (--decimal: decimal degrees), headings
// true or, with --magnetic, magnetic for that variation (degrees, east positive). Without --home
// the first leg starts at 0, 0. With --grid, the 17 rows of the window's waypoint grid instead,
// cells separated by tabs, a line break inside a header cell shown as "|". Numbers with a
// period. A text that is no waypoint is left out as the list leaves it out, and told on err.
// --gpx also writes home and the waypoints as a GPX 1.1 file, atomically; status 1 when it
// cannot be written.
int waypoints(const QStringList& args, QTextStream& out, QTextStream& err) {
    CommandLine line("waypoints");
    line.addValue(QStringLiteral("home"), QStringLiteral("LAT,LON"),
                  QStringLiteral("Where the first leg starts (default 0,0)."));
    line.addFlag(QStringLiteral("decimal"), QStringLiteral("Positions in decimal degrees."));
    line.addValue(QStringLiteral("magnetic"), QStringLiteral("VARIATION"),
                  QStringLiteral("Magnetic headings for this variation, degrees east positive."));
    line.addFlag(QStringLiteral("grid"), QStringLiteral("The window's waypoint grid instead."));
    line.addValue(QStringLiteral("gpx"), QStringLiteral("OUT.gpx"),
                  QStringLiteral("Also write home and the waypoints as GPX 1.1."));
    line.addArgument(QStringLiteral("TEXT"),
                     QStringLiteral("A waypoint as stored: \"Lat=%.2f,Lon=%.2f,Tf=%.1f\"."));
    if (const std::optional<int> done = line.parse(args, out, err)) return *done;

    geo::WaypointListOptions options;
    options.decimalDegrees = line.isSet(QStringLiteral("decimal"));
    QString why;
    if (line.isSet(QStringLiteral("home"))) {
        const std::optional<Position> home = readPosition(line.value(QStringLiteral("home")), &why);
        if (!home) return line.wrong(err, QStringLiteral("--home ") + why);
        options.homeLat = home->latitude;
        options.homeLon = home->longitude;
    }
    if (line.isSet(QStringLiteral("magnetic"))) {
        const QString given = line.value(QStringLiteral("magnetic"));
        bool ok = false;
        const float variation = QLocale::c().toFloat(given, &ok);
        if (!ok || !std::isfinite(variation))
            return line.wrong(err,
                              QStringLiteral("--magnetic %1: not a number of degrees").arg(given));
        options.magneticReadout = true;
        options.magneticVariation = variation;
    }
    const QString gpxPath = line.value(QStringLiteral("gpx"));
    if (line.isSet(QStringLiteral("gpx")) && gpxPath.isEmpty())
        return line.wrong(err, QStringLiteral("--gpx needs a file name"));
    const QStringList texts = line.arguments();
    // Taken as given: an entry that does not parse is treated as the list treats it, and said.
    for (qsizetype i = 0; i < texts.size(); ++i)
        if (!readWaypoint(texts[i], &why))
            reportError(err, QStringLiteral("waypoint %1").arg(i + 1),
                        why + QStringLiteral("; left out"));

    // The numbers read as the user types them, with a period.
    const QLocale locale = QLocale::c();
    if (line.isSet(QStringLiteral("grid"))) {
        const geo::WaypointGrid grid = geo::waypointGrid(texts, options, locale);
        for (const QStringList& row : grid.rows)
            out << row.join(u'\t').replace(u'\r', u'|') << '\n';
    } else {
        for (const QString& printed : geo::printedWaypointList(texts, options, locale))
            out << printed << '\n';
    }
    out.flush();
    QString error;
    if (!gpxPath.isEmpty() &&
        !geo::writeGpxFile(gpxPath, texts, options.homeLat, options.homeLon, &error)) {
        reportError(err, gpxPath, error);
        return 1;
    }
    return 0;
}

} // namespace cli
