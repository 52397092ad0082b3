#include "printing/PrnDib.h"

#include <QBuffer>
#include <QIODevice>
#include <QImage>

#include <algorithm>
#include <climits>
#include <cstring>
#include <new>

namespace printing {

namespace {

// Little-endian fields; the caller has checked that the bytes lie inside the block.
std::uint32_t le16(const QByteArray& block, qsizetype at) {
    const auto* p = reinterpret_cast<const std::uint8_t*>(block.constData()) + at;
    return std::uint32_t(p[0]) | (std::uint32_t(p[1]) << 8);
}
std::uint32_t le32(const QByteArray& block, qsizetype at) {
    const auto* p = reinterpret_cast<const std::uint8_t*>(block.constData()) + at;
    return std::uint32_t(p[0]) | (std::uint32_t(p[1]) << 8) | (std::uint32_t(p[2]) << 16) |
           (std::uint32_t(p[3]) << 24);
}
void put16(QByteArray& block, qsizetype at, std::uint32_t value) {
    block[at] = char(value & 0xFF);
    block[at + 1] = char((value >> 8) & 0xFF);
}
void put32(QByteArray& block, qsizetype at, std::uint32_t value) {
    put16(block, at, value & 0xFFFF);
    put16(block, at + 2, value >> 16);
}

int rowBytesOf(int bitCount, int width) {
    return int((qint64(bitCount) * width + 31) / 32 * 4);
}

bool withinLimits(int width, int absHeight) {
    return width <= MaxDibSide && absHeight <= MaxDibSide &&
           qint64(width) * absHeight <= MaxDibPixels;
}

// Reads exactly size bytes into a zero-filled block; nothing when the stream ends first.
std::optional<QByteArray> readBlock(QIODevice& stream, qint64 size) {
    QByteArray block(qsizetype(size), '\0');
    qint64 done = 0;
    while (done < size) {
        const qint64 got = stream.read(block.data() + done, size - done);
        if (got <= 0) return std::nullopt;
        done += got;
    }
    return block;
}

} // namespace

std::optional<DibHeaderMetrics> dibHeaderMetrics(const QByteArray& block) {
    if (block.size() < 4) return std::nullopt;
    DibHeaderMetrics m;
    const std::uint32_t size = le32(block, 0);
    if (size == CoreHeaderSize) {
        if (block.size() < CoreHeaderSize) return std::nullopt;
        // BITMAPCOREHEADER: 16-bit unsigned width and height, always bottom-up.
        m.core = true;
        m.width = int(le16(block, 4));
        m.height = int(le16(block, 6));
        const std::uint32_t planes = le16(block, 8);
        m.bitCount = int(le16(block, 10));
        if (m.width == 0 || m.height == 0 || planes != 1) return std::nullopt;
        if (m.bitCount != 1 && m.bitCount != 4 && m.bitCount != 8 && m.bitCount != 24)
            return std::nullopt;
        m.colourEntries = m.bitCount == 24 ? 0 : 1 << m.bitCount;
        m.sourceBytes = CoreHeaderSize + 3 * qint64(m.colourEntries);
    } else if (size == InfoHeaderSize) {
        if (block.size() < InfoHeaderSize) return std::nullopt;
        const auto width = std::int32_t(le32(block, 4));
        const auto height = std::int32_t(le32(block, 8));
        const std::uint32_t planes = le16(block, 12);
        m.bitCount = int(le16(block, 14));
        const std::uint32_t compression = le32(block, 16);
        m.imageSizeField = le32(block, 20);
        const std::uint32_t coloursUsed = le32(block, 32);
        if (width <= 0 || height == 0 || height == INT_MIN || planes != 1) return std::nullopt;
        m.width = width;
        m.height = height;
        switch (m.bitCount) {
        case 1:
        case 4:
        case 8:
        case 16:
        case 24:
        case 32:
            break;
        default:
            return std::nullopt;
        }
        if (compression > BiBitfields) return std::nullopt;
        m.compression = int(compression);
        // Quirk "compression-matches-depth": RLE8 only at 8 bits, RLE4 only at 4, bit fields
        // only at 16 and 32, as the format defines them; any other pairing is refused rather
        // than expanded into rows of another layout.
        if ((m.compression == BiRle8 && m.bitCount != 8) ||
            (m.compression == BiRle4 && m.bitCount != 4) ||
            (m.compression == BiBitfields && m.bitCount != 16 && m.bitCount != 32))
            return std::nullopt;
        if (m.compression != BiRgb && (m.imageSizeField == 0 || height < 0)) return std::nullopt;
        if (m.bitCount <= 8)
            m.colourEntries = coloursUsed != 0 ? int(std::min<std::uint32_t>(coloursUsed, INT_MAX))
                                               : 1 << m.bitCount;
        else
            m.colourEntries = int(std::min<std::uint32_t>(coloursUsed, INT_MAX));
        m.maskEntries = m.compression == BiBitfields ? 3 : 0;
    } else {
        return std::nullopt;
    }
    if (!withinLimits(m.width, m.absHeight())) return std::nullopt;
    m.headerBytes = InfoHeaderSize + 4 * (qint64(m.colourEntries) + m.maskEntries);
    if (!m.core) m.sourceBytes = m.headerBytes;
    m.rowBytes = rowBytesOf(m.bitCount, m.width);
    m.imageBytes = qint64(m.absHeight()) * m.rowBytes;
    m.topDown = m.height < 0;
    return m;
}

std::optional<QByteArray> infoHeaderFromCore(const QByteArray& block) {
    const std::optional<DibHeaderMetrics> m = dibHeaderMetrics(block);
    if (!m || !m->core || block.size() < m->sourceBytes) return std::nullopt;
    QByteArray info(qsizetype(m->headerBytes), '\0');
    put32(info, 0, InfoHeaderSize);
    put32(info, 4, std::uint32_t(m->width));
    put32(info, 8, std::uint32_t(m->height));
    put16(info, 12, 1);
    put16(info, 14, std::uint32_t(m->bitCount));
    put32(info, 16, BiRgb);
    put32(info, 20, std::uint32_t(m->imageBytes));
    // Resolutions (24, 28) stay 0.
    put32(info, 32, std::uint32_t(m->colourEntries));
    put32(info, 36, std::uint32_t(m->colourEntries));
    for (int i = 0; i < m->colourEntries; ++i) {
        // RGBTRIPLE blue, green, red becomes RGBQUAD blue, green, red, 0.
        std::memcpy(info.data() + InfoHeaderSize + 4 * i,
                    block.constData() + CoreHeaderSize + 3 * i, 3);
    }
    return info;
}

std::optional<QByteArray> workingHeader(const QByteArray& block, const DibHeaderMetrics& metrics) {
    if (metrics.core) return infoHeaderFromCore(block);
    if (metrics.headerBytes > MaxDibHeaderBytes || block.size() < metrics.headerBytes)
        return std::nullopt;
    return block.left(qsizetype(metrics.headerBytes));
}

QList<QRgb> dibColourTable(const QByteArray& working, const DibHeaderMetrics& metrics) {
    QList<QRgb> table;
    if (metrics.bitCount > 8) return table;
    const qsizetype first = InfoHeaderSize + 4 * metrics.maskEntries;
    const qsizetype count =
        std::min<qsizetype>({metrics.colourEntries, 256, (working.size() - first) / 4});
    table.reserve(count);
    for (qsizetype i = 0; i < count; ++i) {
        const auto* q = reinterpret_cast<const std::uint8_t*>(working.constData()) + first + 4 * i;
        table.append(qRgb(q[2], q[1], q[0]));
    }
    return table;
}

std::array<std::uint32_t, 3> dibMasks(const QByteArray& working, const DibHeaderMetrics& metrics) {
    if (metrics.compression == BiBitfields && working.size() >= InfoHeaderSize + 12)
        return {le32(working, InfoHeaderSize), le32(working, InfoHeaderSize + 4),
                le32(working, InfoHeaderSize + 8)};
    if (metrics.bitCount == 16) return {0x7C00, 0x03E0, 0x001F};
    if (metrics.bitCount == 32) return {0xFF0000, 0x00FF00, 0x0000FF};
    return {0, 0, 0};
}

std::optional<QByteArray> expandRle(const QByteArray& compressed, const DibHeaderMetrics& metrics,
                                    const QList<QRgb>& colourTable) {
    const bool rle8 = metrics.compression == BiRle8;
    if (!rle8 && metrics.compression != BiRle4) return std::nullopt;
    // Skipped pixels print white: the first pure white entry, or entry 0.
    const qsizetype searched =
        rle8 ? colourTable.size() : std::min<qsizetype>(16, colourTable.size());
    int white = 0;
    for (qsizetype i = 0; i < searched; ++i) {
        if ((colourTable[i] & 0xFFFFFF) == 0xFFFFFF) {
            white = int(i);
            break;
        }
    }
    QByteArray rows(qsizetype(metrics.imageBytes), char(rle8 ? white : (white << 4) | white));
    auto* out = reinterpret_cast<std::uint8_t*>(rows.data());
    const auto* in = reinterpret_cast<const std::uint8_t*>(compressed.constData());
    const qsizetype size = compressed.size();
    const int width = metrics.width;
    const int height = metrics.absHeight();
    // Row 0 is the bottom row, the first in memory.
    qint64 x = 0;
    qint64 y = 0;
    // Quirk "runs-stay-in-their-row": a pixel past the row's width is dropped, never carried
    // into the next row.
    const auto put = [&](int index) {
        if (x < width && y < height) {
            std::uint8_t& byte = out[y * metrics.rowBytes + (rle8 ? x : x / 2)];
            if (rle8)
                byte = std::uint8_t(index);
            else if (x % 2 == 0)
                byte = std::uint8_t((byte & 0x0F) | (index << 4));
            else
                byte = std::uint8_t((byte & 0xF0) | (index & 0x0F));
        }
        ++x;
    };
    qsizetype pos = 0;
    while (true) {
        // Quirk "end-of-data-ends-the-image": data that stops between records without an
        // end-of-bitmap mark is complete; a record cut in the middle is not.
        if (pos == size) return rows;
        if (pos + 2 > size) return std::nullopt;
        const int count = in[pos];
        const int value = in[pos + 1];
        pos += 2;
        if (count > 0) {
            // Encoded run: count pixels of one index, or for RLE4 of two alternating ones.
            for (int k = 0; k < count; ++k)
                put(rle8 ? value : (k % 2 == 0 ? value >> 4 : value & 0x0F));
            if (x > width) x = width;
            continue;
        }
        switch (value) {
        case 0: // end of line
            x = 0;
            ++y;
            break;
        case 1: // end of bitmap
            return rows;
        case 2: // delta: right and up (onwards in memory)
            if (pos + 2 > size) return std::nullopt;
            x = std::min<qint64>(x + in[pos], width);
            y = std::min<qint64>(y + in[pos + 1], height);
            pos += 2;
            break;
        default: { // absolute run of value pixels, padded to an even number of bytes
            const qsizetype bytes = rle8 ? value : (value + 1) / 2;
            if (pos + bytes > size) return std::nullopt;
            for (int k = 0; k < value; ++k)
                put(rle8 ? in[pos + k]
                         : (k % 2 == 0 ? in[pos + k / 2] >> 4 : in[pos + k / 2] & 0x0F));
            if (x > width) x = width;
            pos = std::min(size, pos + ((bytes + 1) & ~qsizetype(1)));
            break;
        }
        }
        if (y >= height) y = height; // nothing more can land; the rest is read for its mark
    }
}

QByteArray bmpFileImage(const QImage& bitmap) {
    if (bitmap.isNull() || !withinLimits(bitmap.width(), bitmap.height())) return {};
    QImage rows;
    int bitCount = 24;
    QList<QRgb> table;
    if (bitmap.format() == QImage::Format_Indexed8 && bitmap.colorCount() > 0) {
        rows = bitmap;
        bitCount = 8;
        table = bitmap.colorTable().mid(0, 256);
    } else if ((bitmap.format() == QImage::Format_Mono ||
                bitmap.format() == QImage::Format_MonoLSB) &&
               bitmap.colorCount() == 2) {
        rows = bitmap.convertToFormat(QImage::Format_Mono); // most significant bit first
        bitCount = 1;
        table = rows.colorTable();
    } else {
        rows = bitmap.convertToFormat(QImage::Format_BGR888); // blue, green, red in memory
    }
    if (rows.isNull()) return {};
    const int width = rows.width();
    const int height = rows.height();
    const int rowBytes = rowBytesOf(bitCount, width);
    const qint64 offset = FileHeaderSize + InfoHeaderSize + 4 * qint64(table.size());
    const qint64 total = offset + qint64(rowBytes) * height;
    QByteArray file;
    try {
        file = QByteArray(qsizetype(total), '\0');
    } catch (const std::bad_alloc&) {
        return {};
    }
    file[0] = 'B';
    file[1] = 'M';
    put32(file, 2, std::uint32_t(total));
    put32(file, 10, std::uint32_t(offset));
    put32(file, 14, InfoHeaderSize);
    put32(file, 18, std::uint32_t(width));
    put32(file, 22, std::uint32_t(height)); // positive: bottom row first
    put16(file, 26, 1);
    put16(file, 28, std::uint32_t(bitCount));
    put32(file, 30, BiRgb);
    put32(file, 34, std::uint32_t(qint64(rowBytes) * height));
    put32(file, 38, std::uint32_t(std::max(0, rows.dotsPerMeterX())));
    put32(file, 42, std::uint32_t(std::max(0, rows.dotsPerMeterY())));
    put32(file, 46, std::uint32_t(table.size()));
    for (qsizetype i = 0; i < table.size(); ++i) {
        const qsizetype at = FileHeaderSize + InfoHeaderSize + 4 * i;
        file[at] = char(qBlue(table[i]));
        file[at + 1] = char(qGreen(table[i]));
        file[at + 2] = char(qRed(table[i]));
    }
    const qsizetype used = (qsizetype(bitCount) * width + 7) / 8;
    for (int r = 0; r < height; ++r)
        std::memcpy(file.data() + offset + qsizetype(r) * rowBytes,
                    rows.constScanLine(height - 1 - r), used);
    return file;
}

} // namespace printing

std::optional<printing::PackedDib> LoadDibFromBitmap(const QImage& bitmap) {
    QByteArray file = printing::bmpFileImage(bitmap);
    if (file.isEmpty()) return std::nullopt;
    QBuffer stream(&file);
    if (!stream.open(QIODevice::ReadOnly)) return std::nullopt;
    return LoadDibFromStream(stream);
}

std::optional<printing::PackedDib> LoadDibFromStream(QIODevice& stream) {
    using namespace printing;
    try {
        const qint64 remaining = stream.bytesAvailable();
        const std::optional<QByteArray> fileHeader = readBlock(stream, FileHeaderSize);
        if (!fileHeader || fileHeader->at(0) != 'B' || fileHeader->at(1) != 'M')
            return std::nullopt;
        const qint64 offset = le32(*fileHeader, 10);
        if (offset <= 0 || remaining <= 0 || offset - FileHeaderSize <= 0 ||
            remaining - offset <= 0 || offset - FileHeaderSize > MaxDibHeaderBytes)
            return std::nullopt;
        PackedDib dib;
        std::optional<QByteArray> header = readBlock(stream, offset - FileHeaderSize);
        if (!header) return std::nullopt;
        const std::optional<DibHeaderMetrics> metrics = dibHeaderMetrics(*header);
        // Quirk "refused-at-load": a header the engine cannot print, or whose colour table
        // lies beyond the block, is a load error (the user is told) rather than a blank page.
        if (!metrics || !workingHeader(*header, *metrics)) return std::nullopt;
        qint64 imageBytes = metrics->imageBytes;
        if (!metrics->core && metrics->imageSizeField != 0) {
            imageBytes = metrics->imageSizeField;
            // Quirk "short-size-field": uncompressed rows are read in full even when the size
            // field says less, so that no row lies past the block's end (and the floor below
            // weighs the rows, not the field).
            const bool compressed =
                metrics->compression == BiRle8 || metrics->compression == BiRle4;
            if (!compressed) imageBytes = std::max(imageBytes, metrics->imageBytes);
        }
        // Fewer than 32 bytes of pixels is a load error: a selection of a pixel or two would
        // otherwise print as one block of colour over the whole page.
        if (imageBytes < MinDibImageBytes) return std::nullopt;
        // Checked against the stream before allocating: no size field makes us take more
        // memory than the file itself holds.
        if (imageBytes > remaining - offset) return std::nullopt;
        std::optional<QByteArray> pixels = readBlock(stream, imageBytes);
        if (!pixels) return std::nullopt;
        dib.header = std::move(*header);
        dib.pixels = std::move(*pixels);
        dib.width = metrics->width;
        dib.height = metrics->absHeight();
        return dib;
    } catch (const std::bad_alloc&) {
        return std::nullopt;
    }
}
