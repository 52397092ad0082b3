#pragma once
// How the chart is shown in its view: the scale (view pixels per chart pixel, an exact
// fraction), the zoom steps, fitting the whole chart into the view, and the mapping between view
// positions and chart pixels that every reading, mark and waypoint goes through.

#include <QImage>
#include <QPoint>
#include <QRect>
#include <QSize>

namespace view {

// View pixels per chart pixel as the exact fraction num / den (both positive). Kept exact so
// that a view position lands on the same chart pixel however the scale came about.
struct Scale {
    int num = 1;
    int den = 1;
    bool isOne() const { return num == den; }
    bool enlarges() const { return num > den; }
    double factor() const { return double(num) / den; }
    static Scale percent(int p) { return Scale{p, 100}; }
    friend bool operator==(Scale a, Scale b) {
        return qint64(a.num) * b.den == qint64(b.num) * a.den;
    }
};

// The zoom steps, in percent; "Normal view" is 100 % and "Zoom in" 200 %.
inline constexpr int ZoomSteps[] = {25, 33, 50, 67, 100, 150, 200, 300, 400, 600, 800};
inline constexpr int LeastPercent = 25;
inline constexpr int MostPercent = 800;
inline constexpr int NormalPercent = 100;
inline constexpr int ZoomedPercent = 200;
// The zoom setting's value for "Fit to window".
inline constexpr int FitToWindow = 0;

// A stored zoom setting the view can take: FitToWindow, or a percentage from 25 to 800.
inline bool isZoomSetting(int value) {
    return value == FitToWindow || (value >= LeastPercent && value <= MostPercent);
}

// The chart pixel (one axis) under a view position: floor(position / scale), as 100 % and
// 200 % have always truncated.
int chartPixel(int viewPosition, Scale scale);
QPoint chartPixel(QPoint viewPosition, Scale scale);

// The first view position whose chart pixel is at or after pixel: ceil(pixel * scale). Below
// 100 % some chart pixels have no view position of their own.
int viewPosition(int pixel, Scale scale);
QPoint viewPosition(QPoint pixel, Scale scale);

// The size of the chart on screen: each side times the scale, rounded up.
QSize viewSize(QSize chart, Scale scale);

// The largest scale that shows the whole chart in a view of that size, never above 100 %: a
// chart is not enlarged into uneven blocks of pixels by fitting. 1:1 for an empty chart or view.
Scale fitScale(QSize chart, QSize view);

// The zoom step after scale in a direction: the smallest step above it (direction > 0) or the
// largest below it; the end step itself beyond the ends.
int stepPercent(Scale scale, int direction);

// The scroll position (one axis) that keeps the chart under viewPoint in place across a change
// of scale: displayPosition is the display position under viewPoint before. The chart is taken
// at the middle of that display pixel. The scroll bar brings the result into its range.
int scrollToKeep(int displayPosition, Scale before, Scale after, int viewPoint);

// The part area (view positions) of the picture shown at scale: every view pixel is the chart
// pixel chartPixel gives for it, no smoothing. Positions beyond the picture repeat its edge.
QImage renderArea(const QImage& picture, Scale scale, QRect area);

// The whole picture shown below 100 %, smoothed; viewSize large.
QImage renderReduced(const QImage& picture, Scale scale);

} // namespace view
