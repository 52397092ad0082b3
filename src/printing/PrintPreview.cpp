#include "printing/PrintPreview.h"

#include <algorithm>

namespace printing {

QSize previewSize(QSize picture, int side) {
    const int w = picture.width();
    const int h = picture.height();
    if (w <= 0 || h <= 0) return QSize(side, side);
    if (h < w) return QSize(side, int(qint64(h) * side / w));
    if (w < h) return QSize(int(qint64(w) * side / h), side);
    return QSize(side, side);
}

QRect firstSelection(const QRect& preview) {
    const int width = preview.width() / 2;
    const int height = preview.height() / 2;
    return QRect(preview.left() + width / 4, preview.top() + height / 4, width, height);
}

int printDialogClientWidth(const QRect& preview) {
    return preview.left() + preview.width() + 12;
}

QRect keptOnPreview(const QRect& selection, const QRect& preview) {
    const int left = std::max(selection.left(), preview.left() - 1);
    const int right =
        std::min(selection.left() + selection.width(), preview.left() + preview.width());
    const int top = std::max(selection.top(), preview.top() - 1);
    const int bottom =
        std::min(selection.top() + selection.height(), preview.top() + preview.height());
    // A selection dragged wholly off the preview shrinks to nothing rather than turning over.
    return QRect(left, top, std::max(0, right - left), std::max(0, bottom - top));
}

QRect selectionInPicture(const QRect& selection, const QRect& preview, QSize picture) {
    const qint64 W = picture.width();
    const qint64 H = picture.height();
    if (preview.width() <= 0 || preview.height() <= 0 || W <= 0 || H <= 0) return QRect();
    // C++ integer division truncates towards zero, as the mapping wants.
    const qint64 x1 =
        std::max<qint64>((selection.left() - preview.left()) * W / preview.width(), 0);
    const qint64 x2 = std::min<qint64>(
        W * (selection.left() + selection.width() - preview.left()) / preview.width(), W);
    const qint64 y1 = std::max<qint64>((selection.top() - preview.top()) * H / preview.height(), 0);
    const qint64 y2 = std::min<qint64>(
        H * (selection.top() + selection.height() - preview.top()) / preview.height(), H);
    if (x2 <= x1 || y2 <= y1) return QRect();
    return QRect(int(x1), int(y1), int(x2 - x1), int(y2 - y1));
}

} // namespace printing
