#include "app/WindowLayout.h"

namespace app {

ResizeResult formResize(const ResizeInput& in) {
    ResizeResult out;
    out.scrollBoxHeight = in.statusBarTop - in.scrollBoxTop - 4;
    if (in.gridVisible) {
        // Beside the scale and the tools, not over them: a grid at the window's right edge would
        // hide the strip, the readout and the very home button that choosing the tool shows.
        const int gridLeft = in.toolColumnLeft - in.gridWidth - 2;
        out.gridLeft = gridLeft;
        out.tabControlWidth = gridLeft - 8;
    } else {
        out.tabControlWidth = in.imageScaleLeft - 8;
    }
    return out;
}

} // namespace app
