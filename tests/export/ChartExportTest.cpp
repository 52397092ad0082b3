// Choosing the export format, refusing names, dispatching to the writers and the plotter's GPX.
#include "export/ChartExport.h"

#include "app/ChartDisplay.h"
#include "geo/AreaStuff.h"
#include "geo/ChartTemperatures.h"
#include "geo/Gpx.h"
#include "geo/Palette.h"
#include "geo/TemperatureScale.h"
#include "gif/GIFImage.h"

#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QTemporaryDir>
#include <QXmlStreamReader>

#include <gtest/gtest.h>

#include <unistd.h>

using exports::ExportFormat;

namespace {

const QString Sample = QStringLiteral(THALWISE_SOURCE_DIR "/resources/samples/area-ne01.gif");

// What a reader of the document sees: element names at the root's level and every name text.
QStringList outline(const QByteArray& document) {
    QStringList seen;
    QXmlStreamReader xml(document);
    int depth = 0;
    while (!xml.atEnd()) {
        xml.readNext();
        if (xml.isStartElement()) {
            if (++depth == 2) seen.append(xml.name().toString());
            if (xml.name() == QLatin1String("name")) {
                seen.append(QStringLiteral("name=") + xml.readElementText());
                --depth;
            }
        } else if (xml.isEndElement()) {
            --depth;
        }
    }
    EXPECT_FALSE(xml.hasError()) << xml.errorString().toStdString();
    return seen;
}

} // namespace

TEST(ChartExport, FormatByExtensionAndRefusedNames) {
    const std::pair<const char*, std::optional<ExportFormat>> names[] = {
        {"trip.gpx", ExportFormat::Gpx},      {"TRIP.GPX", ExportFormat::Gpx},
        {"a.b/chart.KaP", ExportFormat::Kap}, {"c.mbtiles", ExportFormat::Mbtiles},
        {"c.tif", ExportFormat::GeoTiff},     {"c.TIFF", ExportFormat::GeoTiff},
        {"c.kmz", ExportFormat::Kmz},         {"c.png", std::nullopt},
        {"c.gpx.bak", std::nullopt},          {"gpx", std::nullopt},
    };
    for (const auto& [name, format] : names)
        EXPECT_EQ(exports::exportFormatOf(QString::fromLatin1(name)), format) << name;

    QTemporaryDir dir;
    const QString chart = dir.filePath("area-ne01.gif");
    const QString archive = dir.filePath("archive");
    ASSERT_TRUE(QFile::copy(Sample, chart));
    ASSERT_TRUE(QDir().mkpath(archive + "/sub"));
    ASSERT_TRUE(QFile::link(chart, dir.filePath("link.kap")));
    ASSERT_EQ(::link(QFile::encodeName(chart).constData(),
                     QFile::encodeName(dir.filePath("hard.gpx")).constData()),
              0);
    ASSERT_TRUE(QFile::link(archive, dir.filePath("to-archive")));

    enum Refusal { None, Chart, Archive };
    const std::pair<QString, Refusal> outputs[] = {
        {chart, Chart},
        {dir.filePath("link.kap"), Chart},
        {dir.filePath("hard.gpx"), Chart}, // another name of the same file
        {dir.filePath("archive/x.gpx"), Archive},
        {dir.filePath("archive/sub/new/x.kmz"), Archive}, // folders not made yet
        {dir.filePath("to-archive/x.tif"), Archive},      // through a linked folder
        {dir.filePath("./archive/../out.gpx"), None},
        {dir.filePath("archived.gpx"), None},
    };
    for (const auto& [output, expected] : outputs) {
        const std::optional<QString> refusal = exports::refusedOutput(output, chart, archive);
        const Refusal got = !refusal                                           ? None
                            : refusal->contains(QLatin1String("chart itself")) ? Chart
                                                                               : Archive;
        EXPECT_EQ(got, expected) << output.toStdString();
    }
    EXPECT_FALSE(exports::refusedOutput(dir.filePath("link.kap"), QString(), QString()));
}

// Every format reaches its own writer: the file written is of that format. The checks that come
// before any writer refuse with their reasons.
TEST(ChartExport, DispatchToTheWriters) {
    TGIFImage image;
    image.LoadFromFile(Sample);
    geo::TemperatureScale scale;
    scale.TempScaleChange(geo::TemperatureScale::BuildScaleBitmap(geo::builtinPaletteText()), 38,
                          62);
    QTemporaryDir dir;
    exports::ChartSource source;
    source.path = Sample;
    source.archiveFolder = dir.filePath("archive");
    source.bitmap = image.bitmap();
    source.area = geo::chartAreaOfFile(Sample);
    source.timestamp = QStringLiteral("2026-12-01-12ne01");
    const geo::ChartTemperatures temperatures(source.bitmap, scale);
    source.temperatures = &temperatures;
    exports::ExportContents lines;
    lines.isotherms = {50.0f, 56.0f};
    exports::ExportContents grid;
    grid.temperatureGrid = true;
    exports::ExportContents none;

    struct Case {
        const char* output;
        exports::ExportContents contents;
        const char* magic; // the written file's first bytes; nullptr: refused
        const char* reason;
    };
    const Case cases[] = {
        {"out.gpx", lines, "<?xml", ""},
        {"out.kap", lines, "", "KNP/"}, // a BSB header names its projection
        {"out.mbtiles", lines, "SQLite format 3", ""},
        {"out.tif", lines, "II*", ""},
        {"out-grid.tiff", grid, "II*", ""},
        {"out.kmz", lines, "PK\x03\x04", ""},
        {"out.gpx", none, nullptr, "Nothing to put"},
        {"out.kap", grid, nullptr, "only into a GeoTIFF"},
        {"out.png", lines, nullptr, "no export format"},
        {"archive/out.gpx", lines, nullptr, "chart archive"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.output);
        const QString output = dir.filePath(QString::fromLatin1(c.output));
        QString error;
        const bool written = exports::exportChart(output, source, c.contents, &error);
        if (!c.magic) {
            EXPECT_FALSE(written);
            EXPECT_TRUE(error.contains(QLatin1String(c.reason))) << error.toStdString();
            continue;
        }
        ASSERT_TRUE(written) << error.toStdString();
        QFile file(output);
        ASSERT_TRUE(file.open(QIODevice::ReadOnly));
        const QByteArray bytes = file.readAll();
        EXPECT_TRUE(bytes.startsWith(c.magic) || (c.magic[0] == 'I' && bytes.startsWith("MM")));
        EXPECT_TRUE(bytes.left(4096).contains(c.reason));
    }
}

// The plotter's file: the chart's date, then home and the waypoints as the waypoint export
// writes them, then the tracks, every name within the plotter's length and every track within
// its budget.
TEST(ChartExport, GpxForThePlotter) {
    exports::ChartGeoreference chart = exports::chartGeoreference(1, 1024, 1024);
    chart.chartTime = QDateTime(QDate(2026, 12, 1), QTime(12, 0), Qt::UTC);
    exports::ExportLayers layers;
    layers.home = geo::TrackPoint{42.5, -70.25};
    layers.waypoints = {{41.5f, -69.75f, 60.5f}, {41.25f, -69.5f, 0.0f}};
    geo::TrackLine wavy{exports::breakTrackName(2.06f), QStringLiteral("a break"), {{}}};
    for (int i = 0; i < 2000; ++i)
        wavy.pieces[0].push_back(QPointF(10.0 + i * 0.4, 500.0 + 40.0 * std::sin(i / 30.0)));
    layers.lines = {wavy, {exports::isothermTrackName(68.0f), {}, {{{5, 5}, {50, 60}}}}};

    const exports::PlotterProfile profile{"test", "test", 50, 120, 1000, 4};
    QString error;
    const std::optional<QByteArray> document =
        exports::gpxExportDocument(chart, layers, profile, &error);
    ASSERT_TRUE(document) << error.toStdString();
    EXPECT_EQ(outline(*document),
              (QStringList{"metadata", "wpt", "name=HOME", "wpt", "name=WPT0", "wpt", "name=WPT0",
                           "trk", "name=Brea", "trk", "name=68F"}));
    EXPECT_TRUE(document->contains("<time>2026-12-01T12:00:00Z</time>"));
    EXPECT_EQ(exports::breakTrackName(2.06f), "Break 2.1F/NM");
    EXPECT_EQ(exports::isothermTrackName(68.5f), "68.5F");
    // The wavy track is thinned to the budget.
    const qsizetype firstTrack = document->indexOf("<trk>");
    const qsizetype secondTrack = document->indexOf("<trk>", firstTrack + 1);
    const qsizetype points = document->mid(firstTrack, secondTrack - firstTrack).count("<trkpt");
    EXPECT_GT(points, 20);
    EXPECT_LE(points, 120);
}

// The picture shows the isotherms as the window does: in their own colour, not the coast's
// black, with their labels on a white halo.
TEST(ChartExport, IsothermsInThePictureInTheirColourWithLabels) {
    TGIFImage image;
    image.LoadFromFile(Sample);
    geo::TemperatureScale scale;
    scale.TempScaleChange(geo::TemperatureScale::BuildScaleBitmap(geo::builtinPaletteText()), 38,
                          62);
    exports::ChartSource source;
    source.path = Sample;
    source.bitmap = image.bitmap().convertToFormat(QImage::Format_RGB32);
    source.area = geo::chartAreaOfFile(Sample);
    const geo::ChartTemperatures temperatures(source.bitmap, scale);
    source.temperatures = &temperatures;
    exports::ExportContents contents;
    contents.breaks = false;
    contents.isotherms = {50.0f, 56.0f};
    const exports::ChartGeoreference chart = exports::chartDescription(source);
    const QImage picture =
        exports::exportLayers(source, chart, contents, ExportFormat::Kap).picture;
    auto count = [](const QImage& image, QRgb colour) {
        int n = 0;
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x)
                n += image.pixel(x, y) == colour;
        return n;
    };
    EXPECT_GT(count(picture, display::isothermColour().rgb()), 500);
    EXPECT_LE(count(picture, qRgb(0, 0, 0)), count(source.bitmap, qRgb(0, 0, 0)));
    EXPECT_GT(count(picture, qRgb(255, 255, 255)), count(source.bitmap, qRgb(255, 255, 255)));
}

int main(int argc, char** argv) {
    // The chart picture carries the isotherms' labels, drawn with fonts; no display is needed.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
