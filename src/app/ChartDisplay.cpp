#include "app/ChartDisplay.h"

#include "geo/BreakLines.h"
#include "geo/Isotherms.h"
#include "geo/TemperatureBreaks.h"
#include "geo/TemperatureHighlight.h"
#include "geo/ThalwiseUtils.h"

#include <QFontMetrics>
#include <QPainter>

#include <cmath>
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

// Break lines and isotherms are thin, unsmoothed lines in one exact colour, like the marks of
// the break layer, so that they never blend into a temperature colour of the chart.
void drawChartLines(QPainter& p, const Overlays& o) {
    p.save();
    p.setRenderHint(QPainter::Antialiasing, false);
    if (o.breakLines) {
        p.setPen(QPen(geo::breakLineColour(), 1));
        for (const geo::BreakLine& line : *o.breakLines)
            p.drawPolyline(line.points.data(), int(line.points.size()));
    }
    if (o.isotherms) {
        p.setPen(QPen(isothermColour(), 1));
        for (const geo::Isotherm& isotherm : *o.isotherms)
            for (const geo::IsothermLine& line : isotherm.lines)
                p.drawPolyline(line.points.data(), int(line.points.size()));
    }
    if (o.isothermLabels) {
        QFont font = o.font;
        font.setPixelSize(10);
        font.setBold(true);
        p.setFont(font);
        const QFontMetrics metrics(font, p.device());
        p.setRenderHint(QPainter::TextAntialiasing, true);
        for (const IsothermLabel& label : *o.isothermLabels) {
            const QString text = isothermLabelText(label.temperature, o.celsius);
            p.save();
            p.translate(label.at);
            p.rotate(label.angle);
            const QPointF corner(-metrics.horizontalAdvance(text) / 2.0,
                                 (metrics.ascent() - metrics.descent()) / 2.0);
            // A white halo keeps the figures readable on any colour and over the line itself.
            p.setPen(Qt::white);
            for (const QPointF d : {QPointF(-1, 0), QPointF(1, 0), QPointF(0, -1), QPointF(0, 1)})
                p.drawText(corner + d, text);
            p.setPen(isothermColour());
            p.drawText(corner, text);
            p.restore();
        }
    }
    p.restore();
}

} // namespace

std::vector<IsothermLabel> isothermLabels(const std::vector<geo::Isotherm>& isotherms, double span,
                                          double minimumLength) {
    // Below this share of chord to arc a stretch bends too much to carry a text.
    constexpr double FairlyStraight = 0.9;
    std::vector<IsothermLabel> labels;
    std::vector<double> along;
    for (const geo::Isotherm& isotherm : isotherms)
        for (const geo::IsothermLine& line : isotherm.lines) {
            const std::vector<QPointF>& p = line.points;
            along.assign(p.size(), 0.0);
            for (std::size_t i = 1; i < p.size(); ++i)
                along[i] =
                    along[i - 1] + std::hypot(p[i].x() - p[i - 1].x(), p[i].y() - p[i - 1].y());
            if (p.size() < 2 || along.back() < minimumLength) continue;
            double best = 0.0, bestFromMiddle = 0.0;
            std::optional<IsothermLabel> chosen;
            std::size_t j = 0;
            for (std::size_t i = 0; i < p.size(); ++i) {
                while (j < p.size() && along[j] - along[i] < span)
                    ++j;
                if (j == p.size()) break;
                const QPointF chord = p[j] - p[i];
                const double straightness =
                    std::hypot(chord.x(), chord.y()) / (along[j] - along[i]);
                const double fromMiddle =
                    std::abs((along[i] + along[j]) / 2.0 - along.back() / 2.0);
                // The straightest stretch; of equally straight ones, the one nearest the middle.
                const bool straighter = straightness > best + 1e-3;
                const bool asStraightNearer =
                    std::abs(straightness - best) <= 1e-3 && fromMiddle < bestFromMiddle;
                if (straightness < FairlyStraight || (chosen && !straighter && !asStraightNearer))
                    continue;
                best = straightness;
                bestFromMiddle = fromMiddle;
                double angle = std::atan2(chord.y(), chord.x()) * 180.0 / M_PI;
                if (angle > 90.0) angle -= 180.0;
                if (angle <= -90.0) angle += 180.0;
                chosen = IsothermLabel{(p[i] + p[j]) / 2.0, angle, isotherm.temperature};
            }
            if (chosen) labels.push_back(*chosen);
        }
    return labels;
}

QString isothermLabelText(float fahrenheit, bool celsius) {
    const double value = celsius ? geo::celsiusFromFahrenheit(fahrenheit) : double(fahrenheit);
    // Tenths rounded half to even; "-0" never shows.
    const double tenths = std::nearbyint(value * 10.0);
    QString digits = std::fmod(tenths, 10.0) == 0.0
                         ? QString::number(std::nearbyint(tenths / 10.0) + 0.0, 'f', 0)
                         : QString::number(tenths / 10.0, 'f', 1);
    if (digits == QLatin1String("-0")) digits = QStringLiteral("0");
    return digits + QChar(0x00B0);
}

QSize TextSize(const QFont& font, const QString& text) {
    // Measured on a device of the picture's resolution, as the picture draws it.
    QImage device(1, 1, QImage::Format_RGB32);
    device.setDotsPerMeterX(PictureDotsPerMetre);
    device.setDotsPerMeterY(PictureDotsPerMetre);
    const QFontMetrics metrics(font, &device);
    return QSize(metrics.horizontalAdvance(text), metrics.height());
}

namespace {

std::optional<Marker> markerAt(const Overlays& o, int number, float lat, float lon,
                               const QString& name = QString()) {
    if (lat == 0 || lon == 0 || !o.geoToPixel) return std::nullopt;
    // A stored home of "inf" or a damaged entry is no place: nothing to mark.
    if (!geo::isShowablePosition(lat, lon)) return std::nullopt;
    int x = 0, y = 0;
    if (!o.geoToPixel(lat, lon, x, y)) return std::nullopt;
    Marker marker;
    marker.tip = QPoint(x, y);
    marker.home = number <= 0;
    marker.label = marker.home ? QStringLiteral("H") : QString::number(number);
    if (!marker.home && !name.isEmpty()) marker.label += u' ' + name;
    return marker;
}

} // namespace

std::vector<Marker> chartMarkers(const Overlays& o) {
    std::vector<Marker> markers;
    if (auto home = markerAt(o, 0, float(o.homeLat), float(o.homeLon))) markers.push_back(*home);
    if (o.waypoints) {
        for (qsizetype i = 0; i < o.waypoints->size(); ++i)
            if (const auto wp = ParseWaypoint(o.waypoints->at(i)))
                if (auto marker = markerAt(o, int(i + 1), wp->lat, wp->lon, wp->name))
                    markers.push_back(*marker);
    }
    return markers;
}

void drawMarker(QPainter& painter, QPoint tip, const Marker& marker, const QImage& icon,
                QColor colour) {
    const int x = tip.x(), y = tip.y();
    painter.save();
    if (marker.home) {
        // Home is a house standing on its place, in a red no waypoint pin has: never taken for
        // one of them.
        const QPolygon house{QPoint(x - 8, y),  QPoint(x - 8, y - 11),  QPoint(x - 11, y - 11),
                             QPoint(x, y - 21), QPoint(x + 11, y - 11), QPoint(x + 8, y - 11),
                             QPoint(x + 8, y)};
        painter.setRenderHint(QPainter::Antialiasing, false);
        painter.setPen(QPen(Qt::white, 1));
        painter.setBrush(QColor(190, 0, 30));
        painter.drawPolygon(house);
        painter.fillRect(QRect(x - 2, y - 6, 4, 6), Qt::white); // the door
    } else if (!icon.isNull()) {
        painter.drawImage(QPoint(x - 10, y - 27), icon);
    }
    const QFontMetrics metrics(painter.font(), painter.device());
    const int w = metrics.horizontalAdvance(marker.label);
    const int h = metrics.height();
    const int left = x - w - (marker.home ? 10 : 2);
    const int top = y - h + 2;
    const int baseline = top + metrics.ascent();
    painter.setPen(QPen(Qt::white, 3));
    for (const int i : {-1, 1})
        for (const int j : {-1, 1})
            painter.drawText(left + i, baseline + j, marker.label);
    painter.setPen(QPen(colour, 3));
    painter.drawText(left, baseline, marker.label);
    painter.restore();
}

void DrawMarker(QPainter& painter, const Overlays& o, int number, float lat, float lon,
                const QString& name) {
    if (const auto marker = markerAt(o, number, lat, lon, name))
        drawMarker(painter, marker->tip, *marker, o.markerIcon, o.fontColour);
}

QImage RepaintChart(const QImage& base, const Overlays& o) {
    QImage picture = base.convertToFormat(QImage::Format_RGB32);
    if (picture.isNull()) return picture;
    // Nothing to draw: the chart itself, shared rather than copied (a chart is megabytes).
    const bool none = (!o.lines || o.lines->isEmpty()) && (!o.texts || o.texts->isEmpty()) &&
                      !o.highlight && !o.breaks && !o.breakLines && !o.isotherms &&
                      (!o.markersInPicture || chartMarkers(o).empty());
    if (none) return picture;
    picture.setDotsPerMeterX(PictureDotsPerMetre);
    picture.setDotsPerMeterY(PictureDotsPerMetre);
    // The highlight and the break lines lie on the water, under everything the user put on the
    // chart; the breaks stay visible across the highlighted band.
    if (o.highlight) geo::drawHighlight(picture, *o.highlight);
    if (o.breaks) geo::drawBreaks(picture, *o.breaks);
    QPainter p(&picture);
    drawChartLines(p, o);
    p.setBrush(Qt::NoBrush);
    // A wide pen of the desktop's drawing interface ends and joins its segments round.
    p.setPen(QPen(Qt::black, 3, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setFont(o.font);
    if (o.lines) drawLines(p, *o.lines);
    if (o.texts) drawTexts(p, o);
    if (o.markersInPicture)
        for (const Marker& marker : chartMarkers(o))
            drawMarker(p, marker.tip, marker, o.markerIcon, o.fontColour);
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
