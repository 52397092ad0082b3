// The page job: orientation from the bitmap's shape, one titled document, the selection cut
// from the bitmap, progress in percent, and what is told when nothing or not all is printed.

#include "printing/BitmapPage.h"
#include "BmpBytes.h"
#include "printing/PrnDib.h"

#include <gtest/gtest.h>

namespace {

using Kind = RecordingPrintJob::Kind;
using platform::PageOrientation;
using printing::PageJobStatus;

// Red on the left half, blue on the right.
QImage halves(int width, int height) {
    QImage picture(width, height, QImage::Format_RGB32);
    picture.fill(qRgb(0, 0, 255));
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width / 2; ++x)
            picture.setPixel(x, y, qRgb(255, 0, 0));
    return picture;
}

TEST(PrintBitmapPage, TurnsThePageToTheBitmapsShapeAndFitsIt) {
    struct Case {
        QSize bitmap;
        std::optional<QRect> selection;
        PageOrientation orientation;
        QRect image; // in the area: 6240 x 4740 landscape, 4740 x 6240 portrait
    };
    const QList<Case> cases = {
        {{600, 400}, {}, PageOrientation::Landscape, {0, 290, 6240, 4160}},
        {{400, 600}, {}, PageOrientation::Portrait, {290, 0, 4160, 6240}},
        {{500, 500}, {}, PageOrientation::Landscape, {750, 0, 4740, 4740}},
        // Columns 300 up to 600, all blue; and a selection cut to the bitmap: 100 x 100.
        {{600, 400}, QRect(300, 0, 300, 400), PageOrientation::Portrait, {30, 0, 4680, 6240}},
        {{600, 400}, QRect(500, 300, 300, 300), PageOrientation::Landscape, {750, 0, 4740, 4740}},
    };
    for (const Case& c : cases) {
        RecordingPrintJob job;
        const printing::PageJobResult result =
            PrintBitmapPage(job, halves(c.bitmap.width(), c.bitmap.height()), c.selection);
        EXPECT_EQ(result.status, PageJobStatus::Printed);
        EXPECT_EQ(result.orientation, c.orientation);
        EXPECT_EQ(result.placement.image, c.image);
        const RecordingPrintJob::Log& log = *job.log;
        ASSERT_EQ(log.calls.first().kind, Kind::Begin);
        EXPECT_EQ(log.calls.first().text, QStringLiteral("Pelagon image"));
        EXPECT_EQ(log.calls.first().orientation, c.orientation);
        EXPECT_EQ(log.calls.last().kind, Kind::End);
        EXPECT_EQ(log.pages(), 1);
        EXPECT_EQ(log.of(Kind::DrawImage).size(), result.placement.bands);
        if (c.selection) {
            for (const RecordingPrintJob::Call& band : log.of(Kind::DrawImage))
                EXPECT_EQ(band.image.pixel(0, 0), qRgb(0, 0, 255));
        }
    }
}

TEST(PrintBitmapPage, ProgressInPercentOfTheBands) {
    RecordingPrintJob job(RecordingPrintJob::Script{});
    job.script.metrics.screen = QSize(8000, 2400); // a 6240 x 4160 image in two bands
    QList<int> shown;
    PrintBitmapPage(job, halves(600, 400), std::nullopt, [&](int percent) {
        if (shown.isEmpty() || shown.last() != percent) shown.append(percent);
    });
    EXPECT_EQ(shown, (QList<int>{50, 100}));
}

TEST(PrintBitmapPage, WhatIsToldWhenNothingOrNotAllIsPrinted) {
    struct Case {
        QImage bitmap;
        std::optional<QRect> selection;
        bool opens;
        int failDraws;
        PageJobStatus status;
    };
    const QList<Case> cases = {
        {QImage(), {}, true, 0, PageJobStatus::NothingToPrint},
        {halves(600, 400), QRect(225, 0, 0, 400), true, 0, PageJobStatus::NothingToPrint},
        {halves(60, 40), QRect(70, 0, 10, 10), true, 0, PageJobStatus::NothingToPrint},
        {QImage(printing::MaxDibSide + 1, 1, QImage::Format_RGB32),
         {},
         true,
         0,
         PageJobStatus::BitmapLoadError},
        // A pixel, and 2 x 3 pixels: 4 and 24 bytes of rows, under the loader's 32.
        {halves(600, 400), QRect(100, 100, 1, 1), true, 0, PageJobStatus::BitmapLoadError},
        {halves(600, 400), QRect(100, 100, 2, 3), true, 0, PageJobStatus::BitmapLoadError},
        {halves(60, 40), {}, false, 0, PageJobStatus::NotStarted},
        {halves(60, 40), {}, true, 1000, PageJobStatus::Incomplete},
    };
    for (const Case& c : cases) {
        RecordingPrintJob::Script script;
        script.beginResult = c.opens;
        script.failDrawAt = c.failDraws > 0 ? 1 : 0;
        script.failDraws = c.failDraws;
        RecordingPrintJob job(script);
        const printing::PageJobResult result = PrintBitmapPage(job, c.bitmap, c.selection);
        EXPECT_EQ(result.status, c.status);
        EXPECT_EQ(result.message, c.status == PageJobStatus::BitmapLoadError
                                      ? QStringLiteral("Bitmap load error while printing")
                                      : QString());
        EXPECT_EQ(job.log->ended(), c.status == PageJobStatus::Incomplete) << "begun, ended";
        EXPECT_EQ(job.log->calls.isEmpty(), c.status == PageJobStatus::NothingToPrint ||
                                                c.status == PageJobStatus::BitmapLoadError);
    }
}

} // namespace
