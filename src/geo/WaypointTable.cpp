#include "geo/WaypointTable.h"

#include "geo/TextFields.h"
#include "geo/ThalwiseUtils.h"
#include "geo/Waypoint.h"
#include "geo/vekMapping.h"

#include <QCoreApplication>

#include <algorithm>

namespace geo {

namespace {

const QString DegreeSign = QStringLiteral("\u00B0");
const QString NoValue = QStringLiteral("-");

// The header of the latitude or longitude column: the word (already translated), then the
// format the column uses. The blanks centre the lines in the cell.
QString latLonHeader(const QString& word, bool decimalDegrees) {
    if (decimalDegrees)
        return QCoreApplication::translate("WaypointTable", "    %1\r \"decimal\"\r   (GPS)")
            .arg(word);
    //: %1 is "Lat" or "Lon", %2 the degree sign: degrees and minutes.
    return QCoreApplication::translate("WaypointTable", "   %1\r dd%2mm'").arg(word, DegreeSign);
}

// A waypoint's temperature in the unit shown, without the unit; "-" for none.
QString waypointTemperature(float fahrenheit, bool celsius, const QLocale& locale) {
    // Quirk "no-temperature-dash": the stored 0.0 °F means none was found, in either unit; shown
    // as 0.0 it would read as freezing water. The stored text keeps its 0.0.
    if (fahrenheit == 0.0f) return NoValue;
    return temperatureDigits(fahrenheit, celsius, locale);
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
    // Quirk "waypoint-list-scrolls": every waypoint has a row, so that each can be seen and
    // deleted; past the fifteenth the rows go on below the grid's height instead of stopping.
    const int rowCount = int(
        std::max<qsizetype>(WaypointGridRows, WaypointGridFirstWaypointRow + waypointList.size()));
    grid.rows.reserve(rowCount);
    // The header cells break their lines with "\r"; the blanks centre them.
    grid.rows.append(
        {QString(),
         latLonHeader(QCoreApplication::translate("WaypointTable", "Lat"), options.decimalDegrees),
         latLonHeader(QCoreApplication::translate("WaypointTable", "Lon"), options.decimalDegrees),
         //: %1 is the unit, °F or °C.
         QCoreApplication::translate("WaypointTable", " Temp\r   %1")
             .arg(temperatureUnitText(options.temperatureCelsius)),
         QCoreApplication::translate("WaypointTable", "  Dist.\r   NM"),
         options.magneticReadout
             ? QCoreApplication::translate("WaypointTable", " Heading\r  (mag)")
             : QCoreApplication::translate("WaypointTable", " Heading\r (true)"),
         QCoreApplication::translate("WaypointTable", " Total\r  Dist.\r   NM"),
         QCoreApplication::translate("WaypointTable", " Name")});
    for (int row = 1; row < rowCount; ++row) {
        QStringList cells(WaypointGridColumns, NoValue);
        cells[0] = QString::number(row - 1);
        grid.rows.append(cells);
    }
    QStringList& home = grid.rows[WaypointGridHomeRow];
    home[0] = QStringLiteral("H");
    home[1] = FormatDegrees(float(options.homeLat), options.decimalDegrees, locale);
    home[2] = FormatDegrees(float(options.homeLon), options.decimalDegrees, locale);
    home[4] = QCoreApplication::translate("WaypointTable", " Home");

    const bool legs = homeIsSet(options);
    float previousLat = float(options.homeLat);
    float previousLon = float(options.homeLon);
    float total = 0.0f; // nautical miles, summed in single precision
    for (int i = 0; i < int(waypointList.size()); ++i) {
        const std::optional<Waypoint> waypoint = ParseWaypoint(waypointList[i]);
        if (!waypoint) break;
        QStringList& cells = grid.rows[WaypointGridFirstWaypointRow + i];
        cells[1] = FormatDegrees(waypoint->lat, options.decimalDegrees, locale);
        cells[2] = FormatDegrees(waypoint->lon, options.decimalDegrees, locale);
        cells[3] = waypointTemperature(waypoint->tempF, options.temperatureCelsius, locale);
        cells[WaypointGridNameColumn] = waypoint->name;
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
    lines.append(QCoreApplication::translate("WaypointTable", "Home location - lat: %1  lon: %2")
                     .arg(FormatDegrees(float(options.homeLat), decimal, locale),
                          FormatDegrees(float(options.homeLon), decimal, locale)));
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
        const bool celsius = options.temperatureCelsius;
        QString temperature = waypointTemperature(waypoint->tempF, celsius, locale);
        if (temperature != NoValue) temperature += temperatureUnitText(celsius);
        //: One printed leg: %1 the waypoint's number, %2 and %3 its position, %4 the water
        //: temperature with its unit (or "-" for none), %5 the leg's distance, %6 its heading
        //: with "(mag.)" or "(true)", %7 the distance from home so far.
        lines.append(QCoreApplication::translate(
                         "WaypointTable",
                         "Waypoint: %1  lat: %2  lon: %3  T: %4  dist: %5 NM at %6  total: %7 NM")
                         .arg(QString::number(i + 1), FormatDegrees(waypoint->lat, decimal, locale),
                              FormatDegrees(waypoint->lon, decimal, locale), temperature,
                              formatFixed(miles, 1, locale),
                              FormatBearing(bearing, options.magneticReadout,
                                            options.magneticVariation, locale),
                              formatFixed(total, 1, locale)));
        if (!waypoint->name.isEmpty())
            //: After a printed leg: the waypoint's name.
            lines.last() +=
                QCoreApplication::translate("WaypointTable", "  name: %1").arg(waypoint->name);
        previousLat = waypoint->lat;
        previousLon = waypoint->lon;
    }
    return lines;
}

} // namespace geo
