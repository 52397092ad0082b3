// NetCDF files as ERDDAP answers and as GHRSST publishes them, decoded into a data set's grid and
// checked cell by cell against the temperatures written; and the files that must be refused.
#include "sst/NetcdfGrid.h"
#include "NetcdfWriter.h"
#include "sst/GriddapRequest.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QTemporaryDir>

#include <cmath>

namespace {

using testsupport::cellCentres;
using testsupport::SyntheticSst;

constexpr int Ne01 = 1;

double eastPositive(double lon) {
    return lon > 180.0 ? lon - 360.0 : lon;
}
// The water of the tests' files, °C: colder to the north-west, with a ripple.
double water(double lat, double lon) {
    lon = eastPositive(lon);
    return 12.0 + 2.5 * (43.5 - lat) + 0.8 * (lon + 71.0) + 0.3 * std::sin(lat * 40.0);
}
bool cloud(double lat, double lon) {
    return lat > 43.0 && eastPositive(lon) < -70.5;
}
bool land(double lat, double lon) {
    return lat > 42.0 && eastPositive(lon) > -69.5;
}

// A file over the north-east with one step of the given size.
SyntheticSst northEast(double step, bool descending) {
    SyntheticSst d;
    d.latitudes = descending ? cellCentres(44.0, 40.5, -step) : cellCentres(40.5, 44.0, step);
    d.longitudes = cellCentres(-72.0, -67.5, step);
    d.celsius = [](double lat, double lon) {
        return cloud(lat, lon) ? std::nan("") : water(lat, lon);
    };
    return d;
}

TEST(SstNetcdf, FilesDecodeToTheValuesWritten) {
    struct Case {
        const char* what;
        SyntheticSst file;
        QDateTime time;
        bool hasMask;
    };
    std::vector<Case> cases;
    // ERDDAP's own answers (MUR ascending with NaN gaps, ACSPO descending in kelvin with a fill
    // value) are decoded pixel by pixel where charts are made of them.
    {
        SyntheticSst d = testsupport::ghrsstL4(); // int16 kelvin, scale, offset, mask
        const SyntheticSst cells = northEast(0.01, false);
        d.latitudes = cells.latitudes;
        d.longitudes = cells.longitudes;
        d.celsius = cells.celsius;
        d.land = land;
        cases.push_back(
            {"GHRSST L4", d, QDateTime(QDate(2026, 12, 1), QTime(9, 0), Qt::UTC), true});
    }
    {
        SyntheticSst d = northEast(0.05, true); // elsewhere: 0..360, "sst", missing_value
        d.variable = QStringLiteral("sst");
        d.units = QStringLiteral("Celsius");
        d.longitudes = cellCentres(288.0, 292.5, 0.05);
        d.missingValue = -999.0;
        d.time = 36;
        d.timeUnits = QStringLiteral("hours since 2026-11-30 00:00:00.0");
        cases.push_back({"0 to 360, missing_value", d,
                         QDateTime(QDate(2026, 12, 1), QTime(12, 0), Qt::UTC), false});
    }

    const sst::GeoBox box = *sst::chartBox(Ne01);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        // A download is NetCDF-3 and decoded in memory; a GHRSST file is read from disk.
        const sst::GridRequest request{QString(), box, QStringLiteral("mur")};
        QString error;
        std::optional<geo::SstGrid> grid;
        QTemporaryDir folder;
        if (c.file.format == SyntheticSst::Format::Netcdf4) {
            const QString path = folder.filePath(QStringLiteral("l4.nc"));
            ASSERT_TRUE(testsupport::writeSstFile(c.file, path));
            grid = sst::readSstGridFile(path, request, &error);
        } else {
            grid = sst::decodeSstGrid(testsupport::sstFileBytes(c.file), request, &error);
        }
        ASSERT_TRUE(grid) << error.toStdString();
        EXPECT_EQ(grid->time, c.time);
        EXPECT_EQ(grid->source, QStringLiteral("mur"));
        EXPECT_EQ(grid->land.empty(), !c.hasMask);
        // Only the box and the cells bracketing it are read, in the file's latitude order.
        const double step = std::abs(c.file.latitudes[1] - c.file.latitudes[0]);
        const auto [south, north] = std::minmax(grid->latitudes.front(), grid->latitudes.back());
        EXPECT_LE(south, box.south);
        EXPECT_GE(north, box.north);
        EXPECT_GT(south, box.south - step - 1e-9);
        EXPECT_LT(north, box.north + step + 1e-9);
        EXPECT_EQ(grid->latitudes.front() > grid->latitudes.back(),
                  c.file.latitudes.front() > c.file.latitudes.back());
        EXPECT_LE(grid->longitudes.front(), box.west);
        EXPECT_GE(grid->longitudes.back(), box.east);
        EXPECT_GT(grid->longitudes.front(), box.west - step - 1e-9);
        int gaps = 0, landCells = 0;
        for (std::size_t r = 0; r < grid->rows(); ++r)
            for (std::size_t k = 0; k < grid->columns(); ++k) {
                const double lat = grid->latitudes[r], lon = grid->longitudes[k];
                const float value = grid->at(r, k);
                const bool isLand = c.file.land && land(lat, lon);
                if (c.hasMask) {
                    EXPECT_EQ(grid->land[r * grid->columns() + k] != 0, isLand);
                    landCells += isLand;
                }
                if (isLand || cloud(lat, lon)) {
                    EXPECT_TRUE(std::isnan(value)) << lat << " " << lon;
                    ++gaps;
                } else {
                    ASSERT_NEAR(value, water(lat, lon), c.file.packed ? c.file.scale : 1e-4)
                        << lat << " " << lon;
                }
            }
        EXPECT_GT(gaps, 0);
        EXPECT_EQ(landCells > 0, c.hasMask);
    }
}

TEST(SstNetcdf, GlobalFileReadOnlyOverTheArea) {
    // MUR's global grid, 17,999 x 36,000 cells, with only the cells around the area stored.
    SyntheticSst d = testsupport::ghrsstL4();
    d.latitudes = cellCentres(-89.99, 89.99, 0.01);
    d.longitudes = cellCentres(-179.99, 180.0, 0.01);
    ASSERT_EQ(d.latitudes.size(), 17999u);
    ASSERT_EQ(d.longitudes.size(), 36000u);
    d.celsius = water;
    d.rowSpan = {{13000, 400}};    // 40.01 to 44.00
    d.columnSpan = {{10800, 400}}; // -71.99 to -68.00
    QTemporaryDir folder;
    const QString path = folder.filePath(QStringLiteral("mur-global.nc"));
    ASSERT_TRUE(testsupport::writeSstFile(d, path));
    QString error;
    const std::optional<geo::SstGrid> grid =
        sst::readSstGridFile(path, {QString(), sst::chartBox(Ne01), QString()}, &error);
    ASSERT_TRUE(grid) << error.toStdString();
    EXPECT_LT(grid->rows() * grid->columns(), 300u * 300u);
    for (std::size_t r = 0; r < grid->rows(); r += 17)
        for (std::size_t k = 0; k < grid->columns(); k += 13)
            ASSERT_NEAR(grid->at(r, k), water(grid->latitudes[r], grid->longitudes[k]), 0.001);
}

QByteArray fuzzFinding(const char* name) {
    QFile file(QStringLiteral(THALWISE_SOURCE_DIR "/fuzz/crashes/") + QLatin1String(name));
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

TEST(SstNetcdf, RefusedInPlainWords) {
    const sst::GeoBox box = *sst::chartBox(Ne01);
    const auto fileWith = [](auto change) {
        SyntheticSst d = northEast(0.05, false);
        d.withTime = false;
        change(d);
        return testsupport::sstFileBytes(d);
    };
    const QByteArray good = fileWith([](SyntheticSst&) {});
    QByteArray huge = good;
    // The first dimension's length (latitude, after its 8-letter name) claims 2,147,483,632.
    ASSERT_EQ(huge.mid(20, 8), QByteArray("latitude"));
    huge.replace(28, 4, QByteArray("\x7f\xff\xff\xf0", 4));
    const struct {
        const char* what;
        QByteArray bytes;
        std::optional<sst::GeoBox> box;
        const char* says;
    } cases[] = {
        {"not NetCDF", "<html>Sign in</html>", box, "not a NetCDF file"},
        // A header of a few bytes that claims a variable of 16 million dimensions once made
        // netCDF-C allocate for seconds before it gave up.
        {"absurd header", fuzzFinding("fixed-netcdf3-variable-of-16-million-dimensions.nc"), box,
         "header is damaged"},
        {"cut by one byte", good.left(good.size() - 1), box, "cut short"},
        {"header cut", good.left(40), box, "cut short"},
        {"absurd dimension", huge, box, "cut short"},
        {"speed, not temperature", fileWith([](SyntheticSst& d) {
             d.variable = QStringLiteral("wind");
             d.units = QStringLiteral("m s-1");
         }),
         box, "no sea-surface temperature"},
        {"unit unknown", fileWith([](SyntheticSst& d) { d.units = QStringLiteral("furlongs"); }),
         box, "\"furlongs\", which is no temperature unit"},
        {"no unit", fileWith([](SyntheticSst& d) { d.units.clear(); }), box,
         "does not say in which unit"},
        {"not over latitude and longitude", fileWith([](SyntheticSst& d) {
             d.latitudeName = QStringLiteral("y");
             d.longitudeName = QStringLiteral("x");
         }),
         box, "no sea-surface temperature"},
        {"elsewhere", good, *sst::chartBox(30), "no data for this area"},
        // A download in NetCDF-4 (HDF5) once overflowed HDF5's buffers; downloads must be
        // NetCDF-3.
        {"NetCDF-4 downloaded",
         fileWith([](SyntheticSst& d) { d.format = SyntheticSst::Format::Netcdf4; }), box,
         "only from a file you choose"},
        {"the HDF5 file that overflowed", fuzzFinding("fixed-netcdf4-download-overflows-hdf5.nc"),
         box, "NetCDF-4"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        QString error;
        EXPECT_FALSE(sst::decodeSstGrid(c.bytes, {QString(), c.box, QString()}, &error));
        EXPECT_FALSE(error.isEmpty());
        EXPECT_TRUE(error.contains(QString::fromUtf8(c.says))) << error.toStdString();
    }
}

} // namespace
