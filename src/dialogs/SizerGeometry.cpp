#include "dialogs/SizerGeometry.h"

#include <algorithm>
#include <cstdlib>
#include <utility>

namespace dialogs {

namespace {

bool knownPosition(int position) {
    return position >= 0 && position < GrabHandleCount;
}

// An edge brought into [low, high]; a client whose far edge lies before its near one keeps
// everything on its near edge.
int intoRange(int edge, int low, int high) {
    return std::max(low, std::min(edge, std::max(low, high)));
}

} // namespace

HandleEdges handleEdges(int position) {
    switch (position) {
    case 0:
        return {.left = true, .top = true};
    case 1:
        return {.top = true};
    case 2:
        return {.top = true, .right = true};
    case 3:
        return {.right = true};
    case 4:
        return {.right = true, .bottom = true};
    case 5:
        return {.bottom = true};
    case 6:
        return {.left = true, .bottom = true};
    case 7:
        return {.left = true};
    default:
        return {};
    }
}

QPoint handlePoint(int position, const SizerRect& control) {
    if (!knownPosition(position)) return {control.left, control.top};
    // Integer division truncates, as the handle table wants for the middles.
    const int middleX = control.left + control.width() / 2;
    const int middleY = control.top + control.height() / 2;
    const HandleEdges edges = handleEdges(position);
    const int x = edges.left ? control.left : edges.right ? control.right : middleX;
    const int y = edges.top ? control.top : edges.bottom ? control.bottom : middleY;
    return {x, y};
}

QPoint handleTopLeft(int position, const SizerRect& control) {
    const QPoint centre = handlePoint(position, control);
    return {centre.x() - GrabHandleSize / 2, centre.y() - GrabHandleSize / 2};
}

Qt::CursorShape handleCursor(int position) {
    switch (position) {
    case 0:
    case 4:
        return Qt::SizeFDiagCursor; // north-west to south-east
    case 2:
    case 6:
        return Qt::SizeBDiagCursor; // north-east to south-west
    case 1:
    case 5:
        return Qt::SizeVerCursor;
    case 3:
    case 7:
        return Qt::SizeHorCursor;
    default:
        return Qt::ArrowCursor;
    }
}

SizerRect proposedBounds(const SizerRect& control, int position, QPoint pointer) {
    const HandleEdges edges = handleEdges(position);
    SizerRect bounds = control;
    if (edges.left) bounds.left = pointer.x();
    if (edges.top) bounds.top = pointer.y();
    if (edges.right) bounds.right = pointer.x();
    if (edges.bottom) bounds.bottom = pointer.y();
    if (bounds.right < bounds.left) std::swap(bounds.left, bounds.right);
    if (bounds.bottom < bounds.top) std::swap(bounds.top, bounds.bottom);
    return bounds;
}

SizerRect clipToClient(const SizerRect& bounds, const SizerRect& client) {
    // Quirk "clip-each-edge": each edge is clamped on its own rather than intersecting the
    // two rectangles, so a control lying outside the client area (a move is not clipped)
    // comes back as an empty rectangle on the border, never with a negative width.
    return {intoRange(bounds.left, client.left, client.right),
            intoRange(bounds.top, client.top, client.bottom),
            intoRange(bounds.right, client.left, client.right),
            intoRange(bounds.bottom, client.top, client.bottom)};
}

bool passedMinimumMove(QPoint press, QPoint pointer, int minimumMove) {
    // Wide arithmetic: a threshold near the top of int and far-apart points cannot overflow.
    const long long threshold = std::max(minimumMove, 0);
    const long long dx = std::llabs(static_cast<long long>(pointer.x()) - press.x());
    const long long dy = std::llabs(static_cast<long long>(pointer.y()) - press.y());
    return dx >= threshold || dy >= threshold;
}

SizerRect moveBand(const SizerRect& control, QPoint offset) {
    const int left = control.left + offset.x();
    const int top = control.top + offset.y();
    return {left, top, left + control.width() - 1, top + control.height() - 1};
}

} // namespace dialogs
