// The chart as a KMZ: doc.kml with a GroundOverlay and the lines and marks as placemarks, and
// the picture redrawn on equal latitude steps, zipped.
#include "export/KmzWriter.h"

#include "app/ChartDisplay.h"
#include "export/TemporaryOutput.h"
#include "geo/TemperatureBreaks.h"

#include <QBuffer>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QXmlStreamWriter>

#include <zip.h>

#include <algorithm>
#include <cmath>

namespace exports {

namespace {

QString translated(const char* text) {
    return QCoreApplication::translate("exports", text);
}

const char* const ImageEntry = "files/chart.png";

QString coordinate(double value) {
    return QString::number(value, 'f', 7);
}

QString coordinates(const geo::TrackPoint& p) {
    return coordinate(p.lon) + QLatin1Char(',') + coordinate(p.lat);
}

// The number of equal latitude steps that keeps every chart row: the span divided by the
// narrowest row (the one nearest the pole), never fewer rows than the chart has and never more
// than four times as many.
int overlayRows(const ChartGeoreference& chart) {
    const double first = std::abs(chart.position(0.0, 0.0)->lat - chart.position(0.0, 1.0)->lat);
    const double last = std::abs(chart.position(0.0, chart.height - 1.0)->lat -
                                 chart.position(0.0, chart.height)->lat);
    const double rows = std::ceil((chart.north() - chart.south()) / std::min(first, last) - 1e-9);
    return int(std::clamp(rows, double(chart.height), 4.0 * chart.height));
}

// KML's box is equal-degree: output row j spans equal latitude steps from the north edge, and
// takes the chart row under its latitude centre (Mercator rows are a scale and an offset of
// Web Mercator metres, so that row is a floor).
QImage equalLatitudePicture(const ChartGeoreference& chart, const QImage& picture) {
    const int rows = overlayRows(chart);
    const double north = chart.north();
    const double step = (north - chart.south()) / rows;
    const double top = webMercatorY(north);
    const double rowHeight = chart.webMercatorPixelHeight();
    const QImage source = picture.convertToFormat(QImage::Format_ARGB32);
    QImage out(chart.width, rows, QImage::Format_ARGB32);
    const qsizetype bytes = qsizetype(chart.width) * 4;
    for (int j = 0; j < rows; ++j) {
        const double latitude = north - (j + 0.5) * step;
        const double y = std::floor((top - webMercatorY(latitude)) / rowHeight);
        const int row = std::clamp(int(y), 0, chart.height - 1);
        std::copy_n(source.constScanLine(row), bytes, out.scanLine(j));
    }
    return out;
}

// The chart's date on a feature, so that Google Earth's time slider shows the chart and its
// lines together; nothing for a chart without a date.
void writeTimeStamp(QXmlStreamWriter& xml, const ChartGeoreference& chart) {
    if (!chart.chartTime.isValid()) return;
    xml.writeStartElement(QStringLiteral("TimeStamp"));
    xml.writeTextElement(QStringLiteral("when"), chart.chartTime.toUTC().toString(Qt::ISODate));
    xml.writeEndElement();
}

const char* lineStyleId(geo::TrackKind kind) {
    switch (kind) {
    case geo::TrackKind::Break:
        return "break";
    case geo::TrackKind::Isotherm:
        return "isotherm";
    case geo::TrackKind::Other:
        break;
    }
    return nullptr;
}

QColor lineColour(geo::TrackKind kind) {
    return kind == geo::TrackKind::Break ? geo::breakLineColour() : display::isothermColour();
}

// KML writes a colour as aabbggrr in hexadecimal.
QString kmlColour(const QColor& colour) {
    return QStringLiteral("%1%2%3%4")
        .arg(colour.alpha(), 2, 16, QLatin1Char('0'))
        .arg(colour.blue(), 2, 16, QLatin1Char('0'))
        .arg(colour.green(), 2, 16, QLatin1Char('0'))
        .arg(colour.red(), 2, 16, QLatin1Char('0'));
}

QByteArray kmlDocument(const ChartGeoreference& chart, const ExportLayers& layers) {
    QByteArray bytes;
    QXmlStreamWriter xml(&bytes);
    xml.setAutoFormatting(true);
    xml.writeStartDocument();
    xml.writeDefaultNamespace(QStringLiteral("http://www.opengis.net/kml/2.2"));
    xml.writeStartElement(QStringLiteral("kml"));
    xml.writeStartElement(QStringLiteral("Document"));
    const QString name = chart.name.isEmpty() ? translated("Sea surface temperature") : chart.name;
    xml.writeTextElement(QStringLiteral("name"), name);
    if (!chart.areaName.isEmpty())
        xml.writeTextElement(QStringLiteral("description"), chart.areaName);
    // The lines in the colours the window draws them in.
    for (const geo::TrackKind kind : {geo::TrackKind::Break, geo::TrackKind::Isotherm}) {
        xml.writeStartElement(QStringLiteral("Style"));
        xml.writeAttribute(QStringLiteral("id"), QLatin1String(lineStyleId(kind)));
        xml.writeStartElement(QStringLiteral("LineStyle"));
        xml.writeTextElement(QStringLiteral("color"), kmlColour(lineColour(kind)));
        xml.writeTextElement(QStringLiteral("width"), QStringLiteral("2"));
        xml.writeEndElement(); // LineStyle
        xml.writeEndElement(); // Style
    }

    xml.writeStartElement(QStringLiteral("GroundOverlay"));
    xml.writeTextElement(QStringLiteral("name"), name);
    writeTimeStamp(xml, chart);
    xml.writeStartElement(QStringLiteral("Icon"));
    xml.writeTextElement(QStringLiteral("href"), QLatin1String(ImageEntry));
    xml.writeEndElement();
    xml.writeStartElement(QStringLiteral("LatLonBox"));
    xml.writeTextElement(QStringLiteral("north"), coordinate(chart.north()));
    xml.writeTextElement(QStringLiteral("south"), coordinate(chart.south()));
    xml.writeTextElement(QStringLiteral("east"), coordinate(chart.east()));
    xml.writeTextElement(QStringLiteral("west"), coordinate(chart.west()));
    xml.writeEndElement(); // LatLonBox
    xml.writeEndElement(); // GroundOverlay

    if (!layers.lines.empty()) {
        xml.writeStartElement(QStringLiteral("Folder"));
        xml.writeTextElement(QStringLiteral("name"), translated("Lines"));
        for (const geo::TrackLine& line : layers.lines) {
            QStringList pieces;
            for (const std::vector<QPointF>& piece : line.pieces) {
                QStringList points;
                for (const QPointF& pixel : piece)
                    if (const auto p = chart.position(pixel.x(), pixel.y());
                        p && geo::isShowablePosition(p->lat, p->lon))
                        points << coordinates(*p);
                if (points.size() >= 2) pieces << points.join(QLatin1Char(' '));
            }
            if (pieces.isEmpty()) continue;
            xml.writeStartElement(QStringLiteral("Placemark"));
            xml.writeTextElement(QStringLiteral("name"), line.name);
            if (!line.description.isEmpty())
                xml.writeTextElement(QStringLiteral("description"), line.description);
            // KML's order: description, the time, the style, the geometry.
            writeTimeStamp(xml, chart);
            if (const char* style = lineStyleId(line.kind))
                xml.writeTextElement(QStringLiteral("styleUrl"),
                                     QLatin1Char('#') + QLatin1String(style));
            if (pieces.size() > 1) xml.writeStartElement(QStringLiteral("MultiGeometry"));
            for (const QString& piece : pieces) {
                xml.writeStartElement(QStringLiteral("LineString"));
                xml.writeTextElement(QStringLiteral("tessellate"), QStringLiteral("1"));
                xml.writeTextElement(QStringLiteral("coordinates"), piece);
                xml.writeEndElement(); // LineString
            }
            if (pieces.size() > 1) xml.writeEndElement(); // MultiGeometry
            xml.writeEndElement();                        // Placemark
        }
        xml.writeEndElement(); // Folder
    }

    auto point = [&](const QString& pointName, const QString& description, double lat, double lon) {
        if (!geo::isShowablePosition(lat, lon)) return;
        xml.writeStartElement(QStringLiteral("Placemark"));
        xml.writeTextElement(QStringLiteral("name"), pointName);
        if (!description.isEmpty())
            xml.writeTextElement(QStringLiteral("description"), description);
        xml.writeStartElement(QStringLiteral("Point"));
        xml.writeTextElement(QStringLiteral("coordinates"), coordinates({lat, lon}));
        xml.writeEndElement();
        xml.writeEndElement();
    };
    if (!layers.waypoints.empty() || layers.home) {
        xml.writeStartElement(QStringLiteral("Folder"));
        xml.writeTextElement(QStringLiteral("name"), translated("Waypoints"));
        if (layers.home) point(translated("Home"), QString(), layers.home->lat, layers.home->lon);
        int number = 0;
        for (const Waypoint& w : layers.waypoints)
            point(translated("Waypoint %1").arg(++number),
                  w.tempF != 0 ? translated("%1 °F").arg(w.tempF, 0, 'f', 1) : QString(), w.lat,
                  w.lon);
        xml.writeEndElement(); // Folder
    }
    xml.writeEndElement(); // Document
    xml.writeEndElement(); // kml
    xml.writeEndDocument();
    return bytes;
}

// Adds bytes that outlive the archive's closing as a zip entry; false when libzip refuses.
bool addEntry(zip_t* archive, const char* name, const QByteArray& bytes, bool compress) {
    zip_source_t* source = zip_source_buffer(archive, bytes.constData(), bytes.size(), 0);
    if (!source) return false;
    const zip_int64_t index = zip_file_add(archive, name, source, ZIP_FL_ENC_UTF_8);
    if (index < 0) {
        zip_source_free(source);
        return false;
    }
    return zip_set_file_compression(archive, index, compress ? ZIP_CM_DEFLATE : ZIP_CM_STORE, 0) ==
           0;
}

} // namespace

bool writeKmz(const QString& path, const ChartGeoreference& chart, const ExportLayers& layers,
              QString* error) {
    if (!canPlacePicture(chart, layers, error)) return false;
    TemporaryOutput output(path);
    if (!output.open(error)) return false;

    // Both stay alive until the archive is closed: libzip reads them then.
    const QByteArray kml = kmlDocument(chart, layers);
    QByteArray png;
    {
        QBuffer buffer(&png);
        buffer.open(QIODevice::WriteOnly);
        equalLatitudePicture(chart, layers.picture).save(&buffer, "PNG");
    }

    int code = 0;
    zip_t* archive =
        zip_open(QFile::encodeName(output.path()).constData(), ZIP_CREATE | ZIP_TRUNCATE, &code);
    if (!archive) {
        zip_error_t reason;
        zip_error_init_with_code(&reason, code);
        if (error)
            *error = translated("Cannot write %1: %2")
                         .arg(QDir::toNativeSeparators(path),
                              QString::fromLocal8Bit(zip_error_strerror(&reason)));
        zip_error_fini(&reason);
        return false;
    }
    // doc.kml comes first: Google Earth opens the archive's first KML file.
    const bool added = addEntry(archive, "doc.kml", kml, true) &&
                       addEntry(archive, ImageEntry, png, false); // PNG is compressed already
    if (!added || zip_close(archive) != 0) {
        if (error)
            *error = translated("Cannot write %1: %2")
                         .arg(QDir::toNativeSeparators(path),
                              QString::fromLocal8Bit(zip_strerror(archive)));
        zip_discard(archive);
        return false;
    }
    return output.commit(error);
}

} // namespace exports
