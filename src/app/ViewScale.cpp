#include "app/ViewScale.h"

#include <algorithm>
#include <cstring>
#include <numeric>
#include <vector>

namespace view {

namespace {

qint64 floorDiv(qint64 a, qint64 b) { // b > 0
    return a / b - ((a % b) < 0 ? 1 : 0);
}

qint64 ceilDiv(qint64 a, qint64 b) {
    return -floorDiv(-a, b);
}

} // namespace

int chartPixel(int viewPosition, Scale scale) {
    return int(floorDiv(qint64(viewPosition) * scale.den, scale.num));
}

QPoint chartPixel(QPoint viewPosition, Scale scale) {
    return QPoint(chartPixel(viewPosition.x(), scale), chartPixel(viewPosition.y(), scale));
}

int viewPosition(int pixel, Scale scale) {
    return int(ceilDiv(qint64(pixel) * scale.num, scale.den));
}

QPoint viewPosition(QPoint pixel, Scale scale) {
    return QPoint(viewPosition(pixel.x(), scale), viewPosition(pixel.y(), scale));
}

QSize viewSize(QSize chart, Scale scale) {
    return QSize(viewPosition(chart.width(), scale), viewPosition(chart.height(), scale));
}

Scale fitScale(QSize chart, QSize view) {
    if (chart.isEmpty() || view.isEmpty()) return Scale{};
    // The narrower of the two ratios: view.w / chart.w against view.h / chart.h.
    Scale fit = qint64(view.width()) * chart.height() <= qint64(view.height()) * chart.width()
                    ? Scale{view.width(), chart.width()}
                    : Scale{view.height(), chart.height()};
    if (fit.num >= fit.den) return Scale{};
    const int common = std::gcd(fit.num, fit.den);
    return Scale{fit.num / common, fit.den / common};
}

int stepPercent(Scale scale, int direction) {
    const qint64 scaled = qint64(scale.num) * 100; // compared with step * den
    if (direction > 0) {
        for (const int step : ZoomSteps)
            if (qint64(step) * scale.den > scaled) return step;
        return MostPercent;
    }
    for (auto it = std::rbegin(ZoomSteps); it != std::rend(ZoomSteps); ++it)
        if (qint64(*it) * scale.den < scaled) return *it;
    return LeastPercent;
}

int scrollToKeep(int displayPosition, Scale before, Scale after, int viewPoint) {
    // floor((displayPosition + 0.5) / before * after), in integers.
    const qint64 numerator = (2 * qint64(displayPosition) + 1) * before.den * after.num;
    const qint64 denominator = 2 * qint64(before.num) * after.den;
    return int(floorDiv(numerator, denominator)) - viewPoint;
}

QImage renderArea(const QImage& picture, Scale scale, QRect area) {
    if (picture.isNull() || area.isEmpty()) return QImage();
    const QImage source = picture.format() == QImage::Format_RGB32
                              ? picture
                              : picture.convertToFormat(QImage::Format_RGB32);
    QImage out(area.size(), QImage::Format_RGB32);
    if (out.isNull()) return out;
    std::vector<int> columns(size_t(area.width()));
    for (int i = 0; i < area.width(); ++i)
        columns[size_t(i)] = std::clamp(chartPixel(area.x() + i, scale), 0, source.width() - 1);
    int previousRow = -1;
    for (int j = 0; j < area.height(); ++j) {
        const int row = std::clamp(chartPixel(area.y() + j, scale), 0, source.height() - 1);
        auto* line = reinterpret_cast<quint32*>(out.scanLine(j));
        if (row == previousRow) {
            // An enlarged chart row covers several view rows.
            std::memcpy(line, out.constScanLine(j - 1), size_t(area.width()) * 4);
            continue;
        }
        const auto* in = reinterpret_cast<const quint32*>(source.constScanLine(row));
        for (int i = 0; i < area.width(); ++i)
            line[i] = in[columns[size_t(i)]];
        previousRow = row;
    }
    return out;
}

QImage renderReduced(const QImage& picture, Scale scale) {
    if (picture.isNull()) return QImage();
    return picture.scaled(viewSize(picture.size(), scale), Qt::IgnoreAspectRatio,
                          Qt::SmoothTransformation);
}

} // namespace view
