#include "app/WindowLayout.h"

namespace app {

ResizeResult formResize(const ResizeInput& in) {
    ResizeResult out;
    out.scrollBoxHeight = in.statusBarTop - in.scrollBoxTop - 4;
    if (in.gridVisible) {
        const int gridLeft = in.clientWidth - in.gridWidth - 2;
        out.gridLeft = gridLeft;
        out.tabControlWidth = gridLeft - 8;
    } else {
        out.tabControlWidth = in.imageScaleLeft - 8;
    }
    return out;
}

} // namespace app
