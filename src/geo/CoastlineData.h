#pragma once
// The coastline texts compiled into the program (CoastlineData.cpp, generated from
// tools/coastlines/<code>.txt); read through geo/Coastline.h.
#include <cstddef>

namespace geo::detail {
struct CoastlineText {
    const char* code; // area code, "ne01"
    const char* text;
    std::size_t size;
};
extern const CoastlineText CoastlineTexts[];
extern const std::size_t CoastlineTextCount;
} // namespace geo::detail
