#pragma once
#include <QLabel>
#include <QProxyStyle>
#include <QRect>
#include <QSize>

namespace app {

// What the main window's resize rule reads, in client-area pixels. scrollBoxTop is the scroll
// box's top inside the tab strip, as the window stores it.
struct ResizeInput {
    int clientWidth = 0;
    int statusBarTop = 0;
    int scrollBoxTop = 0;
    int imageScaleLeft = 0;
};

// What it sets: the scroll box's height and the tab strip's width. Sizes may come out negative
// for a tiny window; the caller clamps them at 0 when it applies them.
struct ResizeResult {
    int scrollBoxHeight = 0;
    int tabControlWidth = 0;
};

// The scroll box ends 4 pixels above the status bar and the tab strip stops 8 pixels left of
// the scale strip. The waypoint list is a panel beside the whole of it, never inside it.
ResizeResult formResize(const ResizeInput& in);

// Where the window opens on its first start, frame included: 1280 x 960 pixels, or as much of
// that as the screen's free area takes (never less than least), centred on that area.
QRect firstWindowFrame(const QRect& available, const QSize& least);

// Where a panel that comes up as a window of its own opens, frame included: beside the main
// window on the right, else on its left, where the screen's free area has room for it; else
// at the right edge of that area. Never above the foot of the main window's menu bar
// (menuBottom, screen pixels), never beyond the free area: it is made smaller to fit.
QRect floatingPanelFrame(const QRect& available, const QRect& window, int menuBottom,
                         const QSize& panel);

// The temperature slider's thumb is as long as the 22 pixels the slider reaches beyond the scale
// strip, so that its centre travels exactly along the strip's rows, tick marks included.
class TrackBarStyle : public QProxyStyle {
public:
    using QProxyStyle::QProxyStyle;
    int pixelMetric(PixelMetric metric, const QStyleOption* option,
                    const QWidget* widget) const override {
        if (metric == PM_SliderLength) return 22;
        return QProxyStyle::pixelMetric(metric, option, widget);
    }
};

// A one-line label that shows as much of its text as its width allows, ending in "...": it
// gives way to the controls beside it in a narrow window. text() is always the whole text.
class ElidedLabel : public QLabel {
public:
    using QLabel::QLabel;
    QSize minimumSizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;
};

} // namespace app
