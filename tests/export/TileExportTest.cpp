// MBTiles and KMZ exports read back by GDAL: every pixel GDAL gives lies within half a chart
// pixel of the chart pixel whose colour it carries, at every zoom, and off the chart it is clear.
#include "export/KmzWriter.h"
#include "export/MbtilesWriter.h"

#include "geo/vekMapping.h"

#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTimeZone>

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>

namespace {

// Prints the driver and the metadata, then every third pixel of the
// raster as "x y band...", x and y the georeferenced centre of the pixel. Of MBTiles, each
// shallower zoom follows as a raster of its own, on its whole tiles.
const char* const ReadBack = R"(
import sys
from osgeo import gdal
gdal.UseExceptions()
def dump(ds):
    gt, w, h = ds.GetGeoTransform(), ds.RasterXSize, ds.RasterYSize
    data = [ds.GetRasterBand(i + 1).ReadRaster() for i in range(ds.RasterCount)]
    print('L')
    for y in range(0, h, 3):
        for x in range(0, w, 3):
            print(gt[0] + (x + .5) * gt[1], gt[3] + (y + .5) * gt[5], *[d[y * w + x] for d in data])
ds = gdal.Open(sys.argv[1])
print('D', ds.GetDriver().ShortName)
for k, v in ds.GetMetadata().items(): print('M', k + '=' + v)
dump(ds)
if ds.GetDriver().ShortName == 'MBTiles':
    for z in range(int(ds.GetMetadataItem('minzoom')), int(ds.GetMetadataItem('maxzoom'))):
        dump(gdal.OpenEx(sys.argv[1], open_options=['ZOOM_LEVEL=%d' % z, 'USE_BOUNDS=NO']))
)";

constexpr int Width = 200, Height = 150;

// Each pixel's colour names it.
QImage namedPixels() {
    QImage image(Width, Height, QImage::Format_RGB32);
    for (int y = 0; y < Height; ++y)
        for (int x = 0; x < Width; ++x)
            image.setPixel(x, y, qRgb(x & 255, y & 255, (x >> 8) | (y >> 8) << 4));
    return image;
}

exports::ChartGeoreference sampleChart() {
    auto chart = exports::chartGeoreference(RecogniseArea("ne01"), Width, Height);
    chart.name = "AREA-NE01";
    chart.chartTime = QDateTime(QDate(2026, 12, 1), QTime(12, 0), Qt::UTC);
    return chart;
}

struct Level {
    int samples = 0, onChart = 0;
};
struct ReadBackResult {
    QString driver;
    QMap<QString, QString> metadata;
    std::vector<Level> levels;
};

// Reads the file with GDAL and checks each pixel against PixelToGeo; toDegrees turns GDAL's
// coordinates into longitude and latitude. Nothing when python3's GDAL is missing.
std::optional<ReadBackResult> readBackAndCheck(const QString& path,
                                               QPointF (*toDegrees)(double, double)) {
    // GDAL's Python bindings come with the system's python3, which another one may shadow.
    QString python;
    for (const QString& candidate :
         {QStandardPaths::findExecutable("python3"), QStringLiteral("/usr/bin/python3")})
        if (python.isEmpty() && !candidate.isEmpty() &&
            QProcess::execute(candidate, {"-c", "from osgeo import gdal"}) == 0)
            python = candidate;
    if (python.isEmpty()) return std::nullopt;
    QProcess gdal;
    gdal.start(python, {"-c", ReadBack, path});
    EXPECT_TRUE(gdal.waitForFinished(60000));
    EXPECT_EQ(gdal.exitCode(), 0) << gdal.readAllStandardError().toStdString();

    const auto calibration = sampleChart().calibration;
    auto centre = [&](int x, int y) {
        float lat = 0, lon = 0;
        PixelToGeo(calibration, x, y, lat, lon);
        return QPointF(lon, lat);
    };
    const QPointF first = centre(0, 0), step = centre(1, 1) - first;
    const QPointF last = centre(Width - 1, Height - 1),
                  stepLast = last - centre(Width - 2, Height - 2);
    ReadBackResult result;
    for (const QByteArray& line : gdal.readAllStandardOutput().split('\n')) {
        const QList<QByteArray> f = line.split(' ');
        if (f[0] == "D") result.driver = f.value(1);
        if (f[0] == "M") {
            const QString entry = QString::fromUtf8(line.mid(2));
            result.metadata.insert(entry.section('=', 0, 0), entry.section('=', 1));
        }
        if (f[0] == "L") result.levels.emplace_back();
        if (f.size() < 5 || f[0] == "M") continue;
        Level& level = result.levels.back();
        ++level.samples;
        const QPointF p = toDegrees(f[0].toDouble(), f[1].toDouble());
        const int alpha = f.size() > 5 ? f[5].toInt() : 255;
        if (alpha == 0) {
            // Clear only off the chart: beyond the outer edges of its outer pixels.
            const bool off =
                p.x() < first.x() - 0.49 * step.x() || p.x() > last.x() + 0.49 * stepLast.x() ||
                p.y() > first.y() - 0.49 * step.y() || p.y() < last.y() + 0.49 * stepLast.y();
            EXPECT_TRUE(off) << "clear on the chart at " << p.x() << " " << p.y();
            continue;
        }
        ++level.onChart;
        const int r = f[2].toInt(), g = f[3].toInt(), b = f[4].toInt();
        const int x = r | (b & 15) << 8, y = g | (b >> 4) << 8;
        if (x >= Width || y >= Height) {
            ADD_FAILURE() << "not a chart colour: " << line.toStdString();
            continue;
        }
        const QPointF c = centre(x, y);
        const double halfWidth = std::abs(centre(x + 1, y).x() - c.x()) / 2;
        const double halfHeight = std::max(std::abs(centre(x, y - 1).y() - c.y()),
                                           std::abs(centre(x, y + 1).y() - c.y())) /
                                  2;
        EXPECT_LE(std::abs(p.x() - c.x()), halfWidth * 1.01) << line.toStdString();
        EXPECT_LE(std::abs(p.y() - c.y()), halfHeight * 1.01) << line.toStdString();
    }
    return result;
}

QPointF webMercatorToDegrees(double x, double y) {
    const double r = 6378137.0, d = 180 / std::numbers::pi;
    return {x / r * d, std::atan(std::sinh(y / r)) * d};
}

QPointF degrees(double x, double y) {
    return {x, y};
}

TEST(TileExport, MbtilesPlacedByGdalAtEveryZoom) {
    QTemporaryDir dir;
    dir.setAutoRemove(false);
    fprintf(stderr, "DIR %s\n", qPrintable(dir.path()));
    const QString path = dir.filePath("chart.mbtiles");
    const auto chart = sampleChart();
    exports::ExportLayers layers;
    layers.picture = namedPixels();
    QString error;
    ASSERT_TRUE(exports::writeMbtiles(path, chart, layers, &error)) << error.toStdString();

    const auto read = readBackAndCheck(path, webMercatorToDegrees);
    if (!read) GTEST_SKIP() << "python3 with GDAL is not installed; the read-back is skipped";
    EXPECT_EQ(read->driver, "MBTiles");
    const auto& m = read->metadata;
    EXPECT_EQ(m["format"], "png");
    EXPECT_EQ(m["type"], "overlay");
    EXPECT_EQ(m["name"], "AREA-NE01");
    EXPECT_TRUE(m["description"].contains("2026-12-01 12:00")) << m["description"].toStdString();
    EXPECT_EQ(m["center"].split(',').size(), 3);
    // The deepest zoom is the first whose tile pixel is no larger than the chart's.
    const int minZoom = m["minzoom"].toInt(), maxZoom = m["maxzoom"].toInt();
    const double tilePixel = 2 * std::numbers::pi * 6378137.0 / 256 / (1 << maxZoom);
    const double chartPixel =
        std::min(chart.webMercatorPixelWidth(), chart.webMercatorPixelHeight());
    // The bounds hold the chart, widened by less than a tile pixel onto the tile grid.
    const QStringList bounds = m["bounds"].split(',');
    ASSERT_EQ(bounds.size(), 4);
    const double slack = tilePixel / 6378137.0 * 180 / std::numbers::pi;
    const double edges[] = {chart.west(), chart.south(), chart.east(), chart.north()};
    for (int i = 0; i < 4; ++i)
        EXPECT_NEAR(bounds[i].toDouble(), edges[i] + (i < 2 ? -slack : slack) / 2, slack / 2) << i;
    EXPECT_LE(tilePixel, chartPixel);
    EXPECT_GT(2 * tilePixel, chartPixel);
    EXPECT_LT(minZoom, maxZoom);
    EXPECT_EQ(int(read->levels.size()), maxZoom - minZoom + 1);
    for (const Level& level : read->levels)
        EXPECT_GT(level.onChart, 0);
    // At the deepest zoom every chart pixel has a tile pixel: every third one sees 1/9 of them.
    EXPECT_GE(read->levels[0].onChart, Width * Height / 9);
}

TEST(TileExport, KmzRowsSitOnTheirLatitudes) {
    QTemporaryDir dir;
    const QString path = dir.filePath("chart.kmz");
    const auto chart = sampleChart();
    exports::ExportLayers layers;
    layers.picture = namedPixels();
    QString error;
    // GDAL reads a KMZ's picture when the overlay is all it holds.
    ASSERT_TRUE(exports::writeKmz(path, chart, layers, &error)) << error.toStdString();
    const auto read = readBackAndCheck(path, degrees);
    if (!read) GTEST_SKIP() << "python3 with GDAL is not installed; the read-back is skipped";
    ASSERT_EQ(read->levels.size(), 1u);
    EXPECT_GE(read->levels[0].onChart, Width * Height / 9);

    layers.lines.push_back({"Break 2.1F/NM", "break", {{10.5, 20.5}, {120.5, 90.5}, {190, 140}}});
    layers.waypoints = {{43.2f, -70.8f, 58.2f}, {43.1f, -70.6f, 0.0f}};
    layers.home = geo::TrackPoint{43.3, -70.9};
    ASSERT_TRUE(exports::writeKmz(path, chart, layers, &error)) << error.toStdString();
    const QString ogrinfo = QStandardPaths::findExecutable("ogrinfo");
    if (ogrinfo.isEmpty()) GTEST_SKIP() << "ogrinfo is not installed; doc.kml is not read back";
    QProcess ogr;
    ogr.start(ogrinfo, {"-ro", "-al", "/vsizip/" + path + "/doc.kml"});
    ASSERT_TRUE(ogr.waitForFinished(20000));
    const QString features = ogr.readAllStandardOutput();
    EXPECT_EQ(ogr.exitCode(), 0) << features.toStdString();
    for (const char* layer : {"Lines\\s+Geometry: .*\\s+Feature Count: 1\\b",
                              "Waypoints\\s+Geometry: .*\\s+Feature Count: 3\\b"})
        EXPECT_TRUE(features.contains(QRegularExpression(layer))) << layer;
    EXPECT_EQ(features.count("LINESTRING ("), 1) << features.toStdString();
    // The line's first point is the centre of chart pixel (10, 20), where PixelToGeo puts it.
    const auto start = QRegularExpression("LINESTRING \\(([-.\\d]+) ([-.\\d]+)").match(features);
    float lat = 0, lon = 0;
    PixelToGeo(chart.calibration, 10, 20, lat, lon);
    EXPECT_NEAR(start.captured(1).toDouble(), lon, 1e-5);
    EXPECT_NEAR(start.captured(2).toDouble(), lat, 1e-5);
    EXPECT_EQ(features.count("POINT ("), 3);
}

} // namespace
