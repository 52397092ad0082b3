#pragma once
#include <QImage>
#include <QLocale>
#include <QString>
#include <QStringList>

#include <algorithm>
#include <vector>

namespace geo {

// The scale's two up-down controls (°F): the lower end takes 20..80 and starts at 30, the upper
// end takes 40..100 and starts at 80.
inline constexpr int ScaleMinLowest = 20;
inline constexpr int ScaleMinHighest = 80;
inline constexpr int ScaleMinInitial = 30;
inline constexpr int ScaleMaxLowest = 40;
inline constexpr int ScaleMaxHighest = 100;
inline constexpr int ScaleMaxInitial = 80;

// The up-downs hold 16-bit signed positions.
inline constexpr int ScaleValueLowest = -32768;
inline constexpr int ScaleValueHighest = 32767;

// The range an up-down offers once a value is set into it from outside (a chart's TMIN or TMAX):
// its own range widened to take the value, so that the scale always follows the chart's own
// range instead of a clamped one. Values beyond 16 bits are brought to the nearest 16-bit one.
struct SpinnerRange {
    int lowest = 0;
    int highest = 0;
    int value = 0;
};
inline SpinnerRange widenedSpinnerRange(int lowest, int highest, int value) {
    const int v = std::clamp(value, ScaleValueLowest, ScaleValueHighest);
    return {std::min(lowest, v), std::max(highest, v), v};
}
inline SpinnerRange scaleMinSpinner(int fahrenheit) {
    return widenedSpinnerRange(ScaleMinLowest, ScaleMinHighest, fahrenheit);
}
inline SpinnerRange scaleMaxSpinner(int fahrenheit) {
    return widenedSpinnerRange(ScaleMaxLowest, ScaleMaxHighest, fahrenheit);
}

// Where the temperature slider goes and what it holds after a change of the scale's range.
struct SliderPlacement {
    int top = 0;
    int height = 0;
    int minimum = 0;
    int maximum = 0;
    int position = 0;
};

// Whether a sampled pixel counts towards the averaged colour of a temperature lookup: its
// saturation above 100 and its lightness above 40 (as RgbToHls gives them). Computed from the
// largest and smallest component alone, in integers, for every pointer move's 15 pixels.
inline bool countsTowardsTemperature(int red, int green, int blue) {
    // With components c/256: lightness*256 = (max+min)/2 rounded half to even, so "above 40"
    // means max+min >= 82. Saturation*256 = 256*d/(max+min), or 256*d/(512-max-min) from
    // lightness 0.5 on, rounded half to even, so "above 100" means 512*d > 201*denominator
    // (an exact tie of 100.5 rounds to 100). Greys (d = 0) never count.
    const int max = std::max(red, std::max(green, blue));
    const int min = std::min(red, std::min(green, blue));
    const int sum = max + min;
    const int difference = max - min;
    if (difference <= 0 || sum < 82) return false;
    const int denominator = sum < 256 ? sum : 512 - sum;
    return 512 * difference > 201 * denominator;
}

// The temperature scale beside the chart: the strip of 256 coloured rows built from the palette
// text, the chart's range spread linearly over it (hottest at the top), and the lookup of a
// temperature from the hue of the colours under a pixel. The window owns one and rebuilds its
// tables whenever the range changes; every lookup then reads precomputed tables only.
class TemperatureScale {
public:
    // Lines of a palette text: split at CR LF, CR or LF; a final line break ends the last line
    // rather than starting an empty one.
    static QStringList paletteLines(const QString& paletteText);

    // The words of a palette line: separated by spaces or commas, a double-quoted word may hold
    // either (a doubled quote inside stands for one).
    static QStringList paletteWords(const QString& line);

    // The 30 x 256 strip of the scale (24 bits per pixel): palette line i fills row 255 - i.
    // A line without exactly three integer words is skipped and its row stays black. A null
    // image when the list does not hold exactly 256 lines.
    static QImage BuildScaleBitmap(const QStringList& lines);
    static QImage BuildScaleBitmap(const QString& paletteText);

    // Rebuilds the tables for the range scaleMin..scaleMax (°F) from the scale bitmap: each
    // row's hue (middle column) and temperature, the smallest positive saturation and the last
    // coloured row. Reversed limits reverse the temperature order. False, and nothing changed,
    // for a null bitmap.
    bool TempScaleChange(const QImage& scaleBitmap, int scaleMin, int scaleMax);

    // Temperature in °F under pixel (x, y) of a bitmap, from the average of the 5 x 3 window
    // around it (5 x 1 on the first and last rows); 0 means no temperature: too near the left
    // or right edge, outside the bitmap, a grey or weakly saturated average, or hue 0. Any pixel
    // format gives the same reading; 24-bit and 32-bit RGB (the window's and thalwise-cli's
    // chart bitmaps) are the fast ones.
    float TemperatureAtPixel(const QImage& bitmap, int x, int y) const;

    // Temperature in °F of the averaged colour of a reading's window (each component already
    // divided, truncating, by the window's size): 0 for a grey or weakly saturated average or
    // hue 0, else TemperatureFromHue of its hue.
    float TemperatureOfAverage(int red, int green, int blue) const;

    // Temperature in °F of a hue by a bounded bisection over the scale rows (at most 9 probes);
    // 0 when there are no tables.
    float TemperatureFromHue(int hue) const;

    // The slider beside a scale image at scaleTop with scaleHeight for the range
    // scaleMin..scaleMax: its ends are always the scale's two limits (the lower one at the
    // slider's minimum, whichever spinner holds it), whatever range it had before; the position
    // goes to the middle, truncated toward zero.
    static SliderPlacement placeSlider(int scaleTop, int scaleHeight, int scaleMin, int scaleMax);

    // The slider's label: the mirrored position (the top reads the maximum) followed by "°F",
    // or with celsius that position in °C with one decimal ("50°F" reads "10.0°C"). The slider
    // always moves in whole °F: they are the scale's own steps.
    static QString sliderLabelText(int minimum, int maximum, int position, bool celsius = false,
                                   const QLocale& locale = QLocale());

    // The tool-tip of a scale end's up-down, which holds °F: empty while temperatures read in
    // °F, else the end in both units, "80°F is 26.7°C".
    static QString scaleEndToolTip(int fahrenheit, bool celsius, const QLocale& locale = QLocale());

    const std::vector<double>& scaleHues() const { return ScaleHues; }
    const std::vector<double>& scaleTemperatures() const { return ScaleTemperatures; }
    int scaleMinSaturation() const { return ScaleMinSaturation; }
    int scaleLastColouredRow() const { return ScaleLastColouredRow; }

private:
    std::vector<double> ScaleHues;
    std::vector<double> ScaleTemperatures;
    std::vector<float> m_hueKeys; // ScaleHues in single precision, as the bisection compares
    int ScaleMinSaturation = 123456;
    int ScaleLastColouredRow = 0;
};

} // namespace geo
