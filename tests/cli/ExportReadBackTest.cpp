// thalwise-cli export as a user runs it, the file read back by the field's own tools: GPSBabel
// and GDAL's ogrinfo find the same tracks the file holds, with the plotter's names.

#include "support/ToolRun.h"

#include <QCoreApplication>
#include <QFile>
#include <QRegularExpression>
#include <QTemporaryDir>

#include <gtest/gtest.h>

TEST(ExportReadBack, IsothermsAsGpxTracksThatGpsBabelAndOgrinfoRead) {
    SKIP_WITHOUT_TOOLS("gpsbabel", "ogrinfo");
    QTemporaryDir dir;
    const QString gpx = dir.filePath(QStringLiteral("isotherms.gpx"));
    toolOutput(QStringLiteral(THALWISE_CLI_EXE),
               {"export", QStringLiteral(THALWISE_SOURCE_DIR "/resources/samples/area-ne01.gif"),
                gpx, "--isotherms", "every 2"});
    QFile file(gpx);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const qsizetype tracks = file.readAll().count("<trk>");
    // The sample's water spans 38 to 62 °F: the even degrees between give many lines.
    ASSERT_GT(tracks, 10);

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

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
