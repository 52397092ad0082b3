// thalwise-cli chart: a NetCDF file a user downloaded becomes a chart of an area, which info and
// probe then read as any chart.
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
    // A GHRSST L4 file as distributed for MUR, over a piece of the north-east.
    SyntheticSst d = testsupport::ghrsstL4();
    d.latitudes = testsupport::cellCentres(40.8, 43.8, 0.01);
    d.longitudes = testsupport::cellCentres(-71.5, -67.8, 0.01);
    d.celsius = water;
    d.land = [](double lat, double lon) { return lat > 42.6 && lon < -70.6; };
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
    const CliRun half = runCli({QStringLiteral("chart"), data, chart, QStringLiteral("--area"),
                                QStringLiteral("ne01"), QStringLiteral("--min"), QStringLiteral("40")});
    EXPECT_EQ(half.status, 2);
    EXPECT_TRUE(half.err.contains(QStringLiteral("give --min and --max together")));
}


} // namespace
