// The caption under a printed chart: where it goes on the page, what it says, and the page a
// recording job receives with it.

#include "printing/ChartCaption.h"
#include "printing/BitmapPage.h"
#include "support/RecordingPrintJob.h"

#include <gtest/gtest.h>

namespace {

using Kind = RecordingPrintJob::Kind;
using printing::placeWithCaption;

TEST(ChartCaption, PlacementTakesTheCaptionFromThePagesBottom) {
    struct Case {
        QSize image, area;
        int caption;
        QRect picture, captionRect;
    };
    const QList<Case> cases = {
        // No caption: the picture fits as it always has.
        {{1024, 1024}, {6240, 4740}, 0, {750, 0, 4740, 4740}, {}},
        // A square on a landscape page: shorter by the caption, still centred across; the
        // caption right under it, as wide as it.
        {{1024, 1024}, {6240, 4740}, 350, {925, 0, 4390, 4390}, {925, 4390, 4390, 350}},
        // A wide selection is limited by the width: centred down in what the caption leaves.
        {{600, 300}, {4740, 6240}, 350, {0, 1760, 4740, 2370}, {0, 4130, 4740, 350}},
        // A tall picture on a narrow strip: the caption two thirds of the area, centred on it.
        {{100, 1000}, {900, 3000}, 300, {315, 0, 270, 2700}, {150, 2700, 600, 300}},
        // A caption that would leave the picture less than half the page is left out.
        {{1024, 1024}, {1000, 1000}, 501, {0, 0, 1000, 1000}, {}},
        {{1024, 1024}, {1000, 1000}, 500, {250, 0, 500, 500}, {167, 500, 666, 500}},
    };
    for (const Case& c : cases) {
        const printing::CaptionedPlacement placed = placeWithCaption(c.image, c.area, c.caption);
        EXPECT_EQ(placed.picture, c.picture) << c.image.width() << "x" << c.image.height();
        EXPECT_EQ(placed.caption, c.captionRect) << c.image.width() << "x" << c.image.height();
    }
}

TEST(ChartCaption, SaysTheAreaTheRangeAndTheCornersOfThePrintedPart) {
    printing::CaptionFacts facts;
    facts.areaName = QStringLiteral("North-east area 1");
    facts.ageText = QStringLiteral("chart of 2026-12-01 12:00, 3 days old");
    facts.scaleMin = 68; // reversed: the bar still runs from the lower end
    facts.scaleMax = 50;
    facts.celsius = true;
    facts.scaleBitmap = QImage(30, 256, QImage::Format_RGB32);
    // Colours in rows 0 to 250, the neutral greys, white and black below them as on the
    // window's scale.
    facts.scaleBitmap.fill(qRgb(100, 100, 100));
    for (int row = 0; row <= 250; ++row)
        facts.scaleBitmap.setPixel(15, row, qRgb(row, 0, 255 - row));
    facts.calibration = geo::Calibration::forArea(RecogniseArea(QStringLiteral("ne01")));
    // The calibration's own pixels: (21, 174) is 43°N 71°W, (734, 891) is 41°30'N 69°W.
    facts.picture = QRect(QPoint(21, 174), QPoint(734, 891));
    const printing::ChartCaption caption = printing::chartCaption(facts);
    EXPECT_EQ(caption.title,
              QStringLiteral("North-east area 1, chart of 2026-12-01 12:00, 3 days old"));
    EXPECT_EQ(caption.lowest, QStringLiteral("10.0°C"));
    EXPECT_EQ(caption.highest, QStringLiteral("20.0°C"));
    ASSERT_EQ(caption.colourBar.size(), QSize(251, 1));
    EXPECT_EQ(caption.colourBar.pixel(0, 0), facts.scaleBitmap.pixel(15, 0));
    EXPECT_EQ(caption.colourBar.pixel(250, 0), facts.scaleBitmap.pixel(15, 250));
    EXPECT_EQ(
        QStringList(std::begin(caption.corners), std::end(caption.corners)),
        QStringList({"43°00'N 71°00'W", "43°00'N 69°00'W", "41°30'N 71°00'W", "41°30'N 69°00'W"}));

    // Without an area: no corners, the title is the age alone.
    facts.areaName.clear();
    facts.calibration = geo::Calibration();
    const printing::ChartCaption bare = printing::chartCaption(facts);
    EXPECT_EQ(bare.title, facts.ageText);
    EXPECT_TRUE(bare.corners[0].isEmpty());
}

TEST(ChartCaption, ThePrintedPageCarriesItUnderThePicture) {
    printing::PageOptions options;
    options.caption = printing::ChartCaption{QStringLiteral("Area"),
                                             QStringLiteral("50.0°F"),
                                             QStringLiteral("68.0°F"),
                                             QImage(256, 1, QImage::Format_RGB32),
                                             {"TL", "TR", "BL", "BR"}};
    options.wholePicture = true;
    RecordingPrintJob job;
    const printing::PageJobResult result =
        PrintBitmapPage(job, QImage(1024, 1024, QImage::Format_RGB32), {}, {}, options);
    ASSERT_EQ(result.status, printing::PageJobStatus::Printed);
    // The recording job's 9-point line is 90 pixels: 45 + 3 x 90 of caption.
    const QRect area = result.placement.page.area;
    const printing::CaptionedPlacement placed =
        placeWithCaption({1024, 1024}, area.size(), 45 + 3 * 90);
    EXPECT_EQ(result.placement.image, placed.picture);
    const QRect caption = placed.caption.translated(area.topLeft());
    const RecordingPrintJob::Log& log = *job.log;
    EXPECT_EQ(log.lines(), QStringList({"TL", "TR", "BL", "BR", "Area", "68.0°F", "50.0°F"}));
    const QList<RecordingPrintJob::Call> texts = log.of(Kind::DrawText);
    for (const RecordingPrintJob::Call& text : texts)
        EXPECT_TRUE(caption.contains(text.topLeft)) << text.text.toStdString();
    // The picture once, then the colour bar inside the caption between the range's ends.
    const QList<RecordingPrintJob::Call> images = log.of(Kind::DrawImage);
    ASSERT_EQ(images.size(), 2);
    const QRect bar = images[1].target;
    EXPECT_TRUE(caption.contains(bar));
    EXPECT_TRUE(bar.left() > texts[6].topLeft.x() && bar.right() < texts[5].topLeft.x());
}

} // namespace
