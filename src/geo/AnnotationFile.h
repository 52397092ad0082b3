#pragma once
// The per-area annotation file: where it lives, the form of its "Lines" and "Text" values, and
// reading and writing the two lists through the profile file.
//
//   [DataLevel]
//   Revision=1
//   [Lines]
//   0=120,45,300,210
//   [Text]
//   0=150,60,Shelf edge, warm eddy

#include "geo/Annotation.h"

#include <QList>
#include <QString>
#include <QStringList>

#include <optional>

namespace platform {
class ProfileFile;
}

namespace geo {

struct Annotations {
    QList<AnnotationLine> lines;
    QList<AnnotationText> texts;
};

// programInfoFolder ends in a separator; "ne01" gives <folder>ne01.ini; the empty code (an
// unrecognised chart) gives <folder>.ini.
QString annotationFileName(const QString& programInfoFolder, const QString& areaCode);

// The items of a comma list: runs of characters other than commas and blanks (codes 1..32),
// blanks between items skipped, one comma (with blanks around) separating two items, so ",,"
// gives an empty item, a trailing comma a final empty item and a leading one a first empty item.
// An item starting with a double quote runs to its closing quote (a doubled quote inside stands
// for one quote, an unclosed one runs to the end). An empty or blank value has no items.
QStringList commaItems(const QString& value);

// One "Lines" value "x,y,x,y,...": nothing when it has fewer than 4 items or an item used is no
// integer or lies outside 0..65535; a last unpaired item is ignored.
std::optional<AnnotationLine> lineFromValue(const QString& value);

// One "Text" value "x,y,text": x before the first comma, the rest r cut to 999 characters, y
// before r's first comma, the text after it cut to 999. Nothing without the two commas or when x
// or y is no integer (blanks around it allowed) or outside 0..65535. An empty text is kept.
std::optional<AnnotationText> textFromValue(const QString& value);

// "x,y,x,y,..." of every point.
QString lineValue(const AnnotationLine& line);
// "x,y,text", the text exactly.
QString textValue(const AnnotationText& text);

// What the file holds, read only: for each of the sections "Lines" and "Text", n = the number of
// keys with a non-empty value, and the entries are the values of the keys 0..n-1 (a gap in the
// numbering leaves entries n and above unread); unreadable entries are skipped.
Annotations readAnnotations(const platform::ProfileFile& file);

// Opening an area's file: when "DataLevel" has no keys, writes "Revision"="1" there and flushes
// (this creates the file); then readAnnotations. *writeFailed (when given) tells whether that
// write failed; the lists are read from whatever the file holds either way.
Annotations loadAnnotations(platform::ProfileFile& file, bool* writeFailed);

// Rewrites "Lines" and then "Text" from the lists (keys 0..n-1, each section moved to the end of
// the file; an empty list leaves no section), leaves "DataLevel" alone and flushes. False when
// the flush failed or a text was refused (one holding a NUL or a line break; the others are
// written).
bool saveAnnotations(platform::ProfileFile& file, const QList<AnnotationLine>& lines,
                     const QList<AnnotationText>& texts);

// Clear all: erases "Text" and "Lines" and flushes at once. False when the flush failed.
bool eraseAnnotationSections(platform::ProfileFile& file);

} // namespace geo
