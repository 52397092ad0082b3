#pragma once
// The numbers beside the temperature scale: round temperatures in the unit the readouts use,
// placed on the strip's rows, spaced so that no two of them touch.

#include <QString>
#include <vector>

namespace app {

struct ScaleTick {
    int row = 0;  // the strip's row the number stands for
    QString text; // the number and a degree sign, in the unit shown
};

// Numbers for a strip of rows rows whose row 0 is scaleMax and row rows - 1 scaleMin (°F, as
// the scale spreads them). The step is the smallest of 1, 2, 5, 10, 20, 50, 100 degrees of the
// unit shown that puts the numbers at least spacing rows apart; numbers closer than margin rows
// to either end of the strip are left out, so that none is cut. None for an empty range. In
// the order of their rows, top first.
std::vector<ScaleTick> scaleTicks(int scaleMin, int scaleMax, bool celsius, int rows, int spacing,
                                  int margin);

} // namespace app
