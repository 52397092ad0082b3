#pragma once
// The ERDDAP griddap request for one area's chart: the source's variable over the box the chart
// covers, as NetCDF.

#include <QDateTime>
#include <QString>

#include <optional>

namespace sst {

struct SstSource;

// A latitude/longitude box in degrees (longitudes east positive).
struct GeoBox {
    double south = 0.0;
    double north = 0.0;
    double west = 0.0;
    double east = 0.0;
};

// The box a calibrated area's chart covers, to the outer edges of its corner pixels; nothing
// for an index outside 1..30.
std::optional<GeoBox> chartBox(int area);

// The box grown by margin degrees on every side.
GeoBox grownBox(const GeoBox& box, double margin);

// SERVER/griddap/DATASET.nc?VAR[(TIME)][(LAT):1:(LAT)][(LON):1:(LON)] for the area's chart box
// plus one data cell on every side, brackets percent-encoded. TIME is "last" without a time,
// else the time in UTC as ISO 8601 (ERDDAP takes the nearest time it has). The latitude range
// runs in the dataset's own order. serverOverride, when not empty, replaces the source's
// server (the part before "/griddap/"; trailing slashes dropped). Empty for an area outside
// 1..30.
QString griddapUrl(const SstSource& source, int area, const std::optional<QDateTime>& time,
                   const QString& serverOverride = {});

} // namespace sst
