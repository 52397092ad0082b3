#include "gif/GIFEncoder.h"

#include <QCoreApplication>
#include <QSaveFile>

#include <algorithm>
#include <array>

namespace gif {

namespace {

constexpr int kMaxCodes = 4096; // GIF89a Appendix F: codes are at most 12 bits
constexpr int kMaxCodeBits = 12;

// Packs variable-length codes least significant bit first (GIF89a Appendix F).
class CodeWriter {
public:
    explicit CodeWriter(QByteArray& out) : m_out(out) {}

    void put(int code, int bits) {
        m_buffer |= static_cast<std::uint32_t>(code) << m_bitCount;
        m_bitCount += bits;
        while (m_bitCount >= 8) {
            m_out.append(static_cast<char>(m_buffer & 0xFF));
            m_buffer >>= 8;
            m_bitCount -= 8;
        }
    }

    void flush() {
        if (m_bitCount > 0) m_out.append(static_cast<char>(m_buffer & 0xFF));
        m_buffer = 0;
        m_bitCount = 0;
    }

private:
    QByteArray& m_out;
    std::uint32_t m_buffer = 0;
    int m_bitCount = 0;
};

// String table of the compressor: (prefix code, next index) -> code, open addressing.
// 8192 slots for at most 4096 entries keeps probes short; clearing touches 32 KiB only.
class StringTable {
public:
    StringTable() { clear(); }

    void clear() { m_slots.fill(kEmpty); }

    // Returns the code of prefix+index, or -1; *slot receives where to insert it.
    int find(int prefix, int index, int* slot) const {
        const std::uint32_t key = (static_cast<std::uint32_t>(prefix) << 8) | index;
        std::uint32_t h = (key * 2654435761u) >> (32 - kBits);
        while (true) {
            const std::uint32_t s = m_slots[h];
            if (s == kEmpty) {
                *slot = static_cast<int>(h);
                return -1;
            }
            if ((s >> 12) == key) return static_cast<int>(s & 0xFFF);
            h = (h + 1) & (kSize - 1);
        }
    }

    void insert(int slot, int prefix, int index, int code) {
        const std::uint32_t key = (static_cast<std::uint32_t>(prefix) << 8) | index;
        m_slots[slot] = (key << 12) | static_cast<std::uint32_t>(code);
    }

private:
    static constexpr int kBits = 13;
    static constexpr std::uint32_t kSize = 1u << kBits;
    static constexpr std::uint32_t kEmpty = 0xFFFFFFFFu;
    std::array<std::uint32_t, kSize> m_slots;
};

void appendLe16(QByteArray& out, int value) {
    out.append(static_cast<char>(value & 0xFF));
    out.append(static_cast<char>((value >> 8) & 0xFF));
}

int tableSizeBits(int size) {
    int bits = 1;
    while ((1 << bits) < size)
        ++bits;
    return bits;
}

void appendColourTable(QByteArray& out, const ColourTable& table) {
    const int padded = 1 << tableSizeBits(static_cast<int>(table.size()));
    for (int i = 0; i < padded; ++i) {
        const QRgb c = i < table.size() ? table[i] : qRgb(0, 0, 0);
        out.append(static_cast<char>(qRed(c)));
        out.append(static_cast<char>(qGreen(c)));
        out.append(static_cast<char>(qBlue(c)));
    }
}

// Data as sub-blocks of at most 255 bytes and the block terminator, straight onto the output.
void appendSubBlocks(QByteArray& out, const QByteArray& data) {
    const qsizetype needed = out.size() + data.size() + data.size() / 255 + 2;
    if (needed > out.capacity()) out.reserve(std::max(needed, 2 * out.capacity()));
    for (qsizetype pos = 0; pos < data.size(); pos += 255) {
        const qsizetype n = std::min<qsizetype>(255, data.size() - pos);
        out.append(static_cast<char>(n));
        out.append(data.constData() + pos, n);
    }
    out.append('\0');
}

void appendComment(QByteArray& out, const QByteArray& text) {
    out.append('\x21');
    out.append('\xFE');
    appendSubBlocks(out, text);
}

void appendApplication(QByteArray& out, const ApplicationExtension& application) {
    out.append('\x21');
    out.append('\xFF');
    out.append('\x0B');
    out.append(application.identifier);
    out.append(application.authentication);
    appendSubBlocks(out, application.data);
}

bool fail(QString* error, const QString& message) {
    if (error) *error = message;
    return false;
}

bool validSize(int v) {
    return v >= 1 && v <= 0xFFFF;
}

bool validateFrame(const EncoderInput& input, const EncoderFrame& f, int n, QString* error) {
    const QString which = QCoreApplication::translate("GIFEncoder", "frame %1: ").arg(n);
    if (!validSize(f.width) || !validSize(f.height))
        return fail(error, which + QCoreApplication::translate(
                                       "GIFEncoder", "width and height must be 1 to 65535"));
    if (f.left < 0 || f.left > 0xFFFF || f.top < 0 || f.top > 0xFFFF)
        return fail(error, which + QCoreApplication::translate("GIFEncoder",
                                                               "left and top must be 0 to 65535"));
    if (f.localTable.size() > 256)
        return fail(error, which + QCoreApplication::translate(
                                       "GIFEncoder", "local colour table exceeds 256 entries"));
    if (f.indices.size() != static_cast<std::size_t>(f.width) * static_cast<std::size_t>(f.height))
        return fail(error, which + QCoreApplication::translate(
                                       "GIFEncoder", "index count is not width * height"));
    if (f.transparentIndex && (*f.transparentIndex < 0 || *f.transparentIndex > 255))
        return fail(error, which + QCoreApplication::translate(
                                       "GIFEncoder", "transparent index must be 0 to 255"));
    if (f.delay < 0 || f.delay > 0xFFFF)
        return fail(error,
                    which + QCoreApplication::translate("GIFEncoder", "delay must be 0 to 65535"));
    const ColourTable& active = f.localTable.isEmpty() ? input.globalTable : f.localTable;
    if (!active.isEmpty()) {
        const int limit = 1 << tableSizeBits(static_cast<int>(active.size()));
        const auto maxIndex = *std::max_element(f.indices.begin(), f.indices.end());
        if (maxIndex >= limit)
            return fail(error, which + QCoreApplication::translate(
                                           "GIFEncoder", "index %1 outside the colour table of %2")
                                           .arg(maxIndex)
                                           .arg(limit));
    }
    return true;
}

// The active table fixes the code size; without any table the largest index does.
int frameCodeSize(const EncoderInput& input, const EncoderFrame& f) {
    const ColourTable& active = f.localTable.isEmpty() ? input.globalTable : f.localTable;
    if (!active.isEmpty()) return minimumCodeSize(static_cast<int>(active.size()));
    const int maxIndex = *std::max_element(f.indices.begin(), f.indices.end());
    return minimumCodeSize(maxIndex + 1);
}

// GIF89a Appendix E: interlaced images store rows in four passes.
std::vector<std::uint8_t> interlaceRows(const EncoderFrame& f) {
    std::vector<std::uint8_t> out;
    out.reserve(f.indices.size());
    static constexpr int kStart[4] = {0, 4, 2, 1};
    static constexpr int kStep[4] = {8, 8, 4, 2};
    for (int pass = 0; pass < 4; ++pass) {
        for (int y = kStart[pass]; y < f.height; y += kStep[pass]) {
            const auto row = f.indices.begin() + static_cast<std::ptrdiff_t>(y) * f.width;
            out.insert(out.end(), row, row + f.width);
        }
    }
    return out;
}

void appendFrame(QByteArray& out, const EncoderInput& input, const EncoderFrame& f) {
    if (f.transparentIndex || f.delay != 0) {
        // GIF89a section 23: graphic control extension, block size 4.
        out.append("\x21\xF9\x04", 3);
        out.append(static_cast<char>(f.transparentIndex ? 0x01 : 0x00));
        appendLe16(out, f.delay);
        out.append(static_cast<char>(f.transparentIndex.value_or(0)));
        out.append('\0');
    }
    for (const QByteArray& c : f.comments)
        appendComment(out, c);

    // GIF89a section 20: image descriptor.
    out.append('\x2C');
    appendLe16(out, f.left);
    appendLe16(out, f.top);
    appendLe16(out, f.width);
    appendLe16(out, f.height);
    int packed = f.interlaced ? 0x40 : 0;
    if (!f.localTable.isEmpty())
        packed |= 0x80 | (tableSizeBits(static_cast<int>(f.localTable.size())) - 1);
    out.append(static_cast<char>(packed));
    if (!f.localTable.isEmpty()) appendColourTable(out, f.localTable);

    const int codeSize = frameCodeSize(input, f);
    out.append(static_cast<char>(codeSize));
    if (f.interlaced) {
        const std::vector<std::uint8_t> rows = interlaceRows(f);
        appendSubBlocks(out, compressLzw(rows.data(), rows.size(), codeSize));
    } else {
        appendSubBlocks(out, compressLzw(f.indices.data(), f.indices.size(), codeSize));
    }
}

} // namespace

int minimumCodeSize(int tableSize) {
    return std::clamp(tableSizeBits(tableSize), 2, 8);
}

QByteArray compressLzw(const std::uint8_t* indices, std::size_t count, int minCodeSize) {
    QByteArray out;
    out.reserve(static_cast<qsizetype>(count / 2 + 16));
    CodeWriter writer(out);
    StringTable table;

    const int clearCode = 1 << minCodeSize;
    const int endCode = clearCode + 1;
    const int firstFree = clearCode + 2;
    int codeSize = minCodeSize + 1;
    int nextCode = firstFree;

    writer.put(clearCode, codeSize);
    if (count == 0) {
        writer.put(endCode, codeSize);
        writer.flush();
        return out;
    }

    int current = indices[0];
    for (std::size_t i = 1; i < count; ++i) {
        const int k = indices[i];
        int slot = 0;
        const int found = table.find(current, k, &slot);
        if (found >= 0) {
            current = found;
            continue;
        }
        writer.put(current, codeSize);
        if (nextCode < kMaxCodes) {
            table.insert(slot, current, k, nextCode);
            // The decoder adds this entry one code later and then widens its codes as soon as
            // the next free code reaches 1 << codeSize; widen in step with it.
            if (nextCode == (1 << codeSize) && codeSize < kMaxCodeBits) ++codeSize;
            ++nextCode;
        } else {
            // Table full: start over so that new strings can be learned.
            writer.put(clearCode, codeSize);
            table.clear();
            codeSize = minCodeSize + 1;
            nextCode = firstFree;
        }
        current = k;
    }
    writer.put(current, codeSize);
    // Reading that last code the decoder adds one more entry (unless this code was the first
    // after a clear, or the table is full) and may widen its codes before the end code.
    if (nextCode != firstFree && nextCode < kMaxCodes && nextCode == (1 << codeSize)) ++codeSize;
    writer.put(endCode, codeSize);
    writer.flush();
    return out;
}

QByteArray toSubBlocks(const QByteArray& data) {
    QByteArray out;
    appendSubBlocks(out, data);
    return out;
}

std::optional<QByteArray> encodeGif(const EncoderInput& input, QString* error) {
    if (!validSize(input.screenWidth) || !validSize(input.screenHeight)) {
        fail(error, QCoreApplication::translate(
                        "GIFEncoder", "logical screen width and height must be 1 to 65535"));
        return std::nullopt;
    }
    if (input.globalTable.size() > 256) {
        fail(error,
             QCoreApplication::translate("GIFEncoder", "global colour table exceeds 256 entries"));
        return std::nullopt;
    }
    if (input.backgroundIndex < 0 || input.backgroundIndex > 255) {
        fail(error, QCoreApplication::translate("GIFEncoder", "background index must be 0 to 255"));
        return std::nullopt;
    }
    for (const ApplicationExtension& a : input.applications) {
        if (a.identifier.size() != 8 || a.authentication.size() != 3) {
            fail(error,
                 QCoreApplication::translate(
                     "GIFEncoder", "an application extension needs an identifier of 8 bytes and an "
                                   "authentication code of 3"));
            return std::nullopt;
        }
    }
    for (std::size_t i = 0; i < input.frames.size(); ++i) {
        if (!validateFrame(input, input.frames[i], static_cast<int>(i), error)) return std::nullopt;
    }

    // Room for the whole file at once (pictures rarely pack to more than half a byte a pixel),
    // so that a large picture is not copied as the file grows.
    qsizetype expected = 1024 + 3 * 256;
    for (const QByteArray& c : input.comments)
        expected += c.size() + c.size() / 255 + 4;
    for (const ApplicationExtension& a : input.applications)
        expected += a.data.size() + a.data.size() / 255 + 16;
    for (const EncoderFrame& f : input.frames)
        expected += qsizetype(f.indices.size() / 2) + 3 * 256 + 32;
    QByteArray out;
    out.reserve(expected);
    out.append("GIF89a", 6);
    // GIF89a section 18: logical screen descriptor; colour resolution 8 bits.
    appendLe16(out, input.screenWidth);
    appendLe16(out, input.screenHeight);
    int packed = 0x70;
    if (!input.globalTable.isEmpty())
        packed |= 0x80 | (tableSizeBits(static_cast<int>(input.globalTable.size())) - 1);
    out.append(static_cast<char>(packed));
    out.append(static_cast<char>(input.backgroundIndex));
    out.append('\0');
    if (!input.globalTable.isEmpty()) appendColourTable(out, input.globalTable);

    if (input.commentPlacement == CommentPlacement::BeforeFirstImage) {
        for (const QByteArray& c : input.comments)
            appendComment(out, c);
    }
    for (const ApplicationExtension& a : input.applications)
        appendApplication(out, a);
    for (const EncoderFrame& f : input.frames)
        appendFrame(out, input, f);
    if (input.commentPlacement == CommentPlacement::AfterLastImage) {
        for (const QByteArray& c : input.comments)
            appendComment(out, c);
    }
    if (input.writeTrailer) out.append('\x3B');
    return out;
}

bool writeGifFile(const QString& path, const EncoderInput& input, QString* error) {
    const std::optional<QByteArray> data = encodeGif(input, error);
    if (!data) return false;
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return fail(error, QCoreApplication::translate("GIFEncoder", "cannot open %1: %2")
                               .arg(path, file.errorString()));
    if (file.write(*data) != data->size())
        return fail(error, QCoreApplication::translate("GIFEncoder", "cannot write %1: %2")
                               .arg(path, file.errorString()));
    if (!file.commit())
        return fail(error, QCoreApplication::translate("GIFEncoder", "cannot write %1: %2")
                               .arg(path, file.errorString()));
    return true;
}

} // namespace gif
