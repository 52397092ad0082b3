#include "geo/ThalwiseUtils.h"

#include "geo/vekMapping.h"

#include <QCoreApplication>

#include <algorithm>
#include <charconv>
#include <cmath>
#include <system_error>

namespace {

constexpr char16_t DegreeSign = u'\u00B0';
constexpr double KilometresPerNauticalMile = 1.852;

// One readout text built on the stack and turned into a QString once: the pointer handler
// builds four of them on every move.
class ReadoutText {
public:
    explicit ReadoutText(const QLocale& locale) : m_point(locale.decimalPoint()) {}

    ReadoutText& operator<<(const char* latin1) {
        while (*latin1)
            put(char16_t(uchar(*latin1++)));
        return *this;
    }
    ReadoutText& operator<<(char16_t c) {
        put(c);
        return *this;
    }
    ReadoutText& operator<<(const QString& text) {
        for (QChar c : text)
            put(c.unicode());
        return *this;
    }

    // A fixed number of decimals. std::to_chars ignores the C library's locale (which a Qt
    // program takes from the environment) and rounds the exact binary value, as printf's
    // "%.Nf" does; the locale's separator replaces the period.
    // With unsignedZero, a value that rounds to zero reads without its minus sign.
    ReadoutText& fixed(double value, int decimals, bool unsignedZero = false) {
        char digits[400];
        const auto result = std::to_chars(digits, digits + sizeof digits, value,
                                          std::chars_format::fixed, decimals);
        if (result.ec != std::errc()) return *this << "?";
        const char* first = digits;
        if (unsignedZero && *first == '-' &&
            std::all_of(first + 1, static_cast<const char*>(result.ptr),
                        [](char c) { return c == '0' || c == '.'; }))
            ++first;
        for (const char* p = first; p != result.ptr; ++p) {
            if (*p == '.') {
                for (QChar c : m_point)
                    put(c.unicode());
            } else {
                put(char16_t(*p));
            }
        }
        return *this;
    }

    ReadoutText& integer(long long value) {
        char digits[24];
        const auto result = std::to_chars(digits, digits + sizeof digits, value);
        for (const char* p = digits; p != result.ptr; ++p)
            put(char16_t(*p));
        return *this;
    }

    QString toString() const { return QString(reinterpret_cast<const QChar*>(m_text), m_size); }

private:
    void put(char16_t c) {
        if (m_size < Capacity) m_text[m_size++] = c;
    }

    static constexpr int Capacity = 1024;
    char16_t m_text[Capacity];
    int m_size = 0;
    QString m_point;
};

// Appends a translated pattern with its "%1" and "%2" written in place by the two parts (each
// called with the text): the readouts are built on every pointer move, and QString::arg would
// allocate a string for each part and one for the result.
template <typename First, typename Second>
void appendPattern(ReadoutText& text, const QString& pattern, const First& first,
                   const Second& second) {
    const qsizetype size = pattern.size();
    for (qsizetype i = 0; i < size; ++i) {
        const QChar c = pattern[i];
        if (c == u'%' && i + 1 < size && (pattern[i + 1] == u'1' || pattern[i + 1] == u'2')) {
            if (pattern[++i] == u'1')
                first(text);
            else
                second(text);
            continue;
        }
        text << c.unicode();
    }
}

// What a readout shows for a value that is no angle at all (not finite, or beyond a full
// turn): a plain placeholder rather than "inf°" or the digits of a float's garbage.
constexpr char NoAngle[] = "---";

void appendDegrees(ReadoutText& text, float angle, bool decimalDegrees) {
    const double magnitude = std::fabs(double(angle)); // no sign, no hemisphere letter
    if (!std::isfinite(magnitude) || magnitude > 360.0) {
        text << NoAngle;
        return;
    }
    if (decimalDegrees) {
        text.fixed(magnitude, 3) << DegreeSign;
        return;
    }
    // Whole minutes are rounded (halves to even) before the split into degrees and minutes,
    // so a value a hair below a whole degree never reads as 60 minutes.
    const double totalMinutes = std::nearbyint(magnitude * 60.0);
    const double degrees = std::floor(totalMinutes / 60.0);
    const int minutes = int(totalMinutes - degrees * 60.0);
    text.fixed(degrees, 0) << DegreeSign << char16_t(u'0' + minutes / 10)
                           << char16_t(u'0' + minutes % 10) << u'\'';
}

// "%.1f°" of the heading, magnetic when the readout is (even with no variation), brought into
// 0..360 in single precision before it is rounded.
void appendHeading(ReadoutText& text, float trueBearing, bool magneticReadout,
                   float magneticVariation) {
    float b = trueBearing;
    if (magneticReadout) b = b - magneticVariation; // magnetic = true - east variation
    if (!std::isfinite(b)) {
        text << NoAngle;
        return;
    }
    // Far out of range the stepping below would never end in single precision.
    if (std::fabs(b) >= 720.0f) b = float(std::fmod(double(b), 360.0));
    while (b < 0.0f)
        b = b + 360.0f;
    while (b >= 360.0f)
        b = b - 360.0f;
    text.fixed(b, 1) << DegreeSign;
}

void appendBearing(ReadoutText& text, float trueBearing, bool magneticReadout,
                   float magneticVariation) {
    const bool magnetic = magneticReadout && magneticVariation != 0.0f;
    appendHeading(text, trueBearing, magneticReadout, magneticVariation);
    text << (magnetic ? QCoreApplication::translate("ThalwiseUtils", " (mag.)")
                      : QCoreApplication::translate("ThalwiseUtils", " (true)"));
}

// A temperature's digits and unit. The °F readout is written as it always was; the °C one
// drops the sign of a value that rounds to zero: "-0.0°C" would read as a frost that is not
// there.
void appendTemperatureDigits(ReadoutText& text, double fahrenheit, bool celsius, int decimals = 1) {
    if (celsius)
        text.fixed(geo::celsiusFromFahrenheit(fahrenheit), decimals, true);
    else
        text.fixed(fahrenheit, decimals);
}

void appendTemperature(ReadoutText& text, double fahrenheit, bool celsius, int decimals = 1) {
    appendTemperatureDigits(text, fahrenheit, celsius, decimals);
    text << DegreeSign << (celsius ? u'C' : u'F');
}

} // namespace

namespace geo {

QString temperatureDigits(double fahrenheit, bool celsius, const QLocale& locale) {
    ReadoutText text(locale);
    appendTemperatureDigits(text, fahrenheit, celsius);
    return text.toString();
}

QString temperatureUnitText(bool celsius) {
    return QString(QChar(DegreeSign)) + (celsius ? u'C' : u'F');
}

QString temperatureText(float fahrenheit, bool celsius, const QLocale& locale, int decimals) {
    if (fahrenheit == 0.0f) return QString(); // no temperature
    ReadoutText text(locale);
    appendTemperature(text, fahrenheit, celsius, decimals);
    return text.toString();
}

QString formatFixed(double value, int decimals, const QLocale& locale) {
    ReadoutText text(locale);
    text.fixed(value, decimals);
    return text.toString();
}

QString headingText(float trueBearing, bool magneticReadout, float magneticVariation,
                    const QLocale& locale) {
    ReadoutText text(locale);
    appendHeading(text, trueBearing, magneticReadout, magneticVariation);
    return text.toString();
}

float nauticalMiles(float kilometres) {
    return float(double(kilometres) / KilometresPerNauticalMile);
}

QString positionPanelText(float latitude, float longitude, bool decimalDegrees,
                          const QLocale& locale) {
    ReadoutText text(locale);
    appendPattern(
        text, QCoreApplication::translate("ThalwiseUtils", "Lat: %1    Lon: %2"),
        [&](ReadoutText& t) { appendDegrees(t, latitude, decimalDegrees); },
        [&](ReadoutText& t) { appendDegrees(t, longitude, decimalDegrees); });
    return text.toString();
}

QString temperaturePanelText(float temperatureF, const QLocale& locale, bool celsius,
                             int decimals) {
    if (temperatureF == 0.0f) return QString(); // no temperature found
    ReadoutText text(locale);
    //: %1 is the water temperature with its unit, such as 65.3°F or 18.5°C.
    appendPattern(
        text, QCoreApplication::translate("ThalwiseUtils", "Temperature: %1"),
        [&](ReadoutText& t) { appendTemperature(t, temperatureF, celsius, decimals); },
        [](ReadoutText&) {});
    return text.toString();
}

QString rangePanelText(float distanceKm, float trueBearing, bool magneticReadout,
                       float magneticVariation, const QLocale& locale) {
    ReadoutText text(locale);
    //: %1 is the distance in nautical miles, %2 the heading with "(mag.)" or "(true)".
    appendPattern(
        text, QCoreApplication::translate("ThalwiseUtils", "Range: %1 NM at %2"),
        [&](ReadoutText& t) { t.fixed(nauticalMiles(distanceKm), 1); },
        [&](ReadoutText& t) { appendBearing(t, trueBearing, magneticReadout, magneticVariation); });
    return text.toString();
}

QString rangePanelText(float fromLatitude, float fromLongitude, float toLatitude, float toLongitude,
                       bool magneticReadout, float magneticVariation, const QLocale& locale) {
    float distanceKm = 0.0f;
    float bearing = 0.0f;
    if (!RangeAndBearing(fromLongitude, fromLatitude, toLongitude, toLatitude, distanceKm, bearing))
        return QString();
    return rangePanelText(distanceKm, bearing, magneticReadout, magneticVariation, locale);
}

QString pixelPanelText(int x, int y) {
    ReadoutText text(QLocale::c());
    appendPattern(
        text, QCoreApplication::translate("ThalwiseUtils", "X: %1, Y: %2"),
        [x](ReadoutText& t) { t.integer(x); }, [y](ReadoutText& t) { t.integer(y); });
    return text.toString();
}

} // namespace geo

QString FormatDegrees(float angle, bool decimalDegrees, const QLocale& locale) {
    ReadoutText text(locale);
    appendDegrees(text, angle, decimalDegrees);
    return text.toString();
}

QString FormatBearing(float trueBearing, bool magneticReadout, float magneticVariation,
                      const QLocale& locale) {
    ReadoutText text(locale);
    appendBearing(text, trueBearing, magneticReadout, magneticVariation);
    return text.toString();
}
