#include "app/ChartDisplay.h"

#include "geo/TextFields.h"

#include <QFontMetrics>
#include <QLocale>
#include <QPainter>

#include <cstring>

namespace display {

std::uint32_t PackPoint(int x, int y) {
    return (std::uint32_t(x) << 16) + std::uint32_t(y & 0xFFFF);
}

void UnpackPoint(std::uint32_t packed, int& x, int& y) {
    x = int(packed >> 16);
    y = int(packed & 0xFFFF);
}

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

std::optional<WaypointValues> ParseWaypoint(const QString& text) {
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
    return WaypointValues{*lat, *lon, *temp};
}

namespace {

void drawLines(QPainter& p, const AnnotationList& lines) {
    for (const AnnotationEntry& entry : lines) {
        int x = 0, y = 0;
        UnpackPoint(entry.point, x, y);
        QPoint from(x, y);
        if (entry.text.trimmed().isEmpty()) continue;
        for (const QStringView number : QStringView(entry.text).split(u',')) {
            bool ok = false;
            const qlonglong packed = number.trimmed().toLongLong(&ok);
            // A point is a 32-bit value that may have been written signed; anything else ends
            // this line, the segments already drawn stay.
            if (!ok || packed < INT32_MIN || packed > qlonglong(UINT32_MAX)) break;
            UnpackPoint(std::uint32_t(packed), x, y);
            const QPoint to(x, y);
            p.drawLine(from, to);
            from = to;
        }
    }
}

void drawTexts(QPainter& p, const Overlays& o) {
    const QFontMetrics metrics(p.font(), p.device());
    const int ascent = metrics.ascent();
    for (const AnnotationEntry& entry : *o.texts) {
        int x = 0, y = 0;
        UnpackPoint(entry.point, x, y);
        const int w = metrics.horizontalAdvance(entry.text);
        const int h = metrics.height();
        int left = 0, top = 0;
        TextCorner(x, y, w, h, left, top);
        if (o.outlined) {
            p.setPen(QPen(Qt::black, 3));
            for (const QPoint d : {QPoint(-1, -1), QPoint(-1, 1), QPoint(1, -1), QPoint(1, 1)})
                p.drawText(left + d.x(), top + d.y() + ascent, entry.text);
        }
        p.setPen(QPen(o.fontColour, 3));
        p.drawText(left, top + ascent, entry.text);
    }
}

} // namespace

void DrawMarker(QPainter& painter, const Overlays& o, int number, float lat, float lon) {
    if (lat == 0 || lon == 0 || !o.geoToPixel) return;
    int x = 0, y = 0;
    if (!o.geoToPixel(lat, lon, x, y)) return;
    if (!o.markerIcon.isNull()) painter.drawImage(QPoint(x - 10, y - 27), o.markerIcon);
    const QString label = number <= 0 ? QStringLiteral("H") : QString::number(number);
    const QFontMetrics metrics(painter.font(), painter.device());
    const int w = metrics.horizontalAdvance(label);
    const int h = metrics.height();
    const int left = x - w - 2;
    const int top = y - h + 2;
    const int baseline = top + metrics.ascent();
    painter.setPen(QPen(Qt::white, 3));
    for (const int i : {-1, 1})
        for (const int j : {-1, 1})
            painter.drawText(left + i, baseline + j, label);
    painter.setPen(QPen(o.fontColour, 3));
    painter.drawText(left, baseline, label);
}

QImage RepaintChart(const QImage& base, const Overlays& o) {
    QImage picture = base.convertToFormat(QImage::Format_RGB32);
    if (picture.isNull()) return picture;
    // Point sizes of the annotation font are meant for a 96 dpi screen.
    picture.setDotsPerMeterX(3780);
    picture.setDotsPerMeterY(3780);
    QPainter p(&picture);
    p.setBrush(Qt::NoBrush);
    // A wide pen of the desktop's drawing interface ends and joins its segments round.
    p.setPen(QPen(Qt::black, 3, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setFont(o.font);
    if (o.lines) drawLines(p, *o.lines);
    if (o.texts) drawTexts(p, o);
    DrawMarker(p, o, 0, float(o.homeLat), float(o.homeLon));
    if (o.waypoints) {
        for (qsizetype i = 0; i < o.waypoints->size(); ++i) {
            if (const auto wp = ParseWaypoint(o.waypoints->at(i)))
                DrawMarker(p, o, int(i + 1), wp->lat, wp->lon);
        }
    }
    return picture;
}

QImage ZoomDouble(const QImage& picture) {
    const QImage src = picture.convertToFormat(QImage::Format_RGB32);
    QImage out(src.width() * 2, src.height() * 2, QImage::Format_RGB32);
    if (out.isNull()) return out;
    for (int y = 0; y < src.height(); ++y) {
        const auto* in = reinterpret_cast<const quint32*>(src.constScanLine(y));
        auto* row = reinterpret_cast<quint32*>(out.scanLine(2 * y));
        for (int x = 0; x < src.width(); ++x)
            row[2 * x] = row[2 * x + 1] = in[x];
        std::memcpy(out.scanLine(2 * y + 1), row, size_t(out.bytesPerLine()));
    }
    return out;
}

} // namespace display
