// The waypoint list's rules: what is saved, the grid's cells and the printed lines. Expected
// distances and headings come from the haversine range and the geodetic-latitude bearing worked
// out by hand (one degree of a meridian is 60.1 NM); none lies near a rounding edge.

#include "geo/WaypointTable.h"

#include <gtest/gtest.h>

namespace {

using geo::WaypointListOptions;

const QStringList Trip = {"Lat=41.00,Lon=-70.00,Tf=55.0", "Lat=41.00,Lon=-69.00,Tf=0.0",
                          "Lat=41.50,Lon=-69.25,Tf=61.3"};

WaypointListOptions homeAt(double lat, double lon) {
    WaypointListOptions options;
    options.homeLat = lat;
    options.homeLon = lon;
    return options;
}

// The seven columns of numbers; the name column is checked where names are.
QStringList numbers(const QStringList& row) {
    return row.mid(0, 7);
}

QStringList dashes(const QString& first) {
    return {first, "-", "-", "-", "-", "-", "-"};
}

TEST(WaypointGrid, HeadersFollowTheReadoutFormats) {
    struct Case {
        bool decimal;
        bool magnetic;
        QStringList header;
    };
    const std::vector<Case> cases = {
        {false,
         false,
         {"", "   Lat\r dd\u00B0mm'", "   Lon\r dd\u00B0mm'", " Temp\r   \u00B0F", "  Dist.\r   NM",
          " Heading\r (true)", " Total\r  Dist.\r   NM"}},
        {true,
         true,
         {"", "    Lat\r \"decimal\"\r   (GPS)", "    Lon\r \"decimal\"\r   (GPS)",
          " Temp\r   \u00B0F", "  Dist.\r   NM", " Heading\r  (mag)", " Total\r  Dist.\r   NM"}},
    };
    for (const Case& c : cases) {
        WaypointListOptions options;
        options.decimalDegrees = c.decimal;
        options.magneticReadout = c.magnetic;
        const geo::WaypointGrid grid = geo::waypointGrid({}, options, QLocale::c());
        ASSERT_EQ(grid.rows.size(), geo::WaypointGridRows);
        EXPECT_EQ(numbers(grid.rows[0]), c.header) << c.decimal;
        EXPECT_EQ(grid.rows[0].size(), geo::WaypointGridColumns);
        EXPECT_EQ(grid.rows[2][geo::WaypointGridNameColumn], "-") << "no waypoint, no name";
        const QString zero = c.decimal ? "0.000\u00B0" : "0\u00B000'";
        EXPECT_EQ(numbers(grid.rows[1]), QStringList({"H", zero, zero, "-", " Home", "-", "-"}))
            << "home row while home is not set";
        for (int row = 2; row < geo::WaypointGridRows; ++row)
            EXPECT_EQ(numbers(grid.rows[row]), dashes(QString::number(row - 1))) << row;
    }
}

TEST(WaypointGrid, LegsFromHomeWithRunningTotalsInEachFormat) {
    struct Case {
        const char* name;
        WaypointListOptions options;
        QLocale locale;
        QStringList home;
        std::vector<QStringList> rows; // rows 2, 3, 4
    };
    WaypointListOptions noHome;
    WaypointListOptions home = homeAt(42.0, -70.0);
    WaypointListOptions decimalMagnetic = home;
    decimalMagnetic.decimalDegrees = true;
    decimalMagnetic.magneticReadout = true;
    decimalMagnetic.magneticVariation = -30.0f; // west: magnetic = true + 30, 339.6 wraps to 9.6
    WaypointListOptions halfHome = homeAt(42.0, 0.0);
    const std::vector<Case> cases = {
        {"no home: positions and temperatures only",
         noHome,
         QLocale::c(),
         {"H", "0\u00B000'", "0\u00B000'", "-", " Home", "-", "-"},
         {{"1", "41\u00B000'", "70\u00B000'", "55.0", "-", "-", "-"},
          {"2", "41\u00B000'", "69\u00B000'", "-", "-", "-", "-"},
          {"3", "41\u00B030'", "69\u00B015'", "61.3", "-", "-", "-"}}},
        {"home set: first leg from home",
         home,
         QLocale::c(),
         {"H", "42\u00B000'", "70\u00B000'", "-", " Home", "-", "-"},
         {{"1", "41\u00B000'", "70\u00B000'", "55.0", "60.1", "180.0\u00B0", "60.1"},
          {"2", "41\u00B000'", "69\u00B000'", "-", "45.4", "89.7\u00B0", "105.5"},
          {"3", "41\u00B030'", "69\u00B015'", "61.3", "32.1", "339.6\u00B0", "137.6"}}},
        {"decimal degrees, magnetic headings",
         decimalMagnetic,
         QLocale::c(),
         {"H", "42.000\u00B0", "70.000\u00B0", "-", " Home", "-", "-"},
         {{"1", "41.000\u00B0", "70.000\u00B0", "55.0", "60.1", "210.0\u00B0", "60.1"},
          {"2", "41.000\u00B0", "69.000\u00B0", "-", "45.4", "119.7\u00B0", "105.5"},
          {"3", "41.500\u00B0", "69.250\u00B0", "61.3", "32.1", "9.6\u00B0", "137.6"}}},
        {"the user's decimal separator",
         decimalMagnetic,
         QLocale(QLocale::German, QLocale::Germany),
         {"H", "42,000\u00B0", "70,000\u00B0", "-", " Home", "-", "-"},
         {{"1", "41,000\u00B0", "70,000\u00B0", "55,0", "60,1", "210,0\u00B0", "60,1"},
          {"2", "41,000\u00B0", "69,000\u00B0", "-", "45,4", "119,7\u00B0", "105,5"},
          {"3", "41,500\u00B0", "69,250\u00B0", "61,3", "32,1", "9,6\u00B0", "137,6"}}},
        {"home with one coordinate 0 is not set",
         halfHome,
         QLocale::c(),
         {"H", "42\u00B000'", "0\u00B000'", "-", " Home", "-", "-"},
         {{"1", "41\u00B000'", "70\u00B000'", "55.0", "-", "-", "-"},
          {"2", "41\u00B000'", "69\u00B000'", "-", "-", "-", "-"},
          {"3", "41\u00B030'", "69\u00B015'", "61.3", "-", "-", "-"}}},
    };
    for (const Case& c : cases) {
        const geo::WaypointGrid grid = geo::waypointGrid(Trip, c.options, c.locale);
        EXPECT_EQ(numbers(grid.rows[1]), c.home) << c.name;
        for (int k = 0; k < 3; ++k)
            EXPECT_EQ(numbers(grid.rows[2 + k]), c.rows[k]) << c.name << ", waypoint " << k + 1;
        EXPECT_EQ(numbers(grid.rows[5]), dashes("4")) << c.name;
        EXPECT_EQ(grid.rows[2][geo::WaypointGridNameColumn], "") << "a waypoint without a name";
    }
}

TEST(WaypointGrid, ListingEndsAtADamagedEntryAndGoesOnPastTheFifteenthWaypoint) {
    QStringList damaged = Trip;
    damaged.insert(1, "Lat=41.00,Lon=west,Tf=50.0");
    const geo::WaypointGrid cut = geo::waypointGrid(damaged, homeAt(42.0, -70.0), QLocale::c());
    EXPECT_EQ(cut.rows[2][4], "60.1");
    for (int row = 3; row < geo::WaypointGridRows; ++row)
        EXPECT_EQ(numbers(cut.rows[row]), dashes(QString::number(row - 1))) << row;

    // Sixteen legs of one degree north each: every one has its row, the total counts them.
    QStringList sixteen;
    for (int k = 1; k <= 16; ++k)
        sixteen.append(QStringLiteral("Lat=%1.00,Lon=-70.00,Tf=60.0").arg(20 + k));
    const geo::WaypointGrid grid = geo::waypointGrid(sixteen, homeAt(20.0, -70.0), QLocale::c());
    ASSERT_EQ(grid.rows.size(), geo::WaypointGridRows + 1);
    EXPECT_EQ(numbers(grid.rows[16]), QStringList({"15", "35\u00B000'", "70\u00B000'", "60.0",
                                                   "60.1", "0.0\u00B0", "901.6"}));
    EXPECT_EQ(grid.rows[17][0], "16");
    EXPECT_EQ(geo::deletableWaypoint(sixteen, 17), 15);
    EXPECT_EQ(geo::printedWaypointList(sixteen, homeAt(20.0, -70.0), QLocale::c()).size(), 18);
}

TEST(WaypointTable, SavedEntriesEndAtTheFirstThatIsNoPlaceOrAtZero) {
    struct Case {
        const char* name;
        QStringList list;
        QStringList saved;
    };
    const std::vector<Case> cases = {
        {"all saved", Trip, Trip},
        {"latitude 0 ends the list", {Trip[0], "Lat=0.00,Lon=-69.00,Tf=50.0", Trip[2]}, {Trip[0]}},
        {"longitude 0 ends the list", {"Lat=41.00,Lon=0.00,Tf=50.0", Trip[2]}, {}},
        {"an entry that does not parse ends the list",
         {Trip[0], Trip[1], "Lat=41.00,Tf=50.0", Trip[2]},
         {Trip[0], Trip[1]}},
        {"an empty entry ends the list", {Trip[0], "", Trip[1]}, {Trip[0]}},
        {"items rejoined with commas, quoted where needed",
         {"Lat=41.00 Lon=-70.00  Tf=55.0", "\"Lat=41.00\",Lon=-69.00,Tf=1.0,\"Name=Shelf edge\""},
         {"Lat=41.00,Lon=-70.00,Tf=55.0", "Lat=41.00,Lon=-69.00,Tf=1.0,\"Name=Shelf edge\""}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(geo::waypointsToSave(c.list), c.saved) << c.name;
}

TEST(WaypointTable, OnlyAWaypointRowMayBeDeleted) {
    const QStringList list = {Trip[0], "Lat=0.00,Lon=-69.00,Tf=50.0", "damaged", Trip[2]};
    const std::vector<std::pair<int, std::optional<int>>> cases = {
        {-1, std::nullopt},
        {0, std::nullopt},
        {1, std::nullopt},
        {2, 0},
        {3, std::nullopt},
        {4, std::nullopt},
        {5, 3},
        {6, std::nullopt},
    };
    for (const auto& [row, index] : cases)
        EXPECT_EQ(geo::deletableWaypoint(list, row), index) << "row " << row;
}

TEST(WaypointTable, PrintedLinesMeasureFromHomeOrFromZeroZero) {
    struct Case {
        const char* name;
        QStringList list;
        WaypointListOptions options;
        QStringList lines;
    };
    WaypointListOptions magnetic = homeAt(42.0, -70.0);
    magnetic.magneticReadout = true;
    magnetic.magneticVariation = -30.0f;
    WaypointListOptions decimal;
    decimal.decimalDegrees = true;
    const std::vector<Case> cases = {
        {"home set, a damaged entry skipped with its number",
         {Trip[0], "damaged", Trip[1]},
         homeAt(42.0, -70.0),
         {"Home location - lat: 42\u00B000'  lon: 70\u00B000'", "",
          "Waypoint: 1  lat: 41\u00B000'  lon: 70\u00B000'  T: 55.0\u00B0F  dist: 60.1 NM at "
          "180.0\u00B0 (true)  total: 60.1 NM",
          "Waypoint: 3  lat: 41\u00B000'  lon: 69\u00B000'  T: -  dist: 45.4 NM at "
          "89.7\u00B0 (true)  total: 105.5 NM"}},
        {"magnetic headings",
         {Trip[2]},
         magnetic,
         {"Home location - lat: 42\u00B000'  lon: 70\u00B000'", "",
          "Waypoint: 1  lat: 41\u00B030'  lon: 69\u00B015'  T: 61.3\u00B0F  dist: 45.1 NM at "
          "161.6\u00B0 (mag.)  total: 45.1 NM"}},
        {"no home: the first leg from 0, 0",
         {"Lat=25.50,Lon=-80.00,Tf=78.5", "Lat=26.50,Lon=-80.00,Tf=79.0"},
         decimal,
         {"Home location - lat: 0.000\u00B0  lon: 0.000\u00B0", "",
          "Waypoint: 1  lat: 25.500\u00B0  lon: 80.000\u00B0  T: 78.5\u00B0F  dist: 4867.7 NM "
          "at 296.0\u00B0 (true)  total: 4867.7 NM",
          "Waypoint: 2  lat: 26.500\u00B0  lon: 80.000\u00B0  T: 79.0\u00B0F  dist: 60.1 NM at "
          "0.0\u00B0 (true)  total: 4927.8 NM"}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(geo::printedWaypointList(c.list, c.options, QLocale::c()), c.lines) << c.name;
}

} // namespace
