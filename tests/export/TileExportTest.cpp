// MBTiles and KMZ exports read back by GDAL: every pixel GDAL gives lies within half a chart
// pixel of the chart pixel whose colour it carries, at every zoom, and off the chart it is clear.
#include "export/KmzWriter.h"
#include "export/MbtilesWriter.h"

#include "geo/TemperatureBreaks.h"
#include "geo/vekMapping.h"
#include "support/ToolRun.h"

#include <QRegularExpression>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>
#include <set>

namespace {

// Prints the metadata, then every pixel of the raster as "x y band...", x and y the
// georeferenced centre of the pixel. Of MBTiles, every third pixel of each shallower zoom
// follows, on its whole tiles.
const char* const ReadBackScript = R"(
import sys
from osgeo import gdal
gdal.UseExceptions()
def dump(ds, step):
    gt, w, h = ds.GetGeoTransform(), ds.RasterXSize, ds.RasterYSize
    data = [ds.GetRasterBand(i + 1).ReadRaster() for i in range(ds.RasterCount)]
    sys.stdout.write('L\n' + ''.join('%r %r %s\n' % (gt[0] + (x + .5) * gt[1], gt[3] + (y + .5) * gt[5],
        ' '.join(str(d[y * w + x]) for d in data)) for y in range(0, h, step) for x in range(0, w, step)))
ds = gdal.Open(sys.argv[1])
for k, v in ds.GetMetadata().items(): print('M', k + '=' + v)
dump(ds, 1)
if ds.GetDriver().ShortName == 'MBTiles':
    for z in range(int(ds.GetMetadataItem('minzoom')), int(ds.GetMetadataItem('maxzoom'))):
        dump(gdal.OpenEx(sys.argv[1], open_options=['ZOOM_LEVEL=%d' % z, 'USE_BOUNDS=NO']), 3)
)";

constexpr int Width = 100, Height = 600; // tall enough for rows to narrow northwards

// A chart of area ne01 whose pixels' colours name them: red is the column, green and blue the
// row.
exports::ChartGeoreference sampleChart(exports::ExportLayers& layers) {
    layers.picture = QImage(Width, Height, QImage::Format_RGB32);
    for (int y = 0; y < Height; ++y)
        for (int x = 0; x < Width; ++x)
            layers.picture.setPixel(x, y, qRgb(x, y & 255, y >> 8));
    auto chart = exports::chartGeoreference(RecogniseArea("ne01"), Width, Height);
    chart.name = "AREA-NE01";
    chart.chartTime = QDateTime(QDate(2026, 12, 1), QTime(12, 0), Qt::UTC);
    chart.source = "Brinecast";
    return chart;
}

struct ReadBack {
    QMap<QString, QString> metadata;
    std::vector<int> pixelsOnChart;   // per raster read
    std::set<int> chartPixelsInFirst; // the chart pixels the first raster shows, y * Width + x
};

// Reads the file with GDAL and checks every pixel it gives: one of the chart's colours lies
// within half a chart pixel of that pixel's centre as PixelToGeo places it, and a clear one lies
// off the chart. toDegrees turns GDAL's coordinates into longitude and latitude. Nothing when
// python3's GDAL is missing.
std::optional<ReadBack> readBackAndCheck(const QString& path,
                                         QPointF (*toDegrees)(double, double)) {
    const QString python = pythonWithGdal();
    if (python.isEmpty()) return std::nullopt;
    const QByteArray dump = toolOutput(python, {"-c", ReadBackScript, path});

    const auto calibration = geo::Calibration::forArea(RecogniseArea("ne01"));
    auto centre = [&](int x, int y) {
        float lat = 0, lon = 0;
        PixelToGeo(calibration, x, y, lat, lon);
        return QPointF(lon, lat);
    };
    // The outer edges, half a pixel beyond the outer pixels' centres.
    const QPointF northWest = (3 * centre(0, 0) - centre(1, 1)) / 2;
    const QPointF southEast =
        (3 * centre(Width - 1, Height - 1) - centre(Width - 2, Height - 2)) / 2;
    ReadBack result;
    for (const QByteArray& line : dump.split('\n')) {
        const QList<QByteArray> f = line.split(' ');
        if (f[0] == "M") {
            const QString entry = QString::fromUtf8(line.mid(2));
            result.metadata.insert(entry.section('=', 0, 0), entry.section('=', 1));
        }
        if (f[0] == "L") result.pixelsOnChart.push_back(0);
        if (f.size() < 6 || f[0] == "M") continue;
        const QPointF p = toDegrees(f[0].toDouble(), f[1].toDouble());
        if (f[5].toInt() == 0) {
            const QPointF in = p - northWest, inFromSouthEast = southEast - p;
            EXPECT_TRUE(in.x() < 1e-4 || in.y() > -1e-4 || inFromSouthEast.x() < 1e-4 ||
                        inFromSouthEast.y() > -1e-4)
                << "clear on the chart: " << line.toStdString();
            continue;
        }
        ++result.pixelsOnChart.back();
        const int x = f[2].toInt(), y = f[3].toInt() | f[4].toInt() << 8;
        if (x >= Width || y >= Height) {
            ADD_FAILURE() << "not a chart colour: " << line.toStdString();
            continue;
        }
        if (result.pixelsOnChart.size() == 1) result.chartPixelsInFirst.insert(y * Width + x);
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

TEST(TileExport, MbtilesPlacedByGdalAtEveryZoom) {
    QTemporaryDir dir;
    const QString path = dir.filePath("chart.mbtiles");
    exports::ExportLayers layers;
    const auto chart = sampleChart(layers);
    QString error;
    ASSERT_TRUE(exports::writeMbtiles(path, chart, layers, &error)) << error.toStdString();
    const auto read = readBackAndCheck(path, webMercatorToDegrees);
    if (!read) GTEST_SKIP() << "python3 with GDAL is not installed; the read-back is skipped";

    auto m = read->metadata;
    EXPECT_EQ(m["format"] + m["type"] + m["name"], "pngoverlayAREA-NE01");
    EXPECT_TRUE(m["description"].contains("2026-12-01 12:00")) << m["description"].toStdString();
    EXPECT_EQ(m["attribution"], "Sea surface temperature chart AREA-NE01 of 2026-12-01 12:00 UTC "
                                "from Brinecast");
    // The deepest zoom is the first whose tile pixel is no larger than the chart's.
    const int minZoom = m["minzoom"].toInt(), maxZoom = m["maxzoom"].toInt();
    const double tilePixel = 2 * std::numbers::pi * 6378137.0 / 256 / (1 << maxZoom);
    const double chartPixel =
        std::min(chart.webMercatorPixelWidth(), chart.webMercatorPixelHeight());
    EXPECT_TRUE(tilePixel <= chartPixel && chartPixel < 2 * tilePixel) << maxZoom;
    EXPECT_LT(minZoom, maxZoom);
    // The bounds hold the chart, widened by less than a tile pixel onto the tile grid.
    const QStringList bounds = m["bounds"].split(',');
    const double slack = tilePixel / 6378137.0 * 180 / std::numbers::pi;
    const double edges[] = {chart.west(), chart.south(), chart.east(), chart.north()};
    for (int i = 0; i < 4; ++i)
        EXPECT_NEAR(bounds.value(i).toDouble(), edges[i] + (i < 2 ? -slack : slack) / 2, slack / 2);
    ASSERT_EQ(int(read->pixelsOnChart.size()), maxZoom - minZoom + 1);
    for (int n : read->pixelsOnChart)
        EXPECT_GT(n, 0);
    EXPECT_EQ(read->chartPixelsInFirst.size(), std::size_t(Width * Height)); // none lost
}

TEST(TileExport, KmzRowsSitOnTheirLatitudes) {
    QTemporaryDir dir;
    const QString path = dir.filePath("chart.kmz");
    exports::ExportLayers layers;
    const auto chart = sampleChart(layers);
    QString error;
    // GDAL reads a KMZ's picture when the overlay is all it holds.
    ASSERT_TRUE(exports::writeKmz(path, chart, layers, &error)) << error.toStdString();
    const auto read = readBackAndCheck(path, [](double x, double y) { return QPointF(x, y); });
    if (!read) GTEST_SKIP() << "python3 with GDAL is not installed; the read-back is skipped";
    ASSERT_EQ(read->pixelsOnChart.size(), 1u);
    EXPECT_EQ(read->chartPixelsInFirst.size(), std::size_t(Width * Height)); // none lost

    layers.lines.push_back({"Break 2.1F/NM",
                            "break",
                            {{{10.5, 20.5}, {60.5, 90.5}, {90, 540}}},
                            geo::TrackKind::Break,
                            2.1f});
    layers.waypoints = {{43.2f, -70.8f, 58.2f}, {43.1f, -70.6f, 0.0f}};
    layers.home = geo::TrackPoint{43.3, -70.9};
    ASSERT_TRUE(exports::writeKmz(path, chart, layers, &error)) << error.toStdString();
    SKIP_WITHOUT_TOOLS("ogrinfo");
    const QString features = toolOutput("ogrinfo", {"-ro", "-al", "/vsizip/" + path + "/doc.kml"});
    EXPECT_EQ(features.count("POINT ("), 3) << features.toStdString();
    // The line's first point is the centre of chart pixel (10, 20), where PixelToGeo puts it.
    const auto start = QRegularExpression("LINESTRING \\(([-.\\d]+) ([-.\\d]+)").match(features);
    float lat = 0, lon = 0;
    PixelToGeo(chart.calibration, 10, 20, lat, lon);
    EXPECT_NEAR(start.captured(1).toDouble(), lon, 1e-5);
    EXPECT_NEAR(start.captured(2).toDouble(), lat, 1e-5);

    // The line in the window's break colour (KML's aabbggrr) and dated as the overlay is.
    SKIP_WITHOUT_TOOLS("unzip");
    const QString kml = toolOutput("unzip", {"-p", path, "doc.kml"});
    const QColor colour = geo::breakLineColour();
    const QString kmlColour =
        QString::asprintf("ff%02x%02x%02x", colour.blue(), colour.green(), colour.red());
    EXPECT_TRUE(kml.contains("<Style id=\"break\">") && kml.contains(kmlColour))
        << kmlColour.toStdString();
    EXPECT_EQ(kml.count("<styleUrl>#break</styleUrl>"), 1);
    EXPECT_EQ(kml.count("<when>2026-12-01T12:00:00Z</when>"), 2);
}

} // namespace
