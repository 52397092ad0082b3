#include "geo/Annotation.h"

#include <QStringView>
#include <limits>

std::uint32_t PackPoint(int x, int y) {
    return (std::uint32_t(x) << 16) + std::uint32_t(y & 0xFFFF);
}

void UnpackPoint(std::uint32_t packed, int& x, int& y) {
    x = int(packed >> 16);
    y = int(packed & 0xFFFF);
}

namespace geo {

QString packedLineRest(const AnnotationLine& line) {
    QString text;
    for (qsizetype i = 1; i < line.points.size(); ++i) {
        if (i > 1) text += u',';
        text += QString::number(PackPoint(line.points[i].x(), line.points[i].y()));
    }
    return text;
}

AnnotationLine lineFromPacked(std::uint32_t start, const QString& rest) {
    AnnotationLine line;
    int x = 0, y = 0;
    UnpackPoint(start, x, y);
    line.points.append(QPoint(x, y));
    if (rest.trimmed().isEmpty()) return line;
    for (const QStringView item : QStringView(rest).split(u',')) {
        bool ok = false;
        const qlonglong packed = item.trimmed().toLongLong(&ok);
        // A point is a 32-bit value that may have been written signed.
        if (!ok || packed < std::numeric_limits<std::int32_t>::min() ||
            packed > qlonglong(std::numeric_limits<std::uint32_t>::max()))
            break;
        UnpackPoint(std::uint32_t(packed), x, y);
        line.points.append(QPoint(x, y));
    }
    return line;
}

} // namespace geo
