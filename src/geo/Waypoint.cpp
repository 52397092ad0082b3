#include "geo/Waypoint.h"

#include "geo/TextFields.h"
#include "geo/ThalwiseUtils.h"

#include <QLocale>
#include <algorithm>
#include <cmath>

namespace {

std::optional<double> toNumber(const QString& text) {
    bool ok = false;
    const double v = QLocale::c().toDouble(text, &ok);
    if (ok) return v;
    const double w = QLocale().toDouble(text, &ok);
    if (ok) return w;
    return std::nullopt;
}

// value with at most `most` decimals (rounded), trailing zeros dropped down to `least`.
QString decimals(double value, int most, int least) {
    QString text = geo::formatFixed(value, most, QLocale::c());
    const qsizetype point = text.indexOf(u'.');
    if (point < 0) return text;
    qsizetype end = text.size();
    while (end > point + 1 + least && text.at(end - 1) == u'0')
        --end;
    return text.left(end == point + 1 ? point : end);
}

// ",Name=..." for a named waypoint, quoted as the comma-text reader expects; empty for none.
QString nameItem(const QString& name) {
    const QString kept = geo::waypointName(name);
    if (kept.isEmpty()) return QString();
    return u',' + geo::joinCommaText({QStringLiteral("Name=") + kept});
}

} // namespace

namespace geo {

bool isShowablePosition(double latitude, double longitude) {
    return std::isfinite(latitude) && std::isfinite(longitude) && std::fabs(latitude) <= 90.0 &&
           std::fabs(longitude) <= 180.0;
}

QString cutCharacters(const QString& text, qsizetype length) {
    if (text.size() <= length) return text;
    qsizetype end = std::max<qsizetype>(length, 0);
    if (end > 0 && text.at(end - 1).isHighSurrogate()) --end;
    return text.left(end);
}

QString waypointName(const QString& typed) {
    QString name = typed;
    // Quirk "waypoint-name-one-line": a line break or tab pasted into a name becomes a blank; the
    // settings store and the GPX name keep one line per value.
    for (QChar& c : name)
        if (c.unicode() < u' ' || c.unicode() == 0x7F) c = u' ';
    return cutCharacters(name.trimmed(), WaypointNameLength).trimmed();
}

QString withWaypointName(const QString& text, const QString& name) {
    QStringList items = splitCommaText(text);
    items.removeIf([](const QString& item) {
        return item.section(u'=', 0, 0).compare(u"NAME", Qt::CaseInsensitive) == 0 &&
               item.contains(u'=');
    });
    return joinCommaText(items) + nameItem(name);
}

} // namespace geo

QString WaypointText(const Waypoint& waypoint, WaypointPrecision precision) {
    const bool given = precision == WaypointPrecision::Given;
    const int positionDecimals = given ? 6 : 4;
    return QLatin1String("Lat=") + decimals(waypoint.lat, positionDecimals, given ? 2 : 4) +
           QLatin1String(",Lon=") + decimals(waypoint.lon, positionDecimals, given ? 2 : 4) +
           QLatin1String(",Tf=") + decimals(waypoint.tempF, given ? 4 : 1, 1) +
           nameItem(waypoint.name);
}

std::optional<Waypoint> ParseWaypoint(const QString& text) {
    std::optional<double> lat, lon, temp;
    std::optional<QString> name;
    for (const QString& item : geo::splitCommaText(text)) {
        const qsizetype eq = item.indexOf(u'=');
        if (eq < 0) continue;
        const QString itemName = item.left(eq);
        const QString value = item.mid(eq + 1);
        // The first item of each name counts, as a name=value list lookup does.
        if (!lat && itemName.compare(u"LAT", Qt::CaseInsensitive) == 0) {
            lat = toNumber(value);
            if (!lat) return std::nullopt;
        } else if (!lon && itemName.compare(u"LON", Qt::CaseInsensitive) == 0) {
            lon = toNumber(value);
            if (!lon) return std::nullopt;
        } else if (!temp && itemName.compare(u"TF", Qt::CaseInsensitive) == 0) {
            temp = toNumber(value);
            if (!temp) return std::nullopt;
        } else if (!name && itemName.compare(u"NAME", Qt::CaseInsensitive) == 0) {
            name = geo::waypointName(value);
        }
    }
    if (!lat || !lon || !temp) return std::nullopt;
    // "Lat=nan" or "Lon=1e39" are numbers to the reader but no place on earth.
    // A temperature beyond a float ("Tf=1e39") is no number either.
    const auto tempF = float(*temp);
    if (!geo::isShowablePosition(*lat, *lon) || !std::isfinite(tempF)) return std::nullopt;
    return Waypoint{*lat, *lon, tempF, name.value_or(QString())};
}
