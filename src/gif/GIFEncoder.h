#pragma once

// A small GIF89a writer. The program writes annotated pictures with it (Save As, and
// thalwise-cli's render); tests, benchmarks and the fuzzer make exactly the files they need.

#include <QByteArray>
#include <QList>
#include <QRgb>
#include <QString>

#include <cstdint>
#include <optional>
#include <vector>

namespace gif {

// A colour table as QImage keeps it (alpha is ignored). Empty means "no table". A table whose
// size is not a power of two is padded with black up to the next one (2 to 256 entries).
using ColourTable = QList<QRgb>;

// One image descriptor with its pixels and the graphic control extension before it.
struct EncoderFrame {
    int left = 0;
    int top = 0;
    int width = 0; // 1 to 65535
    int height = 0;
    ColourTable localTable;
    // width * height indices, top row first, each below the active table's size.
    std::vector<std::uint8_t> indices;
    bool interlaced = false;
    // Written as a graphic control extension (with transparent flag) when set.
    std::optional<int> transparentIndex;
    // Hundredths of a second; a graphic control extension is written when non-zero.
    int delay = 0;
    // Comment extensions written between this frame's graphic control extension (or the
    // previous image) and its image descriptor.
    std::vector<QByteArray> comments;
};

// An application extension (GIF89a section 26): 8 identifier bytes, 3 authentication bytes,
// and data split into sub-blocks.
struct ApplicationExtension {
    QByteArray identifier;     // exactly 8 bytes
    QByteArray authentication; // exactly 3 bytes
    QByteArray data;
};

enum class CommentPlacement {
    BeforeFirstImage, // right after the global colour table: where a chart keeps its metadata
    AfterLastImage,   // between the last image and the trailer
};

struct EncoderInput {
    int screenWidth = 0; // logical screen, 1 to 65535
    int screenHeight = 0;
    ColourTable globalTable;
    int backgroundIndex = 0;
    std::vector<EncoderFrame> frames;
    // File-level comment extensions, each one extension whose text is split into data
    // sub-blocks of at most 255 bytes (an empty text gives a comment with no sub-block).
    std::vector<QByteArray> comments;
    CommentPlacement commentPlacement = CommentPlacement::BeforeFirstImage;
    // Written after the comments placed before the first image (or after the colour table).
    std::vector<ApplicationExtension> applications;
    bool writeTrailer = true; // false makes a file that just stops after its last image
};

// Smallest LZW minimum code size for a table of tableSize entries (at least 2, at most 8).
int minimumCodeSize(int tableSize);

// LZW-compresses indices (each below 1 << minCodeSize) into the raw code stream of a GIF image:
// a clear code first, a clear code whenever the 4096-entry table fills, the end code last,
// codes packed least significant bit first. No sub-block framing. minCodeSize is 2 to 8.
QByteArray compressLzw(const std::uint8_t* indices, std::size_t count, int minCodeSize);

// Splits data into GIF data sub-blocks of at most 255 bytes and appends the zero terminator.
QByteArray toSubBlocks(const QByteArray& data);

// Encodes a whole file. Returns nullopt and sets *error (if given) when the input is invalid:
// sizes outside 1 to 65535, a frame outside 16-bit positions, an index count that is not
// width * height, an index not below the active table's size, a table of more than 256 colours,
// a transparent index outside 0 to 255, an application identifier not of 8 bytes or an
// authentication code not of 3.
std::optional<QByteArray> encodeGif(const EncoderInput& input, QString* error = nullptr);

// Encodes and writes the file atomically (the old file stays untouched on failure).
// Returns false and sets *error on invalid input or when the file cannot be written.
bool writeGifFile(const QString& path, const EncoderInput& input, QString* error = nullptr);

} // namespace gif
