#include "geo/ColourStuff.h"

#include <cmath>

namespace {

// Nearest integer, halves to even. Components outside 0..255 can make a division by zero; such a
// result (and anything beyond 32 bits) reads as 0 instead of being undefined.
std::int32_t nearestInt(double v) {
    const double r = std::nearbyint(v);
    if (!(r >= -2147483648.0 && r <= 2147483647.0)) return 0;
    return std::int32_t(r);
}

} // namespace

RgbTriple ColourToRgb(std::uint32_t colour) {
    // Blue is how many times 65536 fits, green how many times 256 fits in the rest.
    RgbTriple rgb;
    rgb.Blue = std::int32_t(colour / 65536u);
    const std::uint32_t rest = colour % 65536u;
    rgb.Green = std::int32_t(rest / 256u);
    rgb.Red = std::int32_t(rest % 256u);
    return rgb;
}

double MaxOfThree(double a, double b, double c) {
    double m = a;
    if (b > m) m = b;
    if (c > m) m = c;
    return m;
}

double MinOfThree(double a, double b, double c) {
    double m = a;
    if (b < m) m = b;
    if (c < m) m = c;
    return m;
}

HlsTriple RgbToHls(const RgbTriple& rgb) {
    const double r = rgb.Red / 256.0;
    const double g = rgb.Green / 256.0;
    const double b = rgb.Blue / 256.0;
    const double max = MaxOfThree(r, g, b);
    const double min = MinOfThree(r, g, b);
    const double l = (max + min) / 2.0;
    HlsTriple hls;
    hls.Lightness = nearestInt(l * 256.0); // halves to even
    if (max == min) {
        hls.Hue = 0;
        hls.Saturation = 0;
        return hls;
    }
    const double d = max - min;
    const double s = l < 0.5 ? d / (max + min) : d / (2.0 - max - min);
    // The tests run in this order and a later match replaces an earlier one: on ties blue wins
    // over green and green over red. A negative red-sector hue is kept, not wrapped.
    double h = 0.0;
    if (r == max) h = (g - b) / d;
    if (g == max) h = (b - r) / d + 2.0;
    if (b == max) h = (r - g) / d + 4.0;
    hls.Hue = nearestInt(h * 42.6);
    hls.Saturation = nearestInt(s * 256.0);
    return hls;
}
