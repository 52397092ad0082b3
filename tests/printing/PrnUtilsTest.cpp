// The engine on the recording print job: the even margin, the fit, bands no larger than the
// screen (or 65503 bytes), nearest-neighbour scaling by truncation across band edges, progress,
// the fallback and the result codes.

#include "BmpBytes.h"
#include "printing/PrnDib.h"

#include <gtest/gtest.h>

namespace {

using namespace bmp;
using printing::DibPrintResult;
using Kind = RecordingPrintJob::Kind;
using Calls = QList<RecordingPrintJob::Call>;

// An 8-bit picture whose pixel (x, y) is index (x + 16 y) mod 256 of a table of greys.
struct Picture {
    QByteArray header, pixels;
};
Picture indexed(int width, int height) {
    QList<QRgb> grey;
    for (int i = 0; i < 256; ++i)
        grey.append(qRgb(i, i, 255 - i));
    const int rowBytes = (width + 3) / 4 * 4;
    QByteArray pixels(rowBytes * height, '\0');
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            pixels[(height - 1 - y) * rowBytes + x] = char((x + 16 * y) & 255);
    return {info(width, height, 8) + quads(grey), pixels};
}
QRgb colourAt(int x, int y) {
    const int i = (x + 16 * y) & 255;
    return qRgb(i, i, 255 - i);
}

RecordingPrintJob::Script screen(QSize size, bool largeBitmaps = true) {
    RecordingPrintJob::Script script;
    script.metrics.screen = size;
    script.metrics.largeBitmaps = largeBitmaps;
    return script;
}
// Prints p's source into target on a job of that script; the bands drawn.
DibPrintResult print(const Picture& p, QRect target, QRect source, QRect clip,
                     RecordingPrintJob::Script script, Calls* drawn = nullptr,
                     const printing::ProgressCallback& progress = {}) {
    RecordingPrintJob job(script);
    job.begin(QStringLiteral("test"), platform::PageOrientation::Portrait);
    const DibPrintResult result =
        PrintDibRect(job, target, source, p.header, p.pixels, clip, progress);
    if (drawn) *drawn = job.log->of(Kind::DrawImage);
    return result;
}

TEST(PageArea, TheLargestUnprintableEdgeOnAllFourSides) {
    // Edges 100 left, 150 top, 120 right and 180 bottom.
    platform::PageMetrics page = RecordingPrintJob::Script().metrics;
    EXPECT_EQ(printing::measurePage(page)->area, QRect(80, 30, 4740, 6240));
    page.sheet = QSize(0, 0); // the device does not know: the printable area, here 100, 150
    EXPECT_EQ(printing::measurePage(page)->area, QRect(50, 0, 4580, 5970));
    page.sheet = QSize(300, 6600);
    EXPECT_FALSE(printing::measurePage(page)) << "margins that eat the sheet";
}

TEST(Fit, AsLargeAsTheAreaAllowsAndCentredAcross) {
    struct Case {
        QSize image, area;
        QRect expected;
    };
    const QList<Case> cases = {
        {{600, 400}, {4800, 6300}, {0, 1550, 4800, 3200}},
        {{400, 600}, {4800, 6300}, {300, 0, 4200, 6300}},
        {{500, 500}, {4000, 4000}, {0, 0, 4000, 4000}},
        {{7, 3}, {11, 11}, {0, 3, 11, 4}}, // 33 / 7 truncated; halves 5 - 2
        {{3, 7}, {10, 10}, {3, 0, 4, 10}},
        {{7, 7}, {1000, 2000}, {0, 500, 1000, 1000}}, // a rounded 1000 / 7 would give 999
        // A4 landscape at 1200 dpi: 45 x 9583 / 35 is 12321 exactly (a rounded factor: 12320).
        {{45, 35}, {13694, 9583}, {687, 0, 12321, 9583}},
        {{0, 7}, {1000, 2000}, {}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(printing::fitImage(c.image, c.area), c.expected) << c.image.width();
}

TEST(Bands, NoLargerThanTheScreenOr65503Bytes) {
    EXPECT_EQ(printing::bandSize(screen({1024, 768}, false).metrics, 24), QSize(1024, 21));
    EXPECT_EQ(printing::bandSize(screen({1024, 768}, false).metrics, 8), QSize(1024, 63));
    EXPECT_EQ(printing::bandSize(screen({1000, 768}, false).metrics, 1), QSize(1000, 511));
    EXPECT_EQ(printing::bandSize(screen({1024, 768}).metrics, 24), QSize(1024, 768));
    EXPECT_TRUE(printing::bandSize(screen({21846, 768}, false).metrics, 24).isEmpty());
    const Picture p = indexed(30, 20);
    Calls drawn;
    const QRect wide(0, 0, 1500, 200);
    ASSERT_EQ(print(p, wide, {0, 0, 30, 20}, wide, screen({1024, 768}, false), &drawn),
              DibPrintResult::Printed);
    ASSERT_EQ(drawn.size(), 8); // two columns, rows of 63, 63, 63 and 11
    for (const RecordingPrintJob::Call& band : drawn)
        EXPECT_LE(band.image.sizeInBytes(), 65503);
    EXPECT_EQ(print(p, wide, {0, 0, 30, 20}, wide, screen({70000, 768}, false)),
              DibPrintResult::BandFailed);
}

// Device pixel (x, y) takes source (trunc((x - left) * sw / tw), trunc((y - top) * sh / th)),
// counted from the target's corner also in bands that start inside it or past a clip.
TEST(Scaling, NearestNeighbourByTruncationAcrossBands) {
    struct Case {
        QRect target, source, clip;
        QSize screen;
    };
    const QList<Case> cases = {
        {{10, 20, 7, 5}, {0, 0, 3, 2}, {0, 0, 99, 99}, {3, 2}},
        {{10, 20, 7, 5}, {1, 0, 2, 2}, {13, 22, 99, 99}, {2, 2}}, // inner source, clipped
        {{0, 0, 14, 3}, {0, 0, 118, 9}, {0, 0, 99, 99}, {5, 2}},  // 7 x 118 / 14 is 59 exactly
    };
    const Picture p = indexed(118, 9);
    for (const Case& c : cases) {
        Calls drawn;
        ASSERT_EQ(print(p, c.target, c.source, c.clip, screen(c.screen), &drawn),
                  DibPrintResult::Printed);
        const QRect visible = c.target & c.clip;
        RecordingPrintJob::Log log{drawn};
        const QImage page = assembledBands(log, visible);
        for (int y = visible.top(); y <= visible.bottom(); ++y)
            for (int x = visible.left(); x <= visible.right(); ++x)
                ASSERT_EQ(
                    page.pixel(x - visible.x(), y - visible.y()),
                    colourAt(
                        c.source.x() + (x - c.target.x()) * c.source.width() / c.target.width(),
                        c.source.y() + (y - c.target.y()) * c.source.height() / c.target.height()))
                    << x << "," << y;
        for (const RecordingPrintJob::Call& band : drawn)
            EXPECT_TRUE(visible.contains(band.target) &&
                        QRect(band.target.topLeft(), c.screen).contains(band.target));
    }
    // By hand: 3 columns over 7 are 0 0 0 1 1 2 2.
    Calls drawn;
    print(p, {0, 0, 7, 1}, {0, 0, 3, 1}, {0, 0, 7, 1}, {}, &drawn);
    for (int x = 0; x < 7; ++x)
        EXPECT_EQ(drawn.value(0).image.pixel(x, 0), colourAt(QList{0, 0, 0, 1, 1, 2, 2}[x], 0));
}

TEST(PrintDibRect, ResultCodes) {
    const Picture p = indexed(4, 3);
    const QRect all(0, 0, 4, 3), page(0, 0, 100, 100);
    struct Case {
        QRect target, source;
        Picture picture;
        DibPrintResult expected;
    };
    const QList<Case> cases = {
        {page, all, p, DibPrintResult::Printed},
        {{200, 0, 10, 10}, all, p, DibPrintResult::NothingVisible},
        {page, all, {p.header, {}}, DibPrintResult::InvalidArguments},
        {page, {1, 0, 4, 3}, p, DibPrintResult::InvalidArguments},
        {{0, 0, 10, 0}, all, p, DibPrintResult::InvalidArguments},
        {page, all, {info(4, 3, 7), p.pixels}, DibPrintResult::InvalidArguments},
        {page, all, {p.header, p.pixels.left(11)}, DibPrintResult::InvalidArguments},
        {page, all, {p.header.left(100), p.pixels}, DibPrintResult::UnreadableImage},
        {page, all, {core(4, 3, 8) + QByteArray(30, 0), p.pixels}, DibPrintResult::UnreadableImage},
    };
    for (const Case& c : cases) {
        Calls drawn;
        EXPECT_EQ(print(c.picture, c.target, c.source, page, {}, &drawn), c.expected)
            << int(&c - cases.data());
        EXPECT_EQ(drawn.isEmpty(), c.expected != DibPrintResult::Printed);
    }
}

// Progress after band rows 0, 64, 128, ... and once more after each band sent.
TEST(Progress, AfterEvery64RowsAndEachBandAndItCanStop) {
    const Picture p = indexed(10, 10);
    const QRect target(0, 0, 100, 200);
    using Reports = QList<std::pair<int, int>>;
    const auto run = [&](QSize size, int stopAt, Reports& reports, Calls& drawn) {
        return print(p, target, {0, 0, 10, 10}, target, screen(size), &drawn,
                     [&](int band, int bands) {
                         reports.append({band, bands});
                         return int(reports.size()) != stopAt;
                     });
    };
    Reports one, two, stopped, afterBand;
    Calls drawn;
    EXPECT_EQ(run({1024, 768}, 0, one, drawn), DibPrintResult::Printed);
    EXPECT_EQ(one, Reports(5, {1, 1})); // rows 0, 64, 128, 192, then the band
    EXPECT_EQ(run({1024, 100}, 0, two, drawn), DibPrintResult::Printed);
    EXPECT_EQ(two, (Reports{{1, 2}, {1, 2}, {1, 2}, {2, 2}, {2, 2}, {2, 2}}));
    EXPECT_EQ(run({1024, 100}, 2, stopped, drawn), DibPrintResult::BandFailed);
    EXPECT_TRUE(drawn.isEmpty()) << "stopped at row 64, before the first band was sent";
    EXPECT_EQ(run({1024, 100}, 3, afterBand, drawn), DibPrintResult::BandFailed);
    EXPECT_EQ(drawn.size(), 1);
}

TEST(Fallback, ARefusedBandGoesAgainInTheDeviceFormatAndSoDoTheRest) {
    const QRect target(0, 0, 30, 30);
    RecordingPrintJob::Script script = screen({30, 10}); // three bands
    script.failDrawAt = 2;
    Calls drawn;
    ASSERT_EQ(print(indexed(10, 10), target, {0, 0, 10, 10}, target, script, &drawn),
              DibPrintResult::Printed);
    ASSERT_EQ(drawn.size(), 4);
    EXPECT_EQ(drawn[0].image.format(), QImage::Format_Indexed8);
    EXPECT_FALSE(drawn[1].result);
    EXPECT_EQ(drawn[2].target, drawn[1].target);
    EXPECT_EQ(drawn[2].image, drawn[1].image.convertToFormat(QImage::Format_RGB32));
    EXPECT_EQ(drawn[3].image.format(), QImage::Format_RGB32) << "no second try of the direct way";
    script.failDraws = 2;
    EXPECT_EQ(print(indexed(10, 10), target, {0, 0, 10, 10}, target, script, &drawn),
              DibPrintResult::BandFailed);
    EXPECT_EQ(drawn.size(), 3) << "both ways failed at band 2: the print stops there";
}

TEST(PrintDibOnPage, FitsAndCentresInTheEvenlyMarginedArea) {
    // Area 4740 x 6240 at 80, 30: a 600 x 400 picture is 4740 x 3160 at y = 3120 - 1580.
    const Picture p = indexed(600, 400);
    RecordingPrintJob job;
    job.begin(QStringLiteral("test"), platform::PageOrientation::Portrait);
    printing::PagePlacement placement;
    ASSERT_EQ(PrintDibOnPage(job, p.header, p.pixels, {}, &placement), DibPrintResult::Printed);
    EXPECT_EQ(placement.image, QRect(0, 1540, 4740, 3160));
    const Calls drawn = job.log->of(Kind::DrawImage);
    ASSERT_EQ(drawn.size(), 25);
    EXPECT_EQ(placement.bands, 25);
    EXPECT_EQ(drawn.first().target, QRect(80, 1570, 1024, 768));
    EXPECT_EQ(drawn.last().target, QRect(80 + 4096, 1570 + 3072, 644, 88));
    qint64 pixels = 0;
    QRect covered;
    for (const RecordingPrintJob::Call& band : drawn) {
        covered |= band.target;
        pixels += qint64(band.target.width()) * band.target.height();
    }
    EXPECT_EQ(covered, QRect(80, 1570, 4740, 3160));
    EXPECT_EQ(pixels, qint64(4740) * 3160) << "bands do not overlap";
    EXPECT_EQ(drawn.last().image.pixel(643, 87), colourAt(599, 399));
    EXPECT_EQ(PrintDibOnPage(job, info(600, 400, 3), p.pixels), DibPrintResult::InvalidArguments);
}

} // namespace
