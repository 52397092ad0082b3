// thalwise-cli export as a user runs it, the file read back by the field's own tools: GPSBabel
// and GDAL's ogrinfo find the same tracks the file holds, with the plotter's names.

#include <QCoreApplication>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

const QString Sample = QStringLiteral(THALWISE_SOURCE_DIR "/resources/samples/area-ne01.gif");

struct Ran {
    int status = -1;
    QString out;
    QString err;
};

Ran runProgram(const QString& program, const QStringList& args) {
    QProcess process;
    process.start(program, args);
    Ran ran;
    if (!process.waitForFinished(60000)) return ran;
    ran.status = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    ran.out = QString::fromUtf8(process.readAllStandardOutput());
    ran.err = QString::fromUtf8(process.readAllStandardError());
    return ran;
}

} // namespace

TEST(ExportReadBack, IsothermsAsGpxTracksThatGpsBabelAndOgrinfoRead) {
    const QString gpsbabel = QStandardPaths::findExecutable(QStringLiteral("gpsbabel"));
    const QString ogrinfo = QStandardPaths::findExecutable(QStringLiteral("ogrinfo"));
    if (gpsbabel.isEmpty() || ogrinfo.isEmpty())
        GTEST_SKIP() << "gpsbabel or ogrinfo (gdal-bin) is not installed; scripts/deps.sh "
                        "installs them";
    QTemporaryDir dir;
    const QString gpx = dir.filePath(QStringLiteral("isotherms.gpx"));
    const Ran exported = runProgram(QStringLiteral(THALWISE_CLI_EXE),
                                    {"export", Sample, gpx, "--isotherms", "every 2"});
    ASSERT_EQ(exported.status, 0) << exported.err.toStdString();
    QFile file(gpx);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray document = file.readAll();
    const qsizetype tracks = document.count("<trk>");
    // The sample's water spans 38 to 62 °F: the even degrees between give many lines.
    ASSERT_GT(tracks, 10);

    // GPSBabel's own GPX writer, fed by its GPX reader: every track comes through, each named
    // by its even temperature.
    const Ran babel = runProgram(gpsbabel, {"-t", "-i", "gpx", "-f", gpx, "-o", "gpx", "-F", "-"});
    ASSERT_EQ(babel.status, 0) << babel.err.toStdString();
    const QRegularExpression name(QStringLiteral("<trk>\\s*<name>([^<]*)</name>"));
    qsizetype named = 0;
    for (const QRegularExpressionMatch& match : name.globalMatch(babel.out)) {
        ++named;
        EXPECT_TRUE(QRegularExpression(QStringLiteral("^[0-9]*[02468]F$"))
                        .match(match.captured(1))
                        .hasMatch())
            << match.captured(1).toStdString();
    }
    EXPECT_EQ(named, tracks);

    // GDAL's GPX driver: one feature per track in the tracks layer.
    const Ran summary = runProgram(ogrinfo, {"-ro", "-so", gpx, "tracks"});
    ASSERT_EQ(summary.status, 0) << summary.err.toStdString();
    EXPECT_TRUE(summary.out.contains(QStringLiteral("Feature Count: %1").arg(tracks)))
        << summary.out.toStdString();
}

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
