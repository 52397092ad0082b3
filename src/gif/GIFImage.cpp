#include "gif/GIFImage.h"

#include "gif/GIFLzw.h"
#include "platform/Text.h"

#include <QCoreApplication>
#include <QFile>
#include <QIODevice>
#include <QPainter>
#include <QRect>
#include <QtEndian>

#include <algorithm>
#include <cstring>
#include <new>

GIFException::GIFException(const QString& message) : m_message(message), m_utf8(message.toUtf8()) {}

namespace {

// A decoder text in the user's language: the source text itself where no translator is
// installed, as in thalwise-cli.
QString messageText(const char* message) {
    return QCoreApplication::translate("GIFImage", message);
}

} // namespace

// ---------------------------------------------------------------------------------------------
// Colour tables

void TGIFColorMap::add(std::uint8_t red, std::uint8_t green, std::uint8_t blue) {
    if (m_count >= 256) return;
    if (m_count >= m_capacity)
        m_capacity = m_capacity < 16 ? 16 : std::min(256, (m_count / 32 + 1) * 32);
    std::uint8_t* entry = m_entries.data() + 3 * m_count;
    entry[0] = red;
    entry[1] = green;
    entry[2] = blue;
    ++m_count;
}

void TGIFColorMap::clear() {
    m_count = 0;
    m_capacity = 0;
    m_entries.fill(0);
}

QRgb TGIFColorMap::color(int index) const {
    if (index < 0 || index >= m_count) return qRgb(0, 0, 0);
    const std::uint8_t* entry = m_entries.data() + 3 * index;
    return qRgb(entry[0], entry[1], entry[2]);
}

QList<QRgb> TGIFColorMap::colorTable() const {
    QList<QRgb> table(256, qRgb(0, 0, 0));
    for (int i = 0; i < m_count; ++i)
        table[i] = color(i);
    return table;
}

bool TGIFColorMap::operator==(const TGIFColorMap& other) const {
    return m_count == other.m_count &&
           std::memcmp(m_entries.data(), other.m_entries.data(), 3 * std::size_t(m_count)) == 0;
}

// ---------------------------------------------------------------------------------------------
// Sub-blocks, extensions and their registries

namespace gif {

QByteArray SubBlocks::at(qsizetype index) const {
    const std::uint32_t begin = index == 0 ? 0 : m_ends[std::size_t(index - 1)];
    return m_bytes.mid(begin, m_ends[std::size_t(index)] - begin);
}

void SubBlocks::append(const char* data, qsizetype length) {
    m_bytes.append(data, length);
    m_ends.push_back(std::uint32_t(m_bytes.size()));
}

QList<QByteArray> SubBlocks::toList() const {
    QList<QByteArray> list;
    list.reserve(size());
    for (qsizetype i = 0; i < size(); ++i)
        list.append(at(i));
    return list;
}

} // namespace gif

QStringList TGIFCommentExtension::strings() const {
    QStringList result;
    result.reserve(rawStrings.size());
    for (const QByteArray& raw : rawStrings)
        result.append(gif::decodeCommentBytes(raw));
    return result;
}

QString TGIFCommentExtension::text() const {
    QString result;
    for (const QString& s : strings()) {
        result += s;
        result += QLatin1String("\r\n");
    }
    return result;
}

namespace gif {

namespace {

using ExtensionFactory = std::unique_ptr<TGIFExtension> (*)();

struct LabelRow {
    std::uint8_t label;
    ExtensionFactory create;
};

template <class T> std::unique_ptr<TGIFExtension> make() {
    return std::make_unique<T>();
}

// The label registry, filled once on first use. The application extension row stands for the
// whole family; its class is refined by the identifier.
const std::vector<LabelRow>& labelRegistry() {
    static const std::vector<LabelRow> rows = {
        {TGIFTextExtension::Label, &make<TGIFTextExtension>},
        {TGIFGraphicControlExtension::Label, &make<TGIFGraphicControlExtension>},
        {TGIFCommentExtension::Label, &make<TGIFCommentExtension>},
        {TGIFApplicationExtension::Label, &make<TGIFUnknownAppExtension>},
    };
    return rows;
}

struct IdentifierRow {
    const char* identifier;
    std::unique_ptr<TGIFApplicationExtension> (*create)();
};

template <class T> std::unique_ptr<TGIFApplicationExtension> makeApp() {
    return std::make_unique<T>();
}

const std::vector<IdentifierRow>& identifierRegistry() {
    static const std::vector<IdentifierRow> rows = {
        {"NETSCAPE2.0", &makeApp<TGIFAppExtNSLoop>},
        {"ANIMEXTS1.0", &makeApp<TGIFAppExtNSLoop>},
    };
    return rows;
}

} // namespace

std::unique_ptr<TGIFExtension> createExtension(std::uint8_t label) {
    for (const LabelRow& row : labelRegistry())
        if (row.label == label) return row.create();
    return nullptr;
}

std::unique_ptr<TGIFApplicationExtension> createApplicationExtension(const QByteArray& identifier) {
    for (const IdentifierRow& row : identifierRegistry())
        if (identifier == row.identifier) return row.create();
    return std::make_unique<TGIFUnknownAppExtension>();
}

QString decodeCommentBytes(const QByteArray& bytes) {
    // The same rule as every other text of the program, so a comment reads the same here.
    return platform::decodeText(bytes);
}

QString commentText(const TGIFSubImage& frame) {
    QString result;
    for (int i = 0; i < frame.extensionCount(); ++i)
        if (const auto* comment = dynamic_cast<const TGIFCommentExtension*>(&frame.extension(i)))
            result += comment->text();
    return result;
}

QStringList commentTexts(const TGIFSubImage& frame) {
    QStringList texts;
    for (int i = 0; i < frame.extensionCount(); ++i)
        if (const auto* comment = dynamic_cast<const TGIFCommentExtension*>(&frame.extension(i)))
            texts.append(comment->text());
    return texts;
}

QStringList firstFrameCommentTexts(const TGIFImage& image) {
    return image.imageCount() > 0 ? commentTexts(image.image(0)) : QStringList();
}

} // namespace gif

// ---------------------------------------------------------------------------------------------
// The reader: an explicit walk over the blocks of GIF89a

class GIFReader {
public:
    GIFReader(TGIFImage& image, const QByteArray& bytes)
        : m_image(image), m_data(reinterpret_cast<const std::uint8_t*>(bytes.constData())),
          m_size(bytes.size()) {}

    // Parses everything; returns how many bytes were examined. Throws GIFException.
    qsizetype run();

private:
    [[noreturn]] static void fail(const QString& message) { throw GIFException(message); }
    [[noreturn]] static void fail(const char* message) { fail(messageText(message)); }
    void warn(const char* message) {
        if (m_image.m_onWarning) m_image.m_onWarning(gif::Severity::Warning, messageText(message));
    }

    qsizetype remaining() const { return m_size - m_pos; }
    int peek() const { return m_pos < m_size ? m_data[m_pos] : -1; }
    int readByte() { return m_pos < m_size ? m_data[m_pos++] : -1; }
    // The next n bytes, or a "Premature end of data" error.
    const std::uint8_t* take(qsizetype n) {
        if (remaining() < n) fail(gif::message::PrematureEnd);
        const std::uint8_t* p = m_data + m_pos;
        m_pos += n;
        return p;
    }
    int takeByte() { return *take(1); }

    void readHeader();
    void readColorMap(TGIFColorMap& map, std::uint8_t packedFields);
    void readFrame();
    std::unique_ptr<TGIFExtension> readExtension();
    enum class SubBlockUse { Kept, Comment };
    void readSubBlocks(gif::SubBlocks& blocks, SubBlockUse use);
    void countBlock();
    void checkSize(qint64 width, qint64 height);
    void readPixels(TGIFSubImage& frame);

    TGIFImage& m_image;
    const std::uint8_t* m_data;
    qsizetype m_size;
    qsizetype m_pos = 0;
    qint64 m_totalPixels = 0;
    int m_blocks = 0;             // frames and extensions read
    int m_subBlocks = 0;          // data sub-blocks of the extensions read
    qsizetype m_commentBytes = 0; // comment sub-blocks read, with their length bytes
    std::vector<std::uint8_t> m_joined;
    std::unique_ptr<std::uint8_t[]> m_rows; // code-order rows of an interlaced frame
    std::size_t m_rowsSize = 0;
    std::unique_ptr<gif::LzwDecoder> m_lzw;
};

namespace {

bool isGifSignature(const std::uint8_t* p) {
    return (p[0] | 0x20) == 'g' && (p[1] | 0x20) == 'i' && (p[2] | 0x20) == 'f';
}

constexpr int ExtensionIntroducer = 0x21; // "!"
constexpr int ImageSeparator = 0x2C;      // ","
constexpr int Trailer = 0x3B;             // ";"

} // namespace

qsizetype GIFReader::run() {
    readHeader();

    // The frame list.
    for (;;) {
        int b;
        do
            b = readByte();
        while (b == 0);
        if (b < 0) break;
        --m_pos; // put the byte back
        if (b == Trailer) break;
        if (b != ExtensionIntroducer && b != ImageSeparator) {
            warn(gif::message::UnknownBlockType);
            break;
        }
        readFrame();
    }
    const int last = readByte();
    if (last >= 0 && last != Trailer) warn(gif::message::InvalidTrailer);
    return m_pos;
}

void GIFReader::readHeader() {
    TGIFHeader& header = m_image.m_header;
    // Some files carry 4 bytes before the signature; the version characters are not examined.
    const std::uint8_t* sig = take(6);
    if (!isGifSignature(sig)) {
        m_pos = 4;
        sig = take(6);
        if (!isGifSignature(sig)) fail(gif::message::InvalidSignature);
    }
    header.signature = QByteArray(reinterpret_cast<const char*>(sig), 6);

    // GIF89a section 18: logical screen descriptor.
    const std::uint8_t* lsd = take(7);
    header.width = qFromLittleEndian<std::uint16_t>(lsd);
    header.height = qFromLittleEndian<std::uint16_t>(lsd + 2);
    header.packedFields = lsd[4];
    header.backgroundColorIndex = lsd[5];
    header.aspectRatio = lsd[6];
    // Quirk "no-empty-screen": a logical screen without pixels can show nothing (a frame of size
    // 0 takes the screen's size), so such a file is refused before anything else is read.
    if (header.width == 0 || header.height == 0)
        fail(messageText(gif::message::EmptyScreen).arg(header.width).arg(header.height));
    checkSize(header.width, header.height);
    if (header.packedFields & 0x80) readColorMap(header.colorMap, header.packedFields);
}

void GIFReader::readColorMap(TGIFColorMap& map, std::uint8_t packedFields) {
    // GIF89a sections 19 and 21: 2^(size + 1) entries of red, green, blue.
    const int count = 2 << (packedFields & 7);
    const std::uint8_t* p = take(3 * count);
    for (int i = 0; i < count; ++i, p += 3)
        map.add(p[0], p[1], p[2]);
}

void GIFReader::checkSize(qint64 width, qint64 height) {
    if (width > gif::MaxSide || height > gif::MaxSide)
        fail(messageText(gif::message::SideTooLarge).arg(width).arg(height));
    m_totalPixels += width * height;
    if (m_totalPixels > gif::MaxTotalPixels) fail(gif::message::TotalTooLarge);
}

void GIFReader::countBlock() {
    // Quirk "blocks-bounded": frames and extensions cost an object each whatever their size, so
    // their number is bounded rather than only the file's size.
    if (++m_blocks > gif::MaxBlocks) fail(gif::message::TooManyBlocks);
}

void GIFReader::readFrame() {
    countBlock();
    auto frame = std::make_unique<TGIFSubImage>(&m_image);

    // The extensions before the image descriptor belong to this frame.
    for (;;) {
        const int b = peek();
        if (b == ExtensionIntroducer) {
            ++m_pos;
            countBlock();
            std::unique_ptr<TGIFExtension> extension = readExtension();
            if (auto* gce = dynamic_cast<TGIFGraphicControlExtension*>(extension.get())) {
                if (!frame->m_gce) frame->m_gce = gce;
                if (gce->hasTransparency()) frame->m_transparent = true;
            }
            frame->m_extensions.push_back(std::move(extension));
            continue;
        }
        if (b == ImageSeparator || b == Trailer || b < 0) break;
        warn(gif::message::InvalidExtensionIntroducer);
        break;
    }

    // Extensions with no image after them (or data that simply stops) make a frame of their own.
    const int next = peek();
    if (next == Trailer || next == 0 || next < 0) {
        m_image.m_frames.push_back(std::move(frame));
        return;
    }

    // GIF89a section 20: image descriptor (the separator byte is not checked again).
    const std::uint8_t* d = take(10);
    frame->m_left = qFromLittleEndian<std::uint16_t>(d + 1);
    frame->m_top = qFromLittleEndian<std::uint16_t>(d + 3);
    frame->m_width = qFromLittleEndian<std::uint16_t>(d + 5);
    frame->m_height = qFromLittleEndian<std::uint16_t>(d + 7);
    frame->m_packed = d[9];
    if (frame->m_width == 0 || frame->m_height == 0) {
        frame->m_width = m_image.m_header.width;
        frame->m_height = m_image.m_header.height;
        warn(gif::message::ImageExceedsScreen);
    }
    if (frame->m_packed & 0x80) readColorMap(frame->m_localColorMap, frame->m_packed);
    checkSize(frame->m_width, frame->m_height);
    readPixels(*frame);
    m_image.m_frames.push_back(std::move(frame));
}

void GIFReader::readSubBlocks(gif::SubBlocks& blocks, SubBlockUse use) {
    // GIF89a section 15: data sub-blocks up to a zero-length block terminator.
    for (;;) {
        const int length = takeByte();
        if (length == 0) return;
        const char* p = reinterpret_cast<const char*>(take(length));
        // Quirk "sub-blocks-bounded": the number of sub-blocks is bounded like that of blocks.
        if (++m_subBlocks > gif::MaxExtensionSubBlocks) fail(gif::message::TooManySubBlocks);
        qsizetype used = length;
        if (use == SubBlockUse::Comment) {
            // Quirk "comments-cut": the comments' first MaxCommentBytes are kept (a chart's
            // metadata is a few lines); what follows is read over with one warning.
            const bool wasWhole = m_commentBytes <= gif::MaxCommentBytes;
            m_commentBytes += 1 + length;
            if (m_commentBytes > gif::MaxCommentBytes) {
                if (wasWhole) warn(gif::message::CommentsCut);
                continue;
            }
            // Each string ends at the first NUL byte of its sub-block.
            if (const void* nul = std::memchr(p, 0, std::size_t(length)))
                used = static_cast<const char*>(nul) - p;
        }
        blocks.append(p, used);
    }
}

std::unique_ptr<TGIFExtension> GIFReader::readExtension() {
    const int label = takeByte();
    std::unique_ptr<TGIFExtension> extension = gif::createExtension(std::uint8_t(label));
    if (!extension) fail(gif::message::UnknownExtension);

    switch (label) {
    case TGIFGraphicControlExtension::Label: {
        // GIF89a section 23; a cut-short block is only a warning.
        auto* gce = static_cast<TGIFGraphicControlExtension*>(extension.get());
        std::uint8_t bytes[6] = {};
        if (remaining() < 6) warn(gif::message::PrematureEnd);
        const qsizetype n = std::min<qsizetype>(6, remaining());
        std::memcpy(bytes, take(n), std::size_t(n));
        gce->blockSize = bytes[0];
        gce->packedFields = bytes[1];
        gce->delay = qFromLittleEndian<std::uint16_t>(bytes + 2);
        gce->transparentColorIndex = bytes[4];
        gce->terminator = bytes[5];
        break;
    }
    case TGIFCommentExtension::Label:
        // GIF89a section 24.
        readSubBlocks(static_cast<TGIFCommentExtension*>(extension.get())->rawStrings,
                      SubBlockUse::Comment);
        break;
    case TGIFTextExtension::Label: {
        // GIF89a section 25.
        auto* text = static_cast<TGIFTextExtension*>(extension.get());
        std::memcpy(text->header.data(), take(13), 13);
        readSubBlocks(text->rawStrings, SubBlockUse::Kept);
        break;
    }
    case TGIFApplicationExtension::Label: {
        // GIF89a section 26: the first block carries the identifier and authentication code.
        const int blockSize = takeByte();
        QByteArray identifier;
        std::unique_ptr<TGIFApplicationExtension> app;
        if (blockSize >= 11) {
            identifier = QByteArray(reinterpret_cast<const char*>(take(11)), 11);
            take(blockSize - 11);
            app = gif::createApplicationExtension(identifier);
        } else if (blockSize == 10) {
            identifier = QByteArray(reinterpret_cast<const char*>(take(10)), 10);
            app = std::make_unique<TGIFUnknownAppExtension>();
        } else {
            fail(gif::message::UnsupportedAppExtSize);
        }
        app->blockSize = std::uint8_t(blockSize);
        app->identifier = identifier;
        gif::SubBlocks blocks;
        readSubBlocks(blocks, SubBlockUse::Kept);
        if (auto* loop = dynamic_cast<TGIFAppExtNSLoop*>(app.get())) {
            for (const QByteArray& block : blocks) {
                const auto* b = reinterpret_cast<const std::uint8_t*>(block.constData());
                const int kind = b[0] & 7;
                if (kind == 1) {
                    if (block.size() < 3) fail(gif::message::InvalidData);
                    loop->loops = qFromLittleEndian<std::uint16_t>(b + 1);
                    loop->hasLoops = true;
                } else if (kind == 2) {
                    if (block.size() < 5) fail(gif::message::InvalidData);
                    loop->bufferSize = qFromLittleEndian<std::uint32_t>(b + 1);
                    loop->hasBufferSize = true;
                }
            }
        } else {
            static_cast<TGIFUnknownAppExtension*>(app.get())->blocks = std::move(blocks);
        }
        extension = std::move(app);
        break;
    }
    default:
        break;
    }
    if (extension->label() != label) fail(gif::message::ExtensionLabelMismatch);
    return extension;
}

void GIFReader::readPixels(TGIFSubImage& frame) {
    const int minCodeSize = takeByte();
    if (minCodeSize > 11) fail(messageText(gif::message::CodeSizeTooLarge).arg(minCodeSize));

    // Join the data sub-blocks once, up to and including the terminator, so the bit reader sees
    // one contiguous buffer; whatever follows a full frame or an end code is skipped with them.
    qsizetype p = m_pos;
    std::size_t joinedSize = 0;
    while (p < m_size) {
        const int length = m_data[p++];
        if (length == 0) break;
        const qsizetype n = std::min<qsizetype>(length, m_size - p);
        joinedSize += std::size_t(n);
        p += n;
    }
    m_joined.resize(joinedSize + gif::LzwDecoder::InputPadding);
    std::uint8_t* joined = m_joined.data();
    while (m_pos < m_size) {
        const int length = m_data[m_pos++];
        if (length == 0) break;
        if (length > remaining()) warn(gif::message::PrematureEnd);
        const qsizetype n = std::min<qsizetype>(length, remaining());
        std::memcpy(joined, m_data + m_pos, std::size_t(n));
        joined += n;
        m_pos += n;
    }
    std::memset(joined, 0, gif::LzwDecoder::InputPadding);

    const std::size_t width = std::size_t(frame.m_width);
    const std::size_t height = std::size_t(frame.m_height);
    const std::size_t count = width * height;
    const std::uint8_t fill =
        frame.m_transparent && frame.m_gce ? frame.m_gce->transparentColorIndex : 0;
    try {
        frame.m_pixels =
            std::make_unique_for_overwrite<std::uint8_t[]>(count + gif::LzwDecoder::OutputSlack);
        if (frame.isInterlaced() && (!m_rows || m_rowsSize < count)) {
            m_rows.reset();
            m_rows = std::make_unique_for_overwrite<std::uint8_t[]>(count +
                                                                    gif::LzwDecoder::OutputSlack);
            m_rowsSize = count;
        }
        if (!m_lzw) m_lzw = std::make_unique<gif::LzwDecoder>();
    } catch (const std::bad_alloc&) {
        fail(gif::message::OutOfMemory);
    }
    frame.m_hasImageData = true;

    std::uint8_t* out = frame.isInterlaced() ? m_rows.get() : frame.m_pixels.get();
    const gif::LzwResult result =
        m_lzw->decode(m_joined.data(), joinedSize, minCodeSize, out, count);
    // Pixels for which no code arrived keep the fill value.
    std::memset(out + result.pixelsWritten, fill, count - result.pixelsWritten);
    frame.m_pixelsComplete = result.pixelsWritten == count;

    switch (result.end) {
    case gif::LzwEnd::Underrun:
        warn(gif::message::BitBufferUnderrun);
        break;
    case gif::LzwEnd::CircularEntry:
        fail(gif::message::CircularTableEntry);
    default:
        break;
    }

    if (frame.isInterlaced()) {
        // GIF89a appendix E: four passes starting at rows 0, 4, 2, 1 with steps 8, 8, 4, 2.
        static constexpr int Start[4] = {0, 4, 2, 1};
        static constexpr int Step[4] = {8, 8, 4, 2};
        const std::uint8_t* src = m_rows.get();
        std::uint8_t* dst = frame.m_pixels.get();
        for (int pass = 0; pass < 4; ++pass)
            for (std::size_t row = std::size_t(Start[pass]); row < height; row += Step[pass]) {
                std::memcpy(dst + row * width, src, width);
                src += width;
            }
    }
}

// ---------------------------------------------------------------------------------------------
// Frames

std::uint8_t TGIFSubImage::pixel(int x, int y) const {
    Q_ASSERT(x >= 0 && x < m_width && y >= 0 && y < m_height && m_pixels);
    return m_pixels[std::size_t(y) * std::size_t(m_width) + std::size_t(x)];
}

const TGIFColorMap& TGIFSubImage::activeColorMap() const {
    if (!m_localColorMap.isEmpty() || !m_owner) return m_localColorMap;
    return m_owner->header().colorMap;
}

int TGIFSubImage::transparentColorIndex() const {
    return m_transparent && m_gce ? m_gce->transparentColorIndex : -1;
}

QList<QRgb> TGIFSubImage::palette() const {
    return activeColorMap().colorTable();
}

QImage TGIFSubImage::bitmap() const {
    if (!m_hasImageData || pixelCount() == 0) return {};
    if (!m_bitmap.isNull()) return m_bitmap;
    const TGIFColorMap& map = activeColorMap();
    if (map.isEmpty()) throw GIFException(messageText(gif::message::NoColorTable));
    QImage image(m_width, m_height, QImage::Format_Indexed8);
    if (image.isNull()) throw GIFException(messageText(gif::message::OutOfMemory));
    image.setColorTable(map.colorTable());
    for (int y = 0; y < m_height; ++y)
        std::memcpy(image.scanLine(y), m_pixels.get() + std::size_t(y) * std::size_t(m_width),
                    std::size_t(m_width));
    m_bitmap = image;
    return m_bitmap;
}

QImage TGIFSubImage::mask() const {
    if (m_maskBuilt) return m_mask;
    m_maskBuilt = true;
    const int index = transparentColorIndex();
    if (index < 0 || pixelCount() == 0) return m_mask;
    const std::uint8_t* p = m_pixels.get();
    if (!std::any_of(p, p + pixelCount(), [index](std::uint8_t v) { return v == index; }))
        return m_mask;
    QImage mask(m_width, m_height, QImage::Format_Mono);
    if (mask.isNull()) throw GIFException(messageText(gif::message::OutOfMemory));
    mask.setColorTable({qRgb(255, 255, 255), qRgb(0, 0, 0)});
    mask.fill(0);
    for (int y = 0; y < m_height; ++y) {
        uchar* line = mask.scanLine(y);
        const std::uint8_t* row = p + std::size_t(y) * std::size_t(m_width);
        for (int x = 0; x < m_width; ++x)
            if (row[x] == index) line[x >> 3] |= uchar(0x80 >> (x & 7));
    }
    m_mask = mask;
    return m_mask;
}

// ---------------------------------------------------------------------------------------------
// The image

TGIFImage::TGIFImage() = default;
TGIFImage::~TGIFImage() = default;

void TGIFImage::clear() {
    m_header = TGIFHeader();
    m_frames.clear();
    m_bitmap = QImage();
}

void TGIFImage::LoadFromBytes(const QByteArray& bytes) {
    clear();
    try {
        GIFReader(*this, bytes).run();
    } catch (...) {
        clear();
        throw;
    }
}

void TGIFImage::LoadFromStream(QIODevice& device) {
    const bool seekable = !device.isSequential();
    const qint64 start = device.pos();
    clear();
    try {
        // A file is measured before it is read; a stream is read in pieces up to one byte
        // beyond the limit.
        if (seekable && device.size() - start > gif::MaxFileSize)
            throw GIFException(messageText(gif::message::FileTooLarge).arg(device.size() - start));
        QByteArray bytes;
        if (seekable) {
            bytes = device.readAll();
        } else {
            while (bytes.size() <= gif::MaxFileSize) {
                const QByteArray piece = device.read(1 << 20);
                if (piece.isEmpty() && !device.waitForReadyRead(0)) break;
                bytes += piece;
            }
        }
        if (bytes.size() > gif::MaxFileSize)
            throw GIFException(messageText(gif::message::FileTooLarge)
                                   .arg(QCoreApplication::translate("GIFImage", "more than %1")
                                            .arg(gif::MaxFileSize)));
        const qsizetype used = GIFReader(*this, bytes).run();
        if (seekable) device.seek(start + used);
    } catch (...) {
        clear();
        if (seekable) device.seek(start);
        throw;
    }
}

void TGIFImage::LoadFromFile(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        clear();
        throw GIFException(messageText(gif::message::CannotOpenFile).arg(path, file.errorString()));
    }
    LoadFromStream(file);
}

QList<QRgb> TGIFImage::palette() const {
    if (!m_header.colorMap.isEmpty()) return m_header.colorMap.colorTable();
    if (!m_frames.empty()) return m_frames.front()->palette();
    return QList<QRgb>(256, qRgb(0, 0, 0));
}

QImage TGIFImage::bitmap() const {
    if (m_frames.empty()) return {};
    const TGIFSubImage& frame = *m_frames.front();
    const QImage frameBitmap = frame.bitmap(); // raises the colour-table error first
    if (frameBitmap.isNull()) return {};
    if (frame.width() == width() && frame.height() == height()) return frameBitmap;
    if (!m_bitmap.isNull()) return m_bitmap;
    if (width() == 0 || height() == 0) return {};

    // Frame 0 on the logical screen, opaque and clipped to it.
    const int x0 = std::min(frame.left(), width());
    const int y0 = std::min(frame.top(), height());
    const int x1 = std::min(frame.left() + frame.width(), width());
    const int y1 = std::min(frame.top() + frame.height(), height());
    const bool hasGlobal = !m_header.colorMap.isEmpty();
    const int background = hasGlobal ? m_header.backgroundColorIndex : 0;
    const bool sameTable =
        !hasGlobal || frame.localColorMap().isEmpty() ||
        frame.localColorMap() == static_cast<const TGIFColorMap&>(m_header.colorMap);

    QImage image(width(), height(), sameTable ? QImage::Format_Indexed8 : QImage::Format_RGB32);
    if (image.isNull()) throw GIFException(messageText(gif::message::OutOfMemory));
    if (sameTable) {
        image.setColorTable(palette());
        image.fill(uint(background));
        for (int y = y0; y < y1; ++y)
            std::memcpy(image.scanLine(y) + x0,
                        frame.pixels() + std::size_t(y - frame.top()) * std::size_t(frame.width()),
                        std::size_t(x1 - x0));
    } else {
        // A local table unlike the global one: keep every colour exact in 32 bits.
        image.fill(m_header.colorMap.color(background));
        const QList<QRgb> colours = frame.palette();
        for (int y = y0; y < y1; ++y) {
            auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
            const std::uint8_t* row =
                frame.pixels() + std::size_t(y - frame.top()) * std::size_t(frame.width());
            for (int x = x0; x < x1; ++x)
                line[x] = colours[row[x - frame.left()]];
        }
    }
    m_bitmap = image;
    return m_bitmap;
}

void TGIFImage::draw(QPainter& painter, const QRect& rect) const {
    if (m_frames.empty() || width() == 0 || height() == 0) return;
    const TGIFSubImage& frame = *m_frames.front();
    QImage source = frame.bitmap();
    if (source.isNull()) return;

    // Each edge of the frame mapped from the logical screen into rect.
    const auto mapX = [&](qint64 x) { return int(rect.x() + x * rect.width() / width()); };
    const auto mapY = [&](qint64 y) { return int(rect.y() + y * rect.height() / height()); };
    const QRect target(QPoint(mapX(frame.left()), mapY(frame.top())),
                       QPoint(mapX(qint64(frame.left()) + frame.width()) - 1,
                              mapY(qint64(frame.top()) + frame.height()) - 1));
    if (target.isEmpty()) return;

    if (frame.isTransparent() && !frame.mask().isNull()) {
        // Paint only the pixels the mask leaves clear.
        QList<QRgb> colours = source.colorTable();
        colours[frame.transparentColorIndex()] = qRgba(0, 0, 0, 0);
        source = source.copy();
        source.setColorTable(colours);
        source = source.convertToFormat(QImage::Format_ARGB32_Premultiplied);
    }
    painter.drawImage(target, source);
}

namespace gif {

QByteArray applicationData(const TGIFSubImage& frame, const QByteArray& identifierAndCode) {
    for (int i = 0; i < frame.extensionCount(); ++i) {
        const auto* application = dynamic_cast<const TGIFUnknownAppExtension*>(&frame.extension(i));
        if (application && application->identifier == identifierAndCode) {
            const QByteArray& data = application->blocks.joined();
            return data.isNull() ? QByteArray("") : data;
        }
    }
    return {};
}

} // namespace gif
