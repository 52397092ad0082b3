#pragma once
// The printing engine's image: a packed device-independent bitmap (DIB) in two blocks, the
// bitmap header with its colour table and masks, and the pixel rows, exactly as they lie in a
// BMP file after its 14-byte file header. Our own BMP writer and reader, after the public
// BITMAPFILEHEADER, BITMAPINFOHEADER and BITMAPCOREHEADER definitions. A BMP may come from
// anywhere: every size is checked against the blocks and the limits below before anything is
// allocated, and nothing is read outside a block.

#include <QByteArray>
#include <QList>
#include <QRgb>

#include <array>
#include <cstdint>
#include <optional>

class QIODevice;
class QImage;

namespace printing {

// Limits of our own (the format leaves them open), checked before allocating.
inline constexpr int MaxDibSide = 16384;
inline constexpr qint64 MaxDibPixels = qint64(64) * 1024 * 1024;
// The header block: the largest header, colour table and masks take 1076 bytes; the rest is
// room for a gap before the pixels.
inline constexpr qint64 MaxDibHeaderBytes = 1024 * 1024;
// The fewest bytes of pixels the loader takes: a 1 x 1 or 2 x 2 picture is refused.
inline constexpr qint64 MinDibImageBytes = 32;

inline constexpr int InfoHeaderSize = 40; // BITMAPINFOHEADER
inline constexpr int CoreHeaderSize = 12; // BITMAPCOREHEADER
inline constexpr int FileHeaderSize = 14; // BITMAPFILEHEADER

enum DibCompression : int { BiRgb = 0, BiRle8 = 1, BiRle4 = 2, BiBitfields = 3 };

// A packed DIB. Both blocks start zero-filled; the one who received them owns them.
struct PackedDib {
    QByteArray header; // the bytes between the file header and the pixel data
    QByteArray pixels; // the rows, each padded to 4 bytes; bottom row first unless top-down
    int width = 0;
    int height = 0; // absolute
};

// What a valid header says, in its 40-byte form.
struct DibHeaderMetrics {
    bool core = false; // the block holds a 12-byte core header
    int width = 0;
    int height = 0; // as stored: negative for a top-down image
    int bitCount = 0;
    int compression = BiRgb;
    int colourEntries = 0;
    int maskEntries = 0;
    qint64 imageSizeField = 0; // the header's image size (0 when absent)
    qint64 headerBytes = 0;    // of the 40-byte form: 40 + 4 x (colour entries + mask entries)
    qint64 sourceBytes = 0;    // of the block as stored (a core table has 3-byte entries)
    int rowBytes = 0;          // one row padded to a multiple of 4 bytes
    qint64 imageBytes = 0;     // absolute height x row bytes, expanded
    bool topDown = false;

    int absHeight() const { return height < 0 ? -height : height; }
};

// The header at the start of block, validated: core headers need width and height not 0,
// planes 1 and 1, 4, 8 or 24 bits; information headers a width above 0, a height not 0, planes
// 1, 1, 4, 8, 16, 24 or 32 bits, compression 0 to 3 matching the depth, and for compressed
// images a size field and a positive height. Both within MaxDibSide and MaxDibPixels. Nothing
// when the block is too short for the header itself or a rule fails; the colour table is not
// looked at (see workingHeader).
std::optional<DibHeaderMetrics> dibHeaderMetrics(const QByteArray& block);

// The 40-byte form of a core header with its colour table: same width, height and bit count,
// planes 1, compression 0, the image size, resolutions 0, colours used and important the entry
// count; each RGBTRIPLE becomes an RGBQUAD with a 0 fourth byte. Nothing when the block is not
// a valid core header or is too short for its colour table.
std::optional<QByteArray> infoHeaderFromCore(const QByteArray& block);

// The engine's copy of a header block: exactly metrics.headerBytes bytes of the 40-byte form,
// a core header converted. Nothing when the block is too short for its colour table and masks.
std::optional<QByteArray> workingHeader(const QByteArray& block, const DibHeaderMetrics& metrics);

// From a working header: the colour table as opaque colours (at most 256 entries), and the
// red, green and blue masks of 16- and 32-bit images (the defaults 5-5-5 and 8-8-8 without bit
// fields; zeros for other depths).
QList<QRgb> dibColourTable(const QByteArray& working, const DibHeaderMetrics& metrics);
std::array<std::uint32_t, 3> dibMasks(const QByteArray& working, const DibHeaderMetrics& metrics);

// Expands RLE8 or RLE4 pixels into metrics.imageBytes of uncompressed rows. Pixels the runs
// skip are the first pure white entry of the colour table (any entry for RLE8, one of the
// first 16 for RLE4), or entry 0. Nothing when a run is cut off by the end of the data.
std::optional<QByteArray> expandRle(const QByteArray& compressed, const DibHeaderMetrics& metrics,
                                    const QList<QRgb>& colourTable);

// A BMP file image of bitmap: 8 bits with its colour table for an indexed bitmap, 1 bit for
// a monochrome one, 24 bits for every other format; bottom-up, uncompressed, 40-byte header.
// Empty for a null bitmap or one beyond the limits.
QByteArray bmpFileImage(const QImage& bitmap);

} // namespace printing

// Writes bitmap as a BMP file image into memory and reads it back with LoadDibFromStream.
// Nothing for a null bitmap, one that cannot be written or one too small to print.
std::optional<printing::PackedDib> LoadDibFromBitmap(const QImage& bitmap);

// Reads a BMP file image from the stream's position: the file header ("BM", the pixel
// offset), the header block up to that offset and the pixel block after it. Nothing, with
// both blocks released, when the stream is short, a size is out of range, the pixels take
// fewer than MinDibImageBytes or the header is not one the engine can print; the stream is
// then left somewhere after its position.
std::optional<printing::PackedDib> LoadDibFromStream(QIODevice& stream);
