// The KAP and GeoTIFF exports read back by GDAL's own tools: where GDAL places the chart's
// pixels, the colours it reads from the KAP, the temperature grid and the isotherms GDAL draws on
// it, on the sample chart of area ne01.
#include "export/GeoTiffWriter.h"
#include "export/KapWriter.h"

#include "geo/Isotherms.h"
#include "geo/Palette.h"
#include "geo/TemperatureBreaks.h"
#include "geo/TemperatureScale.h"
#include "geo/vekMapping.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTimeZone>

#include <cmath>
#include <cstring>
#include <map>

namespace {

const QString SampleChart = QStringLiteral(THALWISE_SOURCE_DIR "/resources/samples/area-ne01.gif");

bool haveGdalTools() {
    for (const char* tool : {"gdalinfo", "gdaltransform", "gdal_translate", "gdal_contour"})
        if (QStandardPaths::findExecutable(QString::fromLatin1(tool)).isEmpty()) return false;
    return true;
}
#define SKIP_WITHOUT_GDAL()                                                                        \
    if (!haveGdalTools()) GTEST_SKIP() << "GDAL's command-line tools (gdal-bin) are not installed"

QByteArray run(const QString& program, const QStringList& args, const QByteArray& input = {}) {
    QProcess process;
    process.start(program, args);
    process.write(input);
    process.closeWriteChannel();
    process.waitForFinished(120000);
    EXPECT_EQ(process.exitCode(), 0)
        << program.toStdString() << ": " << process.readAllStandardError().toStdString();
    return process.readAllStandardOutput();
}

QJsonObject gdalInfo(const QString& file) {
    return QJsonDocument::fromJson(run("gdalinfo", {"-json", file})).object();
}

// Band 1 of a raster as GDAL reads it, through a raw copy.
QByteArray gdalBand(const QString& file, const QString& rawFile) {
    run("gdal_translate", {"-q", "-of", "ENVI", "-b", "1", file, rawFile});
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
    ASSERT_FALSE(s.picture.isNull()) << SampleChart.toStdString();
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
        centres += QByteArray::number(x + 0.5) + ' ' + QByteArray::number(y + 0.5) + '\n';
    // Well within half a pixel: the GeoTIFF's transform is exact, the KAP's is what GDAL fits
    // to its REF points on the WGS84 ellipsoid.
    for (const auto& [file, tolerance] : {std::pair{kap, 0.1}, std::pair{tif, 0.01}}) {
        SCOPED_TRACE(file.toStdString());
        const QJsonObject info = gdalInfo(file);
        EXPECT_EQ(info["geoTransform"].toArray().size(), 6) << "GDAL found no transform";
        const QList<QByteArray> lines =
            run("gdaltransform", {"-t_srs", "EPSG:4326", "-output_xy", file}, centres).split('\n');
        ASSERT_GE(lines.size(), qsizetype(std::size(pixels)));
        for (std::size_t i = 0; i < std::size(pixels); ++i) {
            const auto [x, y] = pixels[i];
            const QList<QByteArray> lonLat = lines[qsizetype(i)].simplified().split(' ');
            ASSERT_EQ(lonLat.size(), 2) << lines[qsizetype(i)].toStdString();
            float lat = 0, lon = 0, nextLat = 0, nextLon = 0;
            ASSERT_TRUE(PixelToGeo(s.chart.calibration, x, y, lat, lon));
            ASSERT_TRUE(PixelToGeo(s.chart.calibration, x + 1, y + 1, nextLat, nextLon));
            EXPECT_NEAR(lonLat[0].toDouble(), lon, tolerance * std::abs(nextLon - lon))
                << "pixel " << x << "," << y;
            EXPECT_NEAR(lonLat[1].toDouble(), lat, tolerance * std::abs(nextLat - lat))
                << "pixel " << x << "," << y;
        }
    }
}

// GDAL's colour of every pixel of a KAP, through its colour table.
std::vector<QRgb> kapColours(const QString& kap, const QString& rawFile) {
    const QJsonArray table = gdalInfo(kap)["bands"][0]["colorTable"]["entries"].toArray();
    const QByteArray indices = gdalBand(kap, rawFile);
    std::vector<QRgb> colours;
    for (const char index : indices) {
        const QJsonArray entry = table[std::uint8_t(index)].toArray();
        colours.push_back(qRgb(entry[0].toInt(), entry[1].toInt(), entry[2].toInt()));
    }
    return colours;
}

TEST(RasterExport, KapColoursAreThePicturesOrTheNearestItKeeps) {
    SKIP_WITHOUT_GDAL();
    const Sample& s = sample();
    ASSERT_FALSE(s.picture.isNull()) << SampleChart.toStdString();
    QTemporaryDir dir;
    // The sample has about 220 colours; with its blue and green channels coarsened it has fewer
    // than 127, and those must come back exactly.
    exports::ExportLayers coarse;
    coarse.picture = s.picture;
    for (int y = 0; y < coarse.picture.height(); ++y) {
        QRgb* row = reinterpret_cast<QRgb*>(coarse.picture.scanLine(y));
        for (int x = 0; x < coarse.picture.width(); ++x)
            row[x] &= 0xffffc0c0u;
    }
    exports::ExportLayers full;
    full.picture = s.picture;
    for (const exports::ExportLayers* layers : {&coarse, &full}) {
        const QImage& picture = layers->picture;
        std::map<QRgb, int> own;
        for (int y = 0; y < picture.height(); ++y)
            for (int x = 0; x < picture.width(); ++x)
                ++own[picture.pixel(x, y)];
        SCOPED_TRACE(own.size());
        QString error;
        const QString kap = dir.filePath("colours.kap");
        ASSERT_TRUE(exports::writeKap(kap, s.chart, *layers, &error)) << error.toStdString();
        const std::vector<QRgb> read = kapColours(kap, dir.filePath("colours.raw"));
        ASSERT_EQ(read.size(), std::size_t(picture.width()) * picture.height());
        std::vector<QRgb> kept(read.begin(), read.end());
        std::sort(kept.begin(), kept.end());
        kept.erase(std::unique(kept.begin(), kept.end()), kept.end());
        EXPECT_EQ(kept.size(), std::min<std::size_t>(own.size(), 127));
        const auto distance = [](QRgb a, QRgb b) {
            return std::pow(qRed(a) - qRed(b), 2) + std::pow(qGreen(a) - qGreen(b), 2) +
                   std::pow(qBlue(a) - qBlue(b), 2);
        };
        std::map<std::pair<QRgb, QRgb>, int> pairs; // (picture's colour, KAP's colour)
        for (int y = 0; y < picture.height(); ++y)
            for (int x = 0; x < picture.width(); ++x)
                ++pairs[{picture.pixel(x, y), read[std::size_t(y) * picture.width() + x]}];
        int wrong = 0;
        for (const auto& [pair, count] : pairs)
            for (const QRgb other : kept)
                wrong +=
                    distance(pair.first, other) < distance(pair.first, pair.second) ? count : 0;
        EXPECT_EQ(wrong, 0) << "pixels whose KAP colour is not the nearest one kept";
        if (own.size() <= 127) {
            for (std::size_t i = 0; i < read.size(); ++i)
                ASSERT_EQ(read[i],
                          picture.pixel(int(i) % picture.width(), int(i) / picture.width()));
        }
    }
}

// Runs of 129 and 257 pixels have a count whose last byte would be 0; a row still holds a 0
// byte only at its end, the index at the end of the file finds every row, and GDAL reads them
// (GDAL cannot open a KAP under about 2 KB, so the picture has 200 rows).
TEST(RasterExport, KapRowsHoldAZeroByteOnlyAtTheirEndAndTheIndexFindsThem) {
    SKIP_WITHOUT_GDAL();
    exports::ExportLayers layers;
    layers.picture = QImage(400, 200, QImage::Format_RGB32);
    layers.picture.fill(qRgb(10, 20, 30));
    for (int x = 129; x < 129 + 257; ++x)
        layers.picture.setPixel(x, 1, qRgb(200, 20, 30));
    exports::ChartGeoreference chart = sample().chart;
    chart.width = 400;
    chart.height = 200;
    QTemporaryDir dir;
    const QString kap = dir.filePath("runs.kap");
    QString error;
    ASSERT_TRUE(exports::writeKap(kap, chart, layers, &error)) << error.toStdString();
    QFile file(kap);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray bytes = file.readAll();
    const auto bigEndian = [&](qsizetype at) {
        return qsizetype(std::uint8_t(bytes[at])) << 24 | std::uint8_t(bytes[at + 1]) << 16 |
               std::uint8_t(bytes[at + 2]) << 8 | std::uint8_t(bytes[at + 3]);
    };
    const qsizetype index = bigEndian(bytes.size() - 4);
    ASSERT_EQ(index, bytes.size() - 4 * (chart.height + 1));
    for (int row = 0; row < chart.height; ++row) {
        const qsizetype start = bigEndian(index + 4 * row);
        const qsizetype end = row + 1 < chart.height ? bigEndian(index + 4 * (row + 1)) : index;
        // The row number, 7 bits a byte, counting from 1; then runs up to the only 0.
        qsizetype at = start;
        int number = bytes[at] & 0x7f;
        while (bytes[at++] & 0x80)
            number = number * 128 + (bytes[at] & 0x7f);
        EXPECT_EQ(number, row + 1);
        EXPECT_EQ(bytes.indexOf(char(0), at), end - 1) << "row " << row;
    }
    const std::vector<QRgb> read = kapColours(kap, dir.filePath("runs.raw"));
    ASSERT_EQ(read.size(), 400u * 200u);
    for (std::size_t i = 0; i < read.size(); ++i)
        ASSERT_EQ(read[i], layers.picture.pixel(int(i % 400), int(i / 400))) << i;
}

// The distance (pixels) from p to the nearest segment of the lines, looked up in 4-pixel cells.
class NearestSegment {
public:
    explicit NearestSegment(const std::vector<geo::IsothermLine>& lines) {
        for (const geo::IsothermLine& line : lines)
            for (std::size_t i = 1; i < line.points.size(); ++i)
                m_cells[cell(line.points[i])].push_back({line.points[i - 1], line.points[i]});
    }
    double distance(QPointF p) const {
        double best = 1e9;
        const auto [cx, cy] = cell(p);
        for (int dx = -1; dx <= 1; ++dx)
            for (int dy = -1; dy <= 1; ++dy) {
                const auto found = m_cells.find({cx + dx, cy + dy});
                if (found == m_cells.end()) continue;
                for (const auto& [a, b] : found->second) {
                    const QPointF ab = b - a;
                    const double len = QPointF::dotProduct(ab, ab);
                    const double t =
                        len > 0 ? std::clamp(QPointF::dotProduct(p - a, ab) / len, 0.0, 1.0) : 0.0;
                    const QPointF d = p - (a + t * ab);
                    best = std::min(best, std::hypot(d.x(), d.y()));
                }
            }
        return best;
    }

private:
    static std::pair<int, int> cell(QPointF p) {
        return {int(std::floor(p.x() / 4)), int(std::floor(p.y() / 4))};
    }
    std::map<std::pair<int, int>, std::vector<std::pair<QPointF, QPointF>>> m_cells;
};

TEST(RasterExport, TemperatureGridIsThePointersAndGdalDrawsOurIsotherms) {
    SKIP_WITHOUT_GDAL();
    const Sample& s = sample();
    ASSERT_FALSE(s.picture.isNull()) << SampleChart.toStdString();
    const geo::TemperatureField field = geo::temperatureField(s.scale, s.picture);
    exports::ExportLayers layers;
    layers.temperature = field.values;
    QTemporaryDir dir;
    const QString tif = dir.filePath("temperature.tif");
    QString error;
    ASSERT_TRUE(
        exports::writeGeoTiff(tif, s.chart, layers, exports::GeoTiffContent::Temperature, &error))
        << error.toStdString();

    const QJsonObject info = gdalInfo(tif);
    const QJsonObject band = info["bands"][0].toObject();
    EXPECT_EQ(band["type"].toString(), "Float32");
    EXPECT_EQ(band["noDataValue"].toDouble(-1), 0.0);
    const QByteArray raw = gdalBand(tif, dir.filePath("temperature.raw"));
    ASSERT_EQ(raw.size(), qsizetype(field.values.size() * sizeof(float)));
    std::vector<float> read(field.values.size());
    std::memcpy(read.data(), raw.constData(), std::size_t(raw.size()));
    int differ = 0, none = 0;
    for (std::size_t i = 0; i < read.size(); ++i) {
        differ += read[i] != field.values[i];
        none += read[i] == 0.0f;
    }
    EXPECT_EQ(differ, 0);
    EXPECT_GT(none, 1000) << "the sample's land and cloud read no temperature";
    for (const auto& [x, y] : {std::pair{300, 200}, {700, 800}, {1023, 1023}})
        EXPECT_EQ(read[std::size_t(y) * 1024 + x], s.scale.TemperatureAtPixel(s.picture, x, y));

    // GDAL's isotherm of 50.5 °F, back in chart pixels, lies on ours; it also runs along the
    // coast where ours leaves a gap, so most of it, not all.
    const float temperature = 50.5f;
    const QString contours = dir.filePath("contours.geojson");
    run("gdal_contour",
        {"-q", "-f", "GeoJSON", "-fl", QString::number(temperature), tif, contours});
    QFile file(contours);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QJsonArray features = QJsonDocument::fromJson(file.readAll())["features"].toArray();
    const QJsonArray transform = info["geoTransform"].toArray();
    const NearestSegment ours(geo::findIsotherms(field, {temperature})[0].lines);
    int vertices = 0, near = 0;
    for (const QJsonValue& feature : features)
        for (const QJsonValue& vertex : feature["geometry"]["coordinates"].toArray()) {
            const QPointF pixel(
                (vertex[0].toDouble() - transform[0].toDouble()) / transform[1].toDouble(),
                (vertex[1].toDouble() - transform[3].toDouble()) / transform[5].toDouble());
            ++vertices;
            near += ours.distance(pixel) <= 1.0;
        }
    EXPECT_GT(vertices, 1000);
    EXPECT_GT(near, vertices * 19 / 20) << near << " of " << vertices << " within a pixel";
}

TEST(RasterExport, ARefusedWriteLeavesNoFileAndSaysWhy) {
    const Sample& s = sample();
    exports::ExportLayers layers;
    layers.picture = s.picture;
    layers.temperature.assign(std::size_t(s.chart.width) * s.chart.height, 50.0f);
    QTemporaryDir dir;
    const QString missing = dir.filePath("no such folder");
    const auto writers = {
        +[](const QString& p, const exports::ChartGeoreference& c, const exports::ExportLayers& l,
            QString* e) { return exports::writeKap(p, c, l, e); },
        +[](const QString& p, const exports::ChartGeoreference& c, const exports::ExportLayers& l,
            QString* e) {
            return exports::writeGeoTiff(p, c, l, exports::GeoTiffContent::Picture, e);
        },
        +[](const QString& p, const exports::ChartGeoreference& c, const exports::ExportLayers& l,
            QString* e) {
            return exports::writeGeoTiff(p, c, l, exports::GeoTiffContent::Temperature, e);
        }};
    for (const auto& write : writers) {
        QString error;
        EXPECT_FALSE(write(missing + "/chart.out", s.chart, layers, &error));
        EXPECT_TRUE(error.contains("no such folder")) << error.toStdString();
        EXPECT_FALSE(QFileInfo::exists(missing));
        // A chart of an area without calibration cannot be placed.
        error.clear();
        EXPECT_FALSE(write(dir.filePath("x"), exports::ChartGeoreference{}, layers, &error));
        EXPECT_FALSE(error.isEmpty());
    }
    EXPECT_TRUE(QDir(dir.path()).isEmpty());
}

} // namespace
