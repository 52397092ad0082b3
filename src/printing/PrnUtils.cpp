#include "printing/PrnUtils.h"

#include "printing/PrnDib.h"

#include <QImage>

#include <algorithm>
#include <bit>
#include <new>
#include <vector>

namespace printing {

namespace {

// Printers without large-bitmap support take at most this many bytes in one picture.
constexpr int SmallBitmapBytes = 65503;
// Progress is reported after every this many band rows.
constexpr int ProgressRows = 64;

// One colour channel of a 16- or 32-bit pixel, scaled to 8 bits.
struct Channel {
    std::uint32_t mask = 0;
    int shift = 0;
    int bits = 0;

    explicit Channel(std::uint32_t m) : mask(m) {
        if (mask == 0) return;
        shift = std::countr_zero(mask);
        bits = std::bit_width(mask >> shift);
    }
    int operator()(std::uint32_t pixel) const {
        if (bits == 0) return 0;
        const std::uint32_t value = (pixel & mask) >> shift;
        if (bits >= 8) return int(value >> (bits - 8));
        const std::uint32_t top = (1u << bits) - 1;
        return int((value * 255 + top / 2) / top);
    }
};

// The image in hand: its rows from the top, and what a band needs to turn them into colours.
struct SourceImage {
    DibHeaderMetrics metrics;
    const std::uint8_t* topRow = nullptr;
    qsizetype rowStep = 0; // from one row to the one below it, signed
    QList<QRgb> colourTable;
    std::array<Channel, 3> channels{Channel(0), Channel(0), Channel(0)};
};

QImage::Format bandFormat(int bitCount) {
    switch (bitCount) {
    case 1:
        return QImage::Format_Mono;
    case 4: // Qt has no 4-bit format: one byte per pixel
    case 8:
        return QImage::Format_Indexed8;
    case 24:
        return QImage::Format_BGR888; // the DIB's own blue, green, red bytes
    default:
        return QImage::Format_RGB32; // 16 and 32 bits through their masks
    }
}

// Copies band row i from source row s at the band's source columns.
void copyRow(const SourceImage& src, const std::uint8_t* s, std::uint8_t* d,
             const std::vector<int>& columns) {
    const int w = int(columns.size());
    const int* c = columns.data();
    switch (src.metrics.bitCount) {
    case 1:
        std::fill(d, d + (w + 7) / 8, 0);
        for (int j = 0; j < w; ++j)
            if ((s[c[j] >> 3] >> (7 - (c[j] & 7))) & 1) d[j >> 3] |= std::uint8_t(0x80 >> (j & 7));
        break;
    case 4: // high half-byte first
        for (int j = 0; j < w; ++j)
            d[j] = (c[j] & 1) ? s[c[j] >> 1] & 0x0F : s[c[j] >> 1] >> 4;
        break;
    case 8:
        for (int j = 0; j < w; ++j)
            d[j] = s[c[j]];
        break;
    case 24:
        for (int j = 0; j < w; ++j, d += 3) {
            const std::uint8_t* p = s + 3 * qsizetype(c[j]);
            d[0] = p[0];
            d[1] = p[1];
            d[2] = p[2];
        }
        break;
    case 16:
    case 32: {
        auto* out = reinterpret_cast<QRgb*>(d);
        const bool wide = src.metrics.bitCount == 32;
        for (int j = 0; j < w; ++j) {
            const std::uint8_t* p = s + (wide ? 4 : 2) * qsizetype(c[j]);
            const std::uint32_t pixel = wide ? std::uint32_t(p[0]) | (std::uint32_t(p[1]) << 8) |
                                                   (std::uint32_t(p[2]) << 16) |
                                                   (std::uint32_t(p[3]) << 24)
                                             : std::uint32_t(p[0]) | (std::uint32_t(p[1]) << 8);
            out[j] = qRgb(src.channels[0](pixel), src.channels[1](pixel), src.channels[2](pixel));
        }
        break;
    }
    default:
        break;
    }
}

struct BandRun {
    platform::PrintJob& device;
    const SourceImage& src;
    QRect target;
    QRect source;
    const ProgressCallback& progress;
    int bandCount = 0;
    bool fallback = false; // false at the start of each call

    bool report(int band) const { return !progress || progress(band, bandCount); }

    // Renders and sends one band; false when it fails or the callback says stop.
    bool render(const QRect& rect, int band) {
        try {
            const int w = rect.width();
            const int h = rect.height();
            QImage pixels(w, h, bandFormat(src.metrics.bitCount));
            if (pixels.isNull()) return false;
            if (src.metrics.bitCount <= 8) {
                // Indices beyond a short colour table print black.
                QList<QRgb> table = src.colourTable;
                table.resize(qsizetype(1) << src.metrics.bitCount, qRgb(0, 0, 0));
                pixels.setColorTable(table);
            }
            // Quirk "exact-quotients": offset x source size div target size in integers, the
            // exact truncation that a rounded scale factor misses at exact multiples.
            std::vector<int> columns(static_cast<std::size_t>(w));
            for (int j = 0; j < w; ++j)
                columns[std::size_t(j)] = source.x() + int(qint64(rect.left() - target.left() + j) *
                                                           source.width() / target.width());
            for (int i = 0; i < h; ++i) {
                const int row = source.y() + int(qint64(rect.top() - target.top() + i) *
                                                 source.height() / target.height());
                copyRow(src, src.topRow + row * src.rowStep, pixels.scanLine(i), columns);
                if (i % ProgressRows == 0 && !report(band)) return false;
            }
            bool sent = false;
            if (!fallback) {
                sent = device.drawImage(rect, pixels);
                fallback = !sent;
            }
            // Once the device has refused a band as it is, this band and every later one go
            // in the device's own format.
            if (!sent && !device.drawImage(rect, pixels.convertToFormat(QImage::Format_RGB32)))
                return false;
            return report(band);
        } catch (const std::bad_alloc&) {
            return false;
        }
    }
};

} // namespace

std::optional<PageArea> measurePage(const platform::PageMetrics& page) {
    PageArea a;
    a.offsetLeft = page.printable.x();
    a.offsetTop = page.printable.y();
    a.printable = page.printable.size();
    a.sheet = QSize(page.sheet.width() > 0 ? page.sheet.width() : a.printable.width(),
                    page.sheet.height() > 0 ? page.sheet.height() : a.printable.height());
    a.marginRight = a.sheet.width() - a.printable.width() - a.offsetLeft;
    a.marginBottom = a.sheet.height() - a.printable.height() - a.offsetTop;
    a.evenMargin = std::max({a.offsetLeft, a.offsetTop, a.marginRight, a.marginBottom});
    a.area = QRect(a.evenMargin - a.offsetLeft, a.evenMargin - a.offsetTop,
                   a.sheet.width() - 2 * a.evenMargin, a.sheet.height() - 2 * a.evenMargin);
    a.dpiX = page.dpiX;
    a.dpiY = page.dpiY;
    if (a.printable.isEmpty() || a.area.isEmpty()) return std::nullopt;
    return a;
}

QRect fitImage(QSize image, QSize area) {
    const qint64 w = image.width(), h = image.height();
    const qint64 W = area.width(), H = area.height();
    if (w <= 0 || h <= 0 || W <= 0 || H <= 0) return {};
    // Quirk "fit-in-exact-integers": W / w < H / h and the truncated products h x W / w and
    // w x H / h are worked out in exact integers, not with scale factors in extended precision,
    // which lose a pixel at exact multiples (45 x 35 into a height of 9583: 12321 wide, where
    // the rounded factor gives 12320) and differ between processors.
    if (W * h < H * w) {
        const int height = int(h * W / w);
        return QRect(0, int(H / 2) - height / 2, int(W), height);
    }
    const int width = int(w * H / h);
    return QRect(int(W / 2) - width / 2, 0, width, int(H));
}

QSize bandSize(const platform::PageMetrics& page, int bitCount) {
    const int width = page.screen.width();
    if (width <= 0 || page.screen.height() <= 0 || bitCount <= 0) return {};
    if (page.largeBitmaps) return page.screen;
    const qint64 rowBytes = (qint64(bitCount) * width + 31) / 32 * 4;
    return QSize(width, int(SmallBitmapBytes / rowBytes));
}

QList<QRect> planBands(const QRect& visible, QSize band) {
    QList<QRect> bands;
    if (visible.isEmpty() || band.isEmpty()) return bands;
    for (int top = visible.top(); top <= visible.bottom(); top += band.height())
        for (int left = visible.left(); left <= visible.right(); left += band.width())
            bands.append(QRect(left, top, band.width(), band.height()) & visible);
    return bands;
}

} // namespace printing

using printing::DibPrintResult;

DibPrintResult PrintDibRect(platform::PrintJob& device, const QRect& target, const QRect& source,
                            const QByteArray& header, const QByteArray& pixels, const QRect& clip,
                            const printing::ProgressCallback& progress) {
    using namespace printing;
    if (pixels.isEmpty() || source.x() < 0 || source.y() < 0 || source.width() <= 0 ||
        source.height() <= 0 || target.width() <= 0 || target.height() <= 0)
        return DibPrintResult::InvalidArguments;
    const std::optional<DibHeaderMetrics> metrics = dibHeaderMetrics(header);
    if (!metrics) return DibPrintResult::InvalidArguments;
    try {
        const std::optional<QByteArray> working = workingHeader(header, *metrics);
        if (!working) return DibPrintResult::UnreadableImage;
        if (metrics->width < source.x() + qint64(source.width()) ||
            metrics->absHeight() < source.y() + qint64(source.height()))
            return DibPrintResult::InvalidArguments;
        const QRect visible = target & clip;
        if (visible.isEmpty()) return DibPrintResult::NothingVisible;

        SourceImage src;
        src.metrics = *metrics;
        src.colourTable = dibColourTable(*working, *metrics);
        const std::array<std::uint32_t, 3> masks = dibMasks(*working, *metrics);
        src.channels = {Channel(masks[0]), Channel(masks[1]), Channel(masks[2])};
        QByteArray expanded;
        const QByteArray* rows = &pixels;
        if (metrics->compression == BiRle8 || metrics->compression == BiRle4) {
            std::optional<QByteArray> done = expandRle(pixels, *metrics, src.colourTable);
            if (!done) return DibPrintResult::UnreadableImage;
            expanded = std::move(*done);
            rows = &expanded;
            src.metrics.compression = BiRgb;
        } else if (pixels.size() < metrics->imageBytes) {
            // Quirk "rows-inside-the-block": a pixel block shorter than its rows is refused,
            // never read past its end.
            return DibPrintResult::InvalidArguments;
        }
        const auto* first = reinterpret_cast<const std::uint8_t*>(rows->constData());
        if (metrics->topDown) {
            src.topRow = first;
            src.rowStep = metrics->rowBytes;
        } else {
            src.topRow = first + qsizetype(metrics->absHeight() - 1) * metrics->rowBytes;
            src.rowStep = -qsizetype(metrics->rowBytes);
        }

        const QSize band = bandSize(device.pageMetrics(), metrics->bitCount);
        if (band.isEmpty()) return DibPrintResult::BandFailed;
        const QList<QRect> bands = planBands(visible, band);
        BandRun run{device, src, target, source, progress, int(bands.size())};
        for (qsizetype n = 0; n < bands.size(); ++n)
            if (!run.render(bands[n], int(n) + 1)) return DibPrintResult::BandFailed;
        return DibPrintResult::Printed;
    } catch (const std::bad_alloc&) {
        return DibPrintResult::OutOfMemory;
    }
}

DibPrintResult PrintDibOnPage(platform::PrintJob& device, const QByteArray& header,
                              const QByteArray& pixels, const printing::ProgressCallback& progress,
                              printing::PagePlacement* placement) {
    using namespace printing;
    const std::optional<DibHeaderMetrics> metrics = dibHeaderMetrics(header);
    if (!metrics) return DibPrintResult::InvalidArguments;
    const platform::PageMetrics page = device.pageMetrics();
    const std::optional<PageArea> measured = measurePage(page);
    if (!measured) return DibPrintResult::InvalidArguments;
    const QSize imageSize(metrics->width, metrics->absHeight());
    const QRect image = fitImage(imageSize, measured->area.size());
    // The area's top-left corner is the origin of the fit; only the area is drawn on.
    const QRect target = image.translated(measured->area.topLeft());
    if (placement) {
        placement->page = *measured;
        placement->image = image;
        placement->bands =
            int(planBands(target & measured->area, bandSize(page, metrics->bitCount)).size());
    }
    return PrintDibRect(device, target, QRect(QPoint(0, 0), imageSize), header, pixels,
                        measured->area, progress);
}
