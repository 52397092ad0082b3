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

QIcon appIcon() {
    QIcon icon;
    for (const int size : {16, 22, 24, 32, 48, 64, 128, 256})
        icon.addPixmap(QPixmap::fromImage(drawAppIcon(size)));
    return icon;
}

} // namespace app
