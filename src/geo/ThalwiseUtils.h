#pragma once
#include <QLocale>
#include <QString>

// The readout texts of the status bar and the waypoint list. Numbers use the locale's decimal
// separator (no digit grouping); the degree sign is U+00B0.

// A latitude or longitude as its magnitude, without sign or hemisphere letter: "25.125°" with
// decimal degrees, else whole degrees and two-digit minutes "25°08'" (total minutes rounded to
// nearest, halves to even, before the split, so 59.9999 reads 60°00'). A value that is not
// finite or lies beyond 360° reads "---".
QString FormatDegrees(float angle, bool decimalDegrees, const QLocale& locale = QLocale());

// The heading text of a true bearing (degrees): "355.0° (mag.)" when magnetic readout is on and
// the variation (degrees, east positive) is not 0, otherwise "%.1f° (true)". The heading is
// brought into 0..360 before it is rounded to one decimal, so 359.96 reads 360.0. A heading that
// is not finite reads "---" with its label.
QString FormatBearing(float trueBearing, bool magneticReadout, float magneticVariation,
                      const QLocale& locale = QLocale());

namespace geo {

// The heading format after the user toggles it: magnetic headings need the chart's variation,
// so without one the readout is (and stays) true.
inline bool magneticReadoutAfterToggle(bool magneticReadout, bool hasVariation) {
    return hasVariation && !magneticReadout;
}

// The heading alone, "%.1f°", as the waypoint list's leg column shows it: the true bearing less
// the variation whenever magnetic readout is on, brought into 0..360 before it is rounded; "---"
// when not finite. The column header says whether it is magnetic.
QString headingText(float trueBearing, bool magneticReadout, float magneticVariation,
                    const QLocale& locale = QLocale());

// Kilometres to nautical miles, single precision.
float nauticalMiles(float kilometres);

// Panel 0: "Lat: %s    Lon: %s" with both angles in the chosen format.
QString positionPanelText(float latitude, float longitude, bool decimalDegrees,
                          const QLocale& locale = QLocale());

// Degrees Fahrenheit to degrees Celsius, (f - 32) * 5 / 9 in double precision.
inline double celsiusFromFahrenheit(double fahrenheit) {
    return (fahrenheit - 32.0) * 5.0 / 9.0;
}

// The number of a temperature read in the unit shown, one decimal, without the unit: °F
// (celsius false) as the readouts have always written it, or the °C value rounded from the
// exact conversion of the °F value, never reading "-0.0". No temperature rule here: 0 is 0°F.
QString temperatureDigits(double fahrenheit, bool celsius, const QLocale& locale = QLocale());

// "°F" or "°C".
QString temperatureUnitText(bool celsius);

// A temperature read from a chart (°F, 0 for none) as the user reads it: "65.3°F", or with
// celsius "18.5°C" (temperatureDigits then the unit). Empty for 0: no temperature, decided on
// the °F value, so 32°F reads "0.0°C" and 0°F reads nothing in either unit. A reading of a
// chart's data shows two decimals (decimals 2).
QString temperatureText(float fahrenheit, bool celsius, const QLocale& locale = QLocale(),
                        int decimals = 1);

// Panel 1: "Temperature: " and temperatureText, "65.3°F" or with celsius "18.5°C", or empty
// when the temperature is 0 (none found). A reading of a chart's data shows two decimals,
// "65.27°F" (decimals 2); a reading of its colours one.
QString temperaturePanelText(float temperatureF, const QLocale& locale = QLocale(),
                             bool celsius = false, int decimals = 1);

// Panel 2: "Range: %.1f NM at <heading>" from a distance in km and a true bearing.
QString rangePanelText(float distanceKm, float trueBearing, bool magneticReadout,
                       float magneticVariation, const QLocale& locale = QLocale());

// Panel 2 for a drag from one position to another: empty when the range cannot be computed.
QString rangePanelText(float fromLatitude, float fromLongitude, float toLatitude, float toLongitude,
                       bool magneticReadout, float magneticVariation,
                       const QLocale& locale = QLocale());

// Panel 3: "X: %d, Y: %d".
QString pixelPanelText(int x, int y);

// A number with a fixed count of decimals, C rounding of the exact value, the locale's decimal
// separator and no digit grouping: the one way every readout writes a number.
QString formatFixed(double value, int decimals, const QLocale& locale = QLocale());

} // namespace geo
