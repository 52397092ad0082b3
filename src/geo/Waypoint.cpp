#include "geo/Waypoint.h"

#include "geo/TextFields.h"
#include "geo/ThalwiseUtils.h"

#include <QLocale>
#include <algorithm>
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

QString WaypointText(const Waypoint& waypoint) {
    const QLocale c = QLocale::c();
    return QLatin1String("Lat=") + geo::formatFixed(waypoint.lat, 2, c) + QLatin1String(",Lon=") +
           geo::formatFixed(waypoint.lon, 2, c) + QLatin1String(",Tf=") +
           geo::formatFixed(waypoint.tempF, 1, c) + nameItem(waypoint.name);
}

std::optional<Waypoint> ParseWaypoint(const QString& text) {
    std::optional<float> lat, lon, temp;
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
    if (!geo::isShowablePosition(*lat, *lon) || !std::isfinite(*temp)) return std::nullopt;
    return Waypoint{*lat, *lon, *temp, name.value_or(QString())};
}
