// GPX out and in: our own file reads back as the same list, foreign 1.0 and route-only files
// read, and hostile or broken files are refused with a message and no waypoint.

#include "geo/Gpx.h"
#include "support/ToolRun.h"

#include <QProcess>
#include <QStandardPaths>
#include <QStringEncoder>
#include <QTemporaryDir>
#include <QXmlStreamReader>

#include <gtest/gtest.h>

namespace {

const QStringList Trip = {"Lat=41.12,Lon=-70.00,Tf=72.4", "Lat=41.00,Lon=-69.50,Tf=0.0", "damaged",
                          "Lat=-33.95,Lon=151.23,Tf=-3.1"};

QStringList texts(const std::vector<Waypoint>& waypoints) {
    QStringList list;
    for (const Waypoint& w : waypoints)
        list.append(WaypointText(w, WaypointPrecision::Given));
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
    EXPECT_EQ(read->home->lat, 42.5);
    EXPECT_EQ(read->home->lon, -70.25);

    const QString document = QString::fromUtf8(geo::gpxDocument(Trip, 0.0, 0.0));
    EXPECT_TRUE(document.contains("xmlns=\"http://www.topografix.com/GPX/1/1\""));
    EXPECT_TRUE(document.contains("version=\"1.1\" creator=\"Thalwise\""));
    EXPECT_FALSE(document.contains("HOME")) << "home not set";
    // Names by list position; the damaged third entry leaves its number unused.
    EXPECT_TRUE(
        document.contains("<wpt lat=\"41.120000\" lon=\"-70.000000\">\n        <name>WPT01</name>\n"
                          "        <desc>Water 72.4\u00B0F</desc>"))
        << document.toStdString();
    EXPECT_TRUE(document.contains("<gpxx:Temperature>22.444</gpxx:Temperature>"));
    EXPECT_TRUE(document.contains("<name>WPT04</name>"));
    EXPECT_EQ(document.count("<gpxx:Temperature>"), 2) << "none for the waypoint at 0.0 F";
    EXPECT_LT(document.lastIndexOf("<wpt "), document.indexOf("<rte>")) << "schema order";
    EXPECT_EQ(document.count("<rtept "), 3);
}

QByteArray utf16(const QString& text, QStringConverter::Encoding encoding, bool bom) {
    QStringEncoder encoder(encoding, bom ? QStringConverter::Flag::WriteBom
                                         : QStringConverter::Flag::Default);
    return encoder.encode(text);
}

// A GPX 1.1 waypoint with count attributes, lat and lon among them.
QByteArray waypointWithAttributes(int count) {
    QByteArray document =
        "<gpx xmlns=\"http://www.topografix.com/GPX/1/1\"><wpt lat=\"1\" lon=\"2\"";
    for (int i = 2; i < count; ++i)
        document += " a" + QByteArray::number(i) + "='='";
    return document + "/></gpx>";
}

TEST(Gpx, ReadsWhatOtherProgramsWrite) {
    const QString route =
        "<gpx xmlns=\"http://www.topografix.com/GPX/1/1\" "
        "xmlns:gpxx=\"http://www.garmin.com/xmlschemas/GpxExtensions/v3\" "
        "xmlns:o=\"urn:other\"><rte><name>Ausfahrt</name><rtept lat=\"39\" "
        "lon=\"-72\"><name>\u6D77\u0394</name><extensions><o:x><name>not it</name>"
        "<o:Temperature>99</o:Temperature></o:x><gpxx:WaypointExtension>"
        "<gpxx:Temperature>20</gpxx:Temperature></gpxx:WaypointExtension>"
        "</extensions></rtept><rtept lat=\"38\" lon=\"-73\"><name>";
    // U+3C00 and U+4E3D are '<' and '=' in one byte of their UTF-16 form.
    const QString manyScripts = route + QString(u'\u3C00') + QString(u'\u4E3D').repeated(300) +
                                "</name></rtept></rte></gpx>";
    // Names kept, the long one cut to the 30 characters a waypoint keeps.
    const QStringList routeTexts = {"Lat=39.00,Lon=-72.00,Tf=68.0,Name=\u6D77\u0394",
                                    "Lat=38.00,Lon=-73.00,Tf=0.0,Name=" + QString(u'\u3C00') +
                                        QString(u'\u4E3D').repeated(29)};
    auto temperature = [](const char* celsius) {
        return QByteArray("<gpx xmlns=\"http://www.topografix.com/GPX/1/0\"><wpt lat=\"1\" "
                          "lon=\"2\"><t:Temperature xmlns:t=\"http://www.garmin.com/xmlschemas/"
                          "GpxExtensions/v3\">") +
               celsius + "</t:Temperature></wpt></gpx>";
    };
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
         {"Lat=40.50,Lon=-71.25,Tf=0.0,\"Name=A & B\""}},
        {"GPX 1.0 with the temperature as a private element",
         temperature("20"),
         {"Lat=1.00,Lon=2.00,Tf=68.0"}},
        {"GPX 1.1 route only, unknown extensions, names in any script", manyScripts.toUtf8(),
         routeTexts},
        {"UTF-16LE with a byte order mark", utf16(manyScripts, QStringConverter::Utf16LE, true),
         routeTexts},
        {"UTF-16LE without one, as declared",
         utf16("<?xml version=\"1.0\" encoding=\"UTF-16\"?>" + manyScripts,
               QStringConverter::Utf16LE, false),
         routeTexts},
        {"Latin-1 as declared",
         "<?xml version='1.0' encoding='ISO-8859-1'?><gpx xmlns=\"http://www.topografix.com/GPX/"
         "1/1\"><wpt lat=\"3\" lon=\"4\"><name>Caf\xe9</name></wpt></gpx>",
         {"Lat=3.00,Lon=4.00,Tf=0.0,Name=Caf\u00E9"}},
        {"a temperature beyond a float", temperature("1e300"), {"Lat=1.00,Lon=2.00,Tf=0.0"}},
        // In degrees F as few decimals as give the same degrees C to the export's three.
        {"temperatures kept to the export's decimals",
         temperature("21.3"),
         {"Lat=1.00,Lon=2.00,Tf=70.34"}},
        {"a reading to a thousandth", temperature("18.647"), {"Lat=1.00,Lon=2.00,Tf=65.565"}},
        {"positions as given to six decimals",
         "<gpx xmlns=\"http://www.topografix.com/GPX/1/1\"><wpt lat=\"42.123456\" "
         "lon=\"-69.6543214\"/><wpt lat=\"42.1\" lon=\"-69.0000004\"/></gpx>",
         {"Lat=42.123456,Lon=-69.654321,Tf=0.0", "Lat=42.10,Lon=-69.00,Tf=0.0"}},
        {"an infinite temperature", temperature("-inf"), {"Lat=1.00,Lon=2.00,Tf=0.0"}},
        {"positions not numbers",
         "<gpx xmlns=\"http://www.topografix.com/GPX/1/1\"><wpt lat=\"nan\" lon=\"1\"/><wpt "
         "lat=\"1\" lon=\"inf\"/><wpt lat=\"3\" lon=\"5\"/></gpx>",
         {"Lat=3.00,Lon=5.00,Tf=0.0"}},
        {"an element with as many attributes as are read",
         waypointWithAttributes(geo::GpxMaximumAttributes),
         {"Lat=1.00,Lon=2.00,Tf=0.0"}},
    };
    for (const Case& c : cases) {
        QString error;
        const std::optional<geo::GpxWaypoints> read = geo::readGpx(c.document, &error);
        ASSERT_TRUE(read) << c.name << ": " << error.toStdString();
        EXPECT_EQ(texts(read->waypoints).join(' ').toStdString(),
                  c.waypoints.join(' ').toStdString())
            << c.name;
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
        {"40,000 attributes in one element", waypointWithAttributes(40000), "attributes"},
        {"one attribute too many", waypointWithAttributes(geo::GpxMaximumAttributes + 1),
         "attributes"},
        {"attributes hidden by the declared encoding",
         "<?xml version=\"1.0\" encoding=\"UTF-7\"?>" +
             waypointWithAttributes(300).replace("=", "+AD0-"),
         "attributes"},
        {"an unknown encoding", "<?xml version=\"1.0\" encoding=\"x-none\"?>" + own, "encoding"},
        {"bytes that are not UTF-8", QByteArray(own).replace("WPT01", "WPT\xff\xfe"), "encoding"},
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

TEST(Gpx, ImportReplacesOrAppendsAndNeverTakesAnEntryThatWouldEndTheSavedList) {
    geo::GpxWaypoints file;
    file.waypoints = {{41.5, -70.5, 70.0f}, {41.6, -0.0000004, 0.0f}, {41.7, -70.7, 0.0f}};
    file.home = geo::GpxHome{41.25, -70.125};
    const QStringList current = {"Lat=40.00,Lon=-71.00,Tf=65.0"};
    const QStringList fromFile = {"Lat=41.50,Lon=-70.50,Tf=70.0", "Lat=41.70,Lon=-70.70,Tf=0.0"};

    // Replacing takes the file's home; the waypoint at -0.0000004 would be stored as -0.00 and
    // cut the saved list there, so it is left out and counted.
    geo::ImportedTrip trip = geo::importWaypoints(current, 40.5, -71.5, file, true);
    EXPECT_EQ(trip.waypointList, fromFile);
    EXPECT_EQ(trip.leftOut, 1);
    EXPECT_DOUBLE_EQ(trip.homeLat, 41.25);
    EXPECT_DOUBLE_EQ(trip.homeLon, -70.125);

    // Appending keeps a home that is set, and takes the file's when none is.
    trip = geo::importWaypoints(current, 40.5, -71.5, file, false);
    EXPECT_EQ(trip.waypointList, current + fromFile);
    EXPECT_DOUBLE_EQ(trip.homeLat, 40.5);
    trip = geo::importWaypoints(current, 40.5, 0.0, file, false);
    EXPECT_DOUBLE_EQ(trip.homeLat, 41.25);

    // Without a HOME in the file, replacing keeps the user's home.
    file.home.reset();
    trip = geo::importWaypoints(current, 40.5, -71.5, file, true);
    EXPECT_DOUBLE_EQ(trip.homeLon, -71.5);
}

// Named waypoints: a plotter gets names of at most 10 characters, unique without regard to case
// (HOME is home's alone), and the whole name in desc, from which our own import takes it back.
const QStringList NamedTrip = {"Lat=41.12,Lon=-70.00,Tf=72.4,\"Name=Reef by the ledge, north\"",
                               "Lat=41.13,Lon=-70.01,Tf=0.0,\"Name=reef by the ledge, south\"",
                               "Lat=41.14,Lon=-70.02,Tf=60.0,Name=Home",
                               "Lat=41.15,Lon=-70.03,Tf=0.0",
                               "Lat=41.16,Lon=-70.04,Tf=0.0,Name=WPT04",
                               "Lat=41.17,Lon=-70.05,Tf=0.0,\"Name=Buoy \"\"7\"\"\""};
const QStringList PlotterNames = {"HOME",  "Reef by th", "reef by t2", "Home2",
                                  "WPT04", "WPT042",     "Buoy \"7\""};

TEST(Gpx, NamesGoToAPlotterCutAndUniqueAndComeBackWhole) {
    const QByteArray document = geo::gpxDocument(NamedTrip, 42.5, -70.25);
    QXmlStreamReader xml(document);
    QStringList names; // of the wpt elements
    while (!xml.atEnd()) {
        if (xml.readNext() != QXmlStreamReader::StartElement) continue;
        if (xml.name() == QLatin1String("wpt")) names.append(QString());
        if (xml.name() == QLatin1String("name") && !names.isEmpty() && names.last().isEmpty())
            names.last() = xml.readElementText();
    }
    EXPECT_EQ(names, PlotterNames);
    EXPECT_TRUE(document.contains("<cmt>Water 72.4\u00B0F</cmt>\n        <desc>Reef by the ledge, "
                                  "north</desc>"));
    QString error;
    const std::optional<geo::GpxWaypoints> read = geo::readGpx(document, &error);
    ASSERT_TRUE(read) << error.toStdString();
    // Every name whole again; the made-up name of the unnamed one reads as none.
    EXPECT_EQ(texts(read->waypoints), NamedTrip);
    ASSERT_TRUE(read->home);
    EXPECT_EQ(read->home->lat, 42.5);

    // A partner's names stay as written, whatever the description says.
    const QByteArray partner = "<gpx xmlns=\"http://www.topografix.com/GPX/1/1\"><wpt lat=\"1\" "
                               "lon=\"2\"><name>Canyon 3</name><desc>Canyon 3 south wall</desc>"
                               "</wpt><wpt lat=\"1\" lon=\"3\"><name>WPT007</name></wpt></gpx>";
    EXPECT_EQ(
        texts(geo::readGpx(partner, &error)->waypoints),
        QStringList({"Lat=1.00,Lon=2.00,Tf=0.0,\"Name=Canyon 3\"", "Lat=1.00,Lon=3.00,Tf=0.0"}));
}

// A standard converter reads the names a plotter gets, and the whole names as descriptions.
TEST(Gpx, GpsBabelReadsThePlotterNamesAndTheWholeNames) {
    SKIP_WITHOUT_TOOLS("gpsbabel");
    QTemporaryDir dir;
    const QString path = dir.filePath("named.gpx");
    QString error;
    ASSERT_TRUE(geo::writeGpxFile(path, NamedTrip, 42.5, -70.25, &error));
    // Tab-separated: the names hold commas and quotes.
    const QString output = QString::fromUtf8(
        toolOutput("gpsbabel", {"-i", "gpx", "-f", path, "-o", "tabsep", "-F", "-"}));
    QStringList names;
    for (const QString& row : output.split('\n', Qt::SkipEmptyParts)) {
        const QStringList cells = row.split('\t');
        if (cells.size() > 2) names.append(cells[1]);
    }
    EXPECT_EQ(names.mid(0, PlotterNames.size()), PlotterNames) << output.toStdString();
    EXPECT_TRUE(output.contains("Reef by the ledge, north")) << output.toStdString();
    EXPECT_TRUE(output.contains("reef by the ledge, south"));
}

// A standard converter reads the exported file with the water temperatures on board.
TEST(Gpx, GpsBabelReadsEveryWaypointWithItsTemperature) {
    const QString gpsbabel = QStandardPaths::findExecutable(QStringLiteral("gpsbabel"));
    if (gpsbabel.isEmpty()) GTEST_SKIP() << "GPSBabel is not installed";
    QTemporaryDir dir;
    const QString path = dir.filePath("trip.gpx");
    QString error;
    ASSERT_TRUE(geo::writeGpxFile(path, Trip, 42.5, -70.25, &error));
    QProcess babel;
    babel.start(gpsbabel, {"-i", "gpx", "-f", path, "-o", "unicsv", "-F", "-"});
    ASSERT_TRUE(babel.waitForFinished(30000));
    ASSERT_EQ(babel.exitCode(), 0) << babel.readAllStandardError().toStdString();
    const QStringList rows =
        QString::fromUtf8(babel.readAllStandardOutput()).split('\n', Qt::SkipEmptyParts);
    ASSERT_FALSE(rows.isEmpty());
    const QStringList header = rows.first().trimmed().split(',');
    const qsizetype name = header.indexOf("Name");
    const qsizetype lat = header.indexOf("Latitude");
    const qsizetype lon = header.indexOf("Longitude");
    const qsizetype temp = header.indexOf("Temperature");
    ASSERT_TRUE(name >= 0 && lat >= 0 && lon >= 0 && temp >= 0) << rows.first().toStdString();
    QMap<QString, QStringList> byName;
    for (qsizetype r = 1; r < rows.size(); ++r) {
        QStringList cells = rows[r].trimmed().split(',');
        if (cells.size() == header.size()) byName.insert(cells[name].remove('"'), cells);
    }
    ASSERT_EQ(byName.keys(), QStringList({"HOME", "WPT01", "WPT02", "WPT04"}));
    EXPECT_DOUBLE_EQ(byName["WPT01"][lat].toDouble(), 41.12);
    EXPECT_DOUBLE_EQ(byName["WPT01"][lon].toDouble(), -70.0);
    // 72.4 °F is 22.4 °C; -3.1 °F is -19.5 °C; the waypoint without one has none.
    EXPECT_NEAR(byName["WPT01"][temp].toDouble(), 22.44, 0.01);
    EXPECT_NEAR(byName["WPT04"][temp].toDouble(), -19.5, 0.01);
    EXPECT_TRUE(byName["WPT02"][temp].isEmpty());
    EXPECT_DOUBLE_EQ(byName["HOME"][lon].toDouble(), -70.25);
}

} // namespace
