#pragma once
#include <QIcon>
#include <QImage>

namespace app {

// The program's icon, drawn here: a chart square of warm and cool water split by a temperature
// break, with a thermometer. One picture per size, so that small sizes stay crisp.
QImage drawAppIcon(int size);
// The icon at the usual sizes (16 to 256 pixels).
QIcon appIcon();

} // namespace app
