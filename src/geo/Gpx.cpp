#include "geo/Gpx.h"

#include "geo/ThalwiseUtils.h"
#include "geo/Waypoint.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QLocale>
#include <QRegularExpression>
#include <QSaveFile>
#include <QStringDecoder>
#include <QXmlStreamReader>
#include <QXmlStreamWriter>

#include <charconv>
#include <cmath>

namespace geo {

namespace {

const QString Gpx10 = QStringLiteral("http://www.topografix.com/GPX/1/0");
const QString& Gpx11 = Gpx11Namespace;
const QString Garmin = QStringLiteral("http://www.garmin.com/xmlschemas/GpxExtensions/v3");
const QString HomeName = QStringLiteral("HOME");

// Six decimals (0.1 m), the most a stored waypoint keeps: "41.123456", "41.120000".
QString coordinate(double degrees) {
    return formatFixed(degrees, 6, QLocale::c());
}

// The Celsius reading as the export writes it: three decimals.
QString celsiusText(double celsius) {
    return formatFixed(celsius, 3, QLocale::c());
}

struct Point {
    QString name;
    Waypoint waypoint;
};

void writePoint(QXmlStreamWriter& xml, const QString& element, const Point& point) {
    xml.writeStartElement(Gpx11, element);
    xml.writeAttribute(QStringLiteral("lat"), coordinate(point.waypoint.lat));
    xml.writeAttribute(QStringLiteral("lon"), coordinate(point.waypoint.lon));
    // The schema's order: name, cmt, desc, then extensions.
    xml.writeTextElement(Gpx11, QStringLiteral("name"), point.name);
    if (element != QLatin1String("wpt")) {
        xml.writeEndElement();
        return;
    }
    const float fahrenheit = point.waypoint.tempF;
    const QString water = fahrenheit != 0.0f ? QStringLiteral("Water ") +
                                                   formatFixed(fahrenheit, 1, QLocale::c()) +
                                                   QStringLiteral("\u00B0F")
                                             : QString();
    // A named waypoint's description is its whole name (the plotter's name may be cut); the
    // water's temperature then goes into the comment.
    const QString& fullName = point.waypoint.name;
    if (!fullName.isEmpty() && !water.isEmpty())
        xml.writeTextElement(Gpx11, QStringLiteral("cmt"), water);
    if (!fullName.isEmpty() || !water.isEmpty())
        xml.writeTextElement(Gpx11, QStringLiteral("desc"), fullName.isEmpty() ? water : fullName);
    if (fahrenheit != 0.0f) {
        xml.writeStartElement(Gpx11, QStringLiteral("extensions"));
        xml.writeStartElement(Garmin, QStringLiteral("WaypointExtension"));
        const double celsius = celsiusFromFahrenheit(fahrenheit);
        xml.writeTextElement(Garmin, QStringLiteral("Temperature"), celsiusText(celsius));
        xml.writeEndElement();
        xml.writeEndElement();
    }
    xml.writeEndElement();
}

// The name a plotter is given for wanted: at most PlotterNameLength characters, unlike every
// name in taken (compared without regard to case, as plotters do); a cut name that is taken
// ends in a number instead ("Reef ledg2"). The name is added to taken.
QString plotterName(const QString& wanted, QStringList& taken) {
    auto isTaken = [&taken](const QString& name) {
        return taken.contains(name, Qt::CaseInsensitive);
    };
    QString name = cutCharacters(wanted, PlotterNameLength);
    for (int n = 2; isTaken(name); ++n) {
        const QString number = QString::number(n);
        name = cutCharacters(wanted, PlotterNameLength - number.size()) + number;
    }
    taken.append(name);
    return name;
}

// True when name is what plotterName makes of full: its cut, or a shorter cut and a number.
bool isPlotterNameOf(const QString& name, const QString& full) {
    if (full.isEmpty()) return false;
    if (name == cutCharacters(full, PlotterNameLength)) return true;
    qsizetype digits = 0;
    while (digits < name.size() && name.at(name.size() - 1 - digits).isDigit())
        ++digits;
    for (qsizetype k = 1; k <= digits; ++k)
        if (name.left(name.size() - k) == cutCharacters(full, PlotterNameLength - k)) return true;
    return false;
}

// The names our export makes up for waypoints without one: "WPT01", "WPT02", ...
bool isMadeUpName(const QString& name) {
    static const QRegularExpression madeUp(QStringLiteral("^WPT[0-9]{2,}$"));
    return madeUp.match(name).hasMatch();
}

// Quirk "gpx-temperature-shortest": the reading in °F with the fewest decimals (one to four)
// that the export turns back into the same °C text, so that a file's temperature leaves as it
// came and our own "72.4" stays 72.4 rather than becoming 72.3992.
float fahrenheitOfReading(double celsius) {
    const double fahrenheit = celsius * 9.0 / 5.0 + 32.0;
    double scale = 1.0;
    for (int decimals = 1; decimals <= 4; ++decimals) {
        scale *= 10.0;
        const auto rounded = float(std::nearbyint(fahrenheit * scale) / scale);
        if (celsiusText(celsiusFromFahrenheit(rounded)) == celsiusText(celsius)) return rounded;
    }
    return float(fahrenheit);
}

// Reads one wpt or rtept element, the reader on its start; leaves the reader on its end.
std::optional<Point> readPoint(QXmlStreamReader& xml, const QString& gpxNamespace) {
    Point point;
    bool latOk = false;
    bool lonOk = false;
    const double lat = xml.attributes().value(QStringLiteral("lat")).toDouble(&latOk);
    const double lon = xml.attributes().value(QStringLiteral("lon")).toDouble(&lonOk);
    std::optional<double> celsius;
    QString description;
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
            if (depth == 0 && xml.name() == QLatin1String("desc") &&
                xml.namespaceUri() == gpxNamespace) {
                description = xml.readElementText(QXmlStreamReader::IncludeChildElements);
                continue;
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
    point.waypoint.lat = lat;
    point.waypoint.lon = lon;
    // The whole name is the description when the plotter's name is its cut (our own export);
    // otherwise the file's name is the name, unless it is one our export made up.
    const QString fullName = waypointName(description);
    if (isPlotterNameOf(point.name, fullName))
        point.waypoint.name = fullName;
    else if (!isMadeUpName(point.name))
        point.waypoint.name = waypointName(point.name);
    if (celsius) {
        const float fahrenheit = fahrenheitOfReading(*celsius);
        // Quirk "gpx-temperature-finite": a temperature beyond a float ("1e300" °C) is no
        // reading; the waypoint keeps its place without one instead of being left out later as
        // if it lay at latitude or longitude 0.
        if (std::isfinite(fahrenheit)) point.waypoint.tempF = fahrenheit;
    }
    return point;
}

// The encoding the XML declaration at the start of an ASCII-compatible document names; empty
// when there is none.
QByteArray declaredEncoding(const QByteArray& document) {
    const QRegularExpression declaration(
        QStringLiteral(R"(^<\?xml\s[^>]*?\bencoding\s*=\s*(["'])([A-Za-z][A-Za-z0-9._-]*)\1)"));
    const QRegularExpressionMatch match =
        declaration.match(QString::fromLatin1(document.left(512)));
    return match.hasMatch() ? match.captured(2).toLatin1() : QByteArray();
}

// The document as text, decoded as an XML processor decodes it (XML 1.0, appendix F): a byte
// order mark, or a first '<' in UTF-16 or UTF-32, tells those; otherwise the XML declaration
// names the encoding, UTF-8 when it names none. Nothing for an encoding that is not known or
// bytes that are not in it.
std::optional<QString> documentText(const QByteArray& document) {
    QStringDecoder decoder;
    if (const std::optional<QStringConverter::Encoding> detected =
            QStringDecoder::encodingForData(document, u'<')) {
        decoder = QStringDecoder(*detected);
    } else if (const QByteArray declared = declaredEncoding(document); !declared.isEmpty()) {
        decoder = QStringDecoder(declared.constData());
    } else {
        decoder = QStringDecoder(QStringConverter::Utf8);
    }
    if (!decoder.isValid()) return std::nullopt;
    QString text = decoder.decode(document);
    if (decoder.hasError()) return std::nullopt;
    return text;
}

// True when a start tag of the text has more than limit attributes: the '=' signs outside
// quotes between its '<' and its '>'. Comments, CDATA sections, processing instructions and
// declarations are stepped over. One pass over the text, however hostile.
bool hasElementWithMoreAttributes(QStringView text, int limit) {
    const qsizetype size = text.size();
    auto skipPast = [&](qsizetype from, QStringView end) {
        const qsizetype at = text.indexOf(end, from);
        return at < 0 ? size : at + end.size();
    };
    qsizetype i = 0;
    while (i < size && (i = text.indexOf(u'<', i)) >= 0) {
        const QStringView tag = text.mid(i + 1);
        if (tag.startsWith(u"!--")) {
            i = skipPast(i + 4, u"-->");
        } else if (tag.startsWith(u"![CDATA[")) {
            i = skipPast(i + 9, u"]]>");
        } else if (tag.startsWith(u'?')) {
            i = skipPast(i + 2, u"?>");
        } else if (tag.startsWith(u'!')) {
            i = skipPast(i + 2, u">");
        } else {
            int attributes = 0;
            char16_t quote = 0;
            for (++i; i < size; ++i) {
                const char16_t c = text[i].unicode();
                if (quote != 0) {
                    if (c == quote) quote = 0;
                } else if (c == u'"' || c == u'\'') {
                    quote = c;
                } else if (c == u'=') {
                    if (++attributes > limit) return true;
                } else if (c == u'>' || c == u'<') {
                    break; // a '<' here begins the next tag of a damaged document
                }
            }
        }
    }
    return false;
}

} // namespace

QByteArray gpxDocument(const QStringList& waypointList, double homeLat, double homeLon) {
    std::vector<Point> route;
    // HOME is taken even without a home: a waypoint named "Home" must not read back as home.
    QStringList taken{HomeName};
    if (homeLat != 0.0 && homeLon != 0.0)
        route.push_back({HomeName, Waypoint{homeLat, homeLon, 0.0f}});
    for (qsizetype i = 0; i < waypointList.size(); ++i) {
        if (const std::optional<Waypoint> waypoint = ParseWaypoint(waypointList[i])) {
            const QString wanted = waypoint->name.isEmpty()
                                       ? QStringLiteral("WPT%1").arg(i + 1, 2, 10, QLatin1Char('0'))
                                       : waypoint->name;
            route.push_back({plotterName(wanted, taken), *waypoint});
        }
    }
    QByteArray document;
    QXmlStreamWriter xml(&document);
    startGpx11Document(xml, true);
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

void startGpx11Document(QXmlStreamWriter& xml, bool garminExtensions) {
    xml.setAutoFormatting(true);
    xml.writeStartDocument();
    xml.writeDefaultNamespace(Gpx11);
    if (garminExtensions) xml.writeNamespace(Garmin, QStringLiteral("gpxx"));
    xml.writeStartElement(Gpx11, QStringLiteral("gpx"));
    xml.writeAttribute(QStringLiteral("version"), QStringLiteral("1.1"));
    xml.writeAttribute(QStringLiteral("creator"), QStringLiteral("Thalwise"));
}

bool writeGpxDocument(const QString& path, const QByteArray& document, QString* error) {
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(document) != document.size() ||
        !file.commit()) {
        if (error) *error = file.errorString();
        return false;
    }
    return true;
}

bool writeGpxFile(const QString& path, const QStringList& waypointList, double homeLat,
                  double homeLon, QString* error) {
    return writeGpxDocument(path, gpxDocument(waypointList, homeLat, homeLon), error);
}

std::optional<GpxWaypoints> readGpx(const QByteArray& document, QString* error) {
    auto refuse = [error](const QString& message) -> std::optional<GpxWaypoints> {
        if (error) *error = message;
        return std::nullopt;
    };
    if (document.size() > GpxMaximumBytes)
        return refuse(
            QCoreApplication::translate("Gpx", "The file is too large for a GPX waypoint file."));
    const std::optional<QString> text = documentText(document);
    if (!text)
        return refuse(QCoreApplication::translate(
            "Gpx", "The GPX file is not in a text encoding that can be read."));
    // Quirk "gpx-attribute-budget": counted on the decoded text, so that no declared encoding
    // hides an element's attributes from the count.
    if (hasElementWithMoreAttributes(*text, GpxMaximumAttributes))
        return refuse(QCoreApplication::translate(
                          "Gpx", "The GPX file has an element with more than %1 attributes; "
                                 "such files are not read.")
                          .arg(GpxMaximumAttributes));
    // The reader gets the text, so it never decodes the bytes a second, different way.
    QXmlStreamReader xml(*text);
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
            result.home = GpxHome{point.waypoint.lat, point.waypoint.lon};
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
        trip.homeLat = imported.home->lat;
        trip.homeLon = imported.home->lon;
    }
    for (const Waypoint& waypoint : imported.waypoints) {
        // Quirk "gpx-position-as-given": the file's position is kept to its sixth decimal, not
        // cut to a clicked pixel's four, so that exporting the list gives the same file back.
        const QString text = WaypointText(waypoint, WaypointPrecision::Given);
        const std::optional<Waypoint> stored = ParseWaypoint(text);
        if (!stored || stored->lat == 0.0 || stored->lon == 0.0) {
            ++trip.leftOut;
            continue;
        }
        trip.waypointList.append(text);
    }
    return trip;
}

} // namespace geo
