#pragma once
// The caption under a printed chart, so that the paper can be read at sea without the program:
// the area, the chart's date and age, the temperature range with a small colour bar, and the
// position of the picture's corners. What it says, where it goes on the page and how it is drawn
// on the print-job seam.

#include "geo/AreaStuff.h"
#include "platform/PrintJob.h"

#include <QImage>
#include <QRect>
#include <QString>

#include <array>

namespace printing {

struct ChartCaption {
    QString title;           // "North-east area 1, chart of 2026-12-01 12:00, 3 days old"
    QString lowest, highest; // the colour scale's ends in the unit read: "38.0°F", "62.0°F"
    QImage colourBar;        // the scale's colours in one row, coldest at the left
    // Positions of the printed picture's corner pixels ("43°21'N 71°04'W"): top left, top
    // right, bottom left, bottom right; empty without a calibrated area.
    std::array<QString, 4> corners;
};

// What the caption is made from: the window's state when the dialog opens.
struct CaptionFacts {
    QString areaName; // the area's display name, empty for none
    QString ageText;  // the chart's date and age ("chart of ..., 3 days old"), or empty
    int scaleMin = 0; // the colour scale's ends, °F
    int scaleMax = 0;
    bool celsius = false;
    bool decimalDegrees = false;
    QImage scaleBitmap; // the scale strip beside the chart: hottest row at the top
    geo::Calibration calibration;
    QRect picture;     // the printed part, in chart pixels
    QString chartTime; // when the chart was made, "2026-12-01 12:00"; empty when not known
};

// The printed document's title (a PDF file's title): the area and the chart's date, "North-east
// area 1, chart of 2026-12-01 12:00", either alone when the other is not known; empty when
// neither is.
QString documentTitle(const CaptionFacts& facts);

// The caption's texts and colour bar from the facts.
ChartCaption chartCaption(const CaptionFacts& facts);

// Text lines of a caption: two of corner positions, one of title and range.
inline constexpr int CaptionLines = 3;

// The space a caption takes from the bottom of the page: half a line of gap under the picture
// and the caption's lines.
int captionHeight(int lineHeight);

struct CaptionedPlacement {
    QRect picture; // in the area's coordinates, as fitImage places it
    QRect caption; // under the picture; empty when the caption is left out
};

// The picture and its caption in an area (device pixels): the caption's height is taken from
// the area's bottom and the picture fitted into the rest as fitImage fits it; the caption starts
// right under the picture, centred on it, as wide as the picture but at least two thirds of the
// area. A caption that would leave the picture less than half the area's height is left out and
// the picture takes the whole area. captionHeight 0 places the picture alone.
CaptionedPlacement placeWithCaption(QSize image, QSize area, int captionHeight);

// Draws the caption in rect (device pixels, the printable area's coordinates) in font: the
// corners left and right on the first two lines, the title at the left of the third and the
// range with its colour bar at its right. False when the job refused a line or the bar.
bool drawCaption(platform::PrintJob& job, const QRect& rect, const ChartCaption& caption,
                 const platform::PrintFont& font);

} // namespace printing
