// The plain types of marks and waypoints: packed points, a line's packed form, the waypoint text.
#include "geo/Annotation.h"
#include "geo/Waypoint.h"
#include "geo/WaypointTable.h"

#include <QLocale>
#include <gtest/gtest.h>

#include <cstdint>

namespace {

TEST(PackedPoint, RoundTripsTheWholeRangeAndSignedStorage) {
    const struct {
        int x, y;
    } cases[] = {{0, 0}, {1, 0}, {0, 1}, {1023, 1023}, {32767, 5}, {32768, 5}, {65535, 65535}};
    for (const auto& c : cases) {
        int x = -1, y = -1;
        const std::uint32_t packed = PackPoint(c.x, c.y);
        EXPECT_EQ(packed, std::uint32_t(c.x) * 65536u + std::uint32_t(c.y));
        UnpackPoint(packed, x, y);
        EXPECT_EQ(x, c.x);
        EXPECT_EQ(y, c.y);
        // Stored as a signed 32-bit number, x >= 32768 comes back negative; it must still unpack.
        UnpackPoint(std::uint32_t(std::int32_t(packed)), x, y);
        EXPECT_EQ(x, c.x);
    }
}

TEST(AnnotationLine, PackedFormRoundTripsAndStopsAtTheFirstUnreadableItem) {
    const AnnotationLine line{{QPoint(10, 20), QPoint(40000, 7), QPoint(3, 65535)}};
    const QString rest = geo::packedLineRest(line);
    EXPECT_EQ(rest, QStringLiteral("2621440007,262143"));
    EXPECT_EQ(geo::lineFromPacked(PackPoint(10, 20), rest).points, line.points);
    const struct {
        const char* rest;
        int points;
    } cases[] = {
        {"", 1},
        {"  ", 1},
        {"65556", 2},
        {" 65556 , 131092", 3},
        {"65556,x,5", 2},
        {"-1", 2},
        {"4294967295,1", 3},
        {"4294967296,1", 1},
        {"-2147483649", 1},
        {"65556,,5", 2},
        {"1.5", 1},
    };
    for (const auto& c : cases)
        EXPECT_EQ(geo::lineFromPacked(0, QString::fromLatin1(c.rest)).points.size(), c.points)
            << c.rest;
    // Signed storage of a point beyond x 32767 reads the same point.
    EXPECT_EQ(geo::lineFromPacked(0, "-1").points.last(), QPoint(65535, 65535));
}

TEST(ParseWaypoint, ReadsTheStoredFormAndRejectsEntriesThatAreNoPlace) {
    const struct {
        const char* text;
        bool ok;
        float lat, lon, temp;
    } cases[] = {
        {"Lat=41.50,Lon=-70.25,Tf=65.3", true, 41.5f, -70.25f, 65.3f},
        {"lat=41.50,LON=-70.25,tf=0.0", true, 41.5f, -70.25f, 0.0f},
        {"Tf=65.3 Lat=41.50 Lon=-70.25", true, 41.5f, -70.25f, 65.3f},
        {"\"Lat=41.50\",\"Lon=-70.25\",\"Tf=65.3\"", true, 41.5f, -70.25f, 65.3f},
        {"Lat=90,Lon=-180,Tf=1", true, 90.0f, -180.0f, 1.0f},
        {"Lat=41.50,Lon=-70.25", false, 0, 0, 0},
        {"Lat=41.50,Lon=west,Tf=65.3", false, 0, 0, 0},
        {"Lat = 41.50,Lon=-70.25,Tf=65.3", false, 0, 0, 0},
        {"", false, 0, 0, 0},
        // Numbers to a number reader, but no place on earth.
        {"Lat=nan,Lon=-70.25,Tf=65.3", false, 0, 0, 0},
        {"Lat=41.5,Lon=inf,Tf=65.3", false, 0, 0, 0},
        {"Lat=41.5,Lon=-70.25,Tf=-inf", false, 0, 0, 0},
        {"Lat=90.01,Lon=-70.25,Tf=65.3", false, 0, 0, 0},
        {"Lat=41.5,Lon=-180.5,Tf=65.3", false, 0, 0, 0},
        {"Lat=1e39,Lon=-70.25,Tf=65.3", false, 0, 0, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        const auto wp = ParseWaypoint(QString::fromUtf8(c.text));
        ASSERT_EQ(wp.has_value(), c.ok);
        if (!c.ok) continue;
        EXPECT_FLOAT_EQ(wp->lat, c.lat);
        EXPECT_FLOAT_EQ(wp->lon, c.lon);
        EXPECT_FLOAT_EQ(wp->tempF, c.temp);
    }
}

// A clicked position keeps the pixel's four decimals, one from a file its own up to six; the text
// has a period whatever the locale and reads back to the same number.
TEST(WaypointText, KeepsWhatThePositionHasWithAPeriodWhateverTheLocale) {
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    using P = WaypointPrecision;
    const struct {
        Waypoint waypoint;
        P precision;
        const char* text;
    } cases[] = {
        {{25.1234f, -80.5678f, 78.46f}, P::Pixel, "Lat=25.1234,Lon=-80.5678,Tf=78.5"},
        {{41.504f, -70.125f, 65.25f}, P::Pixel, "Lat=41.5040,Lon=-70.1250,Tf=65.2"},
        {{0.0, -0.0, 0.0f}, P::Pixel, "Lat=0.0000,Lon=-0.0000,Tf=0.0"},
        {{42.123456, -69.654321, 70.34f}, P::Given, "Lat=42.123456,Lon=-69.654321,Tf=70.34"},
        {{42.12345649, -69.9999996, 72.3992f}, P::Given, "Lat=42.123456,Lon=-70.00,Tf=72.3992"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(WaypointText(c.waypoint, c.precision), QString::fromLatin1(c.text));
        // Read and written again: every decimal was read.
        const auto back = ParseWaypoint(QString::fromLatin1(c.text));
        ASSERT_TRUE(back);
        EXPECT_EQ(WaypointText(*back, c.precision), QString::fromLatin1(c.text));
    }
    QLocale::setDefault(QLocale::c());
}

// A name rides after the three fields; quoting keeps commas, quotes and blanks inside it, and
// every reader of the comma-text (the list, the saved section) gives the same name back.
TEST(WaypointText, NamesRoundTripAfterTheThreeFields) {
    const QString thirty = QStringLiteral("Canyon edge where the warm eddy");
    ASSERT_EQ(thirty.size(), 31);
    const QString fish = QStringLiteral("\U0001F41F"); // two UTF-16 units
    const struct {
        QString typed, stored, readBack;
    } cases[] = {
        {"", "Lat=41.50,Lon=-70.25,Tf=65.5", ""},
        {"Ledge", "Lat=41.50,Lon=-70.25,Tf=65.5,Name=Ledge", "Ledge"},
        {"Reef, north", "Lat=41.50,Lon=-70.25,Tf=65.5,\"Name=Reef, north\"", "Reef, north"},
        {"Reef,north", "Lat=41.50,Lon=-70.25,Tf=65.5,\"Name=Reef,north\"", "Reef,north"},
        {"The \"Hole\"", "Lat=41.50,Lon=-70.25,Tf=65.5,\"Name=The \"\"Hole\"\"\"", "The \"Hole\""},
        {"  a=b  ", "Lat=41.50,Lon=-70.25,Tf=65.5,Name=a=b", "a=b"},
        {"two\nlines", "Lat=41.50,Lon=-70.25,Tf=65.5,\"Name=two lines\"", "two lines"},
        {thirty, "Lat=41.50,Lon=-70.25,Tf=65.5,\"Name=" + thirty.left(30) + '"', thirty.left(30)},
        // A cut never leaves half of a character.
        {QString(29, 'x') + fish, "Lat=41.50,Lon=-70.25,Tf=65.5,Name=" + QString(29, 'x'),
         QString(29, 'x')},
        {"   ", "Lat=41.50,Lon=-70.25,Tf=65.5", ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.typed.toStdString());
        const QString text = WaypointText({41.5, -70.25, 65.5f, c.typed}, WaypointPrecision::Given);
        EXPECT_EQ(text, c.stored);
        const auto back = ParseWaypoint(text);
        ASSERT_TRUE(back);
        EXPECT_EQ(back->name, c.readBack);
        EXPECT_FLOAT_EQ(back->tempF, 65.5f);
        // Saved to the settings section and read again: the same entry.
        EXPECT_EQ(geo::waypointsToSave({text}), QStringList{text});
        // Renaming an unnamed entry gives what a named one would be.
        EXPECT_EQ(geo::withWaypointName("Lat=41.50,Lon=-70.25,Tf=65.5", c.typed), c.stored);
    }
    // Renaming keeps every other item; an empty name takes the name away.
    EXPECT_EQ(geo::withWaypointName("Lat=41.50, Lon=-70.25,Tf=65.5,name=Old,X=1", "New"),
              "Lat=41.50,Lon=-70.25,Tf=65.5,X=1,Name=New");
    EXPECT_EQ(geo::withWaypointName("Lat=41.50,Lon=-70.25,Tf=65.5,Name=Old", ""),
              "Lat=41.50,Lon=-70.25,Tf=65.5");
    // Texts stored before names read as before: no name.
    EXPECT_TRUE(ParseWaypoint("Lat=41.50,Lon=-70.25,Tf=65.5")->name.isEmpty());
}

} // namespace
