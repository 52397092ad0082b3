#pragma once
// The rules of the waypoint list beside the chart: which entries are saved, the cells of the
// 7-column grid, which grid row may be deleted and the lines of the printed list. The window
// writes the cells and lines; nothing here touches a widget or the settings store.

#include <QLocale>
#include <QString>
#include <QStringList>

#include <optional>

namespace geo {

// What the list shows besides the waypoints: the home location (decimal degrees; set only when
// both are non-zero) and the readout formats.
struct WaypointListOptions {
    double homeLat = 0.0;
    double homeLon = 0.0;
    bool decimalDegrees = false;
    bool magneticReadout = false;
    float magneticVariation = 0.0f; // degrees, east positive
    // Temperatures read in °C (the list itself keeps °F). A waypoint without one reads "-" in
    // either unit.
    bool temperatureCelsius = false;
};

bool homeIsSet(const WaypointListOptions& options);

// The texts to store under "0", "1", ... for the list: every entry up to, not including, the
// first that does not parse or lies at latitude 0 or longitude 0. Each is written as its items
// joined again with commas (blanks between items become commas).
QStringList waypointsToSave(const QStringList& waypointList);

// The seven columns of numbers, then the waypoint's name.
constexpr int WaypointGridColumns = 8;
constexpr int WaypointGridNameColumn = 7;
// The rows the grid always has and its height shows: the header, home and 15 waypoints. A longer
// list adds a row for each further waypoint; the grid then scrolls.
constexpr int WaypointGridRows = 17;
constexpr int WaypointGridHomeRow = 1;
constexpr int WaypointGridFirstWaypointRow = 2; // waypoint k (from 1) sits in row k + 1

// The cells of the grid, rows[row][column]; a line break inside a header cell is "\r".
struct WaypointGrid {
    QList<QStringList> rows;
};

// The grid for the list: the header row, the home row, then a row for each waypoint, at least
// WaypointGridRows rows in all. The listing ends at the first entry that does not parse or whose
// leg cannot be computed; rows without a waypoint, and the leg columns while home is not set, show
// "-". A listed waypoint's name cell holds its name, empty for none.
WaypointGrid waypointGrid(const QStringList& waypointList, const WaypointListOptions& options,
                          const QLocale& locale = QLocale());

// The list index of the waypoint in a grid row that may be deleted: a waypoint row (2 and
// below) whose entry parses with latitude and longitude both non-zero; nothing for the header,
// the home row, an empty row or a damaged entry.
std::optional<int> deletableWaypoint(const QStringList& waypointList, int gridRow);

// The printed list: the home line, an empty line, then one line per waypoint that parses
// (numbered by its place in the list, so a skipped entry's number is not reused) with its leg
// from the previous point, from 0, 0 when home is not set, and its name at the end when it has
// one. The listing ends at a leg that cannot be computed.
QStringList printedWaypointList(const QStringList& waypointList, const WaypointListOptions& options,
                                const QLocale& locale = QLocale());

} // namespace geo
