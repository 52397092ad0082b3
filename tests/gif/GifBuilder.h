#pragma once

// A tiny byte builder for hand-made GIF files in tests: every block is written as GIF89a lays it
// out, so a test can put any byte anywhere.

#include <QByteArray>
#include <QList>

#include <cstdint>
#include <initializer_list>
#include <vector>

namespace gif::test {

// The colour every builder-made table gives to index i.
inline std::uint8_t red(int i) {
    return std::uint8_t(i);
}
inline std::uint8_t green(int i) {
    return std::uint8_t(255 - i);
}
inline std::uint8_t blue(int i) {
    return std::uint8_t((i * 7 + 3) & 0xFF);
}

// The table-size bits of a packed byte for a table of entries (2 to 256) colours.
inline int sizeBits(int entries) {
    int bits = 0;
    while ((2 << bits) < entries)
        ++bits;
    return bits;
}

// Packs codes least significant bit first, each with the width the decoder expects: it starts
// at minCodeSize + 1 bits and grows when the next free code reaches the limit, reset by clear.
inline QByteArray packCodes(int minCodeSize, const std::vector<int>& codes) {
    const int clear = 1 << minCodeSize;
    int width = minCodeSize + 1;
    int freeCode = clear + 2;
    bool first = true;
    QByteArray out;
    std::uint32_t acc = 0;
    int bits = 0;
    for (int code : codes) {
        acc |= std::uint32_t(code) << bits;
        bits += width;
        while (bits >= 8) {
            out.append(char(acc & 0xFF));
            acc >>= 8;
            bits -= 8;
        }
        if (code == clear) {
            width = minCodeSize + 1;
            freeCode = clear + 2;
            first = true;
            continue;
        }
        if (first) {
            first = false;
            continue;
        }
        if (freeCode < 4096 && ++freeCode >= (1 << width) && width < 12) ++width;
    }
    if (bits > 0) out.append(char(acc & 0xFF));
    return out;
}

// Splits data into sub-blocks of at most blockSize bytes and appends the terminator.
inline QByteArray subBlocks(const QByteArray& data, int blockSize = 255, bool terminate = true) {
    QByteArray out;
    for (qsizetype i = 0; i < data.size(); i += blockSize) {
        const QByteArray part = data.mid(i, blockSize);
        out.append(char(part.size()));
        out.append(part);
    }
    if (terminate) out.append('\0');
    return out;
}

class GifBuilder {
public:
    QByteArray bytes;

    GifBuilder& raw(std::initializer_list<int> values) {
        for (int v : values)
            bytes.append(char(v));
        return *this;
    }
    GifBuilder& append(const QByteArray& data) {
        bytes.append(data);
        return *this;
    }
    GifBuilder& u16(int v) { return raw({v & 0xFF, (v >> 8) & 0xFF}); }

    GifBuilder& table(int entries) {
        for (int i = 0; i < entries; ++i)
            raw({red(i), green(i), blue(i)});
        return *this;
    }
    // Signature and logical screen descriptor; globalEntries 0 writes no global table.
    GifBuilder& header(int width, int height, int globalEntries = 4,
                       const QByteArray& signature = "GIF89a", int background = 0) {
        bytes.append(signature);
        u16(width).u16(height);
        raw({globalEntries ? 0x80 | sizeBits(globalEntries) : 0, background, 0});
        return table(globalEntries);
    }
    GifBuilder& comment(const QList<QByteArray>& blocks) {
        raw({0x21, 0xFE});
        for (const QByteArray& b : blocks) {
            bytes.append(char(b.size()));
            bytes.append(b);
        }
        return raw({0});
    }
    GifBuilder& gce(int transparentIndex, bool transparent = true, int delay = 0) {
        raw({0x21, 0xF9, 4, transparent ? 1 : 0});
        return u16(delay).raw({transparentIndex, 0});
    }
    GifBuilder& descriptor(int left, int top, int width, int height, bool interlaced = false,
                           int localEntries = 0) {
        raw({0x2C});
        u16(left).u16(top).u16(width).u16(height);
        raw({(localEntries ? 0x80 | sizeBits(localEntries) : 0) | (interlaced ? 0x40 : 0)});
        return table(localEntries);
    }
    // Minimum code size byte and the code stream as sub-blocks.
    GifBuilder& data(int minCodeSize, const QByteArray& codeStream, int blockSize = 255) {
        raw({minCodeSize});
        return append(subBlocks(codeStream, blockSize));
    }
    GifBuilder& codes(int minCodeSize, const std::vector<int>& codes) {
        return data(minCodeSize, packCodes(minCodeSize, codes));
    }
    GifBuilder& trailer() { return raw({0x3B}); }
};

// Uncompressed LZW: every index as a literal, a clear code before the table would widen codes.
inline std::vector<int> literalCodes(const std::vector<std::uint8_t>& indices, int minCodeSize) {
    const int clear = 1 << minCodeSize;
    const int room = (1 << (minCodeSize + 1)) - (clear + 2); // entries before the width grows
    std::vector<int> codes{clear};
    int sinceClear = 0;
    for (std::uint8_t v : indices) {
        if (sinceClear > room) {
            codes.push_back(clear);
            sinceClear = 0;
        }
        codes.push_back(v);
        ++sinceClear;
    }
    codes.push_back(clear + 1);
    return codes;
}

// A complete single-frame file with a 4-colour global table and the given indices.
inline QByteArray simpleGif(int width, int height, const std::vector<std::uint8_t>& indices,
                            bool trailer = true) {
    GifBuilder b;
    b.header(width, height).descriptor(0, 0, width, height).codes(2, literalCodes(indices, 2));
    if (trailer) b.trailer();
    return b.bytes;
}

} // namespace gif::test
