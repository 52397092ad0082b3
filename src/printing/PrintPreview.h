#pragma once
// The print dialog's geometry: the preview in the picture's proportions, the first selection,
// keeping the selection on the preview and the part of the picture a selection stands for.
// Rectangles are in the dialog's pixels (left, top, width, height); divisions truncate.

#include <QRect>
#include <QSize>

namespace printing {

// The preview square's side at design.
constexpr int PreviewSide = 449;

// The preview for a picture: the square, shortened along the picture's shorter side so that it
// keeps the picture's proportions. An empty picture keeps the square.
QSize previewSize(QSize picture, int side = PreviewSide);

// The first selection: half the preview's width and height, a quarter of its own size in from
// the preview's top-left corner.
QRect firstSelection(const QRect& preview);

// The dialog's client width for a preview: 12 pixels beyond the preview's right edge.
int printDialogClientWidth(const QRect& preview);

// The selection after a move or resize, cut back to the preview (its left and top may stay one
// pixel outside, where the handles of a full selection sit).
QRect keptOnPreview(const QRect& selection, const QRect& preview);

// The part of the picture a selection over the preview stands for, in picture pixels, within
// the picture. Empty when the selection covers no whole pixel.
QRect selectionInPicture(const QRect& selection, const QRect& preview, QSize picture);

// The fewest picture pixels a printed selection spans either way: fewer would fill the page
// with a few blocks of colour, so such a selection is said to be too small instead.
inline constexpr int LeastPrintedSide = 16;
inline bool selectionTooSmall(const QRect& picturePart) {
    return picturePart.width() < LeastPrintedSide || picturePart.height() < LeastPrintedSide;
}

} // namespace printing
