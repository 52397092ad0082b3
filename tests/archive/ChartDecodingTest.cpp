// Decoding a flip's charts on several threads gives what one after another gives, in the order
// asked; a damaged chart ends the list there with its message; a cancel keeps what was done.

#include "archive/ChartDecoding.h"
#include "archive/ChartIntake.h"
#include "geo/ChartMetadata.h"
#include "gif/GIFEncoder.h"
#include "gif/GIFImage.h"
#include "platform/LocalFileSystem.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <algorithm>

namespace {

QStringList samples() {
    const QDir dir(QStringLiteral(THALWISE_SOURCE_DIR "/resources/samples/archive"));
    QStringList paths;
    for (const QString& name : dir.entryList({"*.gif"}, QDir::Files, QDir::Name))
        paths.append(dir.filePath(name));
    return paths;
}

TEST(ChartDecoding, ManyThreadsGiveTheSequentialResultInOrder) {
    const QStringList paths = samples();
    ASSERT_GE(paths.size(), 5);
    const archive::ChartDecoding decoded = archive::decodeCharts(paths, {}, 3);
    EXPECT_FALSE(decoded.failedPath);
    ASSERT_EQ(decoded.charts.size(), paths.size());
    for (qsizetype i = 0; i < paths.size(); ++i) {
        TGIFImage one;
        one.LoadFromFile(paths[i]);
        EXPECT_EQ(decoded.charts[i].path, paths[i]);
        EXPECT_EQ(decoded.charts[i].bitmap, one.bitmap()) << i;
    }
}

TEST(ChartDecoding, ADamagedChartEndsTheListThereAndACancelKeepsAnUnbrokenStart) {
    QTemporaryDir dir;
    QStringList paths = samples().mid(0, 4);
    const QString damaged = dir.filePath("2026-11-26-12ne01.gif");
    QFile file(damaged);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("GIF89a");
    file.close();
    paths.insert(2, damaged);
    const archive::ChartDecoding decoded = archive::decodeCharts(paths, {}, 4);
    ASSERT_TRUE(decoded.failedPath);
    EXPECT_EQ(*decoded.failedPath, damaged);
    EXPECT_FALSE(decoded.failure.isEmpty());
    ASSERT_EQ(decoded.charts.size(), 2);
    EXPECT_EQ(decoded.charts[1].path, paths[1]);

    int calls = 0;
    const archive::ChartDecoding cancelled = archive::decodeCharts(
        samples(),
        [&calls](int done, int total) {
            ++calls;
            EXPECT_LE(done, total);
            return false;
        },
        1);
    EXPECT_TRUE(cancelled.cancelled);
    EXPECT_EQ(calls, 1);
    // One thread stops after the chart it was decoding: the first, and nothing after a gap.
    EXPECT_GE(cancelled.charts.size(), 1);
    EXPECT_LT(cancelled.charts.size(), samples().size());
    EXPECT_EQ(cancelled.charts[0].path, samples()[0]);
}

} // namespace

// A download that stopped part-way, at any byte of a sub-block or right at its end (where the
// decoder says nothing), leaves pixels unset; the whole chart does not.
TEST(IncompleteChart, EveryCutOfTheImageDataLeavesPixelsUnset) {
    QFile sample(samples().value(0));
    ASSERT_TRUE(sample.open(QIODevice::ReadOnly));
    const QByteArray whole = sample.readAll();
    QTemporaryDir dir;
    for (qsizetype length = 50 * 1024; length <= 50 * 1024 + 256; ++length) {
        const QByteArray bytes = length > 50 * 1024 + 255 ? whole : whole.left(length);
        QFile file(dir.filePath("area-ne01.gif"));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(bytes);
        file.close();
        TGIFImage chart;
        const QStringList warnings = archive::loadChartFile(chart, file.fileName());
        EXPECT_EQ(archive::leavesPixelsUnset(chart, warnings), bytes != whole) << length;
    }
}

namespace {

// What opening a download does with it, as the window and "archive intake" open it.
enum class Opened { Nothing, InPlaceIncomplete, Filed };

Opened openDownload(const QByteArray& bytes, const QString& download, const QString& archive) {
    // Made anew each time: truncating a file makes the file system flush it on closing.
    QFile::remove(download);
    QFile file(download);
    EXPECT_TRUE(file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size());
    file.close();
    TGIFImage chart;
    QStringList warnings;
    try {
        warnings = archive::loadChartFile(chart, download);
    } catch (const GIFException&) {
        return Opened::Nothing;
    }
    EXPECT_FALSE(chart.bitmap().isNull());
    const bool whole = !archive::leavesPixelsUnset(chart, warnings);
    platform::LocalFileSystem disk;
    const std::optional<QString> shown = archive::archiveIntake(
        disk, download, geo::readChartMetadata(gif::firstFrameCommentTexts(chart)).timestamp,
        archive, whole ? archive::ChartPicture::Whole : archive::ChartPicture::EndsEarly);
    EXPECT_TRUE(shown && whole == (*shown != download));
    return whole ? Opened::Filed : Opened::InPlaceIncomplete;
}

} // namespace

// A download cut at any byte, the headers included: filed only with its whole picture; cut
// before the picture it opens nothing; cut in the second frame (its header included), whose
// picture is whole, it opens in place with the word that it is incomplete.
TEST(IncompleteChart, EveryCutOfADownloadIsFiledOnlyWithItsWholePicture) {
    gif::EncoderInput input;
    input.screenWidth = 40;
    input.screenHeight = 30;
    for (int i = 0; i < 256; ++i)
        input.globalTable.append(qRgb(i, 255 - i, (i * 7) & 0xFF));
    input.comments = {"TIMESTAMP=2026-11-24-12ne01\r\nTMIN=38\r\nTMAX=62\r\nVARIATION=-15.0"};
    gif::EncoderFrame first{0, 0, 40, 30};
    for (int i = 0; i < 40 * 30; ++i)
        first.indices.push_back(std::uint8_t((i * 37 + i / 40) % 251));
    gif::EncoderFrame second = first;
    second.delay = 50; // a graphic control extension heads the second frame
    second.localTable = {qRgb(0, 0, 0), qRgb(255, 255, 255)};
    std::fill(second.indices.begin(), second.indices.end(), 1);
    input.frames = {first};
    input.writeTrailer = false;
    const qsizetype secondFrame = gif::encodeGif(input)->size(); // where the second one starts
    input.frames = {first, second};
    input.writeTrailer = true;
    const QByteArray chart = *gif::encodeGif(input);
    const qsizetype size = chart.size();
    // Header, table, comment, image descriptor and code size: then the picture's data.
    const qsizetype pictureData = 13 + 3 * 256 + 2 + 1 + input.comments[0].size() + 1 + 10 + 1;

    QTemporaryDir dir;
    const QString download = dir.filePath("area-ne01.gif");
    const QString archive = dir.filePath("Chart Archive");
    ASSERT_TRUE(QDir().mkpath(archive));
    for (qsizetype length = 0; length <= size; ++length) {
        // Whole where only a block's terminator or the trailer is missing.
        const bool whole = length == secondFrame - 1 || length == secondFrame || length >= size - 2;
        EXPECT_EQ(openDownload(chart.left(length), download, archive),
                  length < pictureData ? Opened::Nothing
                  : whole              ? Opened::Filed
                                       : Opened::InPlaceIncomplete)
            << length;
    }
    // The ne01 sample through its headers: after its comment (847 bytes) come the image
    // descriptor and the code size, and only then is there a picture, never a whole one.
    QFile sample(QStringLiteral(THALWISE_SOURCE_DIR "/resources/samples/area-ne01.gif"));
    ASSERT_TRUE(sample.open(QIODevice::ReadOnly));
    const QByteArray ne01 = sample.read(1024);
    for (qsizetype length = 0; length <= 1024; ++length)
        EXPECT_EQ(openDownload(ne01.left(length), download, archive),
                  length < 847 + 10 + 1 ? Opened::Nothing : Opened::InPlaceIncomplete)
            << length;
}
