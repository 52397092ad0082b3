// Plain text on the printer: pages break where the next line would not fit, lines too wide for
// the page print smaller rather than cut, and the document is ended whatever fails.

#include "printing/TextPrint.h"
#include "support/RecordingPrintJob.h"

#include <gtest/gtest.h>

namespace {

using Kind = RecordingPrintJob::Kind;
const platform::PrintFont Courier{QStringLiteral("Courier New"), 10, true};

QStringList numberedLines(int count) {
    QStringList lines;
    for (int i = 1; i <= count; ++i)
        lines.append(QStringLiteral("Waypoint: %1").arg(i));
    return lines;
}

TEST(TextPrint, NewPagesWhenTheNextLineNoLongerFits) {
    // The recording page's printable area is 6270 pixels high; a line is 100: 62 lines a page.
    RecordingPrintJob job;
    const QStringList lines = numberedLines(130);
    EXPECT_EQ(printing::printTextLines(job, "Waypoints", lines, Courier),
              printing::TextPrintResult::Printed);
    const RecordingPrintJob::Log& log = *job.log;
    EXPECT_EQ(log.pages(), 3);
    EXPECT_EQ(log.lines(1).size(), 62);
    EXPECT_EQ(log.lines(2).size(), 62);
    EXPECT_EQ(log.lines(3), lines.mid(124));
    EXPECT_EQ(log.lines(), lines);
    const QList<RecordingPrintJob::Call> drawn = log.of(Kind::DrawText);
    EXPECT_EQ(drawn[61].topLeft, QPoint(0, 6100)) << "the last line ends at 6200, inside 6270";
    EXPECT_EQ(drawn[62].topLeft, QPoint(0, 0)) << "a new page starts at the top";
    EXPECT_EQ(log.of(Kind::Begin).first().orientation, platform::PageOrientation::Portrait);
    EXPECT_TRUE(log.ended());

    // Exactly a page: no empty page after it.
    RecordingPrintJob full;
    printing::printTextLines(full, "Waypoints", numberedLines(62), Courier);
    EXPECT_EQ(full.log->pages(), 1);
    EXPECT_TRUE(full.log->of(Kind::NewPage).isEmpty());
}

TEST(TextPrint, AListTooWideForThePagePrintsSmallerNotCut) {
    // 4880 pixels wide, 50 a character at 10 points: 97 characters fit.
    RecordingPrintJob fits;
    printing::printTextLines(fits, "Waypoints", {QString(97, 'x'), "short"}, Courier);
    EXPECT_EQ(fits.log->of(Kind::DrawText).first().font.pointSize, 10);

    RecordingPrintJob wide;
    const QStringList lines = {"short", QString(110, 'x')};
    printing::printTextLines(wide, "Waypoints", lines, Courier);
    const QList<RecordingPrintJob::Call> drawn = wide.log->of(Kind::DrawText);
    ASSERT_EQ(drawn.size(), 2);
    // 110 characters at 9 points are 4950 pixels, at 8 points 4400: every line at 8 points,
    // 80 pixels apart.
    EXPECT_EQ(drawn[0].font.pointSize, 8);
    EXPECT_EQ(drawn[1].font.pointSize, 8);
    EXPECT_EQ(drawn[1].topLeft.y(), 80);
    EXPECT_EQ(drawn[0].font.family, "Courier New");
    EXPECT_TRUE(drawn[0].font.fixedPitchFallback);

    // Never below the smallest size, whatever the width.
    RecordingPrintJob huge;
    printing::printTextLines(huge, "Waypoints", {QString(1000, 'x')}, Courier);
    EXPECT_EQ(huge.log->of(Kind::DrawText).first().font.pointSize, printing::MinimumTextPointSize);
}

TEST(TextPrint, TheDocumentIsEndedWhateverFails) {
    RecordingPrintJob::Script failing;
    failing.failDrawAt = 3;
    RecordingPrintJob job(failing);
    EXPECT_EQ(printing::printTextLines(job, "Waypoints", numberedLines(10), Courier),
              printing::TextPrintResult::Incomplete);
    EXPECT_EQ(job.log->of(Kind::DrawText).size(), 3) << "the listing stops at the failed line";
    EXPECT_TRUE(job.log->ended());

    RecordingPrintJob::Script closed;
    closed.beginResult = false;
    RecordingPrintJob refused(closed);
    EXPECT_EQ(printing::printTextLines(refused, "Waypoints", numberedLines(3), Courier),
              printing::TextPrintResult::NotStarted);
    EXPECT_TRUE(refused.log->of(Kind::DrawText).isEmpty());
}

} // namespace
