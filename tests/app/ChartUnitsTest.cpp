// The window-free pieces of showing a chart: what a pointer move shows for each tool, and the
// names and texts derived from a chart file.

#include "app/ChartFiles.h"
#include "app/PointerReadout.h"
#include "archive/ChartDecoding.h"
#include "geo/AreaStuff.h"
#include "geo/ThalwiseUtils.h"
#include "gif/GIFImage.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <limits>

namespace {

app::PointerMove moveFor(app::PointerTool tool, bool dragging, bool overChart = true) {
    app::PointerMove move;
    move.tool = tool;
    move.overChart = overChart;
    move.x = 378;
    move.y = 654;
    move.position = {42.0f, -70.0f};
    move.dragging = dragging;
    move.pressPosition = {41.0f, -70.0f}; // 1 degree south on the same meridian
    move.temperatureAt = [] { return 61.25f; };
    move.magneticReadout = false;
    move.locale = QLocale::c();
    return move;
}

} // namespace

TEST(PointerReadout, EachToolShowsItsOwnPanels) {
    using app::PointerTool;
    using app::RubberBand;
    const QString temperature = QStringLiteral("Temperature: 61.2\u00B0F"); // 61.25: to even
    const QString range = QStringLiteral("Range: 60.1 NM at 0.0\u00B0 (true)");
    struct Row {
        PointerTool tool;
        bool dragging;
        QString range;
        RubberBand band;
        bool setsWaypointTemperature;
    };
    // Every tool reads the water under the pointer, the waypoint tool before it places one.
    const Row rows[] = {
        {PointerTool::Measure, false, {}, RubberBand::None, false},
        {PointerTool::Measure, true, range, RubberBand::Line, false},
        {PointerTool::Line, false, {}, RubberBand::None, false},
        {PointerTool::Line, true, range, RubberBand::Line, false},
        {PointerTool::Erase, false, {}, RubberBand::None, false},
        {PointerTool::Erase, true, {}, RubberBand::Rectangle, false},
        {PointerTool::Waypoint, false, {}, RubberBand::None, true},
        {PointerTool::Waypoint, true, {}, RubberBand::None, true},
        {PointerTool::Text, true, {}, RubberBand::None, false},
        {PointerTool::Polygon, true, {}, RubberBand::None, false},
        {PointerTool::Home, true, {}, RubberBand::None, false},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(int(row.tool) * 10 + row.dragging);
        const app::PointerReadout out = app::pointerReadout(moveFor(row.tool, row.dragging));
        EXPECT_EQ(out.position, QStringLiteral("Lat: 42\u00B000'    Lon: 70\u00B000'"));
        EXPECT_EQ(out.pixel, QStringLiteral("X: 378, Y: 654"));
        EXPECT_EQ(out.temperature, temperature);
        EXPECT_EQ(out.range, row.range);
        EXPECT_EQ(out.rubberBand, row.band);
        EXPECT_EQ(out.setsWaypointTemperature, row.setsWaypointTemperature);
        if (row.setsWaypointTemperature) {
            EXPECT_EQ(out.waypointTemperature, 61.25f);
        }
    }
}

TEST(PointerReadout, ScaleNoTemperatureAndFailedRange) {
    // Over the scale there is no position.
    app::PointerMove move = moveFor(app::PointerTool::Measure, false, false);
    EXPECT_TRUE(app::pointerReadout(move).position.isEmpty());
    // No temperature found: panel 1 empty; the waypoint tool keeps the 0.
    move.temperatureAt = [] { return 0.0f; };
    EXPECT_TRUE(app::pointerReadout(move).temperature.isEmpty());
    move.tool = app::PointerTool::Waypoint;
    EXPECT_EQ(app::pointerReadout(move).waypointTemperature, 0.0f);
    // Nearly antipodal points give no range rather than a wrong one.
    move = moveFor(app::PointerTool::Measure, true);
    move.pressPosition = {0.0f, 0.0f};
    move.position = {-1e-7f, 180.0f};
    const app::PointerReadout out = app::pointerReadout(move);
    EXPECT_TRUE(out.range.isEmpty() || out.range.startsWith("Range: ")) << out.range.toStdString();
    move.position = {std::numeric_limits<float>::quiet_NaN(), -70.0f};
    EXPECT_TRUE(app::pointerReadout(move).range.isEmpty());
    // Magnetic headings with the chart's variation.
    move = moveFor(app::PointerTool::Measure, true);
    move.magneticReadout = true;
    move.magneticVariation = 15.0f;
    EXPECT_EQ(app::pointerReadout(move).range,
              QStringLiteral("Range: 60.1 NM at 345.0\u00B0 (mag.)"));
}

TEST(ChartFiles, NamesAndCaptions) {
    struct Row {
        const char* path;
        const char* base;
        const char* title;
    };
    const Row rows[] = {
        {"/charts/area-ne01.gif", "AREA-NE01", "AREA-NE01 - Pelagon"},
        {"/charts/x.jpg.gif", "X.JPG", "X.JPG - Pelagon"},
        {"/charts/area-fl01", "AREA-FL01", "AREA-FL01 - Pelagon"},
        {"relative/2026-12-01-12ne01.GIF", "2026-12-01-12NE01", "2026-12-01-12NE01 - Pelagon"},
    };
    for (const Row& row : rows) {
        EXPECT_EQ(geo::chartBaseName(row.path), QLatin1String(row.base));
        EXPECT_EQ(app::chartApplicationTitle(row.path), QLatin1String(row.title));
    }
    EXPECT_EQ(app::chartCaption("fl14"),
              QStringLiteral("\"Pelagon\" Chart viewer (from Brinecast) - fl14"));
    EXPECT_EQ(app::chartCaption(QString()),
              QStringLiteral("\"Pelagon\" Chart viewer (from Brinecast) - (unknown area)"));
    const QString sep = QDir::separator();
    EXPECT_EQ(app::saveAsNameFor("/charts/area-ne01.gif", "ne01"),
              QDir::toNativeSeparators("/charts/") + "ne01.gif");
    EXPECT_EQ(app::saveAsNameFor("/charts/chart.gif", QString()),
              QDir::toNativeSeparators("/charts/") + ".gif");
    EXPECT_EQ(app::folderOf("/a.gif"), sep);
    EXPECT_TRUE(app::fullChartPath("rel.gif").endsWith(sep + "rel.gif"));
    EXPECT_TRUE(QFileInfo(app::fullChartPath("rel.gif")).isAbsolute());
}

TEST(ChartFiles, ExtensionAndMessage) {
    QTemporaryDir dir;
    struct Row {
        const char* name;
        bool create;
        app::ChartExtension expected;
    };
    const Row rows[] = {
        {"AREA-FL01.GIF", true, app::ChartExtension::Gif},
        {"area-fl01.Gif", true, app::ChartExtension::Gif},
        {"area-fl01.gif.bmp", true, app::ChartExtension::Other},
        {"area-fl01", true, app::ChartExtension::Other},
        {".gif", true, app::ChartExtension::Gif},
        {"missing.gif", false, app::ChartExtension::Missing},
    };
    for (const Row& row : rows) {
        const QString path = dir.filePath(row.name);
        if (row.create) {
            QFile file(path);
            ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        }
        EXPECT_EQ(app::chartExtensionOf(path), row.expected) << row.name;
    }
    EXPECT_EQ(app::chartExtensionOf(dir.path()), app::ChartExtension::Missing); // a folder
    EXPECT_EQ(app::chartExtensionOf(QString()), app::ChartExtension::Missing);
    EXPECT_EQ(
        app::wrongExtensionCaption("/x/area-fl01.gif.bmp"),
        QStringLiteral("Error in file \"area-fl01.gif.bmp\" - the file extension is not .gif"));
    const QString text = app::wrongExtensionText();
    EXPECT_EQ(text.count(u'\r'), 4);
    EXPECT_TRUE(text.contains("extension of .gif and nothing else.  It should look like"));
    EXPECT_TRUE(text.contains("other than a .gif,  then please go to the troubleshooting"));
}

namespace {
bool writeSmallFile(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write("GIF89a") == 6;
}
} // namespace

TEST(ChartFiles, SetFileDateTime) {
    QTemporaryDir dir;
    const QString path = dir.filePath("2026-12-01-12ne01.gif");
    ASSERT_TRUE(writeSmallFile(path));
    const QDateTime noon(QDate(2026, 12, 1), QTime(12, 0));
    EXPECT_TRUE(SetFileDateTime(path, noon));
    EXPECT_EQ(QFileInfo(path).lastModified(), noon);
    // Missing files and files that cannot be written are left alone, silently.
    EXPECT_FALSE(SetFileDateTime(dir.filePath("gone.gif"), noon));
    EXPECT_FALSE(QFileInfo::exists(dir.filePath("gone.gif")));
}

TEST(ChartFiles, SetFileDateTimeLeavesReadOnlyFilesAlone) {
    QTemporaryDir dir;
    const QString path = dir.filePath("2026-12-01-12ne01.gif");
    ASSERT_TRUE(writeSmallFile(path));
    const QDateTime noon(QDate(2026, 12, 1), QTime(12, 0));
    ASSERT_TRUE(SetFileDateTime(path, noon));
    QFile::setPermissions(path, QFileDevice::ReadOwner);
    const QDateTime later(QDate(2026, 12, 2), QTime(6, 0));
    if (QFile(path).open(QIODevice::ReadWrite))
        GTEST_SKIP() << "running with rights that ignore read-only files";
    EXPECT_FALSE(SetFileDateTime(path, later));
    EXPECT_EQ(QFileInfo(path).lastModified(), noon);
    EXPECT_FALSE(SetFileDateTime(path, QDateTime()));
}

TEST(ChartFiles, AFileThatIsNoWholeGifIsSaidSoInPlainWords) {
    QFile sample(QStringLiteral(THALWISE_SOURCE_DIR "/resources/samples/area-ne01.gif"));
    ASSERT_TRUE(sample.open(QIODevice::ReadOnly));
    const QByteArray whole = sample.readAll();
    QTemporaryDir dir;
    const struct {
        QByteArray bytes;
        const char* says;
    } rows[] = {
        {whole.left(11), "it is not a whole GIF picture"}, // cut inside the header
        {whole.left(whole.size() / 3), "it is not a whole GIF picture"},
        {QByteArray("\x89PNG\r\n\x1a\n0000000000000", 21), "is not a GIF picture"},
    };
    for (const auto& row : rows) {
        const QString path = dir.filePath("area-ne01.gif");
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(row.bytes);
        file.close();
        TGIFImage chart;
        try {
            archive::loadChartFile(chart, path);
            // A lenient load: the window says the picture ends early in its own words.
            EXPECT_EQ(row.bytes.size(), whole.size() / 3);
        } catch (const GIFException& error) {
            const QString text = app::chartErrorText(path, error.message());
            EXPECT_TRUE(text.startsWith("area-ne01.gif: ")) << text.toStdString();
            EXPECT_TRUE(text.contains(row.says)) << text.toStdString();
        }
    }
}
