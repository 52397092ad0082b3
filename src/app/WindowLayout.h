#pragma once
#include <QProxyStyle>

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

} // namespace app
