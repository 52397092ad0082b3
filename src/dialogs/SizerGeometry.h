#pragma once
#include <QPoint>
#include <Qt>

// The arithmetic of the control sizer, apart from any widget: where the eight grab handles
// sit, the bounds a handle drag proposes, clipping to the bounding window and the move
// threshold. All coordinates are pixels in one window's client coordinates.
namespace dialogs {

// A rectangle by its edges: right and bottom lie just past the last pixel, so the width is
// right - left and the height bottom - top.
struct SizerRect {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;

    int width() const { return right - left; }
    int height() const { return bottom - top; }
    bool operator==(const SizerRect&) const = default;
};

// The rectangle drawn last, when none has been drawn.
inline constexpr SizerRect NoBand{-1, -1, -1, -1};

inline constexpr int GrabHandleCount = 8; // positions 0 to 7, clockwise from the top-left
inline constexpr int GrabHandleSize = 5;  // a handle is a square of this many pixels
inline constexpr int DefaultMinimumMove = 3;

// The control's edges that dragging the handle at position replaces with the pointer. An
// unknown position changes none.
struct HandleEdges {
    bool left = false;
    bool top = false;
    bool right = false;
    bool bottom = false;
};
HandleEdges handleEdges(int position);

// The point on the control's bounds where the centre of the handle at position sits; the
// halves of width and height truncate. An unknown position gives the top-left corner.
QPoint handlePoint(int position, const SizerRect& control);

// Where the handle at position goes: its point less half the handle's size (truncated).
QPoint handleTopLeft(int position, const SizerRect& control);

// The pointer shape over the handle at position: diagonal, vertical or horizontal sizing.
Qt::CursorShape handleCursor(int position);

// The bounds while the handle at position is dragged to pointer (in the same coordinates as
// control): the handle's edges take the pointer's coordinates, the others stay; edges that
// have crossed are swapped, so the rectangle turns over instead of going negative.
SizerRect proposedBounds(const SizerRect& control, int position, QPoint pointer);

// bounds kept inside client: every edge is brought into client's range, so an edge dragged
// outside lies on client's border, and a rectangle wholly outside becomes an empty one on
// the nearest border.
SizerRect clipToClient(const SizerRect& bounds, const SizerRect& client);

// True once pointer is minimumMove pixels or more from press on either axis; a press that
// travels less is a plain click. minimumMove below 0 counts as 0.
bool passedMinimumMove(QPoint press, QPoint pointer, int minimumMove);

// The band drawn while control is dragged by offset: the control's rectangle shifted, its
// right and bottom on the last pixel.
SizerRect moveBand(const SizerRect& control, QPoint offset);

} // namespace dialogs
