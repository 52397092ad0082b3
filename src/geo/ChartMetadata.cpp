#include "geo/ChartMetadata.h"

#include "geo/TemperatureScale.h"
#include "geo/TextFields.h"
#include "geo/ThalwiseUtils.h"
#include "platform/Text.h"

#include <QCoreApplication>

#include <cmath>
#include <limits>
#include <optional>

namespace {

bool isBlank(QChar c) {
    return c.unicode() <= u' ';
}

// A decimal integer as the publisher writes TMIN and TMAX: leading blanks allowed, then an
// optional sign and digits only, within 32 bits.
bool readInteger(const QString& text, int& value) {
    qsizetype i = 0;
    while (i < text.size() && isBlank(text[i]))
        ++i;
    const std::optional<int> v = geo::readDecimalInteger(text.mid(i));
    if (v) value = *v;
    return v.has_value();
}

} // namespace

namespace geo {

QString commentTextFromSubBlocks(const QStringList& subBlocks) {
    QString text;
    for (const QString& block : subBlocks)
        text += block + QLatin1String("\r\n");
    return text;
}

QStringList commentLines(const QString& commentText) {
    // Trimmed, the text ends in no line break, so its last line is never dropped.
    return geo::splitLines(platform::trimmedWhere(commentText, isBlank).toString());
}

QString commentValue(const QStringList& lines, const QString& key) {
    for (const QString& line : lines) {
        const qsizetype equals = line.indexOf(u'=');
        if (equals < 0) continue;
        if (QStringView(line).left(equals).compare(key, Qt::CaseInsensitive) == 0)
            return line.mid(equals + 1);
    }
    return QString();
}

bool readVariation(const QString& text, const QLocale& locale, float& variation) {
    const QString trimmed = text.trimmed();
    const QString localePoint = locale.decimalPoint();
    // Rewrite into the C locale's form: one mark, digits on at least one side of it.
    QString normal;
    normal.reserve(trimmed.size());
    qsizetype i = 0;
    if (i < trimmed.size() && (trimmed[i] == u'+' || trimmed[i] == u'-')) normal += trimmed[i++];
    int digits = 0;
    bool seenMark = false;
    while (i < trimmed.size()) {
        const QChar c = trimmed[i];
        if (c.unicode() >= u'0' && c.unicode() <= u'9') {
            normal += c;
            ++digits;
            ++i;
        } else if (!seenMark && c == u'.') {
            normal += u'.';
            seenMark = true;
            ++i;
        } else if (!seenMark && !localePoint.isEmpty() &&
                   QStringView(trimmed).mid(i).startsWith(localePoint)) {
            normal += u'.';
            seenMark = true;
            i += localePoint.size();
        } else {
            break;
        }
    }
    if (digits == 0) return false;
    if (i < trimmed.size() && (trimmed[i] == u'e' || trimmed[i] == u'E')) {
        normal += u'e';
        ++i;
        if (i < trimmed.size() && (trimmed[i] == u'+' || trimmed[i] == u'-'))
            normal += trimmed[i++];
        int exponentDigits = 0;
        while (i < trimmed.size() && trimmed[i].unicode() >= u'0' && trimmed[i].unicode() <= u'9') {
            normal += trimmed[i++];
            ++exponentDigits;
        }
        if (exponentDigits == 0) return false;
    }
    if (i != trimmed.size()) return false;
    bool ok = false;
    const double value = QLocale::c().toDouble(normal, &ok);
    if (!ok || !std::isfinite(value) ||
        std::fabs(value) > double(std::numeric_limits<float>::max()))
        return false;
    variation = float(value);
    return true;
}

ChartComment readChartComment(const QString& commentText, const QLocale& locale) {
    ChartComment comment;
    const QStringList lines = commentLines(commentText);
    if (lines.size() == 1) {
        comment.timestamp = lines.front();
        return comment;
    }
    comment.timestamp = commentValue(lines, QStringLiteral("TIMESTAMP"));
    if (comment.timestamp.isNull()) comment.timestamp = QLatin1String("");
    int scaleMin = 0;
    int scaleMax = 0;
    float variation = 0.0f;
    if (readInteger(commentValue(lines, QStringLiteral("TMIN")), scaleMin) &&
        readInteger(commentValue(lines, QStringLiteral("TMAX")), scaleMax) &&
        readVariation(commentValue(lines, QStringLiteral("VARIATION")), locale, variation)) {
        comment.hasRange = true;
        comment.scaleMin = scaleMin;
        comment.scaleMax = scaleMax;
        comment.variation = variation;
    }
    return comment;
}

ChartMetadata readChartMetadata(const QStringList& commentTexts, const QLocale& locale,
                                bool celsius) {
    ChartMetadata metadata;
    for (const QString& text : commentTexts) {
        const ChartComment comment = readChartComment(text, locale);
        metadata.timestamp = comment.timestamp;
        if (comment.hasRange) {
            metadata.hasRange = true;
            metadata.scaleMin = comment.scaleMin;
            metadata.scaleMax = comment.scaleMax;
            metadata.hasVariation = true;
            metadata.magneticVariation = comment.variation;
        } else {
            metadata.hasVariation = false;
            metadata.magneticVariation = 0.0f;
        }
    }
    metadata.toolTip = chartToolTip(metadata, locale, celsius);
    return metadata;
}

QString chartToolTip(const ChartMetadata& metadata, const QLocale& locale, bool celsius) {
    if (!metadata.hasRange) return QString();
    // Quirk "variation-tip-follows-heading": a later comment without a well-formed range keeps
    // the earlier range but resets the variation, so the tool-tip no longer names a variation
    // the headings have stopped applying.
    if (!metadata.hasVariation)
        return rangeOnlyToolTip(metadata.scaleMin, metadata.scaleMax, locale, celsius);
    return rangeToolTip(metadata.scaleMin, metadata.scaleMax, metadata.magneticVariation, locale,
                        celsius);
}

namespace {

// One end of the scale with its unit: the scale's own whole °F, or °C with one decimal. A 0
// among them is a temperature, not "none".
QString scaleEndText(int fahrenheit, const QLocale& locale, bool celsius) {
    return (celsius ? temperatureDigits(fahrenheit, true, locale) : QString::number(fahrenheit)) +
           temperatureUnitText(celsius);
}

} // namespace

QString rangeOnlyToolTip(int scaleMin, int scaleMax, const QLocale& locale, bool celsius) {
    //: %1 and %2 are the scale's ends with their unit (50°F, or 10.0°C).
    return QCoreApplication::translate("ChartMetadata", "Temperature range in chart is: %1 .. %2")
        .arg(scaleEndText(scaleMin, locale, celsius), scaleEndText(scaleMax, locale, celsius));
}

QString rangeToolTip(int scaleMin, int scaleMax, float variation, const QLocale& locale,
                     bool celsius) {
    const QString degree(QChar(u'\u00B0'));
    // The magnitude in both cases, so that a variation of -0 reads "0.0° E", not "-0.0° E".
    const QString side = variation >= 0.0f
                             ? QCoreApplication::translate("ChartMetadata", "E", "east variation")
                             : QCoreApplication::translate("ChartMetadata", "W", "west variation");
    const auto end = [&](int fahrenheit) { return scaleEndText(fahrenheit, locale, celsius); };
    //: %1 and %3 are the scale's ends with their unit (50°F, or 10.0°C), %2 the degree sign,
    //: %4 the variation's size in degrees and %5 its side (E or W).
    return QCoreApplication::translate("ChartMetadata", "Temperature range in chart is: %1 .. %3\r"
                                                        "Magnetic variation is %4%2 %5")
        .arg(end(scaleMin), degree, end(scaleMax),
             formatFixed(std::fabs(double(variation)), 1, locale), side);
}

ScaleRange chartScaleRange(const ChartMetadata& metadata, ScaleRange fallback) {
    if (!metadata.hasRange) return fallback;
    return {scaleMinSpinner(metadata.scaleMin).value, scaleMaxSpinner(metadata.scaleMax).value};
}

} // namespace geo
