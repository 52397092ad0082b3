#include "geo/Waypoint.h"

#include "geo/TextFields.h"
#include "geo/ThalwiseUtils.h"

#include <QLocale>
#include <cmath>

namespace {

std::optional<float> toNumber(const QString& text) {
    bool ok = false;
    const float v = QLocale::c().toFloat(text, &ok);
    if (ok) return v;
    const float w = QLocale().toFloat(text, &ok);
    if (ok) return w;
    return std::nullopt;
}

} // namespace

namespace geo {

bool isShowablePosition(double latitude, double longitude) {
    return std::isfinite(latitude) && std::isfinite(longitude) && std::fabs(latitude) <= 90.0 &&
           std::fabs(longitude) <= 180.0;
}

} // namespace geo

QString WaypointText(const Waypoint& waypoint) {
    const QLocale c = QLocale::c();
    return QLatin1String("Lat=") + geo::formatFixed(waypoint.lat, 2, c) + QLatin1String(",Lon=") +
           geo::formatFixed(waypoint.lon, 2, c) + QLatin1String(",Tf=") +
           geo::formatFixed(waypoint.tempF, 1, c);
}

std::optional<Waypoint> ParseWaypoint(const QString& text) {
    std::optional<float> lat, lon, temp;
    for (const QString& item : geo::splitCommaText(text)) {
        const qsizetype eq = item.indexOf(u'=');
        if (eq < 0) continue;
        const QString name = item.left(eq);
        const QString value = item.mid(eq + 1);
        // The first item of each name counts, as a name=value list lookup does.
        if (!lat && name.compare(u"LAT", Qt::CaseInsensitive) == 0) {
            lat = toNumber(value);
            if (!lat) return std::nullopt;
        } else if (!lon && name.compare(u"LON", Qt::CaseInsensitive) == 0) {
            lon = toNumber(value);
            if (!lon) return std::nullopt;
        } else if (!temp && name.compare(u"TF", Qt::CaseInsensitive) == 0) {
            temp = toNumber(value);
            if (!temp) return std::nullopt;
        }
    }
    if (!lat || !lon || !temp) return std::nullopt;
    // "Lat=nan" or "Lon=1e39" are numbers to the reader but no place on earth.
    if (!geo::isShowablePosition(*lat, *lon) || !std::isfinite(*temp)) return std::nullopt;
    return Waypoint{*lat, *lon, *temp};
}
