#include "geo/Coastline.h"

#include "geo/CoastlineData.h"
#include "geo/vekMapping.h"

#include <QByteArray>

#include <algorithm>
#include <cmath>

namespace {

constexpr int MaxMaskSide = 16384;

bool validSize(int width, int height) {
    return width >= 1 && height >= 1 && width <= MaxMaskSide && height <= MaxMaskSide;
}

} // namespace

namespace geo {

std::optional<QList<CoastRing>> parseCoastRings(QByteArrayView text) {
    QList<CoastRing> rings;
    qsizetype start = 0;
    while (start < text.size()) {
        qsizetype end = start;
        while (end < text.size() && text[end] != '\n')
            ++end;
        const QByteArray line = text.sliced(start, end - start).toByteArray().trimmed();
        start = end + 1;
        if (line.isEmpty() || line.startsWith('#')) continue;
        if (line.startsWith('>')) {
            rings.append(CoastRing());
            continue;
        }
        const QList<QByteArray> words = line.simplified().split(' ');
        bool lonOk = false, latOk = false;
        const double lon = words.size() == 2 ? words[0].toDouble(&lonOk) : 0.0;
        const double lat = words.size() == 2 ? words[1].toDouble(&latOk) : 0.0;
        if (!lonOk || !latOk || !std::isfinite(lon) || !std::isfinite(lat) || rings.isEmpty())
            return std::nullopt;
        rings.last().append(QPointF(lon, lat));
    }
    return rings;
}

QList<CoastRing> coastRings(int area) {
    if (!isCalibratedArea(area)) return {};
    const QByteArray code = areaCode(area).toLatin1();
    for (std::size_t i = 0; i < detail::CoastlineTextCount; ++i) {
        const detail::CoastlineText& t = detail::CoastlineTexts[i];
        if (code != t.code) continue;
        // The built-in texts are checked by the tests; a broken one reads as no land.
        return parseCoastRings(QByteArrayView(t.text, qsizetype(t.size)))
            .value_or(QList<CoastRing>());
    }
    return {};
}

QList<QPolygonF> ringsInPixels(const Calibration& calibration, const QList<CoastRing>& rings) {
    if (!calibration.Valid) return {};
    QList<QPolygonF> out;
    out.reserve(rings.size());
    for (const CoastRing& ring : rings) {
        QPolygonF p;
        p.reserve(ring.size());
        for (const QPointF& g : ring) {
            double x = 0.0, y = 0.0;
            // A point beyond the mapping's reach (not finite) is left out of its ring.
            if (GeoToPixelPoint(calibration, g.y(), g.x(), x, y)) p.append(QPointF(x, y));
        }
        out.append(p);
    }
    return out;
}

std::vector<std::uint8_t> landMask(const QList<QPolygonF>& pixelRings, int width, int height) {
    if (!validSize(width, height)) return {};
    std::vector<std::uint8_t> land(std::size_t(width) * std::size_t(height), 0);
    std::vector<double> crossings;
    for (int y = 0; y < height; ++y) {
        const double cy = y; // a pixel's centre is its whole coordinate, as for GeoToPixel
        crossings.clear();
        for (const QPolygonF& ring : pixelRings)
            for (qsizetype i = 0; i < ring.size(); ++i) {
                const QPointF a = ring[i], b = ring[(i + 1) % ring.size()];
                // Half-open in y, so that a vertex on the row counts once.
                if ((a.y() <= cy) != (b.y() <= cy))
                    crossings.push_back(a.x() + (cy - a.y()) * (b.x() - a.x()) / (b.y() - a.y()));
            }
        std::sort(crossings.begin(), crossings.end());
        // Even-odd: the centres between the first and second crossing, the third and fourth...
        for (std::size_t k = 0; k + 1 < crossings.size(); k += 2) {
            const double from = std::clamp(std::ceil(crossings[k]), 0.0, double(width));
            const double to = std::min(double(width - 1), std::ceil(crossings[k + 1]) - 1.0);
            for (int x = int(from); x <= int(to); ++x)
                land[std::size_t(y) * width + x] = 1;
        }
    }
    return land;
}

std::vector<std::uint8_t> landMask(int area, int width, int height) {
    const Calibration c = Calibration::forArea(area);
    if (!c.Valid) return {};
    return landMask(ringsInPixels(c, coastRings(area)), width, height);
}

QList<QPolygonF> coastlinePolylines(int area) {
    QList<QPolygonF> lines = ringsInPixels(Calibration::forArea(area), coastRings(area));
    for (QPolygonF& line : lines)
        if (!line.isEmpty() && line.first() != line.last()) line.append(line.first());
    return lines;
}

void drawCoast(std::vector<std::uint8_t>& pixels, int width, int height, std::uint8_t landValue,
               std::uint8_t coastValue) {
    if (!validSize(width, height) || pixels.size() != std::size_t(width) * std::size_t(height) ||
        landValue == coastValue)
        return;
    const auto land = [&](std::size_t i) { return pixels[i] == landValue; };
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            const std::size_t i = std::size_t(y) * width + x;
            if (land(i)) continue;
            if ((x > 0 && land(i - 1)) || (x + 1 < width && land(i + 1)) ||
                (y > 0 && land(i - width)) || (y + 1 < height && land(i + width)))
                pixels[i] = coastValue;
        }
}

std::vector<std::uint8_t> coastPixels(const std::vector<std::uint8_t>& land, int width,
                                      int height) {
    if (!validSize(width, height) || land.size() != std::size_t(width) * std::size_t(height))
        return {};
    std::vector<std::uint8_t> coast(land.size());
    std::transform(land.begin(), land.end(), coast.begin(),
                   [](std::uint8_t l) { return std::uint8_t(l ? 1 : 0); });
    drawCoast(coast, width, height, 1, 2);
    for (std::uint8_t& c : coast)
        c = c == 2;
    return coast;
}

} // namespace geo
