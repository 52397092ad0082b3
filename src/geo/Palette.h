#pragma once
#include <QString>

namespace geo {

// The palette text the temperature scale is built from: 256 lines of "red green blue" (decimal,
// 0..255) with CR LF line ends, line 0 the bottom row of the scale. Compiled into the library
// when it is built, so that no resource system is needed to read it; never empty.
QString builtinPaletteText();

} // namespace geo
