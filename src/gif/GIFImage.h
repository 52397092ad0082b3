#pragma once

// Reading GIF87a and GIF89a data into frames, colour tables and extension blocks, and turning the
// first frame into an exact palettised bitmap. The block layout, colour tables, extensions,
// interlaced row order and LZW compression are those of the GIF89a standard.

#include <QByteArray>
#include <QImage>
#include <QList>
#include <QRgb>
#include <QString>
#include <QStringList>

#include <array>
#include <cstdint>
#include <exception>
#include <functional>
#include <memory>
#include <vector>

class QIODevice;
class QPainter;
class QRect;

// The one error type of the decoder. message() is the user-visible text (see gif::message).
class GIFException : public std::exception {
public:
    explicit GIFException(const QString& message);
    const QString& message() const { return m_message; }
    const char* what() const noexcept override { return m_utf8.constData(); }

private:
    QString m_message;
    QByteArray m_utf8;
};

namespace gif {

// Every error and warning text of the decoder, in one place: source texts, which the decoder
// reports through QCoreApplication::translate("GIFImage", ...).
namespace message {
inline constexpr char InvalidSignature[] = QT_TRANSLATE_NOOP("GIFImage", "Invalid GIF signature");
inline constexpr char PrematureEnd[] = QT_TRANSLATE_NOOP("GIFImage", "Premature end of data");
inline constexpr char UnknownExtension[] = QT_TRANSLATE_NOOP("GIFImage", "Unknown extension type");
inline constexpr char InvalidExtensionIntroducer[] =
    QT_TRANSLATE_NOOP("GIFImage", "Invalid extension introducer");
inline constexpr char ExtensionLabelMismatch[] = QT_TRANSLATE_NOOP(
    "GIFImage", "Internal error: Extension Instance does not match Extension Label");
inline constexpr char UnsupportedAppExtSize[] =
    QT_TRANSLATE_NOOP("GIFImage", "Unsupported Application Extension block size");
inline constexpr char InvalidData[] = QT_TRANSLATE_NOOP("GIFImage", "Invalid GIF data");
inline constexpr char UnknownBlockType[] = QT_TRANSLATE_NOOP("GIFImage", "Unknown GIF block type");
inline constexpr char ImageExceedsScreen[] =
    QT_TRANSLATE_NOOP("GIFImage", "Image exceeds Logical Screen size");
inline constexpr char BitBufferUnderrun[] =
    QT_TRANSLATE_NOOP("GIFImage", "Decoder bit buffer under-run");
inline constexpr char CircularTableEntry[] =
    QT_TRANSLATE_NOOP("GIFImage", "Circular decoder table entry");
inline constexpr char InvalidTrailer[] = QT_TRANSLATE_NOOP("GIFImage", "Invalid Image trailer");
inline constexpr char NoColorTable[] =
    QT_TRANSLATE_NOOP("GIFImage", "No global or local color table defined");
inline constexpr char OutOfMemory[] =
    QT_TRANSLATE_NOOP("GIFImage", "Failed to allocate memory for GIF DIB");
inline constexpr char CannotOpenFile[] = QT_TRANSLATE_NOOP("GIFImage", "Cannot open %1: %2");
// Our own limits (the format leaves them open); %1, %2 are filled in.
inline constexpr char CodeSizeTooLarge[] = QT_TRANSLATE_NOOP(
    "GIFImage", "Invalid GIF data: LZW minimum code size %1 is above the largest possible (11)");
inline constexpr char SideTooLarge[] = QT_TRANSLATE_NOOP(
    "GIFImage", "Image too large: %1 x %2 pixels (at most 16384 pixels on a side)");
inline constexpr char TotalTooLarge[] = QT_TRANSLATE_NOOP(
    "GIFImage",
    "Image too large: more than 67108864 pixels in the logical screen and all frames together");
inline constexpr char FileTooLarge[] = QT_TRANSLATE_NOOP(
    "GIFImage",
    "File too large: %1 bytes (a GIF within this decoder's limits has at most 134217728)");
inline constexpr char EmptyScreen[] =
    QT_TRANSLATE_NOOP("GIFImage", "Invalid GIF data: the logical screen is %1 x %2 pixels");
inline constexpr char TooManyBlocks[] = QT_TRANSLATE_NOOP(
    "GIFImage", "Too many blocks: more than 65536 frames and extensions together");
inline constexpr char TooManySubBlocks[] = QT_TRANSLATE_NOOP(
    "GIFImage", "Too many data sub-blocks: more than 1048576 in the extensions together");
// A warning: the comments' first 1 MiB is kept, the rest is read over.
inline constexpr char CommentsCut[] =
    QT_TRANSLATE_NOOP("GIFImage", "Comment text beyond 1048576 bytes skipped");
} // namespace message

// Limits checked before anything is allocated.
inline constexpr int MaxSide = 16384;
inline constexpr qint64 MaxTotalPixels = qint64(64) * 1024 * 1024;
// The largest file that can hold a GIF within those limits, with room to spare: every pixel
// as its own 12-bit code is 96 MiB, sub-block lengths add 1/255, extensions and tables little.
// A larger file is refused before it is read, so that no file makes the program take gigabytes
// of memory or many seconds.
inline constexpr qint64 MaxFileSize = qint64(128) * 1024 * 1024;

// Limits of the structure, so that the work and memory a file costs do not grow with the number
// of its blocks however small they are. A chart has one frame and a few comments; an animation
// a frame and a graphic control extension per picture. Sub-blocks are counted in the extensions
// (comments, texts, application data); those of the pixel data are joined as they are read.
inline constexpr int MaxBlocks = 65536;
inline constexpr int MaxExtensionSubBlocks = 1024 * 1024;
// Comment sub-blocks kept, each counted with its length byte.
inline constexpr qsizetype MaxCommentBytes = 1024 * 1024;

enum class Severity { Warning, Error };

// Receives warnings (loading continues) while a TGIFImage loads.
using WarningCallback = std::function<void(Severity severity, const QString& message)>;

// Data sub-blocks kept compactly: their bytes back to back in one array and where each ends, so
// that a one-byte sub-block costs five bytes, not an object of its own.
class SubBlocks {
public:
    qsizetype size() const { return qsizetype(m_ends.size()); }
    bool isEmpty() const { return m_ends.empty(); }
    // A copy of the sub-block's bytes.
    QByteArray at(qsizetype index) const;
    QByteArray operator[](qsizetype index) const { return at(index); }
    void append(const char* data, qsizetype length);
    QList<QByteArray> toList() const;
    // All sub-blocks' bytes back to back: the data they carry.
    const QByteArray& joined() const { return m_bytes; }
    bool operator==(const QList<QByteArray>& list) const { return toList() == list; }

    // Iteration gives each sub-block as a QByteArray.
    class const_iterator {
    public:
        using value_type = QByteArray;
        const_iterator(const SubBlocks* blocks, qsizetype index)
            : m_blocks(blocks), m_index(index) {}
        QByteArray operator*() const { return m_blocks->at(m_index); }
        const_iterator& operator++() {
            ++m_index;
            return *this;
        }
        bool operator==(const const_iterator& other) const { return m_index == other.m_index; }

    private:
        const SubBlocks* m_blocks;
        qsizetype m_index;
    };
    using value_type = QByteArray;
    const_iterator begin() const { return {this, 0}; }
    const_iterator end() const { return {this, size()}; }

private:
    QByteArray m_bytes;
    std::vector<std::uint32_t> m_ends;
};

} // namespace gif

// A colour table: up to 256 entries of red, green, blue. Storage grows to 16 entries first,
// then to the next multiple of 32, never beyond 256.
class TGIFColorMap {
public:
    virtual ~TGIFColorMap() = default;
    int count() const { return m_count; }
    int capacity() const { return m_capacity; }
    bool isEmpty() const { return m_count == 0; }
    // Appends one entry; ignored when the table already holds 256.
    void add(std::uint8_t red, std::uint8_t green, std::uint8_t blue);
    void clear();
    // The entry's colour, opaque; black for an index at or beyond count().
    QRgb color(int index) const;
    // 256 colours: the entries, then black for every index beyond count().
    QList<QRgb> colorTable() const;
    // 3 * count() bytes: red, green, blue per entry.
    const std::uint8_t* data() const { return m_entries.data(); }
    bool operator==(const TGIFColorMap& other) const;

private:
    std::array<std::uint8_t, 3 * 256> m_entries{};
    int m_count = 0;
    int m_capacity = 0;
};

class TGIFGlobalColorMap : public TGIFColorMap {};
class TGIFLocalColorMap : public TGIFColorMap {};

// The logical screen descriptor as stored, and the global colour table.
class TGIFHeader {
public:
    QByteArray signature; // the 6 bytes read, e.g. "GIF89a" (the version is not examined)
    std::uint16_t width = 0;
    std::uint16_t height = 0;
    std::uint8_t packedFields = 0; // bit 7 global table present, bits 0-2 table size
    std::uint8_t backgroundColorIndex = 0;
    std::uint8_t aspectRatio = 0;
    TGIFGlobalColorMap colorMap;

    bool hasGlobalColorMap() const { return (packedFields & 0x80) != 0; }
};

// Base of the extension blocks; label() is the byte after the introducer "!".
class TGIFExtension {
public:
    virtual ~TGIFExtension() = default;
    virtual std::uint8_t label() const = 0;
    template <class T> bool is() const { return dynamic_cast<const T*>(this) != nullptr; }
};

class TGIFGraphicControlExtension : public TGIFExtension {
public:
    static constexpr std::uint8_t Label = 0xF9;
    std::uint8_t label() const override { return Label; }

    std::uint8_t blockSize = 0; // normally 4
    std::uint8_t packedFields = 0;
    std::uint16_t delay = 0; // hundredths of a second
    std::uint8_t transparentColorIndex = 0;
    std::uint8_t terminator = 0;

    bool hasTransparency() const { return (packedFields & 0x01) != 0; }
    bool userInput() const { return (packedFields & 0x02) != 0; }
    int disposal() const { return (packedFields >> 2) & 0x07; }
};

class TGIFCommentExtension : public TGIFExtension {
public:
    static constexpr std::uint8_t Label = 0xFE;
    std::uint8_t label() const override { return Label; }

    // One entry per data sub-block, each cut at the first NUL byte of its sub-block.
    gif::SubBlocks rawStrings;

    // The strings as text: UTF-8 when a string is valid UTF-8, else Windows-1252.
    QStringList strings() const;
    // Every string followed by CR LF.
    QString text() const;
};

class TGIFTextExtension : public TGIFExtension {
public:
    static constexpr std::uint8_t Label = 0x01;
    std::uint8_t label() const override { return Label; }

    std::array<std::uint8_t, 13> header{}; // block size byte and 12 data bytes
    gif::SubBlocks rawStrings;             // one entry per data sub-block
};

class TGIFApplicationExtension : public TGIFExtension {
public:
    static constexpr std::uint8_t Label = 0xFF;
    std::uint8_t label() const override { return Label; }

    std::uint8_t blockSize = 0; // size byte of the first block
    QByteArray identifier;      // 8 identifier + 3 authentication bytes (10 for a size-10 block)
};

// "NETSCAPE2.0" or "ANIMEXTS1.0".
class TGIFAppExtNSLoop : public TGIFApplicationExtension {
public:
    std::uint16_t loops = 0;      // from a sub-block whose first byte AND 7 is 1
    std::uint32_t bufferSize = 0; // from a sub-block whose first byte AND 7 is 2
    bool hasLoops = false;
    bool hasBufferSize = false;
};

class TGIFUnknownAppExtension : public TGIFApplicationExtension {
public:
    gif::SubBlocks blocks; // the raw data sub-blocks
};

// The end of the data (";"). Kept for the model; a loaded image does not store one.
class TGIFTrailer {
public:
    static constexpr std::uint8_t Introducer = 0x3B;
};

class TGIFImage;

// One frame: image descriptor, local colour table, pixel indices and the extensions before it.
class TGIFSubImage {
public:
    explicit TGIFSubImage(const TGIFImage* owner) : m_owner(owner) {}
    TGIFSubImage(const TGIFSubImage&) = delete;
    TGIFSubImage& operator=(const TGIFSubImage&) = delete;

    int left() const { return m_left; }
    int top() const { return m_top; }
    int width() const { return m_width; }
    int height() const { return m_height; }
    std::uint8_t packedFields() const { return m_packed; }
    bool isInterlaced() const { return (m_packed & 0x40) != 0; }

    // False for a frame made only of extensions (no image descriptor followed them).
    bool hasImageData() const { return m_hasImageData; }
    // width() * height() indices, top row first; empty without image data.
    const std::uint8_t* pixels() const { return m_pixels.get(); }
    qint64 pixelCount() const { return m_hasImageData ? qint64(m_width) * m_height : 0; }
    // False when the image data stopped before every pixel had a code (a file cut short, even
    // silently at a sub-block's end, or an early end code): the rest kept the fill value.
    bool pixelsComplete() const { return m_pixelsComplete; }
    // Index at (x, y) inside the frame; no bounds check beyond a debug assertion.
    std::uint8_t pixel(int x, int y) const;

    const TGIFLocalColorMap& localColorMap() const { return m_localColorMap; }
    // The local table if it has entries, else the owner's global table.
    const TGIFColorMap& activeColorMap() const;

    int extensionCount() const { return int(m_extensions.size()); }
    const TGIFExtension& extension(int index) const { return *m_extensions.at(index); }

    bool isTransparent() const { return m_transparent; }
    int transparentColorIndex() const;
    // The first graphic control extension read for this frame, or null.
    const TGIFGraphicControlExtension* graphicControlExtension() const { return m_gce; }

    // The frame as Format_Indexed8 with 256 colours (the active table, black beyond its count)
    // and the indices unchanged; cached. Null image for a frame without image data.
    // Throws GIFException (NoColorTable) when neither the frame nor the header has a table.
    QImage bitmap() const;
    // 1-bit mask (Format_Mono, most significant bit first), a set bit where the pixel equals the
    // transparent index; cached. Null unless the frame is transparent and such a pixel exists.
    QImage mask() const;
    // The active colour table as 256 colours (black beyond its count).
    QList<QRgb> palette() const;

private:
    friend class TGIFImage;
    friend class GIFReader;

    const TGIFImage* m_owner;
    int m_left = 0;
    int m_top = 0;
    int m_width = 0;
    int m_height = 0;
    std::uint8_t m_packed = 0;
    bool m_hasImageData = false;
    bool m_pixelsComplete = false;
    std::unique_ptr<std::uint8_t[]> m_pixels;
    TGIFLocalColorMap m_localColorMap;
    std::vector<std::unique_ptr<TGIFExtension>> m_extensions;
    bool m_transparent = false;
    const TGIFGraphicControlExtension* m_gce = nullptr;
    mutable QImage m_bitmap;
    mutable QImage m_mask;
    mutable bool m_maskBuilt = false;
};

// A decoded GIF file. Width and height are those of the logical screen.
class TGIFImage {
public:
    // bit 0 threaded drawing, 1 transparency, 2 animate, 3 loop, 9 dither, 10 dither on <= 8 bpp.
    static constexpr std::uint16_t DefaultDrawOptions = 0x060F;

    TGIFImage();
    ~TGIFImage();
    TGIFImage(const TGIFImage&) = delete;
    TGIFImage& operator=(const TGIFImage&) = delete;

    // Each replaces any previous content. Throws GIFException with one of gif::message's texts.
    void LoadFromFile(const QString& path);
    // Reads from the device's current position; on failure the device is put back there
    // (when it is seekable). On success it stands after the last byte examined.
    void LoadFromStream(QIODevice& device);
    void LoadFromBytes(const QByteArray& bytes);

    void clear();
    bool isEmpty() const { return m_frames.empty(); }

    int width() const { return m_header.width; }
    int height() const { return m_header.height; }
    const TGIFHeader& header() const { return m_header; }

    int imageCount() const { return int(m_frames.size()); }
    const TGIFSubImage& image(int index) const { return *m_frames.at(index); }

    // The image palette: the global table, or frame 0's when there is none (256 colours).
    QList<QRgb> palette() const;

    // The whole image at the logical screen's size with frame 0 on it (opaque, clipped to the
    // screen); cached. Frame 0's own bitmap when it has the screen's size. Uncovered pixels have
    // the background colour index. Format_Indexed8, or Format_RGB32 when frame 0 carries a local
    // table that differs from the image palette (so its colours stay exact). Null when empty or
    // frame 0 has no image data. Throws GIFException (NoColorTable) like TGIFSubImage::bitmap().
    QImage bitmap() const;

    // Draws frame 0 into the part of rect that matches its place on the logical screen;
    // transparent pixels are left alone. Paints nothing for an empty image.
    void draw(QPainter& painter, const QRect& rect) const;

    void setWarningCallback(gif::WarningCallback callback) { m_onWarning = std::move(callback); }
    std::uint16_t drawOptions() const { return m_drawOptions; }

private:
    friend class GIFReader;

    TGIFHeader m_header;
    std::vector<std::unique_ptr<TGIFSubImage>> m_frames;
    std::uint16_t m_drawOptions = DefaultDrawOptions;
    gif::WarningCallback m_onWarning;
    mutable QImage m_bitmap;
};

namespace gif {

// Creates the extension object for a label; null when the label is not registered.
// The registries are filled once, on first use.
std::unique_ptr<TGIFExtension> createExtension(std::uint8_t label);
// Application extension classes by their 11-byte identifier; TGIFUnknownAppExtension otherwise.
std::unique_ptr<TGIFApplicationExtension> createApplicationExtension(const QByteArray& identifier);

// The text of every comment extension of the frame, each string followed by CR LF.
QString commentText(const TGIFSubImage& frame);

// The text of each comment extension of the frame in file order, one entry per extension, each
// of its strings followed by CR LF (an extension without strings gives an empty entry).
QStringList commentTexts(const TGIFSubImage& frame);

// The comment texts of the first frame, where a chart keeps its metadata (the comments before
// the first image); empty for an image without frames.
QStringList firstFrameCommentTexts(const TGIFImage& image);

// Decodes comment bytes: UTF-8 when valid, else Windows-1252.
QString decodeCommentBytes(const QByteArray& bytes);

} // namespace gif

namespace gif {
// The data of the first application extension before the frame whose identifier and
// authentication code (11 bytes, e.g. "THALWISESST") match; a null array when there is none.
QByteArray applicationData(const TGIFSubImage& frame, const QByteArray& identifierAndCode);
} // namespace gif
