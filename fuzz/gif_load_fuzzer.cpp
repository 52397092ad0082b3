// libFuzzer target: any bytes through the GIF loader, then everything the program asks of a
// loaded image: frame bitmaps and masks, the whole-image bitmap, comment text and drawing.
// A GIFException is an orderly refusal; a crash, a sanitizer report or a leak is a finding.

#include "gif/GIFImage.h"

#include <QImage>
#include <QPainter>

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <utility>

namespace {

std::uint32_t le16(const std::uint8_t* p) {
    return p[0] | (std::uint32_t(p[1]) << 8);
}

// Skips data sub-blocks from pos; returns the position after the terminator (or size).
std::size_t skipSubBlocks(const std::uint8_t* data, std::size_t size, std::size_t pos) {
    while (pos < size && data[pos] != 0)
        pos += 1 + data[pos];
    return std::min(size, pos + 1);
}

// A rough walk over the blocks: the pixels the loader would allocate (screen plus frames) and
// the longest side. Only used to skip inputs that are valid but merely slow.
std::pair<qint64, int> declaredPixels(const std::uint8_t* data, std::size_t size) {
    std::size_t pos = 0;
    if (size >= 10 && std::memcmp(data, "GIF", 3) != 0 && std::memcmp(data, "gif", 3) != 0) pos = 4;
    if (size < pos + 13) return {0, 0};
    const int screenW = int(le16(data + pos + 6));
    const int screenH = int(le16(data + pos + 8));
    qint64 total = qint64(screenW) * screenH;
    int side = std::max(screenW, screenH);
    const std::uint8_t packed = data[pos + 10];
    pos += 13 + ((packed & 0x80) ? 3u * (2u << (packed & 7)) : 0u);
    while (pos < size) {
        const std::uint8_t b = data[pos];
        if (b == 0) {
            ++pos;
        } else if (b == 0x21) {
            pos = skipSubBlocks(data, size, pos + 2);
        } else if (b == 0x2C && pos + 10 <= size) {
            int w = int(le16(data + pos + 5));
            int h = int(le16(data + pos + 7));
            if (w == 0 || h == 0) {
                w = screenW;
                h = screenH;
            }
            total += qint64(w) * h;
            side = std::max({side, w, h});
            const std::uint8_t p = data[pos + 9];
            pos += 10 + ((p & 0x80) ? 3u * (2u << (p & 7)) : 0u) + 1;
            pos = skipSubBlocks(data, size, pos);
        } else {
            break;
        }
    }
    return {total, side};
}

void touch(const QImage& image) {
    if (image.isNull()) return;
    // Read the first and last scan lines so that a short buffer shows up under the sanitizer.
    volatile std::uint8_t sink = image.constScanLine(0)[0];
    sink = image.constScanLine(image.height() - 1)[image.bytesPerLine() - 1];
    (void)sink;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    // Pictures of millions of pixels are legal up to the loader's limits but take seconds under
    // the sanitizers; leave them out of the corpus so that the fuzzer stays fast. Inputs beyond
    // the limits are still run: the loader must refuse them before allocating.
    const auto [pixels, side] = declaredPixels(data, size);
    if (pixels > 4 * 1024 * 1024 && pixels <= gif::MaxTotalPixels && side <= gif::MaxSide)
        return -1;
    const QByteArray bytes =
        QByteArray::fromRawData(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    TGIFImage image;
    try {
        image.LoadFromBytes(bytes);
    } catch (const GIFException&) {
        return 0;
    }
    const int frames = std::min(image.imageCount(), 8);
    for (int i = 0; i < frames; ++i) {
        const TGIFSubImage& frame = image.image(i);
        (void)gif::commentText(frame);
        for (int e = 0; e < frame.extensionCount(); ++e)
            (void)frame.extension(e).label();
        try {
            touch(frame.bitmap());
            touch(frame.mask());
        } catch (const GIFException&) {
        }
    }
    try {
        const QImage whole = image.bitmap();
        touch(whole);
        if (!whole.isNull() && image.width() <= 2048 && image.height() <= 2048) {
            QImage canvas(64, 48, QImage::Format_RGB32);
            canvas.fill(Qt::white);
            QPainter painter(&canvas);
            image.draw(painter, QRect(3, 2, 57, 41));
        }
    } catch (const GIFException&) {
    }
    return 0;
}
