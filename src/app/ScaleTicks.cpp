#include "app/ScaleTicks.h"

#include "geo/ThalwiseUtils.h"

#include <algorithm>
#include <cmath>

namespace app {

std::vector<ScaleTick> scaleTicks(int scaleMin, int scaleMax, bool celsius, int rows, int spacing,
                                  int margin) {
    std::vector<ScaleTick> ticks;
    if (scaleMin == scaleMax || rows < 2) return ticks;
    const auto shown = [celsius](double fahrenheit) {
        return celsius ? geo::celsiusFromFahrenheit(fahrenheit) : fahrenheit;
    };
    const double top = shown(scaleMax);
    const double bottom = shown(scaleMin);
    // Rows per degree of the unit shown; a range set upside down runs the other way.
    const double rowsPerDegree = double(rows - 1) / std::abs(top - bottom);
    int step = 0;
    for (const int candidate : {1, 2, 5, 10, 20, 50, 100})
        if (candidate * rowsPerDegree >= spacing) {
            step = candidate;
            break;
        }
    if (step == 0) return ticks;
    const double low = std::min(top, bottom);
    const double high = std::max(top, bottom);
    for (int value = int(std::ceil(low / step)) * step; value <= high; value += step) {
        // The row of the value as the strip spreads the range: row 0 is the top end.
        const int row = int(std::nearbyint((top - value) / (top - bottom) * (rows - 1)));
        if (row < margin || row > rows - 1 - margin) continue;
        ticks.push_back({row, QString::number(value) + QChar(0x00B0)});
    }
    std::sort(ticks.begin(), ticks.end(),
              [](const ScaleTick& a, const ScaleTick& b) { return a.row < b.row; });
    return ticks;
}

} // namespace app
