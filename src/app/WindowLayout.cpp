#include "app/WindowLayout.h"

namespace app {

ResizeResult formResize(const ResizeInput& in) {
    ResizeResult out;
    out.scrollBoxHeight = in.statusBarTop - in.scrollBoxTop - 4;
    out.tabControlWidth = in.imageScaleLeft - 8;
    return out;
}

} // namespace app
