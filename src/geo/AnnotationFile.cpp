#include "geo/AnnotationFile.h"

#include "platform/ProfileFile.h"
#include "platform/Text.h"

#include <QStringView>

namespace geo {

namespace {

const QString DataLevelSection = QStringLiteral("DataLevel");
const QString LinesSection = QStringLiteral("Lines");
const QString TextSection = QStringLiteral("Text");

// The longest x, rest and text a "Text" entry is read with.
constexpr qsizetype TextPartChars = 999;

constexpr int CoordinateMax = 65535;

// Blanks in a comma list are all the control characters and the space.
bool isBlank(QChar c) {
    return c.unicode() >= 1 && c.unicode() <= 32;
}

QStringView trimBlanks(QStringView text) {
    return platform::trimmedWhere(text, isBlank);
}

// A chart pixel coordinate: decimal digits with an optional sign, blanks around them allowed.
// A number outside 0..65535 cannot be packed into a point and reads as none (it is not wrapped).
std::optional<int> coordinate(QStringView item) {
    const QStringView text = trimBlanks(item);
    qsizetype i = 0;
    bool negative = false;
    if (i < text.size() && (text[i] == u'+' || text[i] == u'-')) negative = text[i++] == u'-';
    if (i == text.size()) return std::nullopt;
    qint64 value = 0;
    for (; i < text.size(); ++i) {
        if (text[i] < u'0' || text[i] > u'9') return std::nullopt;
        // Past the limit the digits are still checked, but the value stays out of range.
        if (value <= CoordinateMax) value = value * 10 + (text[i].unicode() - u'0');
    }
    if (negative) value = -value;
    if (value < 0 || value > CoordinateMax) return std::nullopt;
    return int(value);
}

} // namespace

QString annotationFileName(const QString& programInfoFolder, const QString& areaCode) {
    return programInfoFolder + areaCode + QStringLiteral(".ini");
}

QStringList commaItems(const QString& value) {
    QStringList items;
    const qsizetype n = value.size();
    qsizetype i = 0;
    while (i < n && isBlank(value[i]))
        ++i;
    if (i == n) return items;
    for (;;) {
        QString item;
        if (value[i] == u'"') {
            for (++i; i < n; ++i) {
                if (value[i] != u'"') {
                    item += value[i];
                } else if (i + 1 < n && value[i + 1] == u'"') {
                    item += u'"';
                    ++i;
                } else {
                    ++i;
                    break;
                }
            }
        } else {
            const qsizetype start = i;
            while (i < n && value[i] != u',' && !isBlank(value[i]))
                ++i;
            item = value.mid(start, i - start);
        }
        items.append(item);
        while (i < n && isBlank(value[i]))
            ++i;
        if (i == n) break;
        if (value[i] == u',') {
            ++i;
            while (i < n && isBlank(value[i]))
                ++i;
            if (i == n) {
                // A trailing comma ends the list with an empty item.
                items.append(QString());
                break;
            }
        }
        // Anything else starts the next item without a comma.
    }
    return items;
}

std::optional<AnnotationLine> lineFromValue(const QString& value) {
    const QStringList items = commaItems(value);
    if (items.size() < 4) return std::nullopt;
    AnnotationLine line;
    // A last unpaired item is ignored.
    for (qsizetype i = 0; i + 1 < items.size(); i += 2) {
        const std::optional<int> x = coordinate(items[i]);
        const std::optional<int> y = coordinate(items[i + 1]);
        if (!x || !y) return std::nullopt;
        line.points.append(QPoint(*x, *y));
    }
    return line;
}

std::optional<AnnotationText> textFromValue(const QString& value) {
    const qsizetype firstComma = value.indexOf(u',');
    if (firstComma < 0) return std::nullopt;
    // The rest after x is read into a buffer of 999 characters, and so is the text after y:
    // a long y leaves less room for the text.
    const QString rest = platform::cutText(QStringView(value).mid(firstComma + 1), TextPartChars);
    const qsizetype secondComma = rest.indexOf(u',');
    if (secondComma < 0) return std::nullopt;
    const std::optional<int> x = coordinate(QStringView(value).left(firstComma));
    const std::optional<int> y = coordinate(QStringView(rest).left(secondComma));
    if (!x || !y) return std::nullopt;
    AnnotationText text;
    text.centre = QPoint(*x, *y);
    text.text = platform::cutText(QStringView(rest).mid(secondComma + 1), TextPartChars);
    return text;
}

QString lineValue(const AnnotationLine& line) {
    QStringList numbers;
    for (const QPoint& point : line.points)
        numbers << QString::number(point.x()) << QString::number(point.y());
    return numbers.join(u',');
}

QString textValue(const AnnotationText& text) {
    return QStringLiteral("%1,%2,").arg(text.centre.x()).arg(text.centre.y()) + text.text;
}

Annotations readAnnotations(const platform::ProfileFile& file) {
    Annotations annotations;
    // Entries are looked up as the keys 0..n-1, n being the number of keys listed with a value:
    // a gap in the numbering or an empty value leaves the last entries unread.
    const qsizetype lineCount = file.readSectionValues(LinesSection).size();
    for (qsizetype i = 0; i < lineCount; ++i)
        if (auto line = lineFromValue(file.readString(LinesSection, QString::number(i))))
            annotations.lines.append(*line);
    const qsizetype textCount = file.readSectionValues(TextSection).size();
    for (qsizetype i = 0; i < textCount; ++i)
        if (auto text = textFromValue(file.readString(TextSection, QString::number(i))))
            annotations.texts.append(*text);
    return annotations;
}

Annotations loadAnnotations(platform::ProfileFile& file, bool* writeFailed) {
    bool failed = false;
    // The level marker is written when missing and never read; writing it creates the file.
    if (file.sectionKeys(DataLevelSection).isEmpty()) {
        file.writeString(DataLevelSection, QStringLiteral("Revision"), QStringLiteral("1"));
        failed = !file.flush();
    }
    if (writeFailed) *writeFailed = failed;
    return readAnnotations(file);
}

bool saveAnnotations(platform::ProfileFile& file, const QList<AnnotationLine>& lines,
                     const QList<AnnotationText>& texts) {
    // Each rewritten section moves to the end of the file, so a saved file reads
    // "DataLevel", "Lines", "Text".
    // A text the file cannot hold (a NUL, a line break) fails the save; the rest is still written.
    bool written = true;
    file.eraseSection(LinesSection);
    for (qsizetype i = 0; i < lines.size(); ++i)
        written =
            file.writeString(LinesSection, QString::number(i), lineValue(lines[i])) && written;
    file.eraseSection(TextSection);
    for (qsizetype i = 0; i < texts.size(); ++i)
        written = file.writeString(TextSection, QString::number(i), textValue(texts[i])) && written;
    return file.flush() && written;
}

bool eraseAnnotationSections(platform::ProfileFile& file) {
    file.eraseSection(TextSection);
    file.eraseSection(LinesSection);
    return file.flush();
}

} // namespace geo
