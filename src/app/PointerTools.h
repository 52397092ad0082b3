#pragma once
// What the mouse tools of the chart do, decided without a window: the cursor of each tool, what a
// click and a release do with it, finding a text under a point, finding the line an erase
// rectangle touches, and the questions asked before erasing. All points are chart pixels.

#include "app/PointerReadout.h"
#include "geo/Annotation.h"
#include "platform/MessageBoxes.h"

#include <QList>
#include <QPoint>
#include <QRect>
#include <QSize>
#include <QString>
#include <functional>
#include <optional>

namespace app {

// The pointer's shape over the chart: the hand for the text and erase tools, else the crosshair.
Qt::CursorShape toolCursor(PointerTool tool);

// True for the tools that need the waypoint list and the home button on screen.
bool toolShowsWaypoints(PointerTool tool);

// True for the tools that add or erase the area's lines and texts.
bool toolChangesMarks(PointerTool tool);

// Why those tools and Clear all do nothing over a picture saved with its marks drawn in.
QString marksDrawnInText();

// What a click on the chart (a left press released over it) does. Only a click whose pointer did
// not move away from the press point counts; the others do nothing.
enum class ClickAction {
    Ignored,         // the pointer moved away between press and release: no click at all
    Nothing,         // a click, which this tool leaves alone (a drag in progress ends)
    EraseOrAddText,  // erase the text under the point, or ask for a new one there
    EraseTextOrLine, // erase the text under the point, or a line through the square around it
};
ClickAction clickAction(PointerTool tool, QPoint pressPoint, QPoint lastPointerPoint);

// What a release does, after a drag (a press on a mapped pixel still in progress) or not.
enum class ReleaseAction {
    Nothing,
    AddLine,         // from the press point to the last pointer point
    EraseAtMidpoint, // the text at the drag's midpoint, or a line through its rectangle
    AddWaypoint,     // at the press position, with the temperature last read
    SetHome,         // at the press position
};
ReleaseAction releaseAction(PointerTool tool, bool dragging);

// The midpoint of a drag, each coordinate's sum halved toward zero.
QPoint dragMidpoint(QPoint pressPoint, QPoint lastPointerPoint);

// The square a click of the erase tool searches: 5 pixels to each side of the point, its right
// and bottom edges excluded (so x - 5 to x + 4).
QRect eraseSquare(QPoint point);

// The rectangle spanned by two corners, its right and bottom edges excluded (the corner with the
// larger coordinates lies just outside). Empty when the corners share a row or a column.
QRect spannedRectangle(QPoint a, QPoint b);

// The box of a text of the given size centred on its anchor: from anchor - size / 2 to
// anchor + size / 2 (halves toward zero), right and bottom edges excluded.
QRect textBox(QPoint anchor, QSize size);

// Measures a text in the annotation font as the chart draws it.
using TextMeasure = std::function<QSize(const QString& text)>;

// The index of the first text (in list order) whose box contains the point, or -1.
int FindTextAt(const QList<AnnotationText>& texts, QPoint point, const TextMeasure& measure);

// The first line an erase rectangle touches, and the ends of the segment where it was found:
// a is the end with the smaller x (the first end when both have the same x).
struct LineHit {
    int index = -1;
    QPoint a;
    QPoint b;
};

// The row an erase search samples on a segment at column x (a the end with the smaller x):
// a.y + (x - a.x) / (b.x - a.x) x (b.y - a.y), worked out exactly in integers and rounded to
// nearest with halves to even; on a vertical segment its middle, (a.y + b.y) halved toward zero.
int eraseSampleRow(QPoint a, QPoint b, int x);

// Searches the lines in list order, each line's segments in order. A segment is sampled at every
// whole x from a.x to b.x (eraseSampleRow); a vertical segment only once. The first sample
// inside the rectangle decides.
std::optional<LineHit> findLineIn(const QList<AnnotationLine>& lines, const QRect& rectangle);

// The line the line tool makes from its press point to the last pointer point, each end kept on
// a chart of the given size (0 to width - 1, 0 to height - 1) however far the drag went.
AnnotationLine lineOnChart(QPoint from, QPoint to, QSize chartSize);

// The questions asked before erasing (Yes/No, question icon, No the default).
platform::MessageBoxRequest eraseTextQuestion(const QString& text, QPoint point);
platform::MessageBoxRequest eraseLineQuestion(const LineHit& hit);
platform::MessageBoxRequest clearAllQuestion();

} // namespace app
