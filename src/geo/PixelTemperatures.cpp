#include "geo/PixelTemperatures.h"

#include <QtEndian>

#include <zlib.h>

#include <algorithm>
#include <array>

#include <cstdint>
#include <cstring>
#include <limits>

namespace geo {

namespace {

// "TWSST", a format version, then width and height (32-bit little-endian), the source's name
// (16-bit length, UTF-8) and the values: float32 little-endian, their bytes split into four
// planes (all first bytes, then all second bytes, ...) before zlib, because neighbouring water
// differs only in the low bytes and the planes compress several times better than the floats.
constexpr char Magic[] = "TWSST";
constexpr int MagicSize = 5;
constexpr char Version = 1;
// A chart is 1024 x 1024; this leaves room for larger grids and bounds what a file can make us
// allocate (64 MiB of values).
constexpr qint64 MaxPixels = 4096LL * 4096LL;

void appendLe32(QByteArray& out, std::uint32_t v) {
    char b[4];
    qToLittleEndian(v, b);
    out.append(b, 4);
}

} // namespace

QByteArray encodePixelTemperatures(const PixelTemperatures& temperatures) {
    const qint64 count = qint64(temperatures.width) * temperatures.height;
    if (temperatures.isEmpty() || count > MaxPixels ||
        temperatures.fahrenheit.size() != static_cast<std::size_t>(count))
        return {};
    QByteArray out(Magic, MagicSize);
    out.append(Version);
    appendLe32(out, static_cast<std::uint32_t>(temperatures.width));
    appendLe32(out, static_cast<std::uint32_t>(temperatures.height));
    const QByteArray source = temperatures.source.toUtf8().left(0xFFFF);
    char len[2];
    qToLittleEndian(static_cast<std::uint16_t>(source.size()), len);
    out.append(len, 2);
    out.append(source);
    // As qCompress writes it (the unpacked size big-endian, then a zlib stream), but the planes
    // are deflated a slice at a time instead of being laid out whole first: a chart's 4 MB of
    // planes never exist at once. Level 1: nearly as small as 6 in a third of the time.
    char size[4];
    qToBigEndian(static_cast<std::uint32_t>(count * 4), size);
    out.append(size, 4);
    z_stream stream{};
    if (deflateInit(&stream, 1) != Z_OK) return {};
    constexpr qint64 Slice = 32 * 1024;
    std::array<unsigned char, Slice> plane;
    std::array<unsigned char, Slice> packed;
    const auto drain = [&](int flush) {
        do {
            stream.next_out = packed.data();
            stream.avail_out = static_cast<uInt>(packed.size());
            deflate(&stream, flush);
            out.append(reinterpret_cast<const char*>(packed.data()),
                       static_cast<qsizetype>(packed.size() - stream.avail_out));
        } while (stream.avail_out == 0);
    };
    const float* values = temperatures.fahrenheit.data();
    for (int b = 0; b < 4; ++b)
        for (qint64 start = 0; start < count; start += Slice) {
            const qint64 n = std::min(Slice, count - start);
            for (qint64 i = 0; i < n; ++i) {
                std::uint32_t bits;
                std::memcpy(&bits, &values[start + i], 4);
                plane[static_cast<std::size_t>(i)] = static_cast<unsigned char>(bits >> (8 * b));
            }
            stream.next_in = plane.data();
            stream.avail_in = static_cast<uInt>(n);
            drain(Z_NO_FLUSH);
        }
    drain(Z_FINISH);
    deflateEnd(&stream);
    return out;
}

std::optional<PixelTemperatures> decodePixelTemperatures(const QByteArray& bytes) {
    constexpr int FixedHeader = MagicSize + 1 + 4 + 4 + 2;
    if (bytes.size() < FixedHeader || std::memcmp(bytes.constData(), Magic, MagicSize) != 0 ||
        bytes[MagicSize] != Version)
        return std::nullopt;
    const char* d = bytes.constData() + MagicSize + 1;
    const std::uint32_t width = qFromLittleEndian<std::uint32_t>(d);
    const std::uint32_t height = qFromLittleEndian<std::uint32_t>(d + 4);
    const std::uint16_t sourceSize = qFromLittleEndian<std::uint16_t>(d + 8);
    if (width == 0 || height == 0 || width > 65535 || height > 65535) return std::nullopt;
    const qint64 count = qint64(width) * height;
    if (count > MaxPixels) return std::nullopt;
    if (bytes.size() < FixedHeader + sourceSize + 4) return std::nullopt;
    PixelTemperatures result;
    result.width = static_cast<int>(width);
    result.height = static_cast<int>(height);
    result.source = QString::fromUtf8(bytes.constData() + FixedHeader, sourceSize);
    const QByteArray compressed = bytes.mid(FixedHeader + sourceSize);
    // qCompress puts the unpacked size first (big-endian): check it before anything is allocated.
    if (qFromBigEndian<std::uint32_t>(compressed.constData()) !=
        static_cast<std::uint32_t>(count * 4))
        return std::nullopt;
    const QByteArray planes = qUncompress(compressed);
    if (planes.size() != count * 4) return std::nullopt;
    result.fahrenheit.resize(static_cast<std::size_t>(count));
    const auto* p = reinterpret_cast<const unsigned char*>(planes.constData());
    for (qint64 i = 0; i < count; ++i) {
        const std::uint32_t bits = std::uint32_t(p[i]) | std::uint32_t(p[count + i]) << 8 |
                                   std::uint32_t(p[2 * count + i]) << 16 |
                                   std::uint32_t(p[3 * count + i]) << 24;
        std::memcpy(&result.fahrenheit[static_cast<std::size_t>(i)], &bits, 4);
    }
    return result;
}

} // namespace geo
