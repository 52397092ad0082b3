// Charts made from data: what a pixel shows and keeps, the rule for the scale's range, and
// filing into the archive beside the charts of other sources.
#include "sst/DataChart.h"
#include "NetcdfWriter.h"
#include "geo/AreaStuff.h"
#include "geo/Coastline.h"
#include "geo/Palette.h"
#include "geo/TemperatureScale.h"
#include "geo/vekMapping.h"
#include "platform/LocalFileSystem.h"
#include "sst/DataChartFiling.h"
#include "sst/GriddapRequest.h"
#include "sst/NetcdfGrid.h"
#include "sst/SstSources.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <cmath>

namespace {

using testsupport::cellCentres;
using testsupport::SyntheticSst;

constexpr int Ne01 = 1;
constexpr int Fl14 = 30;

double water(double lat, double lon) {
    return 26.0 - 0.9 * (lat - 27.0) + 0.2 * (lon + 80.0) + 0.4 * std::sin(lon * 25.0);
}

// The data's own grid and what the chart makes of it, for one area.
struct AreaData {
    int area;
    const char* source;
    SyntheticSst file;
    std::function<bool(double, double)> land, cloud;
};

float toFahrenheit(double celsius) {
    return float(celsius * 9.0 / 5.0 + 32.0);
}

TEST(SstDataChart, PixelsShowAndKeepTheNearestCell) {
    std::vector<AreaData> areas;
    {
        // The north-east from MUR: no mask, gaps are land.
        SyntheticSst d;
        d.latitudes = cellCentres(40.5, 44.0, 0.01);
        d.longitudes = cellCentres(-72.0, -67.5, 0.01);
        d.time = 1448960400.0;
        d.timeUnits = QStringLiteral("seconds since 1981-01-01 00:00:00");
        const auto land = [](double lat, double lon) { return lat > 42.0 && lon > -69.5; };
        areas.push_back({Ne01, "mur", d, land, [](double, double) { return false; }});
    }
    {
        // The Gulf from ACSPO: descending latitudes, a mask, clouds as gaps, kelvin.
        SyntheticSst d;
        d.variable = QStringLiteral("sea_surface_temperature");
        d.latitudes = cellCentres(31.0, 27.5, -0.02);
        d.longitudes = cellCentres(-88.5, -84.5, 0.02);
        d.units = QStringLiteral("kelvin");
        d.fillValue = -999.0;
        d.writeMask = true;
        const auto land = [](double lat, double) { return lat > 30.2; };
        const auto cloud = [](double lat, double lon) {
            return std::hypot(lat - 29.0, lon + 86.0) < 0.4;
        };
        areas.push_back({Fl14, "acspo", d, land, cloud});
    }

    geo::TemperatureScale scale;
    const QImage scaleBitmap = geo::TemperatureScale::BuildScaleBitmap(geo::builtinPaletteText());
    for (AreaData& a : areas) {
        SCOPED_TRACE(a.source);
        a.file.land = a.land;
        const auto cloud = a.cloud;
        a.file.celsius = [cloud](double lat, double lon) {
            return cloud(lat, lon) ? std::nan("") : water(lat, lon);
        };
        const sst::SstSource& source = *sst::findSource(QString::fromLatin1(a.source));
        QString error;
        const std::optional<geo::SstGrid> grid =
            sst::decodeSstGrid(testsupport::sstFileBytes(a.file),
                               {source.variable, sst::chartBox(a.area), source.name}, &error);
        ASSERT_TRUE(grid) << error.toStdString();
        sst::DataChartOptions options;
        options.gapsAreLand = source.gap == sst::SstSource::Gap::Land;
        const std::optional<sst::DataChart> chart =
            sst::makeDataChart(*grid, a.area, options, &error);
        ASSERT_TRUE(chart) << error.toStdString();
        ASSERT_EQ(chart->indices.size(), 1024u * 1024u);
        ASSERT_TRUE(scale.TempScaleChange(scaleBitmap, chart->range.min, chart->range.max));
        const double rowStep = (chart->range.max - chart->range.min) / 255.0;

        const geo::Calibration calibration = geo::Calibration::forArea(a.area);
        const std::vector<std::uint8_t> coastline = geo::landMask(a.area, 1024, 1024);
        int landSeen = 0, cloudSeen = 0, waterSeen = 0;
        for (int y = 4; y < 1024; y += 31)
            for (int x = 4; x < 1024; x += 29) {
                float lat = 0, lon = 0;
                ASSERT_TRUE(PixelToGeo(calibration, x, y, lat, lon));
                // The nearest cell of the evenly spaced grid the test wrote.
                const auto nearest = [](const std::vector<double>& cells, double v) {
                    const double step = cells[1] - cells[0];
                    return cells[std::size_t(std::lround((v - cells[0]) / step))];
                };
                const double cellLat = nearest(a.file.latitudes, lat);
                const double cellLon = nearest(a.file.longitudes, lon);
                const std::uint8_t index = chart->indices[std::size_t(y) * 1024 + x];
                const float kept = chart->temperatures.at(x, y);
                SCOPED_TRACE(testing::Message() << "pixel " << x << "," << y);
                if (a.land(cellLat, cellLon) || coastline[std::size_t(y) * 1024 + x]) {
                    EXPECT_EQ(index, sst::LandIndex);
                    EXPECT_TRUE(std::isnan(kept));
                    ++landSeen;
                } else if (a.cloud(cellLat, cellLon)) {
                    EXPECT_EQ(index, sst::CloudIndex);
                    EXPECT_TRUE(std::isnan(kept));
                    ++cloudSeen;
                } else {
                    const float expected = toFahrenheit(water(cellLat, cellLon));
                    EXPECT_NEAR(kept, expected, 1e-3);
                    EXPECT_GE(kept, chart->range.min);
                    EXPECT_LE(kept, chart->range.max);
                    if (index == sst::CoastIndex) continue;
                    // The colour reads back as the program reads any chart's colour.
                    const QRgb colour = scaleBitmap.pixel(15, 255 - index);
                    EXPECT_NEAR(
                        scale.TemperatureOfAverage(qRed(colour), qGreen(colour), qBlue(colour)),
                        expected, 5 * rowStep); // hues repeat over a few rows
                    ++waterSeen;
                }
            }
        EXPECT_GT(landSeen, 20);
        EXPECT_GT(waterSeen, 200);
        EXPECT_EQ(cloudSeen > 0, a.area == Fl14);
        // A black coastline runs between land and water.
        const auto coast =
            std::count(chart->indices.begin(), chart->indices.end(), sst::CoastIndex);
        EXPECT_GT(coast, 900);
    }
}

TEST(SstDataChart, ScaleRangeRule) {
    using R = geo::ScaleRange;
    const struct {
        const char* what;
        std::optional<float> low, high;
        std::optional<R> previous;
        R range;
    } cases[] = {
        {"fitted with a margin", 61.3f, 74.6f, std::nullopt, {59, 77}},
        {"whole degrees are the water's own", 61.0f, 75.0f, std::nullopt, {59, 77}},
        {"narrow water widened to ten", 70.2f, 71.1f, std::nullopt, {66, 76}},
        {"kept from the day before", 61.3f, 74.6f, R{55, 80}, {55, 80}},
        {"kept at its very edge", 55.0f, 80.0f, R{55, 80}, {55, 80}},
        {"water left it below", 58.5f, 70.0f, R{60, 80}, {56, 72}},
        {"water left it above", 61.0f, 80.2f, R{55, 80}, {59, 83}},
        {"too wide to keep", 61.3f, 74.6f, R{30, 90}, {59, 77}},
        {"upside down is no range", 61.3f, 74.6f, R{80, 60}, {59, 77}},
        {"no water keeps the day before", std::nullopt, std::nullopt, R{55, 80}, {55, 80}},
        {"no water at all", std::nullopt, std::nullopt, std::nullopt, {30, 80}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const R range = sst::chartScaleRange(c.low, c.high, c.previous);
        EXPECT_EQ(range.min, c.range.min);
        EXPECT_EQ(range.max, c.range.max);
    }
}

// A small chart of ne01 from data with a fixed time, source and range.
sst::DataChart smallChart(const QString& source, QDateTime time, geo::ScaleRange range) {
    geo::SstGrid grid;
    grid.latitudes = {41.0, 42.0, 43.0, 44.0};
    grid.longitudes = {-72.0, -71.0, -70.0, -69.0, -68.0};
    grid.celsius.assign(20, 15.0f);
    grid.time = time;
    grid.source = source;
    sst::DataChartOptions options;
    options.range = range;
    return *sst::makeDataChart(grid, Ne01, options);
}

TEST(SstDataChart, FiledBesideOtherSourcesWithTheRangeKept) {
    QTemporaryDir folder;
    const QString archiveFolder =
        QDir::toNativeSeparators(folder.path() + QStringLiteral("/archive/"));
    ASSERT_TRUE(QDir().mkpath(archiveFolder));
    platform::LocalFileSystem fileSystem;
    const auto file = [&](const QString& source, QDate day, geo::ScaleRange range) {
        const sst::DataChart chart =
            smallChart(source, QDateTime(day, QTime(9, 0), Qt::UTC), range);
        QString error;
        const std::optional<QString> filed = sst::fileDataChart(
            fileSystem, *sst::encodeDataChart(chart), chart.timestamp, archiveFolder, &error);
        EXPECT_TRUE(filed) << error.toStdString();
        return filed.value_or(QString());
    };
    const QDate today(2026, 12, 1);
    file(QStringLiteral("mur"), today.addDays(-3), {40, 60});
    file(QStringLiteral("mur"), today.addDays(-1), {50, 70});
    file(QStringLiteral("acspo"), today.addDays(-1), {45, 75});
    file(QStringLiteral("mur"), today.addDays(1), {52, 72}); // a later chart is not "before"
    const QString stamp = QStringLiteral("2026-12-01-09-mur-ne01");
    const std::optional<geo::ScaleRange> kept =
        sst::previousScaleRange(fileSystem, archiveFolder, stamp);
    ASSERT_TRUE(kept);
    EXPECT_EQ(kept->min, 50);
    EXPECT_EQ(kept->max, 70);
    EXPECT_FALSE(sst::previousScaleRange(fileSystem, archiveFolder,
                                         QStringLiteral("2026-12-01-09-mur-ne02")));

    // Two sources of one day keep a file each; filing again replaces only its own.
    const QString mur = file(QStringLiteral("mur"), today, {50, 70});
    const QString acspo = file(QStringLiteral("acspo"), today, {50, 70});
    EXPECT_EQ(mur, archiveFolder + stamp + QStringLiteral(".gif"));
    EXPECT_EQ(acspo, archiveFolder + QStringLiteral("2026-12-01-09-acspo-ne01.gif"));
    EXPECT_EQ(file(QStringLiteral("mur"), today, {51, 71}), mur);
    EXPECT_EQ(QDir(archiveFolder).entryList({QStringLiteral("*ne01.gif")}, QDir::Files).size(), 6);
    EXPECT_EQ(QFileInfo(mur).lastModified(), QDateTime(today, QTime(9, 0)));
    // The time stamp is the data's hour in UTC; a file of no known source is "data".
    EXPECT_EQ(sst::dataChartTimestamp(
                  QDateTime(QDate(2026, 12, 1), QTime(23, 0), Qt::OffsetFromUTC, -5 * 3600),
                  QString(), Fl14),
              QStringLiteral("2026-12-02-04-data-fl14"));
}

} // namespace
