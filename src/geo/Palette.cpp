#include "geo/Palette.h"

#include <cstddef>

// Filled at configure time from the palette text file (see this folder's CMakeLists.txt).
namespace geo::detail {
extern const unsigned char PaletteBytes[];
extern const std::size_t PaletteByteCount;
} // namespace geo::detail

namespace geo {

QString builtinPaletteText() {
    // The palette is plain ASCII digits, spaces and line breaks.
    return QString::fromLatin1(reinterpret_cast<const char*>(detail::PaletteBytes),
                               qsizetype(detail::PaletteByteCount));
}

} // namespace geo
