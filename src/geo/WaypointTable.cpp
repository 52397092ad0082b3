#include "geo/WaypointTable.h"

#include "geo/TextFields.h"
#include "geo/ThalwiseUtils.h"
#include "geo/Waypoint.h"
#include "geo/vekMapping.h"

#include <algorithm>

namespace geo {

namespace {

const QString DegreeSign = QStringLiteral("\u00B0");
const QString NoValue = QStringLiteral("-");

QString latLonHeader(const char* name, bool decimalDegrees) {
    const QString word = QLatin1String(name);
    if (decimalDegrees)
        return QStringLiteral("    ") + word + QStringLiteral("\r \"decimal\"\r   (GPS)");
    return QStringLiteral("   ") + word + QStringLiteral("\r dd") + DegreeSign +
           QStringLiteral("mm'");
}

} // namespace

bool homeIsSet(const WaypointListOptions& options) {
    return options.homeLat != 0.0 && options.homeLon != 0.0;
}

QStringList waypointsToSave(const QStringList& waypointList) {
    QStringList saved;
    for (const QString& entry : waypointList) {
        const std::optional<Waypoint> waypoint = ParseWaypoint(entry);
        if (!waypoint || waypoint->lat == 0.0f || waypoint->lon == 0.0f) break;
        saved.append(joinCommaText(splitCommaText(entry)));
    }
    return saved;
}

WaypointGrid waypointGrid(const QStringList& waypointList, const WaypointListOptions& options,
                          const QLocale& locale) {
    WaypointGrid grid;
    grid.rows.reserve(WaypointGridRows);
    grid.rows.append({QString(), latLonHeader("Lat", options.decimalDegrees),
                      latLonHeader("Lon", options.decimalDegrees),
                      QStringLiteral(" Temp\r   ") + DegreeSign + QStringLiteral("F"),
                      QStringLiteral("  Dist.\r   NM"),
                      options.magneticReadout ? QStringLiteral(" Heading\r  (mag)")
                                              : QStringLiteral(" Heading\r (true)"),
                      QStringLiteral(" Total\r  Dist.\r   NM")});
    for (int row = 1; row < WaypointGridRows; ++row) {
        QStringList cells(WaypointGridColumns, NoValue);
        cells[0] = QString::number(row - 1);
        grid.rows.append(cells);
    }
    QStringList& home = grid.rows[WaypointGridHomeRow];
    home[0] = QStringLiteral("H");
    home[1] = FormatDegrees(float(options.homeLat), options.decimalDegrees, locale);
    home[2] = FormatDegrees(float(options.homeLon), options.decimalDegrees, locale);
    home[4] = QStringLiteral(" Home");

    const bool legs = homeIsSet(options);
    float previousLat = float(options.homeLat);
    float previousLon = float(options.homeLon);
    float total = 0.0f; // nautical miles, summed in single precision
    const int shown = int(std::min<qsizetype>(waypointList.size(), WaypointGridWaypointRows));
    for (int i = 0; i < shown; ++i) {
        const std::optional<Waypoint> waypoint = ParseWaypoint(waypointList[i]);
        if (!waypoint) break;
        QStringList& cells = grid.rows[WaypointGridFirstWaypointRow + i];
        cells[1] = FormatDegrees(waypoint->lat, options.decimalDegrees, locale);
        cells[2] = FormatDegrees(waypoint->lon, options.decimalDegrees, locale);
        cells[3] = formatFixed(waypoint->tempF, 1, locale);
        if (legs) {
            float kilometres = 0.0f;
            float bearing = 0.0f;
            if (!RangeAndBearing(previousLon, previousLat, waypoint->lon, waypoint->lat, kilometres,
                                 bearing))
                break; // a leg that cannot be computed ends the listing, as a fault would
            const float miles = nauticalMiles(kilometres);
            total = total + miles;
            cells[4] = formatFixed(miles, 1, locale);
            cells[5] =
                headingText(bearing, options.magneticReadout, options.magneticVariation, locale);
            cells[6] = formatFixed(total, 1, locale);
        }
        previousLat = waypoint->lat;
        previousLon = waypoint->lon;
    }
    return grid;
}

std::optional<int> deletableWaypoint(const QStringList& waypointList, int gridRow) {
    if (gridRow < WaypointGridFirstWaypointRow) return std::nullopt;
    const int index = gridRow - WaypointGridFirstWaypointRow;
    if (index >= waypointList.size()) return std::nullopt;
    const std::optional<Waypoint> waypoint = ParseWaypoint(waypointList[index]);
    if (!waypoint || waypoint->lat == 0.0f || waypoint->lon == 0.0f) return std::nullopt;
    return index;
}

QStringList printedWaypointList(const QStringList& waypointList, const WaypointListOptions& options,
                                const QLocale& locale) {
    const bool decimal = options.decimalDegrees;
    QStringList lines;
    lines.append(QStringLiteral("Home location - lat: ") +
                 FormatDegrees(float(options.homeLat), decimal, locale) +
                 QStringLiteral("  lon: ") +
                 FormatDegrees(float(options.homeLon), decimal, locale));
    lines.append(QString());
    // Unlike the grid, the printed legs start at home even when it is not set, at 0, 0.
    float previousLat = float(options.homeLat);
    float previousLon = float(options.homeLon);
    double total = 0.0; // nautical miles, summed in double precision
    for (qsizetype i = 0; i < waypointList.size(); ++i) {
        const std::optional<Waypoint> waypoint = ParseWaypoint(waypointList[i]);
        if (!waypoint) continue;
        float kilometres = 0.0f;
        float bearing = 0.0f;
        if (!RangeAndBearing(previousLon, previousLat, waypoint->lon, waypoint->lat, kilometres,
                             bearing))
            break;
        const float miles = nauticalMiles(kilometres);
        total += miles;
        lines.append(
            QStringLiteral("Waypoint: ") + QString::number(i + 1) + QStringLiteral("  lat: ") +
            FormatDegrees(waypoint->lat, decimal, locale) + QStringLiteral("  lon: ") +
            FormatDegrees(waypoint->lon, decimal, locale) + QStringLiteral("  T: ") +
            formatFixed(waypoint->tempF, 1, locale) + DegreeSign + QStringLiteral("F  dist: ") +
            formatFixed(miles, 1, locale) + QStringLiteral(" NM at ") +
            FormatBearing(bearing, options.magneticReadout, options.magneticVariation, locale) +
            QStringLiteral("  total: ") + formatFixed(total, 1, locale) + QStringLiteral(" NM"));
        previousLat = waypoint->lat;
        previousLon = waypoint->lon;
    }
    return lines;
}

} // namespace geo
