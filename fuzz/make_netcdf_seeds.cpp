// Writes the NetCDF fuzzer's seeds with netCDF-C: an ERDDAP answer for ne01 from MUR (floats in
// °C) and from ACSPO (descending latitudes, a fill value), and one packed as GHRSST packs (int16
// kelvin with scale and offset, a mask), all NetCDF-3 as downloads must be.
#include "NetcdfWriter.h"

#include <QDir>

#include <cmath>
#include <cstdio>

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: fuzz_netcdf_seeds OUTDIR\n");
        return 2;
    }
    const QDir out(QString::fromLocal8Bit(argv[1]));
    using testsupport::SyntheticSst;
    const auto water = [](double lat, double lon) {
        return lat > 43.0 && lon < -70.5 ? std::nan("") : 12.0 + (43.5 - lat) + 0.5 * (lon + 71);
    };
    SyntheticSst mur;
    mur.latitudes = testsupport::cellCentres(41.2, 43.37, 0.05);
    mur.longitudes = testsupport::cellCentres(-71.07, -68.17, 0.05);
    mur.celsius = water;
    SyntheticSst acspo = mur;
    acspo.variable = QStringLiteral("sea_surface_temperature");
    acspo.latitudes = testsupport::cellCentres(43.37, 41.2, -0.05);
    acspo.fillValue = -327.68;
    SyntheticSst l4 = mur;
    l4.latitudeName = QStringLiteral("lat");
    l4.longitudeName = QStringLiteral("lon");
    l4.units = QStringLiteral("kelvin");
    l4.packed = true;
    l4.offset = 298.15;
    l4.fillValue = -32768;
    l4.writeMask = true;
    l4.land = [](double lat, double lon) { return lat > 42.5 && lon > -69.0; };
    bool ok = testsupport::writeSstFile(mur, out.filePath(QStringLiteral("erddap-mur.nc")));
    ok &= testsupport::writeSstFile(acspo, out.filePath(QStringLiteral("erddap-acspo.nc")));
    ok &= testsupport::writeSstFile(l4, out.filePath(QStringLiteral("packed-kelvin.nc")));
    return ok ? 0 : 1;
}
