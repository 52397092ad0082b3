#include "sst/GriddapRequest.h"

#include "geo/AreaStuff.h"
#include "geo/vekMapping.h"
#include "sst/SstSources.h"

#include <algorithm>

namespace sst {

namespace {

// A chart's picture is this many pixels on each side; its calibration is made for it.
constexpr double ChartPixels = 1024.0;

QString degrees(double value) {
    // Four decimals: a hundredth of the finest data cell.
    return QString::number(value, 'f', 4);
}

} // namespace

std::optional<GeoBox> chartBox(int area) {
    const geo::Calibration calibration = geo::Calibration::forArea(area);
    if (!calibration.Valid) return std::nullopt;
    // Pixel centres are whole numbers; the picture reaches half a pixel beyond the outer ones.
    double northLat = 0, westLon = 0, southLat = 0, eastLon = 0;
    if (!PixelPointToGeo(calibration, -0.5, -0.5, northLat, westLon) ||
        !PixelPointToGeo(calibration, ChartPixels - 0.5, ChartPixels - 0.5, southLat, eastLon))
        return std::nullopt;
    return GeoBox{std::min(southLat, northLat), std::max(southLat, northLat),
                  std::min(westLon, eastLon), std::max(westLon, eastLon)};
}

GeoBox grownBox(const GeoBox& box, double margin) {
    return {box.south - margin, box.north + margin, box.west - margin, box.east + margin};
}

QString griddapUrl(const SstSource& source, int area, const std::optional<QDateTime>& time,
                   const QString& serverOverride) {
    const std::optional<GeoBox> chart = chartBox(area);
    if (!chart) return {};
    const GeoBox box = grownBox(*chart, source.resolution);
    QString server = serverOverride.isEmpty() ? source.server : serverOverride;
    while (server.endsWith(u'/'))
        server.chop(1);

    const QString timeText = time ? time->toUTC().toString(QStringLiteral("yyyy-MM-ddTHH:mm:ssZ"))
                                  : QStringLiteral("last");
    const double firstLat = source.latitudeDescending ? box.north : box.south;
    const double lastLat = source.latitudeDescending ? box.south : box.north;
    // ERDDAP's griddap reads "[" and "]" only percent-encoded in a query (RFC 3986 reserves them
    // for IPv6 hosts); parentheses and colons may stand as they are.
    const auto range = [](const QString& from, const QString& to) {
        return QStringLiteral("%5B(%1):1:(%2)%5D").arg(from, to);
    };
    QString query = source.variable + QStringLiteral("%5B(") + timeText + QStringLiteral(")%5D");
    if (source.hasAltitude) query += QStringLiteral("%5B(0.0)%5D");
    query += range(degrees(firstLat), degrees(lastLat));
    query += range(degrees(box.west), degrees(box.east));
    return server + QStringLiteral("/griddap/") + source.dataset + QStringLiteral(".nc?") + query;
}

} // namespace sst
