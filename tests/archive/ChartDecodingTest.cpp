// Decoding a flip's charts on several threads gives what one after another gives, in the order
// asked; a damaged chart ends the list there with its message; a cancel keeps what was done.

#include "archive/ChartDecoding.h"
#include "gif/GIFImage.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

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
