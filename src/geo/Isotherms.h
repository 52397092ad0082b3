#pragma once
// Isotherms: the lines on a chart where the water crosses chosen temperatures, taken from the
// temperature field the pointer and the breaks read, as polylines in chart pixels that the
// display, the command-line tool and the exporters share.

#include <QPointF>
#include <QString>

#include <vector>

namespace geo {

struct TemperatureField;

// One piece of an isotherm in chart pixel coordinates: pixel (x, y) covers x..x+1, y..y+1, so
// its centre lies at (x + 0.5, y + 0.5). A closed line ends on the point it starts from.
struct IsothermLine {
    std::vector<QPointF> points;
    bool closed = false;
};

// All the lines of one temperature (°F).
struct Isotherm {
    float temperature = 0.0f;
    std::vector<IsothermLine> lines;
};

// The isotherms of a field, one for each temperature in the order given. The crossings are
// placed between pixel centres by linear interpolation; only pixels with a clean reading
// (water all around) take part, so land, cloud and coast leave gaps. Temperatures the field
// never crosses give an isotherm without lines.
std::vector<Isotherm> findIsotherms(const TemperatureField& field,
                                    const std::vector<float>& temperatures);

// The most isotherms one request may ask for.
inline constexpr int MostIsotherms = 200;

// The temperatures (°F, ascending, each once) a user asks isotherms for, within the chart's
// range tmin..tmax: a list such as "68, 70, 72" (commas, semicolons or spaces between, a period
// for decimals) or "every 2" (optionally "every 2 °F": the multiples of 2 within the range).
// Nothing for text that does not parse, a step that is not positive, or more than
// MostIsotherms temperatures.
std::vector<float> isothermTemperatures(const QString& text, double tmin, double tmax);

} // namespace geo
