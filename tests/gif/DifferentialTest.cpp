// Our decoder against giflib (a test oracle only; the program never links it): every GIF of the
// test data and of the shared conformance corpus must give the same screen, palettes, frame
// geometry and indices, or be refused by both, unless the file is in the table of known
// differences below, in which case it must behave exactly as that table says.

#include "SyntheticChart.h"
#include "gif/GIFEncoder.h"
#include "gif/GIFImage.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include "GiflibMemory.h"
#include <gif_lib.h>
#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <optional>
#include <random>

namespace {

// What either decoder made of a file, in one shape so that the two can be compared.
struct DecodedFrame {
    int left = 0, top = 0, width = 0, height = 0;
    bool interlaced = false;
    QList<QRgb> localTable; // empty without a local table
    QByteArray indices;     // width * height, top row first
};

struct Decoded {
    bool loaded = false;
    QString error;
    int screenWidth = 0, screenHeight = 0;
    QList<QRgb> globalTable;
    std::vector<DecodedFrame> frames; // only frames that carry image data
};

QList<QRgb> fromColorMap(const TGIFColorMap& map) {
    QList<QRgb> out;
    for (int i = 0; i < map.count(); ++i)
        out.append(map.color(i));
    return out;
}

Decoded decodeOurs(const QByteArray& bytes) {
    Decoded d;
    TGIFImage image;
    try {
        image.LoadFromBytes(bytes);
    } catch (const GIFException& e) {
        d.error = e.message();
        return d;
    }
    d.loaded = true;
    d.screenWidth = image.width();
    d.screenHeight = image.height();
    if (image.header().hasGlobalColorMap()) d.globalTable = fromColorMap(image.header().colorMap);
    for (int i = 0; i < image.imageCount(); ++i) {
        const TGIFSubImage& s = image.image(i);
        if (!s.hasImageData()) continue;
        DecodedFrame f{s.left(),    s.top(),          s.width(),
                       s.height(),  s.isInterlaced(), fromColorMap(s.localColorMap()),
                       QByteArray()};
        f.indices = QByteArray(reinterpret_cast<const char*>(s.pixels()), s.pixelCount());
        d.frames.push_back(std::move(f));
    }
    return d;
}

QList<QRgb> fromGiflibMap(const ColorMapObject* map) {
    QList<QRgb> out;
    if (!map) return out;
    for (int i = 0; i < map->ColorCount; ++i)
        out.append(qRgb(map->Colors[i].Red, map->Colors[i].Green, map->Colors[i].Blue));
    return out;
}

Decoded decodeGiflib(const QByteArray& bytes) {
    Decoded d;
    MemoryReader reader{&bytes};
    int error = 0;
    GifFileType* file = DGifOpen(&reader, readFromMemory, &error);
    if (!file) {
        d.error = QString::fromLatin1(GifErrorString(error));
        return d;
    }
    if (DGifSlurp(file) != GIF_OK) {
        d.error = QString::fromLatin1(GifErrorString(file->Error));
        DGifCloseFile(file, &error);
        return d;
    }
    d.loaded = true;
    d.screenWidth = file->SWidth;
    d.screenHeight = file->SHeight;
    d.globalTable = fromGiflibMap(file->SColorMap);
    for (int i = 0; i < file->ImageCount; ++i) {
        const SavedImage& s = file->SavedImages[i];
        const GifImageDesc& g = s.ImageDesc;
        // DGifSlurp hands back interlaced frames already in top-to-bottom row order.
        DecodedFrame f{
            g.Left, g.Top, g.Width, g.Height, g.Interlace, fromGiflibMap(g.ColorMap), QByteArray()};
        f.indices =
            QByteArray(reinterpret_cast<const char*>(s.RasterBits), qsizetype(g.Width) * g.Height);
        d.frames.push_back(std::move(f));
    }
    DGifCloseFile(file, &error);
    return d;
}

// Both decoders loaded the file: they must agree on everything they both report.
void expectSamePicture(const Decoded& ours, const Decoded& theirs) {
    EXPECT_EQ(ours.screenWidth, theirs.screenWidth);
    EXPECT_EQ(ours.screenHeight, theirs.screenHeight);
    EXPECT_EQ(ours.globalTable, theirs.globalTable);
    ASSERT_EQ(ours.frames.size(), theirs.frames.size());
    for (std::size_t i = 0; i < ours.frames.size(); ++i) {
        SCOPED_TRACE(testing::Message() << "frame " << i);
        const DecodedFrame& a = ours.frames[i];
        const DecodedFrame& b = theirs.frames[i];
        EXPECT_EQ(a.left, b.left);
        EXPECT_EQ(a.top, b.top);
        EXPECT_EQ(a.width, b.width);
        EXPECT_EQ(a.height, b.height);
        EXPECT_EQ(a.interlaced, b.interlaced);
        EXPECT_EQ(a.localTable, b.localTable);
        EXPECT_TRUE(a.indices == b.indices) << "indices differ";
    }
}

// ---------------------------------------------------------------------------------------------
// Where the two legitimately differ.
//
// | kind            | ours                                   | giflib                      |
// |-----------------|----------------------------------------|-----------------------------|
// | OursLenient     | loads; pixels it never got keep index 0 | refuses the file            |
// |                 | (or the transparent index)             |                             |
// | OursRefuses     | refuses with the message given         | loads                       |
//
// Files of the test data (tests/data/gif) and of the shared corpus that differ, and why:
enum class Difference { OursLenient, OursRefuses };

struct KnownDifference {
    const char* file; // base name
    Difference kind;
    const char* reason; // for OursRefuses: text our error message must contain
};

const KnownDifference kCorpusDifferences[] = {
    // Test data. LZW data that stops early: the rest of the frame keeps index 0; giflib refuses
    // a file that ends inside a frame.
    {"lzw-cut-short.gif", Difference::OursLenient, "data that stops early loads"},
    // Four bytes before the signature, "gif" in lower case, no trailer: all load for us.
    {"prefix-lowercase-no-trailer.gif", Difference::OursLenient, "lenient signature, no trailer"},
    {"unknown-extension-label.gif", Difference::OursRefuses, "Unknown extension type"},
    // Shared corpus.
    // A file with no image at all is an empty image to us, an error to giflib. (A screen of
    // width or height 0 is refused by both.)
    {"no-data.gif", Difference::OursLenient, "no frames is not an error"},
    // Codes beyond the next free code: we stop decoding and keep the fill; giflib aborts.
    {"invalid-code.gif", Difference::OursLenient, "an invalid code ends the frame"},
    // After a full table without a clear code we keep decoding with the full table; giflib
    // treats that as an error.
    {"max-codes.gif", Difference::OursLenient, "codes after a full table are decoded"},
    // Our size limit: no side above 16384 pixels (nothing hostile allocates gigabytes).
    {"max-width.gif", Difference::OursRefuses, "Image too large"},
    {"max-height.gif", Difference::OursRefuses, "Image too large"},
    // Label 0x2A is not one of the four registered extension kinds.
    {"unknown-extension.gif", Difference::OursRefuses, "Unknown extension type"},
};

const KnownDifference* knownDifference(const QString& fileName) {
    for (const KnownDifference& k : kCorpusDifferences) {
        if (fileName == QLatin1String(k.file)) return &k;
    }
    return nullptr;
}

QByteArray readFile(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// Where giflib refuses a file of the conformance corpus, the corpus's own expected pixels for the
// first frame (8-bit RGBA of the logical screen, next to "<name>.conf") judge ours instead:
// every opaque expected pixel inside frame 0 must have the colour of our index there.
void expectCorpusPixels(const QString& gifPath, const Decoded& ours) {
    QFile conf(QString(gifPath).replace(QLatin1String(".gif"), QLatin1String(".conf")));
    if (!conf.open(QIODevice::ReadOnly) || ours.frames.empty()) return;
    QString rgbaName;
    bool inFrame0 = false;
    for (const QByteArray& raw : conf.readAll().split('\n')) {
        const QString line = QString::fromLatin1(raw).trimmed();
        if (line.startsWith(QLatin1Char('[')))
            inFrame0 = line == QLatin1String("[frame0]");
        else if (inFrame0 && line.startsWith(QLatin1String("pixels")))
            rgbaName = line.section(QLatin1Char('='), 1).trimmed();
    }
    if (rgbaName.isEmpty()) return;
    const QByteArray rgba = readFile(QFileInfo(gifPath).dir().filePath(rgbaName));
    ASSERT_EQ(rgba.size(), qsizetype(ours.screenWidth) * ours.screenHeight * 4)
        << "bad " << rgbaName.toStdString();
    const DecodedFrame& f = ours.frames[0];
    const QList<QRgb>& table = f.localTable.isEmpty() ? ours.globalTable : f.localTable;
    int compared = 0;
    for (int y = f.top; y < std::min(f.top + f.height, ours.screenHeight); ++y) {
        for (int x = f.left; x < std::min(f.left + f.width, ours.screenWidth); ++x) {
            const auto* p = reinterpret_cast<const std::uint8_t*>(rgba.constData()) +
                            (qsizetype(y) * ours.screenWidth + x) * 4;
            if (p[3] != 255) continue;
            const int index =
                static_cast<std::uint8_t>(f.indices[qsizetype(y - f.top) * f.width + (x - f.left)]);
            const QRgb got = index < table.size() ? table[index] : qRgb(0, 0, 0);
            ASSERT_EQ(got, qRgb(p[0], p[1], p[2])) << "pixel " << x << "," << y;
            ++compared;
        }
    }
    testing::Test::RecordProperty("expected_pixels_compared", compared);
}

void checkAgainstGiflib(const QString& path, const QByteArray& bytes,
                        const KnownDifference* known) {
    const Decoded ours = decodeOurs(bytes);
    const Decoded theirs = decodeGiflib(bytes);
    if (!known) {
        ASSERT_EQ(ours.loaded, theirs.loaded)
            << "ours: " << (ours.loaded ? "loads" : ours.error.toStdString())
            << "; giflib: " << (theirs.loaded ? "loads" : theirs.error.toStdString());
        if (ours.loaded) expectSamePicture(ours, theirs);
        return;
    }
    switch (known->kind) {
    case Difference::OursLenient:
        EXPECT_TRUE(ours.loaded) << ours.error.toStdString();
        EXPECT_FALSE(theirs.loaded) << "giflib now loads it: drop the row";
        expectCorpusPixels(path, ours);
        break;
    case Difference::OursRefuses:
        EXPECT_FALSE(ours.loaded);
        EXPECT_TRUE(ours.error.contains(QLatin1String(known->reason))) << ours.error.toStdString();
        EXPECT_TRUE(theirs.loaded) << theirs.error.toStdString();
        break;
    }
}

int compareFolder(const QString& folder) {
    const QStringList names =
        QDir(folder).entryList({QStringLiteral("*.gif")}, QDir::Files, QDir::Name);
    for (const QString& name : names) {
        SCOPED_TRACE(name.toStdString());
        const QString path = QDir(folder).filePath(name);
        checkAgainstGiflib(path, readFile(path), knownDifference(name));
    }
    return static_cast<int>(names.size());
}

TEST(DifferentialTest, TestDataFilesAgreeWithGiflib) {
    const QString folder = QStringLiteral(THALWISE_TEST_DATA_DIR "/gif");
    if (compareFolder(folder) == 0) GTEST_SKIP() << "no GIF files in " << folder.toStdString();
}

TEST(DifferentialTest, SharedCorpusAgreesWithGiflib) {
    const QString folder = QStringLiteral(THALWISE_SHARED_DIR "/gif-corpus");
    if (!QFileInfo(folder).isDir())
        GTEST_SKIP() << "shared GIF corpus absent: " << folder.toStdString();
    EXPECT_GT(compareFolder(folder), 0);
}

// Every row of the table names a file that exists, so that a renamed file cannot hide.
TEST(DifferentialTest, KnownDifferencesNameExistingFiles) {
    const QString corpus = QStringLiteral(THALWISE_SHARED_DIR "/gif-corpus");
    if (!QFileInfo(corpus).isDir())
        GTEST_SKIP() << "shared GIF corpus absent: " << corpus.toStdString();
    const QString testData = QStringLiteral(THALWISE_TEST_DATA_DIR "/gif");
    for (const KnownDifference& k : kCorpusDifferences) {
        const QString name = QLatin1String(k.file);
        EXPECT_TRUE(QFileInfo::exists(QDir(corpus).filePath(name)) ||
                    QFileInfo::exists(QDir(testData).filePath(name)))
            << k.file;
    }
}

// ---------------------------------------------------------------------------------------------
// Files made here from an encoded picture, each changed in one way, with what each decoder does.

gif::EncoderInput smallPicture(bool interlaced) {
    gif::EncoderInput in = gif::makeChartLikeInput(61, 37);
    in.frames[0].interlaced = interlaced;
    return in;
}

QByteArray encoded(bool interlaced = false) {
    return *gif::encodeGif(smallPicture(interlaced));
}

// Offset of the first image descriptor's separator (after the header, table and comments).
qsizetype imageDescriptorOffset(const QByteArray& b) {
    qsizetype pos = 13 + 3 * 256; // the chart-like picture has a 256-colour global table
    while (b.at(pos) == '\x21') {
        pos += 2;
        while (b.at(pos) != 0)
            pos += 1 + static_cast<unsigned char>(b.at(pos));
        ++pos;
    }
    return pos;
}

struct CraftedCase {
    const char* name;
    std::function<QByteArray()> make;
    bool oursLoads;
    bool giflibLoads;
    // When both load they must agree; when only ours loads, the rows we expect to match the
    // encoded picture exactly (the rest of the frame keeps index 0).
    int oursExactRows;
};

const CraftedCase kCraftedCases[] = {
    {"as encoded", [] { return encoded(); }, true, true, 37},
    {"interlaced", [] { return encoded(true); }, true, true, 37},
    {"version letters GIF90z",
     [] {
         QByteArray b = encoded();
         b.replace(3, 3, "90z");
         return b;
     },
     true, true, 37},
    {"signature in lower case",
     [] {
         QByteArray b = encoded();
         b.replace(0, 3, "gif");
         return b;
     },
     true, false, 37},
    {"four bytes before the signature", [] { return QByteArray("\0\0\0\0", 4) + encoded(); }, true,
     false, 37},
    {"no trailer", [] { return encoded().chopped(1); }, true, false, 37},
    {"stray byte instead of the trailer",
     [] {
         QByteArray b = encoded();
         b.back() = 'x';
         return b;
     },
     true, false, 37},
    {"cut inside the pixel data",
     [] {
         const QByteArray b = encoded();
         return b.left(imageDescriptorOffset(b) + 10 + 1 + 60);
     },
     true, false, 1},
    {"unregistered extension label 0x02",
     [] {
         QByteArray b = encoded();
         b.insert(imageDescriptorOffset(b), QByteArray("\x21\x02\x01x\0", 5));
         return b;
     },
     false, true, 0},
    {"minimum code size 12",
     [] {
         QByteArray b = encoded();
         b[imageDescriptorOffset(b) + 10] = 12;
         return b;
     },
     false, false, 0},
    {"cut inside the colour table", [] { return encoded().left(13 + 100); }, false, false, 0},
    {"not a GIF", [] { return QByteArray("PNG\r\n\x1a\n0123456789abcdef"); }, false, false, 0},
};

TEST(DifferentialTest, CraftedFilesBehaveAsTheTableSays) {
    const gif::EncoderInput original = smallPicture(false);
    const auto& pixels = original.frames[0].indices;
    for (const CraftedCase& c : kCraftedCases) {
        SCOPED_TRACE(c.name);
        const QByteArray bytes = c.make();
        const Decoded ours = decodeOurs(bytes);
        const Decoded theirs = decodeGiflib(bytes);
        EXPECT_EQ(ours.loaded, c.oursLoads) << ours.error.toStdString();
        EXPECT_EQ(theirs.loaded, c.giflibLoads) << theirs.error.toStdString();
        if (ours.loaded && theirs.loaded) expectSamePicture(ours, theirs);
        if (ours.loaded && c.oursExactRows > 0) {
            ASSERT_EQ(ours.frames.size(), 1u);
            const QByteArray& got = ours.frames[0].indices;
            ASSERT_EQ(got.size(), qsizetype(pixels.size()));
            const qsizetype exact = qsizetype(c.oursExactRows) * 61;
            EXPECT_EQ(0, std::memcmp(got.constData(), pixels.data(), std::size_t(exact)));
            // The undecoded tail keeps index 0.
            if (c.oursExactRows < 37) {
                EXPECT_EQ(got.back(), '\0');
            }
        }
    }
}

// Large pictures: the chart-like one at full size, and noise that fills and clears the LZW
// table hundreds of times.
TEST(DifferentialTest, EncodedLargePicturesAgree) {
    for (const gif::EncoderInput& in :
         {gif::makeChartLikeInput(1024, 1024), gif::makeNoisyInput(600, 500, 11)}) {
        const QByteArray bytes = *gif::encodeGif(in);
        const Decoded ours = decodeOurs(bytes);
        const Decoded theirs = decodeGiflib(bytes);
        ASSERT_TRUE(ours.loaded) << ours.error.toStdString();
        ASSERT_TRUE(theirs.loaded) << theirs.error.toStdString();
        expectSamePicture(ours, theirs);
        ASSERT_EQ(ours.frames.size(), 1u);
        EXPECT_EQ(0, std::memcmp(ours.frames[0].indices.constData(), in.frames[0].indices.data(),
                                 in.frames[0].indices.size()));
    }
}

// Random pictures of every table size, interlaced or not, with several frames: the two decoders
// must read our encoder's output identically.
TEST(DifferentialTest, EncodedRandomPicturesAgree) {
    std::mt19937 rng(2024);
    for (int round = 0; round < 60; ++round) {
        SCOPED_TRACE(round);
        const int bits = 1 + round % 8;
        gif::EncoderInput in;
        in.screenWidth = 1 + static_cast<int>(rng() % 150);
        in.screenHeight = 1 + static_cast<int>(rng() % 90);
        for (int i = 0; i < (1 << bits); ++i)
            in.globalTable.append(qRgb(int(rng() & 0xFF), int(rng() & 0xFF), i));
        const int frames = 1 + round % 3;
        for (int k = 0; k < frames; ++k) {
            gif::EncoderFrame f;
            f.width = 1 + static_cast<int>(rng() % in.screenWidth);
            f.height = 1 + static_cast<int>(rng() % in.screenHeight);
            f.left = static_cast<int>(rng() % (in.screenWidth - f.width + 1));
            f.top = static_cast<int>(rng() % (in.screenHeight - f.height + 1));
            f.interlaced = (rng() & 1) != 0;
            int limit = 1 << bits;
            if (rng() % 3 == 0) {
                limit = 1 << (1 + rng() % 8);
                for (int i = 0; i < limit; ++i)
                    f.localTable.append(qRgb(i, 0, int(rng() & 0xFF)));
            }
            f.indices.resize(std::size_t(f.width) * f.height);
            for (auto& v : f.indices)
                v = static_cast<std::uint8_t>(rng() % 5 == 0 ? rng() % limit : 0);
            in.frames.push_back(std::move(f));
        }
        const QByteArray bytes = *gif::encodeGif(in);
        const Decoded ours = decodeOurs(bytes);
        const Decoded theirs = decodeGiflib(bytes);
        ASSERT_TRUE(ours.loaded) << ours.error.toStdString();
        ASSERT_TRUE(theirs.loaded) << theirs.error.toStdString();
        expectSamePicture(ours, theirs);
    }
}

} // namespace
