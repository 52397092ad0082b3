// Draws the waypoint marker icon: a 32 x 32 map pin whose tip lies at column 10, row 27.
// Usage: MakeWptIcon <output.png>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QPainterPath>

int main(int argc, char* argv[]) {
    QGuiApplication app(argc, argv);
    if (argc < 2) return 2;
    QImage icon(32, 32, QImage::Format_ARGB32);
    icon.fill(Qt::transparent);
    {
        QPainter p(&icon);
        p.setRenderHint(QPainter::Antialiasing);
        p.setClipRect(0, 0, 32, 27); // nothing below the tip row but the tip itself
        // Teardrop: a round head centred on (10.5, 9.5) narrowing to the tip at (10, 27).
        QPainterPath pin;
        pin.moveTo(10.5, 27.5);
        pin.cubicTo(8.5, 21.0, 3.0, 16.5, 3.0, 10.0);
        pin.arcTo(QRectF(3.0, 2.0, 15.0, 15.0), 180.0, -180.0);
        pin.cubicTo(18.0, 16.5, 12.5, 21.0, 10.5, 27.5);
        pin.closeSubpath();
        QLinearGradient body(3, 2, 18, 20);
        body.setColorAt(0, QColor(235, 70, 60));
        body.setColorAt(1, QColor(160, 20, 20));
        p.setPen(QPen(QColor(70, 0, 0), 1.2));
        p.setBrush(body);
        p.drawPath(pin);
        // The white eye of the pin.
        p.setPen(QPen(QColor(120, 20, 20), 0.8));
        p.setBrush(Qt::white);
        p.drawEllipse(QPointF(10.5, 9.5), 3.2, 3.2);
    }
    // The tip itself: solid, so the marked point is exact.
    icon.setPixelColor(10, 27, QColor(70, 0, 0));
    icon.setPixelColor(10, 26, QColor(90, 0, 0));
    return icon.save(QString::fromLocal8Bit(argv[1]), "PNG") ? 0 : 1;
}
