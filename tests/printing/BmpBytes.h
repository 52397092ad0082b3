#pragma once
// BMP files written byte by byte after the public BITMAPFILEHEADER, BITMAPINFOHEADER and
// BITMAPCOREHEADER layouts (little-endian), and the page as a recording print job saw it.

#include "printing/PrnUtils.h"
#include "support/RecordingPrintJob.h"

#include <QByteArray>
#include <QImage>

#include <cstdint>
#include <initializer_list>

namespace bmp {

inline QByteArray bytes(std::initializer_list<int> values) {
    QByteArray out;
    for (int v : values)
        out.append(char(v));
    return out;
}
inline QByteArray le16(std::uint32_t v) {
    return bytes({int(v & 0xFF), int((v >> 8) & 0xFF)});
}
inline QByteArray le32(std::uint32_t v) {
    return le16(v & 0xFFFF) + le16(v >> 16);
}

// BITMAPINFOHEADER: size, width, height, planes, bits, compression, image size, resolutions,
// colours used and important.
inline QByteArray info(int w, int h, int bits, int compression = 0, std::uint32_t size = 0,
                       std::uint32_t used = 0, int planes = 1) {
    return le32(40) + le32(std::uint32_t(w)) + le32(std::uint32_t(h)) + le16(planes) + le16(bits) +
           le32(compression) + le32(size) + le32(2835) + le32(2835) + le32(used) + le32(0);
}
// BITMAPCOREHEADER: size, 16-bit width and height, planes, bits.
inline QByteArray core(int w, int h, int bits) {
    return le32(12) + le16(w) + le16(h) + le16(1) + le16(bits);
}
// RGBQUAD (blue, green, red, 0) or, for core headers, RGBTRIPLE entries.
inline QByteArray quads(const QList<QRgb>& colours, bool triple = false) {
    QByteArray out;
    for (QRgb c : colours)
        out += bytes({qBlue(c), qGreen(c), qRed(c)}) + (triple ? "" : QByteArray(1, 0));
    return out;
}
// "BM", file size, reserved, pixel offset, then the header block and the pixels.
inline QByteArray file(const QByteArray& header, const QByteArray& pixels) {
    return "BM" + le32(std::uint32_t(14 + header.size() + pixels.size())) + le32(0) +
           le32(std::uint32_t(14 + header.size())) + header + pixels;
}

} // namespace bmp

// The successful bands of a recorded job put together over region, white elsewhere.
inline QImage assembledBands(const RecordingPrintJob::Log& log, const QRect& region) {
    QImage page(region.size(), QImage::Format_RGB32);
    page.fill(Qt::white);
    for (const RecordingPrintJob::Call& call : log.of(RecordingPrintJob::Kind::DrawImage))
        for (int y = 0; call.result && y < call.target.height(); ++y)
            for (int x = 0; x < call.target.width(); ++x)
                page.setPixel(call.target.topLeft() - region.topLeft() + QPoint(x, y),
                              call.image.pixel(x, y));
    return page;
}

// A DIB printed one pixel for one pixel, as colours; null when the engine refuses it.
inline QImage printedAtOwnSize(const QByteArray& header, const QByteArray& pixels, QSize size) {
    RecordingPrintJob job;
    job.begin(QStringLiteral("test"), platform::PageOrientation::Portrait);
    const QRect rect(QPoint(0, 0), size);
    if (PrintDibRect(job, rect, rect, header, pixels, rect) != printing::DibPrintResult::Printed)
        return {};
    return assembledBands(*job.log, rect);
}
