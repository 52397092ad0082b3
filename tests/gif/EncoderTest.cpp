// The encoder against our decoder: every picture written must read back exactly.

#include "SyntheticChart.h"
#include "geo/PixelTemperatures.h"
#include "gif/GIFEncoder.h"
#include "gif/GIFImage.h"

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <bit>
#include <cstring>
#include <limits>
#include <memory>
#include <random>

namespace {

gif::ColourTable rampTable(int size) {
    gif::ColourTable table;
    for (int i = 0; i < size; ++i)
        table.append(qRgb(i, 255 - i, (i * 37) & 0xFF));
    return table;
}

std::vector<std::uint8_t> randomIndices(std::size_t count, int limit, std::mt19937& rng) {
    std::vector<std::uint8_t> v(count);
    // Runs of repeated indices as well as noise, so that long strings get into the table.
    std::size_t i = 0;
    while (i < count) {
        const auto value = static_cast<std::uint8_t>(rng() % static_cast<unsigned>(limit));
        const std::size_t run = (rng() % 4 == 0) ? 1 + rng() % 40 : 1;
        for (std::size_t k = 0; k < run && i < count; ++k)
            v[i++] = value;
    }
    return v;
}

std::unique_ptr<TGIFImage> decode(const QByteArray& bytes) {
    auto image = std::make_unique<TGIFImage>();
    image->LoadFromBytes(bytes);
    return image;
}

// Frame geometry, indices and active colours read back as written.
void expectFrameMatches(const gif::EncoderInput& in, const TGIFImage& out, int n) {
    SCOPED_TRACE(testing::Message() << "frame " << n);
    const gif::EncoderFrame& f = in.frames[n];
    const TGIFSubImage& frame = out.image(n);
    ASSERT_TRUE(frame.hasImageData());
    EXPECT_EQ(frame.left(), f.left);
    EXPECT_EQ(frame.top(), f.top);
    ASSERT_EQ(frame.width(), f.width);
    ASSERT_EQ(frame.height(), f.height);
    EXPECT_EQ(frame.isInterlaced(), f.interlaced);
    ASSERT_EQ(frame.pixelCount(), static_cast<qint64>(f.indices.size()));
    EXPECT_TRUE(std::equal(f.indices.begin(), f.indices.end(), frame.pixels()));
    const gif::ColourTable& table = f.localTable.isEmpty() ? in.globalTable : f.localTable;
    const TGIFColorMap& active = frame.activeColorMap();
    for (int i = 0; i < table.size(); ++i)
        EXPECT_EQ(active.color(i), qRgb(qRed(table[i]), qGreen(table[i]), qBlue(table[i])));
    EXPECT_EQ(frame.isTransparent(), f.transparentIndex.has_value());
    if (f.transparentIndex) {
        EXPECT_EQ(frame.transparentColorIndex(), *f.transparentIndex);
    }
}

struct RoundTripCase {
    int width;
    int height;
    int tableSize; // colours in the table; indices use all of them
    bool interlaced;
    bool localTable;
};

class EncoderRoundTrip : public testing::TestWithParam<RoundTripCase> {};

TEST_P(EncoderRoundTrip, DecodesToTheSameIndicesAndColours) {
    const RoundTripCase c = GetParam();
    std::mt19937 rng(static_cast<unsigned>(c.width * 7919 + c.height * 31 + c.tableSize));
    gif::EncoderInput in;
    in.screenWidth = c.width;
    in.screenHeight = c.height;
    gif::EncoderFrame f;
    f.width = c.width;
    f.height = c.height;
    f.interlaced = c.interlaced;
    (c.localTable ? f.localTable : in.globalTable) = rampTable(c.tableSize);
    f.indices = randomIndices(static_cast<std::size_t>(c.width) * c.height, c.tableSize, rng);
    in.frames.push_back(f);

    const std::optional<QByteArray> bytes = gif::encodeGif(in);
    ASSERT_TRUE(bytes);
    const std::unique_ptr<TGIFImage> outp = decode(*bytes);
    const TGIFImage& out = *outp;
    EXPECT_EQ(out.width(), c.width);
    EXPECT_EQ(out.height(), c.height);
    ASSERT_EQ(out.imageCount(), 1);
    expectFrameMatches(in, out, 0);
    // The table is stored padded to a power of two, at least 2 entries.
    const int stored = std::max(2, static_cast<int>(std::bit_ceil(unsigned(c.tableSize))));
    EXPECT_EQ(out.image(0).activeColorMap().count(), stored);
    EXPECT_EQ(out.image(0).localColorMap().count(), c.localTable ? stored : 0);
}

std::vector<RoundTripCase> roundTripCases() {
    std::vector<RoundTripCase> cases;
    const std::pair<int, int> sizes[] = {{1, 1},  {1, 2},   {2, 1},   {3, 3},    {1, 9},
                                         {17, 5}, {64, 64}, {300, 7}, {5, 300},  {129, 33},
                                         {8, 8},  {9, 16},  {1, 300}, {256, 200}};
    const int tables[] = {1, 2, 3, 4, 7, 16, 31, 64, 100, 128, 200, 256};
    // Every size meets every table size; interlacing and a local table take turns so that each
    // table size is seen with all four combinations.
    int sizeIndex = 0;
    for (const auto& [w, h] : sizes) {
        int tableIndex = 0;
        for (int t : tables) {
            const int turn = (sizeIndex + tableIndex++) % 4;
            cases.push_back({w, h, t, (turn & 1) != 0, (turn & 2) != 0});
        }
        ++sizeIndex;
    }
    return cases;
}

std::string roundTripName(const testing::TestParamInfo<RoundTripCase>& info) {
    const RoundTripCase& c = info.param;
    return std::to_string(c.width) + "x" + std::to_string(c.height) + "_" +
           std::to_string(c.tableSize) + "colours" + (c.interlaced ? "_interlaced" : "") +
           (c.localTable ? "_local" : "");
}

INSTANTIATE_TEST_SUITE_P(SizesTablesInterlace, EncoderRoundTrip,
                         testing::ValuesIn(roundTripCases()), roundTripName);

// More than 4096 distinct strings: the table fills and the encoder must clear it, many times.
// (The round trips of 200 rows with 1 to 4 colours do the same from 3-bit codes up.)
TEST(EncoderTest, NoiseFillsAndClearsTheTable) {
    for (const int size : {64, 181, 400}) {
        SCOPED_TRACE(size);
        const gif::EncoderInput in = gif::makeNoisyInput(size, size, 42);
        const QByteArray bytes = *gif::encodeGif(in);
        const std::unique_ptr<TGIFImage> outp = decode(bytes);
        const TGIFImage& out = *outp;
        expectFrameMatches(in, out, 0);
    }
}

// Codes are hand-packed: clear, 0, "00", 0, end. Reading the last 0 the decoder adds entry 7,
// reaches 8 and widens, so the end code must go out with 4 bits, not 3.
TEST(EncoderTest, EndCodeFollowsTheDecodersLastWidening) {
    const std::uint8_t zeros[4] = {0, 0, 0, 0};
    EXPECT_EQ(gif::compressLzw(zeros, 4, 2), QByteArray("\x84\x51", 2));
    // An empty stream is clear then end, 3 bits each.
    EXPECT_EQ(gif::compressLzw(zeros, 0, 2), QByteArray("\x2C", 1));
}

TEST(EncoderTest, MinimumCodeSizeFollowsTheTable) {
    const std::pair<int, int> table[] = {{1, 2},   {2, 2},   {4, 2},  {5, 3},  {8, 3},
                                         {9, 4},   {16, 4},  {17, 5}, {64, 6}, {65, 7},
                                         {128, 7}, {129, 8}, {256, 8}};
    for (const auto& [size, bits] : table)
        EXPECT_EQ(gif::minimumCodeSize(size), bits) << size;
}

TEST(EncoderTest, SeveralFramesWithLocalTablesAndTransparency) {
    std::mt19937 rng(3);
    gif::EncoderInput in;
    in.screenWidth = 40;
    in.screenHeight = 30;
    in.globalTable = rampTable(16);
    const struct {
        int left, top, width, height, localSize;
        bool interlaced;
        std::optional<int> transparent;
    } frames[] = {
        {0, 0, 40, 30, 0, false, std::nullopt},
        {5, 7, 10, 9, 4, true, 2},
        {39, 29, 1, 1, 2, false, 1},
        {0, 10, 40, 3, 256, true, std::nullopt},
    };
    for (const auto& d : frames) {
        gif::EncoderFrame f;
        f.left = d.left;
        f.top = d.top;
        f.width = d.width;
        f.height = d.height;
        f.interlaced = d.interlaced;
        f.transparentIndex = d.transparent;
        f.delay = 10;
        if (d.localSize) f.localTable = rampTable(d.localSize);
        f.indices =
            randomIndices(std::size_t(d.width) * d.height, d.localSize ? d.localSize : 16, rng);
        in.frames.push_back(f);
    }
    const std::unique_ptr<TGIFImage> outp = decode(*gif::encodeGif(in));
    const TGIFImage& out = *outp;
    ASSERT_EQ(out.imageCount(), 4);
    for (int i = 0; i < 4; ++i)
        expectFrameMatches(in, out, i);
    ASSERT_NE(out.image(1).graphicControlExtension(), nullptr);
    EXPECT_EQ(out.image(1).graphicControlExtension()->delay, 10);
}

QStringList commentStrings(const TGIFSubImage& frame) {
    QStringList strings;
    for (int i = 0; i < frame.extensionCount(); ++i) {
        if (const auto* c = dynamic_cast<const TGIFCommentExtension*>(&frame.extension(i))) {
            for (const QByteArray& s : c->rawStrings)
                strings << QString::fromLatin1(s);
        }
    }
    return strings;
}

TEST(EncoderTest, CommentsAreSplitIntoSubBlocksAndPlaced) {
    const QByteArray longComment = QByteArray(255, 'a') + QByteArray(45, 'b');
    const struct {
        gif::CommentPlacement placement;
        int frames;      // frames the decoder reports
        int commentedAt; // the frame holding the comments
    } cases[] = {
        {gif::CommentPlacement::BeforeFirstImage, 1, 0},
        {gif::CommentPlacement::AfterLastImage, 2, 1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(int(c.placement));
        gif::EncoderInput in = gif::makeChartLikeInput(20, 10);
        in.comments = {longComment, QByteArray("TMIN=40"), QByteArray()};
        in.commentPlacement = c.placement;
        const std::unique_ptr<TGIFImage> outp = decode(*gif::encodeGif(in));
        const TGIFImage& out = *outp;
        ASSERT_EQ(out.imageCount(), c.frames);
        const QStringList strings = commentStrings(out.image(c.commentedAt));
        ASSERT_EQ(strings.size(), 3);
        EXPECT_EQ(strings[0], QString(255, 'a'));
        EXPECT_EQ(strings[1], QString(45, 'b'));
        EXPECT_EQ(strings[2], QStringLiteral("TMIN=40"));
        if (c.commentedAt != 0) {
            EXPECT_TRUE(commentStrings(out.image(0)).isEmpty());
        }
    }
}

TEST(EncoderTest, ChartLikePictureKeepsItsMetadataAndPixels) {
    const gif::EncoderInput in = gif::makeChartLikeInput(300, 200);
    const QByteArray bytes = *gif::encodeGif(in);
    const std::unique_ptr<TGIFImage> outp = decode(bytes);
    const TGIFImage& out = *outp;
    expectFrameMatches(in, out, 0);
    EXPECT_TRUE(gif::commentText(out.image(0)).contains(QStringLiteral("TMAX=86.0")));
    // Smooth fields compress well; noise does not.
    EXPECT_LT(bytes.size(), 300 * 200 / 2);
}

// A chart made from data carries each pixel's temperature in an application extension; it comes
// back bit for bit (NaN and the sign of zero included), and damaged data is refused, not guessed.
TEST(EncoderTest, PixelTemperaturesTravelInsideTheChart) {
    geo::PixelTemperatures written;
    written.width = 300;
    written.height = 200;
    written.source = QStringLiteral("mur");
    std::mt19937 rng(7);
    for (int i = 0; i < 300 * 200; ++i)
        written.fahrenheit.push_back(i % 97 == 0 ? std::numeric_limits<float>::quiet_NaN()
                                                 : 40.0f + float(rng() % 100000) / 3000.0f);
    written.fahrenheit[5] = -0.0f;
    gif::EncoderInput in = gif::makeChartLikeInput(300, 200);
    in.applications.push_back({"THALWISE", "SST", geo::encodePixelTemperatures(written)});
    const std::unique_ptr<TGIFImage> out = decode(*gif::encodeGif(in));
    expectFrameMatches(in, *out, 0);
    const QByteArray data = gif::applicationData(out->image(0), "THALWISESST");
    EXPECT_TRUE(gif::applicationData(out->image(0), "NETSCAPE2.0").isNull());
    const std::optional<geo::PixelTemperatures> read = geo::decodePixelTemperatures(data);
    ASSERT_TRUE(read);
    EXPECT_EQ(read->source, written.source);
    ASSERT_EQ(read->fahrenheit.size(), written.fahrenheit.size());
    EXPECT_EQ(std::memcmp(read->fahrenheit.data(), written.fahrenheit.data(),
                          written.fahrenheit.size() * sizeof(float)),
              0);

    QByteArray huge = data;
    huge[6] = '\xFF'; // width 255 more than written: the unpacked size no longer agrees
    for (const QByteArray& bad : {data.left(data.size() - 1), data.left(20), huge, QByteArray()})
        EXPECT_FALSE(geo::decodePixelTemperatures(bad));
}

TEST(EncoderTest, LayoutOfHeaderTablesAndTrailer) {
    gif::EncoderInput in;
    in.screenWidth = 0x0102;
    in.screenHeight = 3;
    in.globalTable = {qRgb(1, 2, 3), qRgb(4, 5, 6), qRgb(7, 8, 9)};
    in.backgroundIndex = 2;
    in.comments = {QByteArray("hi")};
    gif::EncoderFrame f;
    f.width = 1;
    f.height = 1;
    f.indices = {2};
    in.frames.push_back(f);
    const QByteArray b = *gif::encodeGif(in);
    // Signature, screen 258 x 3, table of 3 padded to 4 entries (size bits 1), background 2.
    EXPECT_EQ(b.left(13), QByteArray("GIF89a\x02\x01\x03\x00\xF1\x02\x00", 13));
    EXPECT_EQ(b.mid(13, 12), QByteArray("\x01\x02\x03\x04\x05\x06\x07\x08\x09\0\0\0", 12));
    EXPECT_EQ(b.mid(25, 6), QByteArray("\x21\xFE\x02hi\0", 6));
    EXPECT_EQ(b.at(31), '\x2C');
    EXPECT_EQ(b.back(), '\x3B');

    in.writeTrailer = false;
    const QByteArray noTrailer = *gif::encodeGif(in);
    EXPECT_EQ(noTrailer, b.left(b.size() - 1));
    const std::unique_ptr<TGIFImage> outp = decode(noTrailer);
    const TGIFImage& out = *outp;
    EXPECT_EQ(out.image(0).pixel(0, 0), 2);
}

TEST(EncoderTest, RejectsInvalidInput) {
    const auto valid = [] {
        gif::EncoderInput in;
        in.screenWidth = 4;
        in.screenHeight = 4;
        in.globalTable = rampTable(4);
        gif::EncoderFrame f;
        f.width = 2;
        f.height = 2;
        f.indices = {0, 1, 2, 3};
        in.frames.push_back(f);
        return in;
    };
    using Edit = void (*)(gif::EncoderInput&);
    const struct {
        const char* what;
        Edit edit;
    } cases[] = {
        {"zero screen width", [](gif::EncoderInput& in) { in.screenWidth = 0; }},
        {"screen too high", [](gif::EncoderInput& in) { in.screenHeight = 65536; }},
        {"table of 257", [](gif::EncoderInput& in) { in.globalTable = rampTable(257); }},
        {"index beyond table", [](gif::EncoderInput& in) { in.frames[0].indices[3] = 4; }},
        {"index count", [](gif::EncoderInput& in) { in.frames[0].indices.push_back(0); }},
        {"zero frame height", [](gif::EncoderInput& in) { in.frames[0].height = 0; }},
        {"negative left", [](gif::EncoderInput& in) { in.frames[0].left = -1; }},
        {"transparent 256", [](gif::EncoderInput& in) { in.frames[0].transparentIndex = 256; }},
        {"local table of 300",
         [](gif::EncoderInput& in) { in.frames[0].localTable = rampTable(300); }},
    };
    ASSERT_TRUE(gif::encodeGif(valid()));
    for (const auto& c : cases) {
        gif::EncoderInput in = valid();
        c.edit(in);
        QString error;
        EXPECT_FALSE(gif::encodeGif(in, &error)) << c.what;
        EXPECT_FALSE(error.isEmpty()) << c.what;
    }
}

TEST(EncoderTest, WritesFilesAtomically) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString path = dir.filePath(QStringLiteral("chart.gif"));
    const gif::EncoderInput in = gif::makeChartLikeInput(32, 16);
    QString error;
    ASSERT_TRUE(gif::writeGifFile(path, in, &error)) << error.toStdString();
    TGIFImage image;
    image.LoadFromFile(path);
    expectFrameMatches(in, image, 0);

    // Invalid input leaves the existing file as it was.
    gif::EncoderInput bad = in;
    bad.frames[0].indices.pop_back();
    EXPECT_FALSE(gif::writeGifFile(path, bad, &error));
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll(), *gif::encodeGif(in));

    // A folder that does not exist cannot take the file.
    EXPECT_FALSE(gif::writeGifFile(dir.filePath(QStringLiteral("no/such/dir/x.gif")), in, &error));
    EXPECT_FALSE(error.isEmpty());
}

} // namespace
