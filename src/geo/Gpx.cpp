#include "geo/Gpx.h"

#include "geo/ThalwiseUtils.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QLocale>
#include <QSaveFile>
#include <QXmlStreamReader>
#include <QXmlStreamWriter>

#include <charconv>
#include <cmath>

namespace geo {

namespace {

const QString Gpx10 = QStringLiteral("http://www.topografix.com/GPX/1/0");
const QString Gpx11 = QStringLiteral("http://www.topografix.com/GPX/1/1");
const QString Garmin = QStringLiteral("http://www.garmin.com/xmlschemas/GpxExtensions/v3");
const QString HomeName = QStringLiteral("HOME");

// The shortest text that reads back as the same float: "41.12", not "41.119999".
QString coordinate(float degrees) {
    char digits[64];
    const auto result =
        std::to_chars(digits, digits + sizeof digits, degrees, std::chars_format::fixed);
    return QString::fromLatin1(digits, result.ptr - digits);
}

struct Point {
    QString name;
    Waypoint waypoint;
};

void writePoint(QXmlStreamWriter& xml, const QString& element, const Point& point) {
    xml.writeStartElement(Gpx11, element);
    xml.writeAttribute(QStringLiteral("lat"), coordinate(point.waypoint.lat));
    xml.writeAttribute(QStringLiteral("lon"), coordinate(point.waypoint.lon));
    // The schema's order: name, then desc, then extensions.
    xml.writeTextElement(Gpx11, QStringLiteral("name"), point.name);
    const float fahrenheit = point.waypoint.tempF;
    if (element == QLatin1String("wpt") && fahrenheit != 0.0f) {
        xml.writeTextElement(Gpx11, QStringLiteral("desc"),
                             QStringLiteral("Water ") + formatFixed(fahrenheit, 1, QLocale::c()) +
                                 QStringLiteral("\u00B0F"));
        xml.writeStartElement(Gpx11, QStringLiteral("extensions"));
        xml.writeStartElement(Garmin, QStringLiteral("WaypointExtension"));
        const double celsius = celsiusFromFahrenheit(fahrenheit);
        xml.writeTextElement(Garmin, QStringLiteral("Temperature"),
                             formatFixed(celsius, 3, QLocale::c()));
        xml.writeEndElement();
        xml.writeEndElement();
    }
    xml.writeEndElement();
}

// Reads one wpt or rtept element, the reader on its start; leaves the reader on its end.
std::optional<Point> readPoint(QXmlStreamReader& xml, const QString& gpxNamespace) {
    Point point;
    bool latOk = false;
    bool lonOk = false;
    const double lat = xml.attributes().value(QStringLiteral("lat")).toDouble(&latOk);
    const double lon = xml.attributes().value(QStringLiteral("lon")).toDouble(&lonOk);
    std::optional<double> celsius;
    int depth = 0;
    while (xml.readNext() != QXmlStreamReader::Invalid) {
        if (xml.isEndElement()) {
            if (depth-- == 0) break;
        } else if (xml.isStartElement()) {
            if (depth == 0 && xml.name() == QLatin1String("name") &&
                xml.namespaceUri() == gpxNamespace) {
                point.name = xml.readElementText(QXmlStreamReader::IncludeChildElements);
                continue; // readElementText leaves the reader on the element's end
            }
            if (xml.name() == QLatin1String("Temperature") && xml.namespaceUri() == Garmin) {
                bool ok = false;
                const double value = xml.readElementText().trimmed().toDouble(&ok);
                if (ok && std::isfinite(value)) celsius = value;
                continue;
            }
            ++depth;
        }
    }
    if (!latOk || !lonOk || !isShowablePosition(lat, lon)) return std::nullopt;
    point.waypoint.lat = float(lat);
    point.waypoint.lon = float(lon);
    if (celsius) point.waypoint.tempF = float(*celsius * 9.0 / 5.0 + 32.0);
    return point;
}

} // namespace

QByteArray gpxDocument(const QStringList& waypointList, double homeLat, double homeLon) {
    std::vector<Point> route;
    if (homeLat != 0.0 && homeLon != 0.0)
        route.push_back({HomeName, Waypoint{float(homeLat), float(homeLon), 0.0f}});
    for (qsizetype i = 0; i < waypointList.size(); ++i) {
        if (const std::optional<Waypoint> waypoint = ParseWaypoint(waypointList[i]))
            route.push_back(
                {QStringLiteral("WPT%1").arg(i + 1, 2, 10, QLatin1Char('0')), *waypoint});
    }
    QByteArray document;
    QXmlStreamWriter xml(&document);
    xml.setAutoFormatting(true);
    xml.writeStartDocument();
    xml.writeDefaultNamespace(Gpx11);
    xml.writeNamespace(Garmin, QStringLiteral("gpxx"));
    xml.writeStartElement(Gpx11, QStringLiteral("gpx"));
    xml.writeAttribute(QStringLiteral("version"), QStringLiteral("1.1"));
    xml.writeAttribute(QStringLiteral("creator"), QStringLiteral("Thalwise"));
    for (const Point& point : route)
        writePoint(xml, QStringLiteral("wpt"), point);
    if (!route.empty()) {
        xml.writeStartElement(Gpx11, QStringLiteral("rte"));
        xml.writeTextElement(Gpx11, QStringLiteral("name"), QStringLiteral("Trip"));
        for (const Point& point : route)
            writePoint(xml, QStringLiteral("rtept"), point);
        xml.writeEndElement();
    }
    xml.writeEndElement();
    xml.writeEndDocument();
    return document;
}

bool writeGpxFile(const QString& path, const QStringList& waypointList, double homeLat,
                  double homeLon, QString* error) {
    QSaveFile file(path);
    const QByteArray document = gpxDocument(waypointList, homeLat, homeLon);
    if (!file.open(QIODevice::WriteOnly) || file.write(document) != document.size() ||
        !file.commit()) {
        if (error) *error = file.errorString();
        return false;
    }
    return true;
}

std::optional<GpxWaypoints> readGpx(const QByteArray& document, QString* error) {
    auto refuse = [error](const QString& message) -> std::optional<GpxWaypoints> {
        if (error) *error = message;
        return std::nullopt;
    };
    if (document.size() > GpxMaximumBytes)
        return refuse(
            QCoreApplication::translate("Gpx", "The file is too large for a GPX waypoint file."));
    QXmlStreamReader xml(document);
    // Nothing is ever declared, so nothing can be expanded; the limit is a second fence.
    xml.setEntityExpansionLimit(0);
    QString gpxNamespace;
    std::vector<Point> waypoints;
    std::vector<Point> routePoints;
    int depth = 0;
    while (!xml.atEnd()) {
        const QXmlStreamReader::TokenType token = xml.readNext();
        if (token == QXmlStreamReader::DTD)
            return refuse(
                QCoreApplication::translate("Gpx", "The GPX file has a document type declaration; "
                                                   "such files are not read."));
        if (token == QXmlStreamReader::EntityReference)
            return refuse(QCoreApplication::translate(
                "Gpx", "The GPX file uses entities; such files are not read."));
        if (token == QXmlStreamReader::EndElement) {
            --depth;
            continue;
        }
        if (token != QXmlStreamReader::StartElement) continue;
        ++depth;
        if (depth == 1) {
            gpxNamespace = xml.namespaceUri().toString();
            if (xml.name() != QLatin1String("gpx") ||
                (gpxNamespace != Gpx10 && gpxNamespace != Gpx11))
                return refuse(
                    QCoreApplication::translate("Gpx", "The file is not a GPX 1.0 or 1.1 file."));
            continue;
        }
        if (xml.namespaceUri() != gpxNamespace) continue;
        const bool isWaypoint = depth == 2 && xml.name() == QLatin1String("wpt");
        const bool isRoutePoint = depth == 3 && xml.name() == QLatin1String("rtept");
        if (!isWaypoint && !isRoutePoint) continue;
        if (std::optional<Point> point = readPoint(xml, gpxNamespace))
            (isWaypoint ? waypoints : routePoints).push_back(*point);
        --depth; // readPoint consumed the end element
    }
    if (xml.hasError())
        return refuse(QCoreApplication::translate("Gpx", "The GPX file is damaged (line %1: %2).")
                          .arg(xml.lineNumber())
                          .arg(xml.errorString()));
    GpxWaypoints result;
    for (const Point& point : waypoints.empty() ? routePoints : waypoints) {
        if (point.name == HomeName && !result.home)
            result.home = GeoPosition{point.waypoint.lat, point.waypoint.lon};
        else
            result.waypoints.push_back(point.waypoint);
    }
    if (result.waypoints.empty())
        return refuse(QCoreApplication::translate("Gpx", "The GPX file holds no waypoints."));
    return result;
}

std::optional<GpxWaypoints> readGpxFile(const QString& path, QString* error) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        if (error) *error = file.errorString();
        return std::nullopt;
    }
    if (file.size() > GpxMaximumBytes) {
        if (error)
            *error = QCoreApplication::translate("Gpx",
                                                 "The file is too large for a GPX waypoint file.");
        return std::nullopt;
    }
    return readGpx(file.read(GpxMaximumBytes + 1), error);
}

ImportedTrip importWaypoints(const QStringList& waypointList, double homeLat, double homeLon,
                             const GpxWaypoints& imported, bool replace) {
    ImportedTrip trip;
    trip.waypointList = replace ? QStringList() : waypointList;
    trip.homeLat = homeLat;
    trip.homeLon = homeLon;
    const bool homeSet = homeLat != 0.0 && homeLon != 0.0;
    if (imported.home && (replace || !homeSet)) {
        trip.homeLat = imported.home->Latitude;
        trip.homeLon = imported.home->Longitude;
    }
    for (const Waypoint& waypoint : imported.waypoints) {
        const QString text = WaypointText(waypoint);
        const std::optional<Waypoint> stored = ParseWaypoint(text);
        if (!stored || stored->lat == 0.0f || stored->lon == 0.0f) {
            ++trip.leftOut;
            continue;
        }
        trip.waypointList.append(text);
    }
    return trip;
}

} // namespace geo
