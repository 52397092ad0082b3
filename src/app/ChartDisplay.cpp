#include "app/ChartDisplay.h"

#include "geo/TemperatureBreaks.h"
#include "geo/TemperatureHighlight.h"

#include <QFontMetrics>
#include <QPainter>

#include <cstring>

namespace display {

namespace {

void drawLines(QPainter& p, const QList<AnnotationLine>& lines) {
    // Segment by segment, as a pen moving from point to point draws them.
    for (const AnnotationLine& line : lines)
        for (qsizetype i = 1; i < line.points.size(); ++i)
            p.drawLine(line.points[i - 1], line.points[i]);
}

// Point sizes of the annotation font are meant for a 96 dpi screen.
constexpr int PictureDotsPerMetre = 3780;

void drawTexts(QPainter& p, const Overlays& o) {
    const QFontMetrics metrics(p.font(), p.device());
    const int ascent = metrics.ascent();
    for (const AnnotationText& entry : *o.texts) {
        const int x = entry.centre.x();
        const int y = entry.centre.y();
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

QSize TextSize(const QFont& font, const QString& text) {
    // Measured on a device of the picture's resolution, as the picture draws it.
    QImage device(1, 1, QImage::Format_RGB32);
    device.setDotsPerMeterX(PictureDotsPerMetre);
    device.setDotsPerMeterY(PictureDotsPerMetre);
    const QFontMetrics metrics(font, &device);
    return QSize(metrics.horizontalAdvance(text), metrics.height());
}

void DrawMarker(QPainter& painter, const Overlays& o, int number, float lat, float lon,
                const QString& name) {
    if (lat == 0 || lon == 0 || !o.geoToPixel) return;
    // A stored home of "inf" or a damaged entry is no place: nothing to mark.
    if (!geo::isShowablePosition(lat, lon)) return;
    int x = 0, y = 0;
    if (!o.geoToPixel(lat, lon, x, y)) return;
    if (!o.markerIcon.isNull()) painter.drawImage(QPoint(x - 10, y - 27), o.markerIcon);
    QString label = number <= 0 ? QStringLiteral("H") : QString::number(number);
    if (number > 0 && !name.isEmpty()) label += u' ' + name;
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
    picture.setDotsPerMeterX(PictureDotsPerMetre);
    picture.setDotsPerMeterY(PictureDotsPerMetre);
    // The highlight and the break lines lie on the water, under everything the user put on the
    // chart; the breaks stay visible across the highlighted band.
    if (o.highlight) geo::drawHighlight(picture, *o.highlight);
    if (o.breaks) geo::drawBreaks(picture, *o.breaks);
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
                DrawMarker(p, o, int(i + 1), wp->lat, wp->lon, wp->name);
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
