// Lines as GPX tracks: thinned to the plotter's budgets, named within its length, on the chart.
#include "geo/GpxTracks.h"
#include "geo/vekMapping.h"

#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTimeZone>
#include <QXmlStreamReader>

#include <gtest/gtest.h>

namespace {

const geo::Calibration Chart = geo::Calibration::forArea(1);

std::vector<QPointF> straight() {
    std::vector<QPointF> line;
    for (int x = 0; x < 1000; ++x)
        line.push_back({x + 0.5, 300.5});
    return line;
}

std::vector<QPointF> zigzag() { // 1000 corners, ever deeper: thinning drops the shallow ones
    std::vector<QPointF> line;
    for (int i = 0; i <= 1000; ++i)
        line.push_back({10.5 + i, 100.5 + (i % 2) * (0.1 + i / 50.0)});
    return line;
}

TEST(GpxTracks, StraightLineKeepsItsEndPoints) {
    EXPECT_EQ(geo::simplifiedPositions(Chart, straight(), 10.0).size(), 2u);
    EXPECT_EQ(geo::simplifiedPositions(Chart, zigzag(), 10.0).size(), 1001u);
    EXPECT_TRUE(geo::simplifiedPositions(geo::Calibration::forArea(0), straight(), 10.0).empty());
}

TEST(GpxTracks, FileHoldsOneTrackPerLineWithinTheBudgetsOnTheChart) {
    QTemporaryDir dir;
    const QString path = dir.filePath("lines.gpx");
    const std::vector<geo::TrackLine> lines = {{"Break 2.1F/NM strong", "2024-05-01", {zigzag()}},
                                               {"68F", "Isotherm 68F", {straight()}}};
    geo::GpxTrackOptions options;
    options.maxPointsPerTrack = 150;
    options.maxPointsInAll = 100;
    options.chartTime = QDateTime(QDate(2024, 5, 1), QTime(12, 0), QTimeZone::utc());
    QString error;
    ASSERT_TRUE(geo::writeGpxTracks(path, Chart, lines, options, &error)) << error.toStdString();

    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    QXmlStreamReader xml(&file);
    QStringList names;
    QString time;
    std::vector<std::vector<std::pair<double, double>>> points;
    while (!xml.atEnd()) {
        if (xml.readNext() == QXmlStreamReader::StartElement) {
            if (xml.name() == u"trk") points.emplace_back();
            if (xml.name() == u"name") names << xml.readElementText();
            if (xml.name() == u"time") time = xml.readElementText();
            if (xml.name() == u"trkpt")
                points.back().push_back({xml.attributes().value("lat").toDouble(),
                                         xml.attributes().value("lon").toDouble()});
        }
    }
    ASSERT_FALSE(xml.hasError()) << xml.errorString().toStdString();
    EXPECT_EQ(time, "2024-05-01T12:00:00Z");
    EXPECT_EQ(names, QStringList({"Break 2.1F/NM ", "68F"}));
    ASSERT_EQ(points.size(), 2u);
    EXPECT_LE(points[0].size(), 150u);
    EXPECT_LE(points[0].size() + points[1].size(), 100u);
    for (size_t t = 0; t < 2; ++t)
        for (const QPointF& end : {lines[t].pieces[0].front(), lines[t].pieces[0].back()}) {
            GeoPosition at;
            ASSERT_TRUE(PixelToGeo(Chart, int(end.x()), int(end.y()), at));
            const auto& kept =
                end == lines[t].pieces[0].front() ? points[t].front() : points[t].back();
            EXPECT_NEAR(kept.first, at.Latitude, 1e-4);
            EXPECT_NEAR(kept.second, at.Longitude, 1e-4);
        }

    options.maxPointsPerTrack = 20; // now the track's own budget binds
    options.maxPointsInAll = 10000;
    const std::optional<QByteArray> thin =
        geo::gpxTracksDocument(Chart, {lines[0]}, options, &error);
    ASSERT_TRUE(thin);
    EXPECT_LE(thin->count("<trkpt"), 20);
    options.maxPointsInAll = 3; // two tracks need their four end points
    EXPECT_FALSE(geo::gpxTracksDocument(Chart, lines, options, &error));

    const QString gpsbabel = QStandardPaths::findExecutable("gpsbabel");
    if (gpsbabel.isEmpty()) GTEST_SKIP() << "gpsbabel is not installed; its read-back is skipped";
    QProcess babel;
    babel.start(gpsbabel, {"-t", "-i", "gpx", "-f", path, "-o", "unicsv", "-F", "-"});
    ASSERT_TRUE(babel.waitForFinished(20000));
    EXPECT_EQ(babel.exitCode(), 0) << babel.readAllStandardError().toStdString();
    EXPECT_EQ(babel.readAllStandardOutput().count('\n'), 1 + points[0].size() + points[1].size());
}

// A line is one track with a piece per trkseg; the plotter's track count leaves out the weakest
// breaks, never an isotherm; its point budget leaves out the shortest pieces and says how far
// the thinning moved the lines.
TEST(GpxTracks, OneTrackPerLineWithinTheTrackCountAndTheShiftReported) {
    std::vector<QPointF> tiny = {{500.5, 700.5}, {501.5, 700.5}, {502.5, 701.5}};
    const geo::TrackLine isotherm{
        "55F", "", {straight(), zigzag(), tiny}, geo::TrackKind::Isotherm, 55.0f};
    auto breakLine = [](float strength, double y) {
        return geo::TrackLine{
            "Break", "", {{{10.5, y}, {400.5, y + 50.0}}}, geo::TrackKind::Break, strength};
    };
    const std::vector<geo::TrackLine> lines = {breakLine(2.0f, 600.5), isotherm,
                                               breakLine(1.0f, 650.5), breakLine(3.0f, 620.5)};
    geo::GpxTrackOptions options;
    options.maxTracks = 3;
    options.maxPointsPerTrack = 5000;
    options.maxNameLength = 7;
    QString error;
    geo::GpxTrackReport report;
    std::optional<QByteArray> document =
        geo::gpxTracksDocument(Chart, lines, options, &error, &report);
    ASSERT_TRUE(document) << error.toStdString();
    EXPECT_EQ(report.tracks, 3);
    EXPECT_EQ(report.breaksLeftOut, 1);
    EXPECT_EQ(report.strongestLeftOut, 1.0f);
    EXPECT_EQ(report.piecesLeftOut, 0);
    EXPECT_LT(report.largestShiftPixels, 0.01); // a few metres on kilometre pixels
    EXPECT_EQ(document->count("<trk>"), 3);
    EXPECT_EQ(document->count("<trkseg>"), 5);
    // Names within the length and told apart; the weakest break (the last named) is gone.
    for (const char* name : {"<name>Break</name>", "<name>55F</name>", "<name>Break 2</name>"})
        EXPECT_EQ(document->count(name), 1) << name;
    EXPECT_FALSE(document->contains("Break 3"));

    // The budget binds: the tiny piece goes, the others are thinned well past a pixel, and the
    // report says by how much.
    options.maxPointsPerTrack = 40;
    document = geo::gpxTracksDocument(Chart, lines, options, &error, &report);
    ASSERT_TRUE(document) << error.toStdString();
    EXPECT_EQ(report.piecesLeftOut, 1);
    EXPECT_EQ(document->count("<trkseg>"), 4);
    EXPECT_GT(report.largestShiftPixels, 1.0);
    EXPECT_LE(report.largestShiftPixels, 20.1 + 1e-6); // the zigzag's deepest corner
    EXPECT_GT(report.largestShiftMetres, report.tolerance / 2.0);
    EXPECT_LE(report.largestShiftMetres, report.tolerance);

    // Isotherms beyond the track count are refused with both numbers.
    options.maxTracks = 1;
    EXPECT_FALSE(geo::gpxTracksDocument(Chart, {isotherm, isotherm}, options, &error));
    EXPECT_TRUE(error.contains("2 isotherms") && error.contains("takes 1")) << error.toStdString();
}

} // namespace
