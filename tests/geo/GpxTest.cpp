// GPX out and in: our own file reads back as the same list, foreign 1.0 and route-only files
// read, and hostile or broken files are refused with a message and no waypoint.

#include "geo/Gpx.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

const QStringList Trip = {"Lat=41.12,Lon=-70.00,Tf=72.4", "Lat=41.00,Lon=-69.50,Tf=0.0", "damaged",
                          "Lat=-33.95,Lon=151.23,Tf=-3.1"};

QStringList texts(const std::vector<Waypoint>& waypoints) {
    QStringList list;
    for (const Waypoint& w : waypoints)
        list.append(WaypointText(w));
    return list;
}

TEST(Gpx, OwnFileReadsBackAsTheSameListWithHomeApart) {
    QTemporaryDir dir;
    const QString path = dir.filePath("trip.gpx");
    QString error;
    ASSERT_TRUE(geo::writeGpxFile(path, Trip, 42.5, -70.25, &error)) << error.toStdString();
    const std::optional<geo::GpxWaypoints> read = geo::readGpxFile(path, &error);
    ASSERT_TRUE(read) << error.toStdString();
    EXPECT_EQ(texts(read->waypoints), QStringList({Trip[0], Trip[1], Trip[3]}));
    ASSERT_TRUE(read->home);
    EXPECT_EQ(read->home->Latitude, 42.5f);
    EXPECT_EQ(read->home->Longitude, -70.25f);

    const QString document = QString::fromUtf8(geo::gpxDocument(Trip, 0.0, 0.0));
    EXPECT_TRUE(document.contains("xmlns=\"http://www.topografix.com/GPX/1/1\""));
    EXPECT_TRUE(document.contains("version=\"1.1\" creator=\"Thalwise\""));
    EXPECT_FALSE(document.contains("HOME")) << "home not set";
    // Names by list position; the damaged third entry leaves its number unused.
    EXPECT_TRUE(document.contains("<wpt lat=\"41.12\" lon=\"-70\">\n        <name>WPT01</name>\n"
                                  "        <desc>Water 72.4\u00B0F</desc>"))
        << document.toStdString();
    EXPECT_TRUE(document.contains("<gpxx:Temperature>22.444</gpxx:Temperature>"));
    EXPECT_TRUE(document.contains("<name>WPT04</name>"));
    EXPECT_EQ(document.count("<gpxx:Temperature>"), 2) << "none for the waypoint at 0.0 F";
    EXPECT_LT(document.lastIndexOf("<wpt "), document.indexOf("<rte>")) << "schema order";
    EXPECT_EQ(document.count("<rtept "), 3);
}

TEST(Gpx, ReadsGpx10AndRoutePointsWhenThereAreNoWaypoints) {
    struct Case {
        const char* name;
        QByteArray document;
        QStringList waypoints;
    };
    const std::vector<Case> cases = {
        {"GPX 1.0 waypoints, a point beyond the poles skipped",
         "<?xml version=\"1.0\"?><gpx version=\"1.0\" creator=\"x\" "
         "xmlns=\"http://www.topografix.com/GPX/1/0\"><wpt lat=\"40.5\" lon=\"-71.25\">"
         "<name>A &amp; B</name></wpt><wpt lat=\"95\" lon=\"0\"/><rte><rtept lat=\"1\" "
         "lon=\"2\"/></rte></gpx>",
         {"Lat=40.50,Lon=-71.25,Tf=0.0"}},
        {"GPX 1.1 route only, temperature from the extension",
         "<gpx xmlns=\"http://www.topografix.com/GPX/1/1\" "
         "xmlns:gpxx=\"http://www.garmin.com/xmlschemas/GpxExtensions/v3\"><rte><rtept "
         "lat=\"39\" lon=\"-72\"><extensions><gpxx:WaypointExtension><gpxx:Temperature>20"
         "</gpxx:Temperature></gpxx:WaypointExtension></extensions></rtept><rtept lat=\"38\" "
         "lon=\"-73\"/></rte></gpx>",
         {"Lat=39.00,Lon=-72.00,Tf=68.0", "Lat=38.00,Lon=-73.00,Tf=0.0"}},
    };
    for (const Case& c : cases) {
        QString error;
        const std::optional<geo::GpxWaypoints> read = geo::readGpx(c.document, &error);
        ASSERT_TRUE(read) << c.name << ": " << error.toStdString();
        EXPECT_EQ(texts(read->waypoints), c.waypoints) << c.name;
    }
}

TEST(Gpx, RefusesHostileAndBrokenFiles) {
    const QByteArray own = geo::gpxDocument(Trip, 0.0, 0.0);
    QByteArray laughs = "<?xml version=\"1.0\"?><!DOCTYPE gpx [<!ENTITY a \"lol\">";
    for (int k = 1; k < 10; ++k)
        laughs += QStringLiteral("<!ENTITY %1 \"&%2;&%2;&%2;&%2;&%2;&%2;&%2;&%2;&%2;&%2;\">")
                      .arg(QChar('a' + k))
                      .arg(QChar('a' + k - 1))
                      .toLatin1();
    laughs += "]><gpx xmlns=\"http://www.topografix.com/GPX/1/1\"><wpt lat=\"1\" lon=\"1\">"
              "<name>&j;</name></wpt></gpx>";
    const QByteArray external =
        "<?xml version=\"1.0\"?><!DOCTYPE gpx [<!ENTITY x SYSTEM \"file:///etc/passwd\">]>"
        "<gpx xmlns=\"http://www.topografix.com/GPX/1/1\"><wpt lat=\"1\" lon=\"1\"><name>&x;"
        "</name></wpt></gpx>";
    QByteArray huge = own;
    huge.insert(huge.indexOf("<wpt"), QByteArray(geo::GpxMaximumBytes, ' '));
    struct Case {
        const char* name;
        QByteArray document;
        const char* message;
    };
    const std::vector<Case> cases = {
        {"billion laughs", laughs, "document type"},
        {"external entity", external, "document type"},
        {"undeclared entity",
         "<gpx xmlns=\"http://www.topografix.com/GPX/1/1\"><wpt lat=\"1\" lon=\"1\"><name>&x;"
         "</name></wpt></gpx>",
         "damaged"},
        {"truncated", own.left(own.indexOf("<rte>") - 20), "damaged"},
        {"too large", huge, "too large"},
        {"no waypoints", "<gpx xmlns=\"http://www.topografix.com/GPX/1/1\" version=\"1.1\"/>",
         "no waypoints"},
        {"only home", geo::gpxDocument({}, 42.0, -70.0), "no waypoints"},
        {"not GPX", "<kml xmlns=\"http://www.opengis.net/kml/2.2\"/>", "not a GPX"},
        {"empty", "", "damaged"},
    };
    for (const Case& c : cases) {
        QString error;
        EXPECT_FALSE(geo::readGpx(c.document, &error)) << c.name;
        EXPECT_TRUE(error.contains(c.message)) << c.name << ": " << error.toStdString();
    }

    QTemporaryDir dir;
    QFile file(dir.filePath("huge.gpx"));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    ASSERT_TRUE(file.resize(100 * 1024 * 1024)); // sparse: refused by its size, never read
    file.close();
    QString error;
    EXPECT_FALSE(geo::readGpxFile(file.fileName(), &error));
    EXPECT_TRUE(error.contains("too large")) << error.toStdString();
}

} // namespace
