#include "app/AppIcon.h"

#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>

namespace app {

QImage drawAppIcon(int size) {
    QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    const double s = size / 64.0;
    p.scale(s, s);

    // The chart: rounded square, cool water at the top left, warm at the bottom right.
    const QRectF chart(3, 3, 58, 58);
    QPainterPath frame;
    frame.addRoundedRect(chart, 9, 9);
    p.setClipPath(frame);
    QLinearGradient water(chart.topLeft(), chart.bottomRight());
    water.setColorAt(0.0, QColor(40, 70, 200));
    water.setColorAt(0.45, QColor(40, 190, 230));
    water.setColorAt(0.55, QColor(250, 230, 90));
    water.setColorAt(1.0, QColor(230, 80, 30));
    p.fillRect(chart, water);
    // The temperature break, as a fisherman would mark it.
    p.setPen(QPen(QColor(20, 20, 40), 3.0, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    QPainterPath edge(QPointF(6, 50));
    edge.cubicTo(QPointF(22, 44), QPointF(24, 22), QPointF(52, 10));
    p.drawPath(edge);
    p.setClipping(false);
    p.setPen(QPen(QColor(15, 30, 60), 2.0));
    p.setBrush(Qt::NoBrush);
    p.drawPath(frame);

    // The thermometer at the right.
    p.setPen(QPen(QColor(15, 30, 60), 2.0));
    p.setBrush(Qt::white);
    p.drawRoundedRect(QRectF(43, 14, 9, 32), 4.5, 4.5);
    p.drawEllipse(QPointF(47.5, 48), 7, 7);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(210, 30, 30));
    p.drawRect(QRectF(45.5, 26, 4, 20));
    p.drawEllipse(QPointF(47.5, 48), 4.8, 4.8);
    return image;
}

QIcon toolIcon(ToolGlyph glyph, const QImage& waypointIcon) {
    QPixmap pixmap(22, 22);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    const QColor ink(30, 50, 90);
    switch (glyph) {
    case ToolGlyph::Measure: {
        p.setPen(QPen(ink, 2));
        p.drawLine(QPointF(3, 19), QPointF(19, 3));
        p.setPen(QPen(ink, 1));
        for (int i = 1; i < 4; ++i) {
            const double t = 3 + 4.0 * i;
            p.drawLine(QPointF(t, 22 - t), QPointF(t + 3, 25 - t));
        }
        p.setBrush(ink);
        p.drawEllipse(QPointF(3, 19), 2, 2);
        p.drawEllipse(QPointF(19, 3), 2, 2);
        break;
    }
    case ToolGlyph::Draw:
        p.setPen(QPen(QColor(20, 20, 20), 3, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(QPointF(4, 18), QPointF(18, 4));
        break;
    case ToolGlyph::Erase: {
        p.translate(11, 11);
        p.rotate(-35);
        p.setPen(QPen(ink, 1));
        p.setBrush(QColor(240, 150, 170));
        p.drawRect(QRectF(-8, -4, 10, 8));
        p.setBrush(QColor(250, 250, 250));
        p.drawRect(QRectF(2, -4, 6, 8));
        break;
    }
    case ToolGlyph::Text: {
        QFont f = p.font();
        f.setBold(true);
        f.setPixelSize(17);
        p.setFont(f);
        p.setPen(ink);
        p.drawText(QRect(0, 0, 22, 22), Qt::AlignCenter, QStringLiteral("A"));
        break;
    }
    case ToolGlyph::Waypoint:
        p.setRenderHint(QPainter::SmoothPixmapTransform);
        p.drawImage(QRect(0, 0, 22, 22), waypointIcon);
        break;
    case ToolGlyph::Polygon: {
        p.setPen(QPen(ink, 2));
        const QPointF corners[] = {{3, 17}, {8, 4}, {19, 7}, {16, 18}};
        p.drawPolygon(corners, 4);
        break;
    }
    case ToolGlyph::Home: {
        p.setPen(QPen(ink, 1.5));
        p.setBrush(QColor(250, 230, 160));
        const QPointF roof[] = {{2, 11}, {11, 3}, {20, 11}};
        p.drawPolygon(roof, 3);
        p.drawRect(QRectF(5, 11, 12, 8));
        break;
    }
    }
    return QIcon(pixmap);
}

QIcon appIcon() {
    QIcon icon;
    for (const int size : {16, 22, 24, 32, 48, 64, 128, 256})
        icon.addPixmap(QPixmap::fromImage(drawAppIcon(size)));
    return icon;
}

} // namespace app
