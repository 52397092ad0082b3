// thalwise-cli render: the picture the window composes for a chart, annotations and markers
// included, written as Save As writes it; and the ways the command refuses.

#include "CliRun.h"
#include "cli/Commands.h"
#include "support/NearestColour.h"

#include "app/ChartDisplay.h"
#include "app/RegistryVariables.h"
#include "geo/AreaStuff.h"
#include "geo/ChartMetadata.h"
#include "geo/vekMapping.h"
#include "gif/GIFEncoder.h"
#include "gif/GIFImage.h"
#include "gif/SyntheticChart.h"

#include <QFile>
#include <QGuiApplication>
#include <QImageReader>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTextStream>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <limits>

namespace {

CliRun run(const QStringList& args) {
    return runCli(args);
}

void writeFile(const QString& path, const QByteArray& bytes) {
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(bytes);
}

QByteArray readFile(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

class Render : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(m_dir.isValid());
        // A chart of area ne01 by its name, with a scale the window would apply.
        gif::EncoderInput input = gif::makeChartLikeInput(800, 960);
        input.comments = {QByteArrayLiteral(
            "TIMESTAMP=2026-12-08-06ne01\r\nTMIN=40\r\nTMAX=86\r\nVARIATION=-14.5")};
        m_chart = m_dir.filePath("area-ne01.gif");
        writeFile(m_chart, *gif::encodeGif(input));
        m_annotations = m_dir.filePath("ne01.ini");
        writeFile(m_annotations, "[DataLevel]\r\nRevision=1\r\n[Lines]\r\n0=20,30,400,350\r\n"
                                 "1=60,300,200,280,250,390\r\n[Text]\r\n0=240,60,Shelf edge, "
                                 "warm eddy\r\n1=100,200,55\xB0\r\n");
    }

    // The same picture composed here from the same inputs, as the window's repaint does it.
    QImage expectedPicture(const TGIFImage& chart) const {
        const StoredFont font;
        display::Overlays overlays;
        overlays.lines = &m_lines;
        overlays.texts = &m_texts;
        overlays.font = toQFont(font);
        overlays.fontColour = colourOf(font);
        overlays.homeLat = 42.0;
        overlays.homeLon = -70.0;
        overlays.waypoints = &m_waypoints;
        const geo::Calibration calibration = geo::Calibration::forArea(1);
        overlays.geoToPixel = [calibration](float lat, float lon, int& x, int& y) {
            return GeoToPixel(calibration, lat, lon, x, y);
        };
        overlays.markerIcon = QImage(QStringLiteral(THALWISE_SOURCE_DIR "/src/resources/WPT.png"));
        return display::RepaintChart(chart.bitmap().convertToFormat(QImage::Format_RGB32),
                                     overlays);
    }

    QStringList renderArgs(const QString& output) const {
        return {"render", m_chart,      output,         "--annotations", m_annotations, "--home",
                "42,-70", "--waypoint", m_waypoints[0], "--waypoint",    m_waypoints[1]};
    }

    QTemporaryDir m_dir;
    QString m_chart;
    QString m_annotations;
    const QList<AnnotationLine> m_lines = {
        {{QPoint(20, 30), QPoint(400, 350)}},
        {{QPoint(60, 300), QPoint(200, 280), QPoint(250, 390)}},
    };
    const QList<AnnotationText> m_texts = {
        {QStringLiteral("Shelf edge, warm eddy"), QPoint(240, 60)},
        {QStringLiteral("55\u00B0"), QPoint(100, 200)},
    };
    const QStringList m_waypoints = {QStringLiteral("Lat=41.50,Lon=-69.50,Tf=61.5"),
                                     QStringLiteral("Lat=42.20,Lon=-69.80,Tf=0.0")};
};

TEST_F(Render, WritesThePictureTheWindowComposes) {
    TGIFImage chart;
    chart.LoadFromFile(m_chart);
    const QImage expected = expectedPicture(chart);
    const QImage plain = chart.bitmap().convertToFormat(QImage::Format_RGB32);
    ASSERT_NE(expected, plain);
    // Home's house stands on the home position.
    int homeX = 0, homeY = 0;
    ASSERT_TRUE(GeoToPixel(geo::Calibration::forArea(1), 42.0f, -70.0f, homeX, homeY));
    ASSERT_EQ(expected.pixel(homeX - 5, homeY - 5), qRgb(190, 0, 30));

    const QString png = m_dir.filePath("annotated.png");
    CliRun r = run(renderArgs(png));
    ASSERT_EQ(r.status, 0) << r.err.toStdString();
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(QImageReader(png).read().convertToFormat(QImage::Format_RGB32), expected);

    const QString gifPath = m_dir.filePath("annotated.gif");
    r = run(renderArgs(gifPath));
    ASSERT_EQ(r.status, 0) << r.err.toStdString();
    TGIFImage saved;
    saved.LoadFromFile(gifPath);
    const QImage indexed = saved.image(0).bitmap();
    const QImage picture = saved.bitmap().convertToFormat(QImage::Format_RGB32);
    const QImage chartIndices = chart.bitmap();
    const QList<QRgb> table = indexed.colorTable();
    ASSERT_EQ(picture.size(), expected.size());
    for (int y = 0; y < expected.height(); ++y) {
        for (int x = 0; x < expected.width(); ++x) {
            const QRgb wanted = expected.pixel(x, y);
            if (wanted == plain.pixel(x, y)) {
                ASSERT_EQ(indexed.pixelIndex(x, y), chartIndices.pixelIndex(x, y)) << x << ',' << y;
            } else if (table.contains(wanted)) {
                ASSERT_EQ(picture.pixel(x, y), wanted) << x << ',' << y;
            } else {
                ASSERT_EQ(indexed.pixelIndex(x, y), nearestEntry(table, wanted)) << x << ',' << y;
            }
        }
    }
    // The scale came along, the time stamp did not.
    const geo::ChartMetadata metadata = geo::readChartMetadata(gif::firstFrameCommentTexts(saved));
    EXPECT_TRUE(metadata.timestamp.isEmpty()) << metadata.timestamp.toStdString();
    EXPECT_TRUE(metadata.hasRange);
    EXPECT_EQ(metadata.scaleMin, 40);
    EXPECT_EQ(metadata.scaleMax, 86);
    EXPECT_EQ(metadata.magneticVariation, -14.5f);
}

// The page as it comes out of a PDF viewer: the chart with its marks, fitted to the full width
// of a portrait page with even margins and centred down it.
TEST_F(Render, ThePrintedPageShowsTheChartWithItsMarksFittedAndCentred) {
    const QString pdftoppm = QStandardPaths::findExecutable(QStringLiteral("pdftoppm"));
    if (pdftoppm.isEmpty()) GTEST_SKIP() << "pdftoppm (poppler-utils) is not installed";
    const QString pdf = m_dir.filePath("page.pdf");
    const CliRun r = run({"print", m_chart, "--pdf", pdf, "--annotations", m_annotations});
    ASSERT_EQ(r.status, 0) << r.err.toStdString();
    static const QRegularExpression imageLine(
        QStringLiteral("image: (\\d+) x (\\d+) at (\\d+),(\\d+)"));
    const QRegularExpressionMatch image = imageLine.match(r.out);
    ASSERT_TRUE(image.hasMatch()) << r.out.toStdString();
    EXPECT_TRUE(r.out.startsWith("orientation: portrait\n")) << r.out.toStdString();

    constexpr int Dpi = 100; // the page is drawn at 1200 dpi
    QProcess raster;
    raster.start(pdftoppm,
                 {"-r", QString::number(Dpi), "-png", "-singlefile", pdf, m_dir.filePath("page")});
    ASSERT_TRUE(raster.waitForFinished(60000));
    ASSERT_EQ(raster.exitCode(), 0);
    const QImage page = QImage(m_dir.filePath("page.png")).convertToFormat(QImage::Format_RGB32);
    ASSERT_FALSE(page.isNull());

    // Where the chart lies on the page: everything that is not paper.
    QRect chartOnPage;
    for (int y = 0; y < page.height(); ++y)
        for (int x = 0; x < page.width(); ++x)
            if (page.pixel(x, y) != qRgb(255, 255, 255)) chartOnPage |= QRect(x, y, 1, 1);
    const double scale = Dpi / 1200.0;
    EXPECT_NEAR(chartOnPage.width(), image.captured(1).toInt() * scale, 2);
    EXPECT_NEAR(chartOnPage.height(), image.captured(2).toInt() * scale, 2);
    // The same margin left and right, and even margins above and below.
    const int left = chartOnPage.left(), right = page.width() - 1 - chartOnPage.right();
    const int top = chartOnPage.top(), bottom = page.height() - 1 - chartOnPage.bottom();
    EXPECT_NEAR(left, right, 2);
    EXPECT_NEAR(top, bottom, 2);
    EXPECT_GT(left, 0);
    EXPECT_LT(left, top);

    TGIFImage chart;
    chart.LoadFromFile(m_chart);
    const QImage plain = chart.bitmap().convertToFormat(QImage::Format_RGB32);
    display::Overlays overlays;
    const StoredFont font;
    overlays.lines = &m_lines;
    overlays.texts = &m_texts;
    overlays.font = toQFont(font);
    overlays.fontColour = colourOf(font);
    const QImage expected = display::RepaintChart(plain, overlays);
    const auto onPage = [&](QPoint chartPixel) {
        return QPoint(chartOnPage.left() +
                          (chartPixel.x() * 2 + 1) * chartOnPage.width() / (2 * expected.width()),
                      chartOnPage.top() + (chartPixel.y() * 2 + 1) * chartOnPage.height() /
                                              (2 * expected.height()));
    };
    const auto distance = [](QRgb a, QRgb b) {
        return std::abs(qRed(a) - qRed(b)) + std::abs(qGreen(a) - qGreen(b)) +
               std::abs(qBlue(a) - qBlue(b));
    };
    // The chart's colours where they do not change nearby.
    int compared = 0;
    for (int y = 4; y < expected.height() - 4; y += 23) {
        for (int x = 4; x < expected.width() - 4; x += 23) {
            bool uniform = true;
            for (int dy = -3; dy <= 3 && uniform; ++dy)
                for (int dx = -3; dx <= 3 && uniform; ++dx)
                    uniform = expected.pixel(x + dx, y + dy) == expected.pixel(x, y);
            if (!uniform) continue;
            ++compared;
            ASSERT_LE(distance(page.pixel(onPage({x, y})), expected.pixel(x, y)), 24)
                << x << ',' << y;
        }
    }
    EXPECT_GT(compared, 100);
    // The first line's colour along it, where the plain chart has another.
    int marks = 0;
    for (int step = 1; step < 10; ++step) {
        const QPoint on(20 + (400 - 20) * step / 10, 30 + (350 - 30) * step / 10);
        const QRgb mark = expected.pixel(on);
        if (mark == plain.pixel(on)) continue;
        int nearest = std::numeric_limits<int>::max();
        const QPoint centre = onPage(on);
        for (int dy = -1; dy <= 1; ++dy)
            for (int dx = -1; dx <= 1; ++dx)
                nearest = std::min(nearest, distance(page.pixel(centre + QPoint(dx, dy)), mark));
        EXPECT_LE(nearest, 60) << on.x() << ',' << on.y();
        ++marks;
    }
    EXPECT_GE(marks, 5);
}

// The water at one spot across days: each chart read under its own range, in name order.
TEST_F(Render, HistoryReadsEachChartUnderItsOwnRange) {
    // The same picture on three days; the third day's scale is ten degrees warmer.
    const auto chartOf = [&](const QString& name, const QByteArray& range) {
        gif::EncoderInput input = gif::makeChartLikeInput(800, 960);
        input.comments = {QByteArrayLiteral("TIMESTAMP=") +
                          QFileInfo(name).completeBaseName().toLatin1() +
                          QByteArrayLiteral("\r\n") + range};
        const QString path = m_dir.filePath(name);
        writeFile(path, *gif::encodeGif(input));
        return path;
    };
    const QString warm = chartOf("2026-12-03-12ne01.gif", "TMIN=50\r\nTMAX=96\r\nVARIATION=-14.5");
    const QString first = chartOf("2026-12-01-12ne01.gif", "TMIN=40\r\nTMAX=86\r\nVARIATION=-14.5");
    const QString second =
        chartOf("2026-12-02-12ne01.gif", "TMIN=40\r\nTMAX=86\r\nVARIATION=-14.5");
    const QString at = QStringLiteral("41.5,-69.5");
    CliRun r = run({"history", "--at", at, warm, first, second});
    ASSERT_EQ(r.status, 0) << r.err.toStdString();
    const QStringList lines = r.out.split('\n', Qt::SkipEmptyParts);
    ASSERT_EQ(lines.size(), 3) << r.out.toStdString();
    const auto value = [](const QString& line) { return line.section(": ", 1).toDouble(); };
    EXPECT_TRUE(lines[0].startsWith("2026-12-01-12ne01.gif: "));
    EXPECT_TRUE(lines[1].startsWith("2026-12-02-12ne01.gif: "));
    EXPECT_TRUE(lines[2].startsWith("2026-12-03-12ne01.gif: "));
    ASSERT_GT(value(lines[0]), 0.0) << lines[0].toStdString();
    EXPECT_EQ(lines[0].section(": ", 1), lines[1].section(": ", 1));
    EXPECT_NEAR(value(lines[2]) - value(lines[0]), 10.0, 0.15);

    // A chart the spot lies off is said on stderr; the others are still listed.
    const QString gulf = m_dir.filePath("2026-12-01-12fl01.gif");
    QFile::copy(first, gulf);
    r = run({"history", "--at", at, first, gulf});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.out.split('\n', Qt::SkipEmptyParts).size(), 1) << r.out.toStdString();
    EXPECT_TRUE(r.err.contains("2026-12-01-12fl01.gif")) << r.err.toStdString();

    for (const QStringList& bad :
         {QStringList{"history", first}, QStringList{"history", "--at", at},
          QStringList{"history", "--at", "91,0", first},
          QStringList{"history", "--at", at, "--at", at, first}}) {
        r = run(bad);
        EXPECT_EQ(r.status, 2) << bad.join(' ').toStdString();
        // The usage line ends what is said; a wrong value is named before it.
        EXPECT_TRUE(r.err.endsWith("usage: thalwise-cli history --at LAT,LON CHART...\n"))
            << r.err.toStdString();
    }
}

TEST_F(Render, RefusalsAndUsage) {
    const QByteArray chartBytes = readFile(m_chart);
    const QString out = m_dir.filePath("out.gif");
    struct Case {
        const char* name;
        QStringList args;
        int status;
        QString err; // a part of stderr
    };
    const QString bad = QStringLiteral(THALWISE_TEST_DATA_DIR "/gif/unknown-extension-label.gif");
    const std::vector<Case> cases = {
        {"unreadable chart", {"render", bad, out}, 1, "Unknown extension type"},
        {"missing annotation file",
         {"render", m_chart, out, "--annotations", m_dir.filePath("none.ini")},
         1,
         "none.ini: No such file"},
        {"output in a missing folder",
         {"render", m_chart, m_dir.filePath("no/out.gif")},
         1,
         "no/out.gif: cannot open"},
        {"output is the chart",
         {"render", m_chart, m_dir.path() + "/./area-ne01.gif"},
         1,
         "cannot be replaced"},
        {"no output", {"render", m_chart}, 2, "usage: thalwise-cli render CHART"},
        {"three files", {"render", m_chart, out, out}, 2, "usage:"},
        {"home no position", {"render", m_chart, out, "--home", "42"}, 2, "usage:"},
        {"home twice",
         {"render", m_chart, out, "--home", "42,-70", "--home", "41,-70"},
         2,
         "usage:"},
        {"waypoint not a waypoint",
         {"render", m_chart, out, "--waypoint", "Lat=91,Lon=0,Tf=0"},
         2,
         "usage:"},
        {"annotations twice",
         {"render", m_chart, out, "--annotations", m_annotations, "--annotations", m_annotations},
         2,
         "usage:"},
        {"option without value", {"render", m_chart, out, "--waypoint"}, 2, "usage:"},
        {"unknown option", {"render", m_chart, out, "--zoom", "2"}, 2, "usage:"},
    };
    for (const Case& c : cases) {
        const CliRun r = run(c.args);
        EXPECT_EQ(r.status, c.status) << c.name << ": " << r.err.toStdString();
        EXPECT_TRUE(r.err.contains(c.err)) << c.name << ": " << r.err.toStdString();
        EXPECT_EQ(r.out, "") << c.name;
        EXPECT_FALSE(QFile::exists(out)) << c.name;
    }
    EXPECT_EQ(readFile(m_chart), chartBytes);
}

} // namespace

int main(int argc, char** argv) {
    // Texts are drawn with a GUI application's fonts; no display is needed.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
