#pragma once
#include <QProxyStyle>
#include <optional>

namespace app {

// What the main window's resize rule reads, in client-area pixels. scrollBoxTop is the scroll
// box's top inside the tab strip, as the window stores it.
struct ResizeInput {
    int clientWidth = 0;
    int statusBarTop = 0;
    int scrollBoxTop = 0;
    bool gridVisible = false;
    int gridWidth = 0;
    int imageScaleLeft = 0;
    int toolColumnLeft = 0; // the left edge of the scale and tool controls along the right side
};

// What it sets: the scroll box's height, the waypoint grid's left edge (only while the grid is
// visible) and the tab strip's width. Sizes may come out negative for a tiny window; the caller
// clamps them at 0 when it applies them.
struct ResizeResult {
    int scrollBoxHeight = 0;
    std::optional<int> gridLeft;
    int tabControlWidth = 0;
};

// The scroll box ends 4 pixels above the status bar; the grid's right edge sits 2 pixels left of
// the scale and tool column, and the tab strip stops 8 pixels left of the grid, or of the scale
// strip while the grid is hidden.
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
