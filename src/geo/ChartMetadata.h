#pragma once
#include <QLocale>
#include <QString>
#include <QStringList>

namespace geo {

// What one comment of a chart says.
struct ChartComment {
    QString timestamp;      // the single line, or the TIMESTAMP value (empty when absent)
    bool hasRange = false;  // keyed, with well-formed TMIN, TMAX and VARIATION
    int scaleMin = 0;       // TMIN, °F
    int scaleMax = 0;       // TMAX, °F
    float variation = 0.0f; // VARIATION, degrees, east positive
};

// What the window applies after reading all comments of a chart.
struct ChartMetadata {
    QString timestamp; // from the last comment; empty without one
    // The last comment that carried a well-formed range (a later comment without one does not
    // take it back): the scale limits to set, scale controls hidden, and the tool-tip text.
    bool hasRange = false;
    int scaleMin = 0;
    int scaleMax = 0;
    QString toolTip; // empty unless hasRange; names the variation only with hasVariation
    // The variation state after the last comment: hasVariation (and magnetic readout) only when
    // the last comment was keyed with a well-formed range; otherwise variation 0 and true
    // headings. A chart without any comment resets it as well.
    bool hasVariation = false;
    float magneticVariation = 0.0f;
};

// The text of a comment from its data sub-blocks: each followed by CR LF.
QString commentTextFromSubBlocks(const QStringList& subBlocks);

// The lines of a comment text: stripped of leading and trailing characters at or below the
// space, then split at CR LF, CR or LF. Empty for a blank comment.
QStringList commentLines(const QString& commentText);

// The value after the first "=" of the first line whose text before that "=" equals key
// without regard to letter case (nothing trimmed); a null string when no line has the key.
QString commentValue(const QStringList& lines, const QString& key);

// A decimal number read with a period, or the locale's own decimal separator, as the decimal
// mark; surrounding blanks allowed. False for anything else or a value a float cannot hold.
bool readVariation(const QString& text, const QLocale& locale, float& variation);

// One comment: exactly one line is a time stamp; otherwise name=value lines with TIMESTAMP,
// TMIN, TMAX (decimal integers) and VARIATION. Missing or malformed values give no range.
ChartComment readChartComment(const QString& commentText, const QLocale& locale = QLocale());

// All comments of a chart's first image, in file order; a later comment overrides. The
// tool-tip reads its temperatures in °C with celsius.
ChartMetadata readChartMetadata(const QStringList& commentTexts, const QLocale& locale = QLocale(),
                                bool celsius = false);

// The scale's range (°F) a chart is read under: its own, as the up-downs take it (see
// scaleMinSpinner), or the fallback for a chart without one.
struct ScaleRange {
    int min = 0;
    int max = 0;
};
ScaleRange chartScaleRange(const ChartMetadata& metadata, ScaleRange fallback);

// The tool-tip of the chart's range as it is in force: empty without a range, the range and the
// variation with one, the range alone when a later comment took the variation back.
QString chartToolTip(const ChartMetadata& metadata, const QLocale& locale = QLocale(),
                     bool celsius = false);

// "Temperature range in chart is: %d°F .. %d°F\r" followed by "Magnetic variation is %.1f° E"
// (variation 0 or more) or "... W" with its magnitude; one decimal, the locale's separator.
// With celsius the two ends read in °C with one decimal ("50°F" as "10.0°C").
QString rangeToolTip(int scaleMin, int scaleMax, float variation, const QLocale& locale = QLocale(),
                     bool celsius = false);
// "Temperature range in chart is: %d°F .. %d°F" alone, for a range in force without variation.
QString rangeOnlyToolTip(int scaleMin, int scaleMax, const QLocale& locale = QLocale(),
                         bool celsius = false);

} // namespace geo
