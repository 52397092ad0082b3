// thalwise-cli chart: a NetCDF file a user downloaded becomes a chart of an area, which info and
// probe then read as any chart; a file that is no sea temperature is refused in plain words.
#include "CliRun.h"
#include "NetcdfWriter.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QTemporaryDir>

#include <cmath>

namespace {

using testsupport::SyntheticSst;

double water(double lat, double lon) {
    return 11.0 + 2.0 * (43.5 - lat) + 1.2 * (lon + 71.0);
}

TEST(CliChart, GhrsstFileBecomesAChartThatProbeReads) {
    QTemporaryDir folder;
    SyntheticSst d; // a GHRSST L4 file as distributed for MUR, over a piece of the north-east
    d.format = SyntheticSst::Format::Netcdf4;
    d.latitudeName = QStringLiteral("lat");
    d.longitudeName = QStringLiteral("lon");
    d.latitudes = testsupport::cellCentres(40.8, 43.8, 0.01);
    d.longitudes = testsupport::cellCentres(-71.5, -67.8, 0.01);
    d.units = QStringLiteral("kelvin");
    d.packed = true;
    d.offset = 298.15;
    d.fillValue = -32768;
    d.writeMask = true;
    d.celsius = water;
    d.land = [](double lat, double lon) { return lat > 42.6 && lon < -70.6; };
    d.time = 1448960400.0;
    d.timeUnits = QStringLiteral("seconds since 1981-01-01 00:00:00");
    const QString data = folder.filePath(QStringLiteral("20261201090000-JPL-L4_GHRSST-MUR.nc"));
    ASSERT_TRUE(testsupport::writeSstFile(d, data));
    const QString chart = folder.filePath(QStringLiteral("area-ne01.gif"));

    const CliRun made = runCli(
        {QStringLiteral("chart"), data, chart, QStringLiteral("--area"), QStringLiteral("ne01")});
    ASSERT_EQ(made.status, 0) << made.err.toStdString();
    EXPECT_TRUE(made.out.contains(QStringLiteral("timestamp: 2026-12-01-09-data-ne01\n")))
        << made.out.toStdString();
    // The variation of the World Magnetic Model off Cape Cod in December 2026: about 14° W.
    const qsizetype variation = made.out.indexOf(QStringLiteral("variation: "));
    EXPECT_NEAR(made.out.mid(variation + 11).trimmed().toDouble(), -14.3, 0.7)
        << made.out.toStdString();
    const CliRun info = runCli({QStringLiteral("info"), chart});
    EXPECT_TRUE(info.out.contains(QStringLiteral("timestamp: 2026-12-01-09-data-ne01\n")));

    // Readings across the chart match the data written at the cell nearest each position.
    for (const auto& [lat, lon] : {std::pair{41.25, -69.5}, std::pair{42.2, -69.8},
                                   std::pair{42.6, -69.3}, std::pair{43.2, -68.4}}) {
        SCOPED_TRACE(testing::Message() << lat << "," << lon);
        const CliRun probe = runCli({QStringLiteral("probe"), chart, QStringLiteral("--at"),
                                     QStringLiteral("%1,%2").arg(lat).arg(lon)});
        ASSERT_EQ(probe.status, 0) << probe.err.toStdString();
        const qsizetype at = probe.out.indexOf(QStringLiteral("temperature: "));
        const float read = probe.out.mid(at + 13).trimmed().toFloat();
        EXPECT_NEAR(read, water(lat, lon) * 9.0 / 5.0 + 32.0, 0.3) << probe.out.toStdString();
    }
    const CliRun onLand = runCli(
        {QStringLiteral("probe"), chart, QStringLiteral("--at"), QStringLiteral("43.2,-70.9")});
    EXPECT_TRUE(onLand.out.contains(QStringLiteral("temperature: none")))
        << onLand.out.toStdString();

    // The user's own range.
    const CliRun ranged =
        runCli({QStringLiteral("chart"), data, chart, QStringLiteral("--area"), QStringLiteral("1"),
                QStringLiteral("--min"), QStringLiteral("40"), QStringLiteral("--max"),
                QStringLiteral("70")});
    EXPECT_TRUE(ranged.out.contains(QStringLiteral("tmin: 40\ntmax: 70\n")))
        << ranged.out.toStdString();
}

TEST(CliChart, WrongInputIsNamed) {
    QTemporaryDir folder;
    SyntheticSst d;
    d.latitudes = testsupport::cellCentres(41.0, 43.5, 0.05);
    d.longitudes = testsupport::cellCentres(-71.2, -68.0, 0.05);
    d.celsius = water;
    d.units = QStringLiteral("m s-1");
    const QString wind = folder.filePath(QStringLiteral("wind.nc"));
    ASSERT_TRUE(testsupport::writeSstFile(d, wind));
    const QString out = folder.filePath(QStringLiteral("out.gif"));
    const struct {
        QStringList args;
        int status;
        const char* says;
    } cases[] = {
        {{wind, out, QStringLiteral("--area"), QStringLiteral("ne01")},
         1,
         "no temperature unit this program knows"},
        {{folder.filePath(QStringLiteral("missing.nc")), out, QStringLiteral("--area"),
          QStringLiteral("ne01")},
         1,
         "There is no file"},
        {{wind, out, QStringLiteral("--area"), QStringLiteral("zz99")},
         2,
         "--area zz99 no such area"},
        {{wind, out}, 2, "usage: thalwise-cli chart DATA.nc OUT.gif"},
        {{wind, out, QStringLiteral("--area"), QStringLiteral("ne01"), QStringLiteral("--min"),
          QStringLiteral("50")},
         2,
         "give --min and --max together"},
        {{wind, out, QStringLiteral("--area"), QStringLiteral("ne01"), QStringLiteral("--min"),
          QStringLiteral("70"), QStringLiteral("--max"), QStringLiteral("50")},
         2,
         "--min must be below --max"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.says);
        const CliRun run = runCli(QStringList{QStringLiteral("chart")} + c.args);
        EXPECT_EQ(run.status, c.status);
        EXPECT_TRUE(run.err.contains(QString::fromUtf8(c.says))) << run.err.toStdString();
    }
    EXPECT_FALSE(QFile::exists(out));
}

} // namespace
