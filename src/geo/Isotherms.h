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

// A list of temperatures a user asks isotherms for, as read.
struct IsothermList {
    std::vector<float> temperatures; // °F, ascending, each once, within the range
    // Why the text is refused, naming the value and the limit, such as "500 is outside the
    // chart's range of 38 to 62 °F"; empty when every value is taken. A value outside the
    // range is refused too, with the values within it still in temperatures.
    QString error;
    bool outsideRange = false; // the only fault: values outside the range
};

// The temperatures (°F) a user asks isotherms for, within the chart's range tmin..tmax: a list
// such as "68, 70, 72" (commas, semicolons or spaces between, a period for decimals) or
// "every 2" (optionally "every 2 °F": the multiples of 2 within the range). Refused with a
// reason: text that does not parse, a step that is not positive, more than MostIsotherms
// temperatures, a value outside the range.
IsothermList readIsothermList(const QString& text, double tmin, double tmax);

// The temperatures of readIsothermList; nothing when it refuses the text, except that values
// outside the range are left out (the view keeps a request across changes of the scale).
std::vector<float> isothermTemperatures(const QString& text, double tmin, double tmax);

} // namespace geo
