// The decoder's file-format corners: header, block walk, extensions, LZW, bitmaps and the limits
// that keep hostile files from allocating or reading out of bounds.

#include "GifBuilder.h"

#include "gif/GIFEncoder.h"
#include "gif/GIFImage.h"
#include "gif/GIFLzw.h"

#include <QBuffer>
#include <QDir>
#include <QPainter>

#include <gtest/gtest.h>

#include <optional>
#include <random>

using namespace gif::test;

namespace {

struct Outcome {
    std::optional<QString> error;
    QStringList warnings;
};

Outcome load(TGIFImage& image, const QByteArray& bytes) {
    Outcome outcome;
    image.setWarningCallback([&outcome](gif::Severity severity, const QString& message) {
        EXPECT_EQ(severity, gif::Severity::Warning);
        outcome.warnings.append(message);
    });
    try {
        image.LoadFromBytes(bytes);
    } catch (const GIFException& e) {
        outcome.error = e.message();
    }
    return outcome;
}

std::vector<std::uint8_t> framePixels(const TGIFSubImage& frame) {
    return std::vector<std::uint8_t>(frame.pixels(), frame.pixels() + frame.pixelCount());
}

std::vector<std::uint8_t> ramp(int count, int modulo) {
    std::vector<std::uint8_t> v(static_cast<std::size_t>(count));
    for (int i = 0; i < count; ++i)
        v[std::size_t(i)] = std::uint8_t(i % modulo);
    return v;
}

const QByteArray Pixels2x2 = packCodes(2, {4, 1, 2, 3, 0, 5});

// ---------------------------------------------------------------------------------------------

struct LoadCase {
    const char* name;
    QByteArray bytes;
    const char* error;    // null: loads
    QStringList warnings; // expected warnings in order (only when it loads)
    int frames;           // expected frame count (only when it loads)
};

std::vector<LoadCase> loadCases() {
    std::vector<LoadCase> cases;
    const auto good = [](const QByteArray& signature) {
        return GifBuilder()
            .header(2, 2, 4, signature)
            .descriptor(0, 0, 2, 2)
            .data(2, Pixels2x2)
            .trailer()
            .bytes;
    };
    cases.push_back({"plain", good("GIF89a"), nullptr, {}, 1});
    cases.push_back({"lowerCaseSignature", good("gif89a"), nullptr, {}, 1});
    cases.push_back({"mixedCaseSignature", good("gIf87a"), nullptr, {}, 1});
    cases.push_back({"unknownVersion", good("GIF12z"), nullptr, {}, 1});
    cases.push_back(
        {"fourBytePrefix", QByteArray("\x01\x02\x03\x04") + good("GIF89a"), nullptr, {}, 1});
    cases.push_back({"fiveBytePrefix",
                     QByteArray("12345") + good("GIF89a"),
                     gif::message::InvalidSignature,
                     {},
                     0});
    cases.push_back({"notGif",
                     QByteArray("\x89PNG\r\n\x1a\n0123456789abcdef"),
                     gif::message::InvalidSignature,
                     {},
                     0});
    cases.push_back(
        {"tooShortForSignature", QByteArray("GIF8"), gif::message::PrematureEnd, {}, 0});
    cases.push_back(
        {"screenCutShort", QByteArray("GIF89a\x02\x00\x02"), gif::message::PrematureEnd, {}, 0});
    cases.push_back(
        {"globalTableCutShort", good("GIF89a").left(13 + 5), gif::message::PrematureEnd, {}, 0});
    cases.push_back({"descriptorCutShort",
                     good("GIF89a").left(13 + 12 + 6),
                     gif::message::PrematureEnd,
                     {},
                     0});
    cases.push_back(
        {"headerAndTrailerOnly", GifBuilder().header(2, 2).trailer().bytes, nullptr, {}, 0});
    cases.push_back({"noTrailer",
                     GifBuilder().header(2, 2).descriptor(0, 0, 2, 2).data(2, Pixels2x2).bytes,
                     nullptr,
                     {},
                     1});
    cases.push_back({"nulBytesBetweenFrames",
                     GifBuilder()
                         .header(2, 2)
                         .raw({0, 0})
                         .descriptor(0, 0, 2, 2)
                         .data(2, Pixels2x2)
                         .raw({0})
                         .trailer()
                         .bytes,
                     nullptr,
                     {},
                     1});
    cases.push_back(
        {"unknownBlockType",
         GifBuilder().header(2, 2).descriptor(0, 0, 2, 2).data(2, Pixels2x2).raw({0x42}).bytes,
         nullptr,
         {gif::message::UnknownBlockType, gif::message::InvalidTrailer},
         1});
    cases.push_back({"garbageAfterTrailer",
                     GifBuilder()
                         .header(2, 2)
                         .descriptor(0, 0, 2, 2)
                         .data(2, Pixels2x2)
                         .trailer()
                         .raw({1, 2})
                         .bytes,
                     nullptr,
                     {},
                     1});
    cases.push_back({"unknownExtensionLabel",
                     GifBuilder()
                         .header(2, 2)
                         .raw({0x21, 0x02, 1, 'x', 0})
                         .descriptor(0, 0, 2, 2)
                         .data(2, Pixels2x2)
                         .trailer()
                         .bytes,
                     gif::message::UnknownExtension,
                     {},
                     0});
    cases.push_back({"invalidExtensionIntroducer",
                     GifBuilder()
                         .header(2, 2)
                         .comment({"a"})
                         .raw({0})
                         .descriptor(0, 0, 2, 2)
                         .data(2, Pixels2x2)
                         .trailer()
                         .bytes,
                     nullptr,
                     {gif::message::InvalidExtensionIntroducer},
                     2});
    cases.push_back(
        {"zeroSizedFrameTakesScreen",
         GifBuilder().header(2, 2).descriptor(0, 0, 0, 2).data(2, Pixels2x2).trailer().bytes,
         nullptr,
         {gif::message::ImageExceedsScreen},
         1});
    cases.push_back({"lzwSubBlockCutShort",
                     GifBuilder().header(2, 2).descriptor(0, 0, 2, 2).raw({2, 9, 0x0C}).bytes,
                     nullptr,
                     {gif::message::PrematureEnd},
                     1});
    cases.push_back({"gceCutShort",
                     GifBuilder().header(2, 2).raw({0x21, 0xF9, 4, 1}).bytes,
                     nullptr,
                     {gif::message::PrematureEnd},
                     1});
    cases.push_back({"commentCutShort",
                     GifBuilder().header(2, 2).raw({0x21, 0xFE, 5, 'a'}).bytes,
                     gif::message::PrematureEnd,
                     {},
                     0});
    cases.push_back({"commentWithoutTerminator",
                     GifBuilder().header(2, 2).raw({0x21, 0xFE, 1, 'a'}).bytes,
                     gif::message::PrematureEnd,
                     {},
                     0});
    cases.push_back({"textExtensionCutShort",
                     GifBuilder().header(2, 2).raw({0x21, 0x01, 12, 0, 0}).bytes,
                     gif::message::PrematureEnd,
                     {},
                     0});
    cases.push_back(
        {"appExtensionBlockSize5",
         GifBuilder().header(2, 2).raw({0x21, 0xFF, 5, 'a', 'b', 'c', 'd', 'e', 0}).trailer().bytes,
         gif::message::UnsupportedAppExtSize,
         {},
         0});
    cases.push_back({"appExtensionBlockSize10",
                     GifBuilder()
                         .header(2, 2)
                         .raw({0x21, 0xFF, 10})
                         .append("ABCDEFGHIJ")
                         .raw({2, 7, 8, 0})
                         .trailer()
                         .bytes,
                     nullptr,
                     {},
                     1});
    cases.push_back({"appExtensionBlockSize14",
                     GifBuilder()
                         .header(2, 2)
                         .raw({0x21, 0xFF, 14})
                         .append("NETSCAPE2.0xyz")
                         .raw({3, 1, 5, 0, 0})
                         .trailer()
                         .bytes,
                     nullptr,
                     {},
                     1});
    cases.push_back({"loopSubBlockTooShort",
                     GifBuilder()
                         .header(2, 2)
                         .raw({0x21, 0xFF, 11})
                         .append("NETSCAPE2.0")
                         .raw({2, 1, 5, 0})
                         .trailer()
                         .bytes,
                     gif::message::InvalidData,
                     {},
                     0});
    cases.push_back({"bufferSubBlockTooShort",
                     GifBuilder()
                         .header(2, 2)
                         .raw({0x21, 0xFF, 11})
                         .append("ANIMEXTS1.0")
                         .raw({4, 2, 5, 0, 0, 0})
                         .trailer()
                         .bytes,
                     gif::message::InvalidData,
                     {},
                     0});
    cases.push_back(
        {"minimumCodeSize12",
         GifBuilder().header(2, 2).descriptor(0, 0, 2, 2).raw({12, 1, 0, 0}).trailer().bytes,
         "Invalid GIF data: LZW minimum code size 12 is above the largest possible "
         "(11)",
         {},
         0});
    cases.push_back({"minimumCodeSizeMissing",
                     GifBuilder().header(2, 2).descriptor(0, 0, 2, 2).bytes,
                     gif::message::PrematureEnd,
                     {},
                     0});
    cases.push_back({"screenTooWide",
                     GifBuilder().header(16385, 1).trailer().bytes,
                     "Image too large: 16385 x 1 pixels (at most 16384 pixels on a side)",
                     {},
                     0});
    cases.push_back({"frameTooTall",
                     GifBuilder().header(1, 1).descriptor(0, 0, 1, 65535).raw({2, 0}).bytes,
                     "Image too large: 1 x 65535 pixels (at most 16384 pixels on a side)",
                     {},
                     0});
    {
        // 8192 x 8192 is 64 Mi pixels: the screen alone fits, one frame more does not.
        GifBuilder b;
        b.header(8192, 8192).trailer();
        cases.push_back({"screenAtTotalLimit", b.bytes, nullptr, {}, 0});
        GifBuilder c;
        c.header(8192, 8192).descriptor(0, 0, 1, 1).raw({2, 0});
        cases.push_back({"framesBeyondTotalLimit", c.bytes, gif::message::TotalTooLarge, {}, 0});
        GifBuilder d;
        d.header(1, 1);
        for (int i = 0; i < 5; ++i)
            d.descriptor(0, 0, 16384, 1000).raw({2, 0});
        cases.push_back(
            {"manyFramesBeyondTotalLimit", d.bytes, gif::message::TotalTooLarge, {}, 0});
    }
    cases.push_back({"emptyScreen",
                     GifBuilder().header(0, 3).descriptor(0, 0, 2, 2).data(2, Pixels2x2).bytes,
                     "Invalid GIF data: the logical screen is 0 x 3 pixels",
                     {},
                     0});
    {
        // Frames and extensions together: 65536 load, one more does not.
        const QByteArray tiny = GifBuilder().descriptor(0, 0, 1, 1).data(2, Pixels2x2).bytes;
        GifBuilder atLimit;
        atLimit.header(2, 2);
        for (int i = 0; i < gif::MaxBlocks; i += 2)
            atLimit.comment({"x"}).append(tiny);
        cases.push_back({"blocksAtLimit", atLimit.bytes, nullptr, {}, gif::MaxBlocks / 2});
        cases.push_back(
            {"blocksBeyondLimit", atLimit.append(tiny).bytes, gif::message::TooManyBlocks, {}, 0});
        // Sub-blocks of the extensions: one more than the limit, of one byte each ("\1\1").
        const QByteArray subBlocks = GifBuilder().header(2, 2).raw({0x21, 0xFF, 10}).bytes +
                                     QByteArray(10 + 2 * gif::MaxExtensionSubBlocks + 2, 1);
        cases.push_back({"subBlocksBeyondLimit", subBlocks, gif::message::TooManySubBlocks, {}, 0});
    }
    cases.push_back(
        {"circularFirstCode",
         GifBuilder().header(2, 2).descriptor(0, 0, 2, 2).codes(2, {4, 6, 5}).trailer().bytes,
         gif::message::CircularTableEntry,
         {},
         0});
    cases.push_back({"underrunWhenDataEndsOnByte",
                     GifBuilder()
                         .header(4, 4)
                         .descriptor(0, 0, 4, 4)
                         .data(2, packCodes(2, {4, 1, 1, 1, 1, 1, 1, 1}).left(3))
                         .trailer()
                         .bytes,
                     nullptr,
                     {gif::message::BitBufferUnderrun},
                     1});
    // Exactly 4 pixels in 2 bytes and no end code: the extra code finds no bits, quietly.
    cases.push_back({"dataEndsWithFullFrame",
                     GifBuilder()
                         .header(2, 2)
                         .descriptor(0, 0, 2, 2)
                         .data(2, packCodes(2, {4, 1, 2, 3, 0}))
                         .trailer()
                         .bytes,
                     nullptr,
                     {},
                     1});
    return cases;
}

class LoadTable : public ::testing::TestWithParam<LoadCase> {};

TEST_P(LoadTable, ErrorsAndWarnings) {
    const LoadCase& c = GetParam();
    TGIFImage image;
    const Outcome outcome = load(image, c.bytes);
    if (c.error) {
        ASSERT_TRUE(outcome.error.has_value()) << "expected error " << c.error;
        EXPECT_EQ(*outcome.error, QString::fromLatin1(c.error));
        EXPECT_TRUE(image.isEmpty()) << "a failed load leaves nothing behind";
    } else {
        ASSERT_FALSE(outcome.error.has_value()) << outcome.error->toStdString();
        EXPECT_EQ(outcome.warnings, c.warnings);
        EXPECT_EQ(image.imageCount(), c.frames);
    }
}

INSTANTIATE_TEST_SUITE_P(Gif, LoadTable, ::testing::ValuesIn(loadCases()),
                         [](const auto& info) { return std::string(info.param.name); });

// ---------------------------------------------------------------------------------------------

TEST(GIFImage, CommentBeforeImageBelongsToFrameZeroAfterImageToAnEmptyFrame) {
    TGIFImage before;
    ASSERT_FALSE(load(before, GifBuilder()
                                  .header(2, 2)
                                  .comment({"TMIN=50"})
                                  .descriptor(0, 0, 2, 2)
                                  .data(2, Pixels2x2)
                                  .trailer()
                                  .bytes)
                     .error);
    ASSERT_EQ(before.imageCount(), 1);
    EXPECT_EQ(gif::commentText(before.image(0)), "TMIN=50\r\n");

    TGIFImage after;
    ASSERT_FALSE(load(after, GifBuilder()
                                 .header(2, 2)
                                 .descriptor(0, 0, 2, 2)
                                 .data(2, Pixels2x2)
                                 .comment({"TMIN=50"})
                                 .trailer()
                                 .bytes)
                     .error);
    ASSERT_EQ(after.imageCount(), 2);
    EXPECT_EQ(gif::commentText(after.image(0)), "");
    EXPECT_FALSE(after.image(1).hasImageData());
    EXPECT_EQ(gif::commentText(after.image(1)), "TMIN=50\r\n");
    EXPECT_TRUE(after.image(1).bitmap().isNull());
}

TEST(GIFImage, CommentSubBlocksAreStringsCutAtNul) {
    const QByteArray text300(300, 'x');
    QByteArray withNul("abc");
    withNul.append('\0');
    withNul.append("def");
    TGIFImage image;
    ASSERT_FALSE(load(image, GifBuilder()
                                 .header(2, 2)
                                 .comment({text300.left(255), text300.mid(255)})
                                 .comment({withNul,
                                           "\xB0"
                                           "F",
                                           "\xC2\xB0"
                                           "F"})
                                 .descriptor(0, 0, 2, 2)
                                 .data(2, Pixels2x2)
                                 .trailer()
                                 .bytes)
                     .error);
    ASSERT_EQ(image.image(0).extensionCount(), 2);
    const auto& first = dynamic_cast<const TGIFCommentExtension&>(image.image(0).extension(0));
    ASSERT_EQ(first.rawStrings.size(), 2);
    EXPECT_EQ(first.text(), QString(255, 'x') + "\r\n" + QString(45, 'x') + "\r\n");
    const auto& second = dynamic_cast<const TGIFCommentExtension&>(image.image(0).extension(1));
    const QString degreeF = QString(QChar(0xB0)) + "F";
    EXPECT_EQ(second.strings(), (QStringList{"abc", degreeF, degreeF}));
    EXPECT_EQ(second.text(), "abc\r\n" + degreeF + "\r\n" + degreeF + "\r\n");
    EXPECT_TRUE(second.is<TGIFCommentExtension>());
    EXPECT_FALSE(second.is<TGIFGraphicControlExtension>());
}

TEST(GIFImage, CommentsBeyondTheirBudgetAreReadOverAtASubBlock) {
    // 4096 sub-blocks of 255 bytes and their length bytes are 1 MiB exactly.
    GifBuilder b;
    b.header(2, 2).comment(QList<QByteArray>(4000, QByteArray(255, 'a')));
    b.comment(QList<QByteArray>(200, QByteArray(255, 'b')) << "TMIN=50");
    TGIFImage image;
    const Outcome outcome = load(image, b.descriptor(0, 0, 2, 2).data(2, Pixels2x2).bytes);
    ASSERT_FALSE(outcome.error);
    EXPECT_EQ(outcome.warnings, QStringList{gif::message::CommentsCut});
    const auto& second = dynamic_cast<const TGIFCommentExtension&>(image.image(0).extension(1));
    EXPECT_EQ(second.rawStrings.toList(), QList<QByteArray>(96, QByteArray(255, 'b')));
    EXPECT_EQ(image.image(0).pixel(0, 1), 3);
}

TEST(GIFImage, CommentBytesAreUtf8WhenValidElseWindows1252) {
    const struct {
        QByteArray bytes;
        QString text;
    } cases[] = {
        {"TMIN=50", "TMIN=50"},
        {"20\xC2\xB0", QString("20") + QChar(0xB0)},
        {"20\xB0", QString("20") + QChar(0xB0)},
        {"\x80\x99", QString(QChar(0x20AC)) + QChar(0x2122)},
        {"\xE9t\xE9", QString(QChar(0xE9)) + "t" + QChar(0xE9)},
        // The unassigned bytes keep their code points, as in the program's other texts.
        {"\x81\x8D\x8F\x90\x9D", QStringLiteral("\u0081\u008D\u008F\u0090\u009D")},
    };
    for (const auto& c : cases)
        EXPECT_EQ(gif::decodeCommentBytes(c.bytes), c.text) << c.bytes.toHex().constData();
}

TEST(GIFImage, ExtensionsAreRegisteredByLabelAndIdentifier) {
    TGIFImage image;
    ASSERT_FALSE(load(image, GifBuilder()
                                 .header(2, 2)
                                 .raw({0x21, 0xFF, 11})
                                 .append("NETSCAPE2.0")
                                 .raw({3, 1, 0x34, 0x12})
                                 .raw({5, 2, 1, 2, 3, 4, 0})
                                 .raw({0x21, 0xFF, 11})
                                 .append("XMP DataXMP")
                                 .raw({2, 'h', 'i', 0})
                                 .raw({0x21, 0x01, 12})
                                 .append("0123456789AB")
                                 .raw({2, 'h', 'i', 0})
                                 .gce(3, true, 0x0102)
                                 .gce(1, false)
                                 .descriptor(0, 0, 2, 2)
                                 .data(2, Pixels2x2)
                                 .trailer()
                                 .bytes)
                     .error);
    const TGIFSubImage& frame = image.image(0);
    ASSERT_EQ(frame.extensionCount(), 5);
    const auto& loop = dynamic_cast<const TGIFAppExtNSLoop&>(frame.extension(0));
    EXPECT_EQ(loop.loops, 0x1234);
    EXPECT_EQ(loop.bufferSize, 0x04030201u);
    const auto& xmp = dynamic_cast<const TGIFUnknownAppExtension&>(frame.extension(1));
    EXPECT_EQ(xmp.identifier, "XMP DataXMP");
    EXPECT_EQ(xmp.blocks, QList<QByteArray>{"hi"});
    const auto& text = dynamic_cast<const TGIFTextExtension&>(frame.extension(2));
    EXPECT_EQ(text.rawStrings, QList<QByteArray>{"hi"});
    // The first graphic control extension is the frame's.
    ASSERT_NE(frame.graphicControlExtension(), nullptr);
    EXPECT_EQ(frame.graphicControlExtension(), &frame.extension(3));
    EXPECT_EQ(frame.graphicControlExtension()->delay, 0x0102);
    EXPECT_TRUE(frame.isTransparent());
    EXPECT_EQ(frame.transparentColorIndex(), 3);
    EXPECT_EQ(gif::createExtension(0x02), nullptr);
    EXPECT_NE(dynamic_cast<TGIFAppExtNSLoop*>(gif::createApplicationExtension("ANIMEXTS1.0").get()),
              nullptr);
}

// ---------------------------------------------------------------------------------------------
// LZW

struct LzwCase {
    const char* name;
    int width, height;
    std::vector<int> codes;
    std::vector<std::uint8_t> expected;
    int transparentIndex; // -1: not transparent
};

std::vector<LzwCase> lzwCases() {
    return {
        // The KwKwK case: a code equal to the next free code.
        {"kwkwk", 3, 2, {4, 1, 6, 7, 5}, {1, 1, 1, 1, 1, 1}, -1},
        {"stringsFromTable", 4, 2, {4, 0, 1, 6, 6, 5}, {0, 1, 0, 1, 0, 1, 0, 0}, -1},
        // Data cut short: the rest keeps 0, or the transparent index.
        {"cutShortFillsZero", 3, 2, {4, 2, 3}, {2, 3, 0, 0, 0, 0}, -1},
        {"cutShortFillsTransparent", 3, 2, {4, 2, 3, 5}, {2, 3, 1, 1, 1, 1}, 1},
        // A code above the next free code ends the frame quietly.
        {"codeBeyondFree", 3, 2, {4, 2, 7, 0, 0}, {2, 0, 0, 0, 0, 0}, -1},
        // More pixel data than the frame holds: the excess is ignored.
        {"excessData", 2, 1, {4, 1, 2, 3, 3, 3, 5}, {1, 2}, -1},
        // The last string crosses the end of the frame.
        {"stringCrossesEnd", 3, 1, {4, 1, 2, 6, 5}, {1, 2, 1}, -1},
        {"clearInTheMiddle", 2, 2, {4, 3, 3, 4, 2, 2, 5}, {3, 3, 2, 2}, -1},
        {"noInitialClear", 2, 1, {1, 2, 5}, {1, 2}, -1},
    };
}

class LzwTable : public ::testing::TestWithParam<LzwCase> {};

TEST_P(LzwTable, Decodes) {
    const LzwCase& c = GetParam();
    GifBuilder b;
    b.header(c.width, c.height);
    if (c.transparentIndex >= 0) b.gce(c.transparentIndex);
    b.descriptor(0, 0, c.width, c.height).codes(2, c.codes).trailer();
    TGIFImage image;
    const Outcome outcome = load(image, b.bytes);
    ASSERT_FALSE(outcome.error.has_value()) << outcome.error->toStdString();
    EXPECT_EQ(framePixels(image.image(0)), c.expected);
}

INSTANTIATE_TEST_SUITE_P(Gif, LzwTable, ::testing::ValuesIn(lzwCases()),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(GIFLzw, RoundTripsEncoderStreamsOfEveryCodeSize) {
    std::mt19937 random(7);
    const struct {
        int width, height;
        bool noisy;
    } shapes[] = {{1, 1, false},    {7, 3, true},     {64, 64, false},
                  {300, 200, true}, {513, 97, false}, {200, 300, true}};
    for (int minCodeSize = 2; minCodeSize <= 8; ++minCodeSize) {
        const int colours = 1 << minCodeSize;
        for (const auto& s : shapes) {
            std::vector<std::uint8_t> pixels(std::size_t(s.width) * std::size_t(s.height));
            for (std::size_t i = 0; i < pixels.size(); ++i)
                pixels[i] = std::uint8_t(s.noisy ? random() % unsigned(colours)
                                                 : (i / 37 + i / std::size_t(s.width)) %
                                                       std::size_t(colours));
            const QByteArray stream = gif::compressLzw(pixels.data(), pixels.size(), minCodeSize);
            QByteArray padded = stream;
            padded.append(QByteArray(gif::LzwDecoder::InputPadding, '\0'));
            std::vector<std::uint8_t> out(pixels.size() + gif::LzwDecoder::OutputSlack);
            gif::LzwDecoder decoder;
            const gif::LzwResult result =
                decoder.decode(reinterpret_cast<const std::uint8_t*>(padded.constData()),
                               std::size_t(stream.size()), minCodeSize, out.data(), pixels.size());
            ASSERT_EQ(result.pixelsWritten, pixels.size());
            EXPECT_EQ(result.end, gif::LzwEnd::FrameFull);
            out.resize(pixels.size());
            EXPECT_EQ(out, pixels) << minCodeSize << " " << s.width << "x" << s.height;
        }
    }
}

TEST(GIFLzw, FullTableWithoutClearKeepsTwelveBitCodes) {
    // 5000 literals after one clear: the table fills at 4096 and stays full (no entries added).
    std::vector<std::uint8_t> pixels = ramp(5000, 4);
    std::vector<int> codes{4};
    for (std::uint8_t p : pixels)
        codes.push_back(p);
    codes.push_back(5);
    TGIFImage image;
    const Outcome outcome =
        load(image, GifBuilder().header(100, 50).descriptor(0, 0, 100, 50).codes(2, codes).bytes);
    ASSERT_FALSE(outcome.error.has_value());
    EXPECT_EQ(framePixels(image.image(0)), pixels);
}

TEST(GIFLzw, LiteralsAboveEightBitsKeepTheirLowByte) {
    TGIFImage image;
    const Outcome outcome = load(image, GifBuilder()
                                            .header(3, 1, 256)
                                            .descriptor(0, 0, 3, 1)
                                            .codes(11, {2048, 5, 300, 2047, 2049})
                                            .trailer()
                                            .bytes);
    ASSERT_FALSE(outcome.error.has_value());
    EXPECT_EQ(framePixels(image.image(0)), (std::vector<std::uint8_t>{5, 300 & 0xFF, 0xFF}));
}

TEST(GIFLzw, SmallSubBlocksJoinIntoOneStream) {
    const std::vector<std::uint8_t> pixels = ramp(40 * 30, 4);
    const QByteArray stream = packCodes(2, literalCodes(pixels, 2));
    for (int blockSize : {1, 2, 7, 254, 255}) {
        TGIFImage image;
        const Outcome outcome = load(image, GifBuilder()
                                                .header(40, 30)
                                                .descriptor(0, 0, 40, 30)
                                                .data(2, stream, blockSize)
                                                .trailer()
                                                .bytes);
        ASSERT_FALSE(outcome.error.has_value());
        EXPECT_TRUE(outcome.warnings.isEmpty()) << outcome.warnings.join(",").toStdString();
        EXPECT_EQ(framePixels(image.image(0)), pixels) << blockSize;
    }
}

TEST(GIFLzw, ExtraCodeAfterFullFrameThenTheNextFrameStillReads) {
    // Frame 1 carries codes after its last pixel and no end code; frame 2 must still be found.
    TGIFImage image;
    const Outcome outcome = load(image, GifBuilder()
                                            .header(2, 1)
                                            .descriptor(0, 0, 2, 1)
                                            .codes(2, {4, 1, 2, 3, 3, 0})
                                            .descriptor(0, 0, 2, 1)
                                            .codes(2, {4, 3, 2, 5})
                                            .trailer()
                                            .bytes);
    ASSERT_FALSE(outcome.error.has_value());
    ASSERT_EQ(image.imageCount(), 2);
    EXPECT_EQ(framePixels(image.image(0)), (std::vector<std::uint8_t>{1, 2}));
    EXPECT_EQ(framePixels(image.image(1)), (std::vector<std::uint8_t>{3, 2}));
    EXPECT_TRUE(outcome.warnings.isEmpty());
}

TEST(GIFImage, InterlacedFramesOfOneToManyRowsDecodeEveryRowOnce) {
    for (int rows = 1; rows <= 17; ++rows) {
        const int width = 3;
        // Rows in the order GIF89a appendix E stores them, each filled with its row number.
        std::vector<std::uint8_t> stored;
        const int start[] = {0, 4, 2, 1};
        const int step[] = {8, 8, 4, 2};
        for (int pass = 0; pass < 4; ++pass)
            for (int r = start[pass]; r < rows; r += step[pass])
                stored.insert(stored.end(), width, std::uint8_t(r));
        ASSERT_EQ(stored.size(), std::size_t(width * rows));
        TGIFImage image;
        const Outcome outcome = load(image, GifBuilder()
                                                .header(width, rows, 256)
                                                .descriptor(0, 0, width, rows, true)
                                                .codes(8, literalCodes(stored, 8))
                                                .trailer()
                                                .bytes);
        ASSERT_FALSE(outcome.error.has_value());
        for (int y = 0; y < rows; ++y)
            for (int x = 0; x < width; ++x)
                ASSERT_EQ(image.image(0).pixel(x, y), y) << rows << " rows, row " << y;
    }
}

// ---------------------------------------------------------------------------------------------
// Bitmaps

TEST(GIFImage, FrameBitmapKeepsIndicesAndExactColours) {
    // Index 5 lies beyond the 4-entry table: it shows black.
    TGIFImage image;
    ASSERT_FALSE(load(image, GifBuilder()
                                 .header(3, 2)
                                 .descriptor(0, 0, 3, 2)
                                 .codes(3, {8, 0, 1, 2, 3, 5, 3, 9})
                                 .trailer()
                                 .bytes)
                     .error);
    const QImage bitmap = image.bitmap();
    ASSERT_EQ(bitmap.format(), QImage::Format_Indexed8);
    ASSERT_EQ(bitmap.size(), QSize(3, 2));
    EXPECT_EQ(bitmap.colorCount(), 256);
    const int expected[] = {0, 1, 2, 3, 5, 3};
    for (int i = 0; i < 6; ++i) {
        const int x = i % 3, y = i / 3;
        EXPECT_EQ(bitmap.pixelIndex(x, y), expected[i]);
        const QRgb want = expected[i] < 4
                              ? qRgb(red(expected[i]), green(expected[i]), blue(expected[i]))
                              : qRgb(0, 0, 0);
        EXPECT_EQ(bitmap.pixel(x, y), want) << i;
    }
    EXPECT_TRUE(image.image(0).mask().isNull());
}

TEST(GIFImage, NoColourTableFailsOnlyWhenABitmapIsRequested) {
    TGIFImage image;
    ASSERT_FALSE(
        load(image,
             GifBuilder().header(2, 2, 0).descriptor(0, 0, 2, 2).data(2, Pixels2x2).trailer().bytes)
            .error);
    try {
        (void)image.bitmap();
        FAIL() << "expected an error";
    } catch (const GIFException& e) {
        EXPECT_EQ(e.message(), gif::message::NoColorTable);
        EXPECT_STREQ(e.what(), gif::message::NoColorTable);
    }
}

TEST(GIFImage, SmallerFrameSitsOnTheScreenClipped) {
    const struct {
        const char* name;
        int left, top, width, height;
    } cases[] = {{"inside", 1, 1, 2, 2},
                 {"overlapsRightBottom", 3, 2, 2, 2},
                 {"outside", 10, 10, 2, 2},
                 {"wider", 0, 0, 6, 1}};
    for (const auto& c : cases) {
        const std::vector<std::uint8_t> pixels = ramp(c.width * c.height, 3);
        std::vector<std::uint8_t> shifted(pixels.size());
        for (std::size_t i = 0; i < pixels.size(); ++i)
            shifted[i] = std::uint8_t(pixels[i] + 1); // 1 to 3, never the background 0
        TGIFImage image;
        ASSERT_FALSE(load(image, GifBuilder()
                                     .header(4, 3)
                                     .descriptor(c.left, c.top, c.width, c.height)
                                     .codes(2, literalCodes(shifted, 2))
                                     .trailer()
                                     .bytes)
                         .error);
        const QImage bitmap = image.bitmap();
        ASSERT_EQ(bitmap.size(), QSize(4, 3)) << c.name;
        ASSERT_EQ(bitmap.format(), QImage::Format_Indexed8);
        for (int y = 0; y < 3; ++y)
            for (int x = 0; x < 4; ++x) {
                const int fx = x - c.left, fy = y - c.top;
                const bool inFrame = fx >= 0 && fy >= 0 && fx < c.width && fy < c.height;
                const int want = inFrame ? shifted[std::size_t(fy * c.width + fx)] : 0;
                EXPECT_EQ(bitmap.pixelIndex(x, y), want) << c.name << " " << x << "," << y;
            }
    }
}

TEST(GIFImage, LocalTableUnlikeTheGlobalOneKeepsColoursExact) {
    TGIFImage image;
    ASSERT_FALSE(load(image, GifBuilder()
                                 .header(3, 1, 2)
                                 .descriptor(1, 0, 2, 1, false, 8)
                                 .codes(3, {8, 6, 7, 9})
                                 .trailer()
                                 .bytes)
                     .error);
    const QImage bitmap = image.bitmap();
    ASSERT_EQ(bitmap.size(), QSize(3, 1));
    EXPECT_EQ(bitmap.pixel(0, 0), qRgb(red(0), green(0), blue(0)));
    EXPECT_EQ(bitmap.pixel(1, 0), qRgb(red(6), green(6), blue(6)));
    EXPECT_EQ(bitmap.pixel(2, 0), qRgb(red(7), green(7), blue(7)));
}

TEST(GIFImage, MaskMarksTransparentPixelsAndDrawingSkipsThem) {
    // Rows: 0 2 2 0 / 1 2 0 3 with transparent index 2.
    TGIFImage image;
    ASSERT_FALSE(load(image, GifBuilder()
                                 .header(4, 2)
                                 .gce(2)
                                 .descriptor(0, 0, 4, 2)
                                 .codes(2, literalCodes({0, 2, 2, 0, 1, 2, 0, 3}, 2))
                                 .trailer()
                                 .bytes)
                     .error);
    const QImage mask = image.image(0).mask();
    ASSERT_FALSE(mask.isNull());
    ASSERT_EQ(mask.format(), QImage::Format_Mono);
    EXPECT_EQ(mask.constScanLine(0)[0], 0x60);
    EXPECT_EQ(mask.constScanLine(1)[0], 0x40);

    QImage canvas(8, 4, QImage::Format_RGB32);
    canvas.fill(qRgb(9, 9, 9));
    {
        QPainter painter(&canvas);
        image.draw(painter, QRect(0, 0, 8, 4)); // doubled
    }
    const auto colour = [](int i) { return qRgb(red(i), green(i), blue(i)); };
    EXPECT_EQ(canvas.pixel(0, 0), colour(0));
    EXPECT_EQ(canvas.pixel(1, 1), colour(0));
    EXPECT_EQ(canvas.pixel(2, 0), qRgb(9, 9, 9));
    EXPECT_EQ(canvas.pixel(5, 1), qRgb(9, 9, 9));
    EXPECT_EQ(canvas.pixel(0, 2), colour(1));
    EXPECT_EQ(canvas.pixel(3, 3), qRgb(9, 9, 9));
    EXPECT_EQ(canvas.pixel(7, 3), colour(3));
}

TEST(GIFImage, ColourTableStorageGrowsBy16ThenMultiplesOf32) {
    const struct {
        int entries, capacity;
    } cases[] = {{1, 16},  {16, 16},   {17, 32},   {32, 32},
                 {33, 64}, {200, 224}, {256, 256}, {300, 256}};
    for (const auto& c : cases) {
        TGIFColorMap map;
        for (int i = 0; i < c.entries; ++i)
            map.add(1, 2, 3);
        EXPECT_EQ(map.capacity(), c.capacity) << c.entries;
        EXPECT_EQ(map.count(), std::min(c.entries, 256));
    }
}

// ---------------------------------------------------------------------------------------------
// Streams and files

TEST(GIFImage, StreamIsReturnedToItsStartOnFailureAndLeftAfterTheTrailerOnSuccess) {
    const QByteArray good = simpleGif(2, 2, {0, 1, 2, 3});
    QByteArray data = "junk" + good + "tail";
    QBuffer buffer(&data);
    buffer.open(QIODevice::ReadOnly);
    buffer.seek(4);
    TGIFImage image;
    image.LoadFromStream(buffer);
    EXPECT_EQ(buffer.pos(), 4 + good.size());
    EXPECT_EQ(image.imageCount(), 1);

    QByteArray bad = "ab" + GifBuilder().header(2, 2).raw({0x21, 0x02}).bytes;
    QBuffer badBuffer(&bad);
    badBuffer.open(QIODevice::ReadOnly);
    badBuffer.seek(2);
    EXPECT_THROW(image.LoadFromStream(badBuffer), GIFException);
    EXPECT_EQ(badBuffer.pos(), 2);
    EXPECT_TRUE(image.isEmpty());
}

TEST(GIFImage, MissingFileIsAGIFException) {
    TGIFImage image;
    EXPECT_THROW(image.LoadFromFile(QDir::temp().filePath("thalwise-no-such-file.gif")),
                 GIFException);
}

// Every prefix of every test file: an error or a lenient load, never a crash or a bad read.
TEST(GIFImage, EveryTruncationLoadsOrFailsCleanly) {
    std::vector<QByteArray> files;
    const QDir dir(QStringLiteral(THALWISE_TEST_DATA_DIR "/gif"));
    for (const QString& name : dir.entryList({"*.gif"}, QDir::Files)) {
        QFile f(dir.filePath(name));
        ASSERT_TRUE(f.open(QIODevice::ReadOnly));
        files.push_back(f.readAll());
    }
    ASSERT_FALSE(files.empty()) << "no test files in " << THALWISE_TEST_DATA_DIR "/gif";
    files.push_back(GifBuilder()
                        .header(5, 9)
                        .comment({"TMAX=80"})
                        .gce(1)
                        .descriptor(0, 0, 5, 9, true)
                        .codes(2, literalCodes(ramp(45, 4), 2))
                        .trailer()
                        .bytes);
    for (const QByteArray& file : files) {
        for (qsizetype length = 0; length <= file.size(); ++length) {
            TGIFImage image;
            const Outcome outcome = load(image, file.left(length));
            if (!outcome.error && !image.isEmpty()) {
                try {
                    const QImage bitmap = image.bitmap();
                    if (!bitmap.isNull()) {
                        EXPECT_EQ(bitmap.size(), QSize(image.width(), image.height()));
                    }
                } catch (const GIFException&) {
                }
            }
        }
    }
}

// Random byte changes to valid files: the same promise as above, for damage inside a file.
TEST(GIFImage, DamagedFilesLoadOrFailCleanly) {
    std::mt19937 random(2026);
    std::vector<QByteArray> files = {simpleGif(9, 7, ramp(63, 4)),
                                     GifBuilder()
                                         .header(6, 5, 16)
                                         .gce(3)
                                         .descriptor(1, 1, 4, 4, true, 8)
                                         .codes(3, literalCodes(ramp(16, 8), 3))
                                         .comment({"x"})
                                         .trailer()
                                         .bytes};
    std::vector<std::uint8_t> noise(40 * 30);
    for (auto& v : noise)
        v = std::uint8_t(random() % 16);
    files.push_back(GifBuilder()
                        .header(40, 30, 16)
                        .descriptor(0, 0, 40, 30)
                        .data(4, gif::compressLzw(noise.data(), noise.size(), 4))
                        .trailer()
                        .bytes);
    for (const QByteArray& original : files)
        for (int round = 0; round < 3000; ++round) {
            QByteArray damaged = original;
            const int changes = 1 + int(random() % 4);
            for (int i = 0; i < changes; ++i)
                damaged[qsizetype(random() % unsigned(damaged.size()))] = char(random() & 0xFF);
            TGIFImage image;
            const Outcome outcome = load(image, damaged);
            if (outcome.error || image.isEmpty()) continue;
            try {
                (void)image.bitmap();
                QImage canvas(16, 16, QImage::Format_ARGB32_Premultiplied);
                QPainter painter(&canvas);
                image.draw(painter, canvas.rect());
            } catch (const GIFException&) {
            }
        }
}

} // namespace
