#pragma once
// The user's marks on a chart: lines and texts at chart pixels, and the packed form in which
// their points are kept in the annotation file.

#include <QList>
#include <QPoint>
#include <QString>
#include <cstdint>

// A chart pixel held as one 32-bit integer x * 65536 + y; both coordinates 0 to 65535.
std::uint32_t PackPoint(int x, int y);
// x is the value shifted right by 16 bits (unsigned), y its low 16 bits.
void UnpackPoint(std::uint32_t packed, int& x, int& y);

// A polyline of chart pixels, its start point first (a line the user draws has two).
struct AnnotationLine {
    QList<QPoint> points;
};

// A single-line text centred at a chart pixel.
struct AnnotationText {
    QString text;
    QPoint centre;
};

namespace geo {

// The packed form of a line's points after its start: the decimal packed points separated by
// commas ("" for a line of one point).
QString packedLineRest(const AnnotationLine& line);

// A line read from its packed start point and the packed points after it. The points end at
// the first item that is no 32-bit number (written signed or unsigned, blanks around it
// allowed): the segments before it stay. An empty text gives the start point alone.
AnnotationLine lineFromPacked(std::uint32_t start, const QString& rest);

} // namespace geo
