// Makes the start-up logo: the word Thalwise over a rolling wave, on a transparent background,
// written as a GIF with our own encoder (one transparent colour, at most 255 others).
//
// usage: make_logo OUT.gif
// The picture is drawn antialiased over white (the chart area's background), then every pixel
// that the drawing barely touched becomes transparent and the rest keep their colour.

#include "gif/GIFEncoder.h"

#include <QFont>
#include <QGuiApplication>
#include <QHash>
#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>

#include <cmath>
#include <cstdio>

namespace {

constexpr int kWidth = 420;
constexpr int kHeight = 180;

QPainterPath wavePath(double baseline, double amplitude, double phase, double wavelength) {
    QPainterPath path(QPointF(0, kHeight));
    for (int x = 0; x <= kWidth; x += 2) {
        const double y = baseline + amplitude * std::sin((x + phase) * 2 * M_PI / wavelength);
        path.lineTo(x, y);
    }
    path.lineTo(kWidth, kHeight);
    path.closeSubpath();
    return path;
}

// The drawing with its coverage in the alpha channel.
QImage drawLogo() {
    QImage image(kWidth, kHeight, QImage::Format_ARGB32);
    image.fill(Qt::transparent);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);

    // Two waves, the back one lighter; clipped to a rounded band so the logo has a clean edge.
    QPainterPath band;
    band.addRoundedRect(QRectF(10, 96, kWidth - 20, 70), 22, 22);
    p.setClipPath(band);
    QLinearGradient back(0, 100, 0, kHeight);
    back.setColorAt(0, QColor(120, 190, 230));
    back.setColorAt(1, QColor(70, 140, 200));
    p.fillPath(wavePath(118, 9, 0, 140), back);
    QLinearGradient front(0, 120, 0, kHeight);
    front.setColorAt(0, QColor(30, 110, 180));
    front.setColorAt(1, QColor(15, 60, 120));
    p.fillPath(wavePath(134, 8, 60, 110), front);
    // Foam on the crest of the front wave.
    p.setPen(QPen(QColor(235, 248, 255), 2.5, Qt::SolidLine, Qt::RoundCap));
    QPainterPath crest;
    for (int x = 0; x <= kWidth; x += 2) {
        const double y = 134 + 8 * std::sin((x + 60) * 2 * M_PI / 110);
        if (x == 0)
            crest.moveTo(x, y);
        else
            crest.lineTo(x, y);
    }
    p.drawPath(crest);
    p.setClipping(false);

    // The word, with a thin warm underline standing for the temperature scale.
    QFont title(QStringLiteral("DejaVu Sans"));
    title.setPixelSize(64);
    title.setBold(true);
    p.setFont(title);
    p.setPen(QColor(20, 50, 95));
    p.drawText(QRect(0, 8, kWidth, 80), Qt::AlignCenter, QStringLiteral("Thalwise"));
    QLinearGradient scale(70, 0, kWidth - 70, 0);
    scale.setColorAt(0.0, QColor(115, 13, 140));
    scale.setColorAt(0.25, QColor(0, 128, 255));
    scale.setColorAt(0.5, QColor(128, 255, 130));
    scale.setColorAt(0.75, QColor(255, 200, 70));
    scale.setColorAt(1.0, QColor(200, 40, 0));
    p.fillRect(QRectF(70, 86, kWidth - 140, 4), scale);
    return image;
}

// Quantises the colours until at most 255 remain (index 0 is transparent), then encodes.
gif::EncoderInput toGif(const QImage& drawing) {
    gif::EncoderInput input;
    input.screenWidth = drawing.width();
    input.screenHeight = drawing.height();
    for (int dropBits = 0; dropBits < 8; ++dropBits) {
        const int mask = 0xFF & ~((1 << dropBits) - 1);
        QHash<QRgb, int> indexOf;
        gif::ColourTable table{qRgb(255, 255, 255)}; // index 0: transparent
        std::vector<std::uint8_t> indices;
        indices.reserve(size_t(drawing.width()) * drawing.height());
        bool fits = true;
        for (int y = 0; y < drawing.height() && fits; ++y) {
            for (int x = 0; x < drawing.width(); ++x) {
                const QRgb c = drawing.pixel(x, y);
                const int a = qAlpha(c);
                if (a < 48) {
                    indices.push_back(0);
                    continue;
                }
                // Composite over white so the antialiased edge matches the chart area.
                auto over = [a](int v) { return (v * a + 255 * (255 - a)) / 255; };
                const QRgb opaque =
                    qRgb(over(qRed(c)) & mask, over(qGreen(c)) & mask, over(qBlue(c)) & mask);
                auto found = indexOf.constFind(opaque);
                if (found == indexOf.constEnd()) {
                    if (table.size() == 256) {
                        fits = false;
                        break;
                    }
                    found = indexOf.insert(opaque, int(table.size()));
                    table.append(opaque);
                }
                indices.push_back(std::uint8_t(*found));
            }
        }
        if (!fits) continue;
        input.globalTable = table;
        gif::EncoderFrame frame;
        frame.width = drawing.width();
        frame.height = drawing.height();
        frame.indices = std::move(indices);
        frame.transparentIndex = 0;
        input.frames.push_back(std::move(frame));
        return input;
    }
    return input;
}

} // namespace

int main(int argc, char* argv[]) {
    QGuiApplication application(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: make_logo OUT.gif\n");
        return 2;
    }
    const gif::EncoderInput input = toGif(drawLogo());
    QString error;
    if (input.frames.empty() ||
        !gif::writeGifFile(QString::fromLocal8Bit(argv[1]), input, &error)) {
        std::fprintf(stderr, "make_logo: %s\n", qPrintable(error));
        return 1;
    }
    return 0;
}
