// Any bytes as an area's annotation file: read as the window loads it, saved back and read
// again. Whatever the file holds, reading never crashes, every mark read lies on a chart pixel,
// and the marks read survive their own save unchanged.
#include "geo/AnnotationFile.h"
#include "platform/ProfileFile.h"

#include <QFile>
#include <QTemporaryDir>

#include <cstdint>
#include <cstdlib>

namespace {

bool onChart(QPoint p) {
    return p.x() >= 0 && p.x() <= 65535 && p.y() >= 0 && p.y() <= 65535;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("ne01.ini"));
    {
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate)) return 0;
        file.write(reinterpret_cast<const char*>(data), qint64(size));
    }
    const geo::Annotations read = geo::readAnnotations(platform::ProfileFile(path));
    for (const AnnotationLine& line : read.lines) {
        if (line.points.size() < 2) std::abort();
        for (const QPoint& p : line.points)
            if (!onChart(p)) std::abort();
    }
    for (const AnnotationText& text : read.texts)
        if (!onChart(text.centre)) std::abort();

    platform::ProfileFile file(path);
    if (!geo::saveAnnotations(file, read.lines, read.texts)) return 0;
    const geo::Annotations again = geo::readAnnotations(platform::ProfileFile(path));
    if (again.lines.size() != read.lines.size() || again.texts.size() != read.texts.size())
        std::abort();
    for (qsizetype i = 0; i < read.lines.size(); ++i)
        if (again.lines[i].points != read.lines[i].points) std::abort();
    return 0;
}
