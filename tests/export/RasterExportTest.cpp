// The KAP and GeoTIFF exports read back by GDAL's own tools: where GDAL places the chart's
// pixels, the colours it reads from the KAP, the temperature grid and the isotherms GDAL draws on
// it, on the sample chart of area ne01; and every writer's refusal.
#include "export/ChartExport.h"
#include "export/GeoTiffWriter.h"
#include "export/KapWriter.h"
#include "export/KmzWriter.h"
#include "export/MbtilesWriter.h"
#include "support/ToolRun.h"

#include "geo/Isotherms.h"
#include "geo/Palette.h"
#include "geo/TemperatureBreaks.h"
#include "geo/TemperatureScale.h"
#include "geo/vekMapping.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>
#include <QTimeZone>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <map>
#include <set>

namespace {

const QString SampleChart = QStringLiteral(THALWISE_SOURCE_DIR "/resources/samples/area-ne01.gif");

#define SKIP_WITHOUT_GDAL() SKIP_WITHOUT_TOOLS("gdalinfo", "gdaltransform", "gdal_translate")

QJsonObject gdalInfo(const QString& file) {
    return QJsonDocument::fromJson(toolOutput("gdalinfo", {"-json", file})).object();
}

// Band 1 of a raster as GDAL reads it, through a raw copy.
QByteArray gdalBand(const QString& file, const QString& rawFile) {
    toolOutput("gdal_translate", {"-q", "-of", "ENVI", "-b", "1", file, rawFile});
    QFile raw(rawFile);
    return raw.open(QIODevice::ReadOnly) ? raw.readAll() : QByteArray();
}

struct Sample {
    QImage picture;
    geo::TemperatureScale scale;
    exports::ChartGeoreference chart;
};

const Sample& sample() {
    static const Sample s = [] {
        Sample s;
        s.picture = QImage(SampleChart).convertToFormat(QImage::Format_RGB32);
        if (s.picture.isNull()) qFatal("sample chart missing: %s", qPrintable(SampleChart));
        // The sample's own range, TMIN 38 and TMAX 62.
        s.scale.TempScaleChange(geo::TemperatureScale::BuildScaleBitmap(geo::builtinPaletteText()),
                                38, 62);
        s.chart = exports::chartGeoreference(geo::chartAreaOfFile(SampleChart), s.picture.width(),
                                             s.picture.height());
        s.chart.name = QStringLiteral("AREA-NE01");
        s.chart.chartTime = QDateTime(QDate(2026, 12, 1), QTime(12, 0), QTimeZone::utc());
        return s;
    }();
    return s;
}

TEST(RasterExport, GdalPlacesEveryPixelWherePixelToGeoDoes) {
    SKIP_WITHOUT_GDAL();
    const Sample& s = sample();
    QTemporaryDir dir;
    exports::ExportLayers layers;
    layers.picture = s.picture;
    QString error;
    const QString kap = dir.filePath("chart.kap"), tif = dir.filePath("chart.tif");
    ASSERT_TRUE(exports::writeKap(kap, s.chart, layers, &error)) << error.toStdString();
    ASSERT_TRUE(
        exports::writeGeoTiff(tif, s.chart, layers, exports::GeoTiffContent::Picture, &error))
        << error.toStdString();

    const std::pair<int, int> pixels[] = {{0, 0},     {1023, 0},  {0, 1023}, {1023, 1023},
                                          {511, 512}, {100, 900}, {900, 37}};
    QByteArray centres;
    for (const auto& [x, y] : pixels)
        centres += QString("%1 %2\n").arg(x + 0.5).arg(y + 0.5).toLatin1();
    // Well within half a pixel: the GeoTIFF's transform is exact, the KAP's is what GDAL fits
    // to its REF points on the WGS84 ellipsoid.
    for (const auto& [file, tolerance] : {std::pair{kap, 0.1}, std::pair{tif, 0.01}}) {
        SCOPED_TRACE(file.toStdString());
        EXPECT_EQ(gdalInfo(file)["geoTransform"].toArray().size(), 6) << "GDAL found no transform";
        const QList<QByteArray> lines =
            toolOutput("gdaltransform", {"-t_srs", "EPSG:4326", "-output_xy", file}, centres)
                .split('\n');
        ASSERT_GE(lines.size(), qsizetype(std::size(pixels)));
        for (std::size_t i = 0; i < std::size(pixels); ++i) {
            const auto [x, y] = pixels[i];
            const QList<QByteArray> lonLat = lines[qsizetype(i)].simplified().split(' ');
            ASSERT_EQ(lonLat.size(), 2) << lines[qsizetype(i)].toStdString();
            float lat = 0, lon = 0, nextLat = 0, nextLon = 0;
            ASSERT_TRUE(PixelToGeo(s.chart.calibration, x, y, lat, lon));
            ASSERT_TRUE(PixelToGeo(s.chart.calibration, x + 1, y + 1, nextLat, nextLon));
            EXPECT_NEAR(lonLat[0].toDouble(), lon, tolerance * std::abs(nextLon - lon)) << x;
            EXPECT_NEAR(lonLat[1].toDouble(), lat, tolerance * std::abs(nextLat - lat)) << y;
        }
    }
}

// A KAP's rows as the index at its end finds them: each starts with its number (7 bits a byte,
// counting from 1) and holds a 0 byte only at its end.
void expectRowsFoundByTheIndex(const QByteArray& kap, int height) {
    const auto bigEndian = [&](qsizetype at) {
        return qsizetype(std::uint8_t(kap[at])) << 24 | std::uint8_t(kap[at + 1]) << 16 |
               std::uint8_t(kap[at + 2]) << 8 | std::uint8_t(kap[at + 3]);
    };
    const qsizetype index = bigEndian(kap.size() - 4);
    ASSERT_EQ(index, kap.size() - 4 * (height + 1));
    for (int row = 0; row < height; ++row) {
        qsizetype at = bigEndian(index + 4 * row);
        int number = kap[at] & 0x7f;
        while (kap[at++] & 0x80)
            number = number * 128 + (kap[at] & 0x7f);
        ASSERT_EQ(number, row + 1);
        const qsizetype end = row + 1 < height ? bigEndian(index + 4 * (row + 1)) : index;
        ASSERT_EQ(kap.indexOf(char(0), at), end - 1) << "row " << row;
    }
}

TEST(RasterExport, KapColoursAreThePicturesOrTheNearestItKeeps) {
    SKIP_WITHOUT_GDAL();
    const Sample& s = sample();
    QTemporaryDir dir;
    // The sample has about 220 colours. With its blue and green coarsened it has fewer than 127,
    // which must come back exactly; its first row then holds runs of 129 and 257 pixels, whose
    // counts end in a 0 byte unless split.
    exports::ExportLayers coarse, full;
    full.picture = coarse.picture = s.picture;
    for (int y = 0; y < coarse.picture.height(); ++y) {
        QRgb* row = reinterpret_cast<QRgb*>(coarse.picture.scanLine(y));
        for (int x = 0; x < coarse.picture.width(); ++x)
            row[x] = y > 0 ? row[x] & 0xffffc0c0u : x < 129 ? 0xff000000u : 0xffffffffu - (x > 385);
    }
    for (const exports::ExportLayers* layers : {&coarse, &full}) {
        const QImage& picture = layers->picture;
        QString error;
        const QString kap = dir.filePath("colours.kap");
        ASSERT_TRUE(exports::writeKap(kap, s.chart, *layers, &error)) << error.toStdString();
        QFile file(kap);
        ASSERT_TRUE(file.open(QIODevice::ReadOnly));
        const QByteArray bytes = file.readAll();
        expectRowsFoundByTheIndex(bytes, picture.height());
        // The dusk and night palettes dim every day colour: the cloud's white to half and a
        // quarter.
        const QByteArray header = bytes.left(bytes.indexOf('\x1a'));
        EXPECT_EQ(header.count("\nDSK/"), header.count("\nRGB/"));
        EXPECT_EQ(header.count("\nNGT/"), header.count("\nRGB/"));
        if (layers == &full) { // the coarse picture's white is coarsened away
            const qsizetype white = header.indexOf(",255,255,255\r\n");
            ASSERT_GT(white, 0);
            const QByteArray index = header.mid(header.lastIndexOf('/', white) + 1,
                                                white - header.lastIndexOf('/', white) - 1);
            EXPECT_TRUE(header.contains("\nDSK/" + index + ",128,128,128\r\n"));
            EXPECT_TRUE(header.contains("\nNGT/" + index + ",64,64,64\r\n"));
        }

        // GDAL's colour of every pixel, through the KAP's colour table.
        const QJsonArray table = gdalInfo(kap)["bands"][0]["colorTable"]["entries"].toArray();
        const QByteArray indices = gdalBand(kap, dir.filePath("colours.raw"));
        ASSERT_EQ(indices.size(), picture.width() * picture.height());
        std::map<std::pair<QRgb, QRgb>, int> pairs; // (the picture's colour, GDAL's)
        std::set<QRgb> own, kept;
        for (int i = 0; i < indices.size(); ++i) {
            const QJsonArray c = table[std::uint8_t(indices[i])].toArray();
            const QRgb read = qRgb(c[0].toInt(), c[1].toInt(), c[2].toInt());
            ++pairs[{picture.pixel(i % 1024, i / 1024), read}];
            own.insert(picture.pixel(i % 1024, i / 1024));
            kept.insert(read);
        }
        SCOPED_TRACE(own.size());
        EXPECT_EQ(kept.size(), std::min<std::size_t>(own.size(), 127));
        const auto distance = [](QRgb a, QRgb b) {
            return std::hypot(qRed(a) - qRed(b), qGreen(a) - qGreen(b), qBlue(a) - qBlue(b));
        };
        for (const auto& [pair, count] : pairs) {
            if (own.size() <= 127) {
                EXPECT_EQ(pair.first, pair.second) << count << " pixels";
            }
            for (const QRgb other : kept)
                EXPECT_LE(distance(pair.first, pair.second), distance(pair.first, other))
                    << count << " pixels not in the nearest colour kept";
        }
    }
}

// The grid carries the water alone: the sample's coast (black), land (grey) and cloud (white)
// are NoData, every other pixel a temperature of the chart's range, in the band's own unit.
TEST(RasterExport, TemperatureGridIsWaterOnlyInItsUnitAndGdalDrawsOurIsotherms) {
    SKIP_WITHOUT_GDAL();
    SKIP_WITHOUT_TOOLS("gdal_contour");
    const Sample& s = sample();
    const geo::TemperatureField field = geo::temperatureField(s.scale, s.picture);
    QTemporaryDir dir;
    QString error;
    for (const bool celsius : {false, true}) {
        SCOPED_TRACE(celsius ? "celsius" : "fahrenheit");
        exports::ExportLayers layers;
        layers.temperature = exports::waterTemperatureGrid(s.scale, s.picture, field, celsius);
        layers.celsius = celsius;
        const QString tif = dir.filePath(celsius ? "celsius.tif" : "temperature.tif");
        ASSERT_TRUE(exports::writeGeoTiff(tif, s.chart, layers,
                                          exports::GeoTiffContent::Temperature, &error))
            << error.toStdString();
        const QJsonObject band = gdalInfo(tif)["bands"][0].toObject();
        EXPECT_EQ(band["type"].toString(), "Float32");
        EXPECT_EQ(band["unit"].toString(), celsius ? "\u00B0C" : "\u00B0F");
        EXPECT_EQ(band["noDataValue"].toString(), "NaN");
        const QByteArray raw = gdalBand(tif, dir.filePath("temperature.raw"));
        ASSERT_EQ(raw.size(), qsizetype(s.picture.width()) * s.picture.height() * 4);
        const float* read = reinterpret_cast<const float*>(raw.constData());
        const double low = celsius ? 3.3 : 38.0, high = celsius ? 16.7 : 62.0;
        int wrong = 0;
        for (int y = 0; y < s.picture.height(); ++y)
            for (int x = 0; x < s.picture.width(); ++x) {
                const QRgb c = s.picture.pixel(x, y);
                const bool water =
                    c != qRgb(0, 0, 0) && c != qRgb(100, 100, 100) && c != qRgb(255, 255, 255);
                const float t = read[y * s.picture.width() + x];
                wrong += water ? !(t >= low && t <= high) : !std::isnan(t);
            }
        EXPECT_EQ(wrong, 0);
    }
    const std::vector<float> grid = exports::waterTemperatureGrid(s.scale, s.picture, field, false);
    const QString tif = dir.filePath("temperature.tif");
    const QJsonObject info = gdalInfo(tif);

    // GDAL's isotherm of 50.5 °F, back in chart pixels, lies on ours; it also runs along the
    // coast where ours leaves a gap, so most of it, not all.
    const float temperature = 50.5f;
    const QString contours = dir.filePath("contours.geojson");
    toolOutput("gdal_contour",
               {"-q", "-f", "GeoJSON", "-fl", QString::number(temperature), tif, contours});
    QFile file(contours);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QJsonArray features = QJsonDocument::fromJson(file.readAll())["features"].toArray();
    const QJsonArray transform = info["geoTransform"].toArray();
    std::vector<std::pair<QPointF, QPointF>> ours;
    const std::vector<geo::Isotherm> isotherms = geo::findIsotherms(field, {temperature});
    for (const geo::IsothermLine& line : isotherms[0].lines)
        for (std::size_t i = 1; i < line.points.size(); ++i)
            ours.push_back({line.points[i - 1], line.points[i]});
    int vertices = 0, near = 0;
    for (const QJsonValue& feature : features)
        for (const QJsonValue& vertex : feature["geometry"]["coordinates"].toArray()) {
            const QPointF p(
                (vertex[0].toDouble() - transform[0].toDouble()) / transform[1].toDouble(),
                (vertex[1].toDouble() - transform[3].toDouble()) / transform[5].toDouble());
            ++vertices;
            near += std::any_of(ours.begin(), ours.end(), [&](const auto& segment) {
                const auto [a, b] = segment;
                const QPointF ab = b - a;
                const double t = std::clamp(QPointF::dotProduct(p - a, ab) /
                                                std::max(QPointF::dotProduct(ab, ab), 1e-12),
                                            0.0, 1.0);
                const QPointF d = p - (a + t * ab);
                return QPointF::dotProduct(d, d) <= 1.0;
            });
        }
    EXPECT_GT(vertices, 1000);
    EXPECT_GT(near, vertices * 19 / 20) << near << " of " << vertices << " within a pixel";
}

// Every writer refuses a missing folder with its name, and a chart with no place on the earth;
// nothing is left behind.
TEST(RasterExport, ARefusedWriteLeavesNoFileAndSaysWhy) {
    exports::ExportLayers layers;
    layers.picture = sample().picture;
    QTemporaryDir dir;
    const QString missing = dir.filePath("no such folder/chart");
    const exports::ChartGeoreference& chart = sample().chart;
    QString errors[5];
    EXPECT_FALSE(exports::writeKap(missing + ".kap", chart, layers, &errors[0]));
    EXPECT_FALSE(exports::writeGeoTiff(missing + ".tif", chart, layers,
                                       exports::GeoTiffContent::Picture, &errors[1]));
    EXPECT_FALSE(exports::writeMbtiles(missing + ".mbtiles", chart, layers, &errors[2]));
    EXPECT_FALSE(exports::writeKmz(missing + ".kmz", chart, layers, &errors[3]));
    for (int i = 0; i < 4; ++i)
        EXPECT_TRUE(errors[i].contains("no such folder")) << errors[i].toStdString();
    EXPECT_FALSE(exports::writeMbtiles(dir.filePath("nowhere.mbtiles"),
                                       exports::chartGeoreference(0, 1, 1), layers, &errors[4]));
    EXPECT_FALSE(errors[4].isEmpty());
    EXPECT_TRUE(QDir(dir.path()).isEmpty());
}

} // namespace
