// thalwise-cli export as a user runs it, the file read back by the field's own tools: it is valid
// GPX 1.1 by the schema, and GPSBabel and GDAL's ogrinfo find the same tracks the file holds,
// with the plotter's names, within the plotter's track count.

#include "support/ToolRun.h"

#include <QCoreApplication>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>

#include <gtest/gtest.h>

TEST(ExportReadBack, IsothermsAsGpxTracksThatGpsBabelAndOgrinfoRead) {
    SKIP_WITHOUT_TOOLS("gpsbabel", "ogrinfo", "xmllint");
    QTemporaryDir dir;
    const QString gpx = dir.filePath(QStringLiteral("isotherms.gpx"));
    toolOutput(QStringLiteral(THALWISE_CLI_EXE),
               {"export", QStringLiteral(THALWISE_SOURCE_DIR "/resources/samples/area-ne01.gif"),
                gpx, "--isotherms", "every 2", "--plotter", "garmin-older"});
    QFile file(gpx);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray document = file.readAll();
    const qsizetype tracks = document.count("<trk>");
    // The sample's water spans 38 to 62 °F: the even degrees between, one track each, within
    // the 15 an older Garmin holds.
    EXPECT_GE(tracks, 8);
    EXPECT_LE(tracks, 13);
    EXPECT_GT(document.count("<trkseg>"), tracks);
    toolOutput("xmllint", {"--noout", "--schema",
                           QStringLiteral(THALWISE_SOURCE_DIR "/tests/data/gpx/gpx11.xsd"), gpx});

    // GPSBabel's own GPX writer, fed by its GPX reader: every track comes through, each named
    // by its even temperature.
    const QString babel = QString::fromUtf8(
        toolOutput("gpsbabel", {"-t", "-i", "gpx", "-f", gpx, "-o", "gpx", "-F", "-"}));
    const QRegularExpression name(QStringLiteral("<trk>\\s*<name>([^<]*)</name>"));
    qsizetype named = 0;
    for (const QRegularExpressionMatch& match : name.globalMatch(babel)) {
        ++named;
        EXPECT_TRUE(QRegularExpression(QStringLiteral("^[0-9]*[02468]F$"))
                        .match(match.captured(1))
                        .hasMatch())
            << match.captured(1).toStdString();
    }
    EXPECT_EQ(named, tracks);

    // GDAL's GPX driver: one feature per track in the tracks layer.
    EXPECT_TRUE(toolOutput("ogrinfo", {"-ro", "-so", gpx, "tracks"})
                    .contains(QStringLiteral("Feature Count: %1").arg(tracks).toUtf8()));
}

// The options a user reaches the plotter profiles, the grid's unit and the isotherm lists by.
TEST(ExportReadBack, PlotterCelsiusAndRefusedListsOnTheCommandLine) {
    QTemporaryDir dir;
    const QString chart = QStringLiteral(THALWISE_SOURCE_DIR "/resources/samples/area-ne01.gif");
    struct Run {
        int status;
        QString out, err;
    };
    auto run = [](const QStringList& args) {
        QProcess cli;
        cli.start(QStringLiteral(THALWISE_CLI_EXE), args);
        cli.waitForFinished(120000);
        return Run{cli.exitCode(), QString::fromUtf8(cli.readAllStandardOutput()),
                   QString::fromUtf8(cli.readAllStandardError())};
    };
    const QString gpx = dir.filePath("lines.gpx");
    // A value outside the chart's range is refused by name, never dropped (the list's rules are
    // the isotherm list's own).
    const Run refused = run({"export", chart, gpx, "--isotherms", "50,500"});
    EXPECT_EQ(refused.status, 2);
    EXPECT_TRUE(refused.err.contains("500 is outside") && refused.err.contains("38 to 62"))
        << refused.err.toStdString();
    EXPECT_FALSE(QFile::exists(gpx));
    EXPECT_TRUE(
        run({"export", chart, gpx, "--breaks", "--plotter", "tomtom"})
            .err.contains("--plotter tomtom: no such plotter; one of garmin, garmin-older"));

    // An older Garmin's 15 tracks: the weakest breaks left out, and the user told so.
    const Run garmin = run({"export", chart, gpx, "--breaks", "--plotter", "GARMIN-OLDER"});
    EXPECT_EQ(garmin.status, 0) << garmin.err.toStdString();
    EXPECT_TRUE(garmin.out.startsWith("15 tracks for Garmin, older models"))
        << garmin.out.toStdString();
    EXPECT_TRUE(garmin.err.contains("warning: Break lines left out")) << garmin.err.toStdString();

    SKIP_WITHOUT_TOOLS("gdalinfo");
    const QString tif = dir.filePath("grid.tif");
    EXPECT_EQ(run({"export", chart, tif, "--temperature", "--celsius"}).status, 0);
    EXPECT_TRUE(toolOutput("gdalinfo", {tif}).contains("Unit Type: \u00B0C"));
}

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
