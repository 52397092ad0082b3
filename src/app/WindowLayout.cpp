#include "app/WindowLayout.h"

#include <QPainter>
#include <QStyle>
#include <algorithm>

namespace app {

ResizeResult formResize(const ResizeInput& in) {
    ResizeResult out;
    out.scrollBoxHeight = in.statusBarTop - in.scrollBoxTop - 4;
    out.tabControlWidth = in.imageScaleLeft - 8;
    return out;
}

QRect firstWindowFrame(const QRect& available, const QSize& least) {
    const QSize size = QSize(1280, 960).boundedTo(available.size()).expandedTo(least);
    QRect frame(QPoint(0, 0), size);
    frame.moveCenter(available.center());
    // A screen smaller than the least window: its top-left corner stays on the screen.
    frame.moveTopLeft(
        QPoint(std::max(frame.left(), available.left()), std::max(frame.top(), available.top())));
    return frame;
}

QRect floatingPanelFrame(const QRect& available, const QRect& window, int menuBottom,
                         const QSize& panel) {
    const int top = std::max(available.top(), menuBottom);
    const QSize size(std::min(panel.width(), available.width()),
                     std::min(panel.height(), available.bottom() + 1 - top));
    int left = available.right() + 1 - size.width(); // at the screen's right edge
    if (window.right() + 1 + size.width() <= available.right() + 1)
        left = window.right() + 1;
    else if (window.left() - size.width() >= available.left())
        left = window.left() - size.width();
    return QRect(QPoint(left, top), size);
}

QSize ElidedLabel::minimumSizeHint() const {
    // Room for a few letters and the ellipsis: enough to see that something is there.
    const QMargins margins = contentsMargins();
    return QSize(fontMetrics().horizontalAdvance(QStringLiteral("chart\u2026")) + margins.left() +
                     margins.right(),
                 QLabel::minimumSizeHint().height());
}

void ElidedLabel::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    const QRect room = contentsRect();
    const QString shown = fontMetrics().elidedText(text(), Qt::ElideRight, room.width());
    style()->drawItemText(&painter, room, int(alignment()), palette(), isEnabled(), shown,
                          foregroundRole());
}

} // namespace app
