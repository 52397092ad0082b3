#pragma once
// What an ERDDAP server answers for an area's chart, for tests that serve it from a local server:
// the area's chart box and a cell more at 0.01°, latitude descending (as ACSPO sends it), in
// kelvin, 20 °C at 38° N falling by a degree per degree north. Needs thalwise_sst and
// thalwise_netcdf_writer.

#include "sst/GriddapRequest.h"
#include "sst/SstSources.h"
#include "support/NetcdfWriter.h"

#include <QUrl>

#include <cmath>

namespace testsupport {

inline double answeredCelsius(double latitude) {
    return 20.0 - (latitude - 38.0);
}

inline QByteArray areaAnswer(int area, double unixTime = 1796112000.0 /* 2026-12-01 08:00 UTC */) {
    const sst::GeoBox box = sst::grownBox(*sst::chartBox(area), 0.02);
    SyntheticSst data;
    data.latitudes =
        cellCentres(std::ceil(box.north * 100) / 100, std::floor(box.south * 100) / 100, -0.01);
    data.longitudes =
        cellCentres(std::floor(box.west * 100) / 100, std::ceil(box.east * 100) / 100, 0.01);
    data.units = QStringLiteral("kelvin");
    data.time = unixTime;
    data.celsius = [](double lat, double) { return answeredCelsius(lat); };
    return sstFileBytes(data);
}

// The request target (path and query) the program sends for an area's latest chart of the
// default source from a server at `server`.
inline QByteArray latestTarget(int area, const QString& server) {
    return QUrl(sst::griddapUrl(sst::defaultSource(), area, std::nullopt, server))
        .toEncoded(QUrl::RemoveScheme | QUrl::RemoveAuthority);
}

} // namespace testsupport
