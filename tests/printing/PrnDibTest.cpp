// The packed DIB from BMP bytes written by hand after the format's definition; Qt's BMP codec
// as the oracle for plain files; cut and scrambled files refused or loaded sanely.

#include "printing/PrnDib.h"
#include "BmpBytes.h"

#include <QBuffer>
#include <QDir>
#include <QtEndian>

#include <gtest/gtest.h>

#include <random>

namespace {

using namespace bmp;
using printing::DibPrintResult;

std::optional<printing::PackedDib> load(QByteArray bytes, int skip = 0) {
    QBuffer stream(&bytes);
    stream.open(QIODevice::ReadOnly);
    stream.seek(skip);
    return LoadDibFromStream(stream);
}

const QList<QRgb> Two = {qRgb(10, 20, 30), qRgb(250, 240, 230)};
// 2 x 8 at 8 bits (or 1 bit): rows of 4 bytes, the 32 bytes the loader takes at the least.
const QByteArray Rows8 = bytes({1, 0, 0, 0, 0, 1, 0, 0}).repeated(4);
QByteArray file8(const QByteArray& header, const QByteArray& rows = Rows8) {
    return file(header + quads(Two), rows);
}

TEST(LoadDibFromStream, ChecksTheFileHeaderTheHeaderAndTheSizes) {
    const QByteArray good = file8(info(2, 8, 8, 0, 32, 2));
    const auto patched = [&](int at, const QByteArray& with) {
        return QByteArray(good).replace(at, with.size(), with);
    };
    struct Case {
        const char* name;
        QByteArray bytes;
        qsizetype pixelBytes = 0; // 0: refused
    };
    const QList<Case> cases = {
        {"valid", good, 32},
        {"not BM", patched(0, "BA")},
        {"offset 0", patched(10, le32(0))},
        {"offset at the end", patched(10, le32(std::uint32_t(good.size())))},
        {"header block shorter than its header", file(info(2, 8, 8).left(30), Rows8)},
        {"header size 108", file8(le32(108) + info(2, 8, 8, 0, 32, 2).mid(4) + QByteArray(68, 0))},
        {"width 0", file8(info(0, 8, 8, 0, 0, 2))},
        {"2 bits", file8(info(2, 8, 2, 0, 0, 2))},
        {"compression 4", file8(info(2, 8, 8, 4, 32, 2))},
        {"RLE8 top-down", file8(info(2, -8, 8, 1, 32, 2), Rows8)},
        {"RLE8 at 24 bits", file(info(2, 8, 24, 1, 32), Rows8)},
        {"colour table past the block", file(info(2, 8, 8, 0, 0, 200) + quads(Two), Rows8)},
        {"rows cut short", file8(info(2, 8, 8, 0, 0, 2), Rows8.left(30))},
        {"size field beyond the file", file8(info(2, 8, 8, 0, 0xFFFFFFF0u, 2))},
        {"wider than the limit", file8(info(20000, 1, 8, 0, 0, 2), QByteArray(20000, 0))},
        {"a short size field still reads the rows", file8(info(2, 8, 8, 0, 4, 2)), 32},
        {"top-down", file8(info(2, -8, 8, 0, 0, 2)), 32},
        {"28 bytes of pixels", file8(info(2, 7, 8, 0, 0, 2), Rows8.left(28))},
        {"a pixel", file(info(1, 1, 24), bytes({1, 2, 3, 0}))},
        {"RLE8 in 28 bytes", file8(info(2, 8, 8, 1, 28, 2), Rows8.left(28))},
        {"core header", file(core(2, 8, 1) + quads(Two, true), Rows8), 32},
        {"core header without its table", file(core(2, 8, 8) + quads(Two, true), Rows8)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const std::optional<printing::PackedDib> dib = load(c.bytes);
        ASSERT_EQ(bool(dib), c.pixelBytes > 0);
        if (!dib) continue;
        EXPECT_EQ(dib->width, 2);
        EXPECT_EQ(dib->height, 8);
        EXPECT_EQ(dib->pixels.size(), c.pixelBytes);
        EXPECT_EQ(dib->header, c.bytes.mid(14, c.bytes.size() - 14 - c.pixelBytes));
    }
    // A stream positioned after other data reads from its position.
    EXPECT_EQ(load("prefix" + good, 6).value_or(printing::PackedDib{}).pixels, Rows8);
}

TEST(CoreHeader, BecomesTheInformationHeaderWithQuadEntries) {
    QList<QRgb> colours;
    for (int i = 0; i < 16; ++i)
        colours.append(qRgb(i, 100 + i, 200 + i));
    const QByteArray block = core(3, 2, 4) + quads(colours, true);
    // Rows of 3 half-bytes take 4 bytes: an image size of 8; 16 entries used and important.
    EXPECT_EQ(printing::infoHeaderFromCore(block),
              le32(40) + le32(3) + le32(2) + le16(1) + le16(4) + le32(0) + le32(8) + le32(0) +
                  le32(0) + le32(16) + le32(16) + quads(colours));
    EXPECT_FALSE(printing::infoHeaderFromCore(block.left(40)));
    const QImage printed =
        printedAtOwnSize(block, bytes({0x12, 0x30, 0, 0, 0xF0, 0, 0, 0}), {3, 2});
    EXPECT_EQ(printed.pixel(0, 0), colours[15]);
    EXPECT_EQ(printed.pixel(2, 1), colours[3]);
}

// RLE after the format's rules: (count, index) runs; 0,0 end of line; 0,1 end of bitmap;
// 0,2,dx,dy a move; 0,n and n indices (RLE4: half-bytes) padded to an even byte count.
TEST(RunLengthPixels, ExpandWithSkippedPixelsWhite) {
    // Pure white at 5 and again at 6: the first one fills.
    const QList<QRgb> colours = {qRgb(0, 0, 0),       qRgb(255, 0, 0),     qRgb(0, 255, 0),
                                 qRgb(0, 0, 255),     qRgb(255, 255, 254), qRgb(255, 255, 255),
                                 qRgb(255, 255, 255), qRgb(9, 9, 9)};
    const QByteArray header = info(4, 4, 8, 1, 28, 8) + quads(colours);
    const QByteArray runs = bytes({2, 1, 0, 0,       // row 0: 1 1, the rest skipped
                                   0, 3, 2, 3, 4, 0, // row 1: absolute 2 3 4, a pad byte
                                   3, 6, 0, 0,       // three 6s, two past the row
                                   0, 2, 1, 0, 1, 7, // row 2: right 1, one 7
                                   0, 2, 1, 1, 1, 2, // right 1 and up 1, one 2
                                   0, 1});
    const auto m = printing::dibHeaderMetrics(header);
    ASSERT_TRUE(m);
    // Bottom row first; the 6s past the end of row 1 do not spill into row 2.
    EXPECT_EQ(printing::expandRle(runs, *m, colours),
              bytes({1, 1, 5, 5, 2, 3, 4, 6, 5, 7, 5, 5, 5, 5, 5, 2}));
    // A record cut off by the end of the data cannot be expanded; data ending between records
    // is complete.
    EXPECT_FALSE(printing::expandRle(bytes({2, 1, 0, 3, 1}), *m, colours));
    EXPECT_FALSE(printing::expandRle(bytes({2, 1, 0, 2, 1}), *m, colours));
    EXPECT_TRUE(printing::expandRle(bytes({2, 1}), *m, colours));
    const QImage printed = printedAtOwnSize(header, runs, {4, 4});
    EXPECT_EQ(printed.pixel(0, 0), colours[5]) << "skipped pixels print entry 5";
    EXPECT_EQ(printed.pixel(1, 1), colours[7]);
    EXPECT_EQ(printedAtOwnSize(header, runs.left(5), {4, 4}), QImage());

    QList<QRgb> sixteen(17, qRgb(10, 10, 10));
    sixteen[9] = qRgb(255, 255, 255);
    const auto m4 = printing::dibHeaderMetrics(info(6, 2, 4, 2, 12) + quads(sixteen.mid(0, 16)));
    ASSERT_TRUE(m4);
    EXPECT_EQ(printing::expandRle(bytes({5, 0x12, 0, 0, 0, 5, 0x34, 0x56, 0x70, 0, 0, 1}), *m4,
                                  sixteen.mid(0, 16)),
              bytes({0x12, 0x12, 0x19, 0x99, 0x34, 0x56, 0x79, 0x99}));
    // RLE4 looks for white among the first 16 entries only.
    sixteen[9] = qRgb(10, 10, 10);
    sixteen[16] = qRgb(255, 255, 255);
    EXPECT_EQ(printing::expandRle(bytes({0, 1}), *m4, sixteen)->left(4), QByteArray(4, 0));
}

TEST(PixelDepths, PrintTheColoursTheirBitsName) {
    const QRgb a = Two[0], b = Two[1], black = qRgb(0, 0, 0);
    struct Case {
        const char* name;
        QByteArray header, rows;
        QList<QRgb> expected; // top row first
    };
    const QList<Case> cases = {
        {"1 bit, high bit first",
         info(10, 1, 1, 0, 0, 2) + quads(Two),
         bytes({0xA0, 0x40, 0, 0}),
         {b, a, b, a, a, a, a, a, a, b}},
        {"4 bits, high half first",
         info(3, 1, 4, 0, 0, 2) + quads(Two),
         bytes({1, 0x10, 0, 0}),
         {a, b, b}},
        {"8 bits past a short table",
         info(2, 1, 8, 0, 0, 2) + quads(Two),
         bytes({1, 7, 0, 0}),
         {b, black}},
        {"16 bits 5-5-5",
         info(4, 1, 16),
         bytes({0xFF, 0x7F, 0, 0x7C, 0xE0, 3, 0x10, 0x42}),
         {qRgb(255, 255, 255), qRgb(255, 0, 0), qRgb(0, 255, 0), qRgb(132, 132, 132)}},
        {"16 bits 5-6-5",
         info(3, 1, 16, 3, 8) + le32(0xF800) + le32(0x7E0) + le32(0x1F),
         bytes({0x1F, 0, 0xE0, 7, 0x10, 0x84, 0, 0}),
         {qRgb(0, 0, 255), qRgb(0, 255, 0), qRgb(132, 130, 132)}},
        {"24 bits top-down",
         info(1, -2, 24),
         bytes({30, 20, 10, 0, 3, 2, 1, 0}),
         {qRgb(10, 20, 30), qRgb(1, 2, 3)}},
        {"32 bits", info(1, 1, 32), bytes({0x10, 0x20, 0x30, 0x99}), {qRgb(0x30, 0x20, 0x10)}},
        {"32 bits, red low",
         info(1, 1, 32, 3, 4) + le32(0xFF) + le32(0xFF00) + le32(0xFF0000),
         bytes({0x10, 0x20, 0x30, 0}),
         {qRgb(0x10, 0x20, 0x30)}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const auto m = printing::dibHeaderMetrics(c.header);
        ASSERT_TRUE(m);
        const QImage printed = printedAtOwnSize(c.header, c.rows, {m->width, m->absHeight()});
        ASSERT_FALSE(printed.isNull());
        for (int i = 0; i < c.expected.size(); ++i)
            EXPECT_EQ(printed.pixel(i % m->width, i / m->width), c.expected[i]) << i;
    }
}

QList<QImage> samplePictures() {
    QImage indexed(37, 23, QImage::Format_Indexed8);
    for (int i = 0; i < 256; ++i)
        indexed.setColor(i, qRgb(i, (i * 7) & 255, 255 - i));
    QImage rgb(29, 17, QImage::Format_RGB32);
    QImage mono(19, 8, QImage::Format_Mono); // rows of 4 bytes: 32, the fewest loaded
    mono.setColorTable({qRgb(0, 0, 90), qRgb(240, 250, 0)});
    for (int y = 0; y < 23; ++y)
        for (int x = 0; x < 37; ++x) {
            indexed.setPixel(x, y, uint((x * 13 + y * 5) & 255));
            if (x < 29 && y < 17) rgb.setPixel(x, y, qRgb(x * 8, y * 15, (x ^ y) * 9));
            if (x < 19 && y < 8) mono.setPixel(x, y, uint((x + y) % 3 == 0));
        }
    return {indexed, rgb, mono};
}

QImage rgb32(const QImage& image) {
    return image.convertToFormat(QImage::Format_RGB32);
}

// Qt's BMP codec reads our files, and we read its files, pixel for pixel.
TEST(BmpFiles, OurWriterAndQtsReaderAndTheOtherWayRoundAgree) {
    for (const QImage& picture : samplePictures()) {
        SCOPED_TRACE(picture.format());
        EXPECT_EQ(rgb32(QImage::fromData(printing::bmpFileImage(picture), "BMP")), rgb32(picture));
        QByteArray theirs;
        QBuffer out(&theirs);
        ASSERT_TRUE(out.open(QIODevice::WriteOnly) && picture.save(&out, "BMP"));
        for (const auto& dib : {load(theirs), LoadDibFromBitmap(picture)}) {
            ASSERT_TRUE(dib);
            EXPECT_EQ(printedAtOwnSize(dib->header, dib->pixels, picture.size()), rgb32(picture));
        }
    }
    EXPECT_FALSE(LoadDibFromBitmap(QImage()));
}

// Untrusted files: the sanitizer build turns any read outside a block into a failure.
QList<QByteArray> validFiles() {
    QList<QByteArray> files;
    for (const QImage& picture : samplePictures())
        files.append(printing::bmpFileImage(picture));
    const QDir data(QStringLiteral(THALWISE_TEST_DATA_DIR "/bmp")); // see its README.md
    for (const QString& name : data.entryList({QStringLiteral("*.bmp")}, QDir::Files)) {
        QFile f(data.filePath(name));
        if (f.open(QIODevice::ReadOnly)) files.append(f.readAll());
    }
    return files;
}

DibPrintResult printed(const QByteArray& header, const QByteArray& pixels, QRect source) {
    RecordingPrintJob job;
    job.begin(QStringLiteral("test"), platform::PageOrientation::Portrait);
    const QRect page(0, 0, 40, 30);
    return PrintDibRect(job, page, source, header, pixels, page);
}

TEST(UntrustedBmp, CutOrScrambledFilesAreRefusedOrLoadSanely) {
    const QList<QByteArray> files = validFiles();
    ASSERT_GE(files.size(), 16) << "the files of tests/data/bmp are missing";
    for (const QByteArray& whole : files) {
        // Files with fewer than 32 bytes of pixels are refused whole (see the README).
        ASSERT_EQ(bool(load(whole)),
                  whole.size() - qFromLittleEndian<quint32>(whole.constData() + 10) >= 32);
        // Each file is exactly its header and pixels: every cut loses rows or runs.
        for (qsizetype length = 0; length < whole.size(); ++length)
            EXPECT_FALSE(load(whole.left(length))) << length;
    }
    std::mt19937 random(20240612);
    for (int round = 0; round < 4000; ++round) {
        QByteArray bytes = files[round % files.size()];
        const int headerEnd = int(std::min<qsizetype>(bytes.size(), 66));
        for (int k = 0; k <= int(random() % 4); ++k)
            bytes[int(random() % headerEnd)] = char(random() & 0xFF);
        if (const std::optional<printing::PackedDib> dib = load(bytes)) {
            const DibPrintResult result =
                printed(dib->header, dib->pixels, {0, 0, dib->width, dib->height});
            EXPECT_TRUE(result == DibPrintResult::Printed ||
                        result == DibPrintResult::UnreadableImage);
        }
        // The engine on its own takes blocks from anywhere, unchecked by the loader.
        printed(bytes.mid(14, headerEnd - 14 + int(random() % 64)),
                bytes.mid(headerEnd, int(random() % 64)),
                {0, 0, 1 + int(random() % 40), 1 + int(random() % 20)});
    }
}

} // namespace
