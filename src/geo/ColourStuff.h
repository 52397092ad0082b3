#pragma once
#include <cstdint>

// A colour's components, 0..255 for real colours.
struct RgbTriple {
    std::int32_t Red;
    std::int32_t Green;
    std::int32_t Blue;
};

// Hue: the hue sextant (-1..5) times 42.6, rounded, so -42..213 (a full turn is 255.6 units and
// reds whose blue exceeds their green are negative). Lightness 0..255. Saturation 0..256.
struct HlsTriple {
    std::int32_t Hue;
    std::int32_t Lightness;
    std::int32_t Saturation;
};

// A packed colour with red in bits 0-7, green in 8-15 and blue in 16-23.
RgbTriple ColourToRgb(std::uint32_t colour);

// Hue, lightness and saturation of a colour, components divided by 256 (not 255) and every
// result rounded to nearest with halves to even.
HlsTriple RgbToHls(const RgbTriple& rgb);

double MaxOfThree(double a, double b, double c);
double MinOfThree(double a, double b, double c);
