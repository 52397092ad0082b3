// thalwise-cli info FILE...

#include "cli/ChartFiles.h"
#include "cli/CommandLine.h"

#include "geo/AreaStuff.h"
#include "gif/GIFImage.h"

#include <QTextStream>

namespace cli {

namespace {

// The first frame's comment text split at CR and LF, each line trimmed, empty lines skipped.
QStringList commentLines(const TGIFImage& image) {
    QStringList lines;
    if (image.imageCount() == 0) return lines;
    for (const QString& line : geo::commentLines(gif::commentText(image.image(0)))) {
        const QString trimmed = line.trimmed();
        if (!trimmed.isEmpty()) lines.append(trimmed);
    }
    return lines;
}

} // namespace

// File, width, height, frames and the first frame's comment lines per file, then the area
// recognised from the file name ("area: 1 ne01", or "area: 0") and, when the chart's metadata
// has them, timestamp, tmin and tmax (°F) and variation (degrees, one decimal or as many as it
// needs). A file that does not decode is told on err, the others are still shown; status 1.
int info(const QStringList& args, QTextStream& out, QTextStream& err) {
    CommandLine line("info");
    line.addArgument(QStringLiteral("FILE"), QStringLiteral("A GIF file; several may be given."));
    if (const std::optional<int> done = line.parse(args, out, err)) return *done;
    const QStringList files = line.arguments();
    if (files.isEmpty()) return line.wrong(err);
    int status = 0;
    bool first = true;
    for (const QString& path : files) {
        TGIFImage image;
        try {
            image.LoadFromFile(path);
        } catch (const GIFException& e) {
            reportError(err, path, e.message());
            status = 1;
            continue;
        }
        if (!first) out << '\n';
        first = false;
        out << "file: " << path << '\n';
        out << "width: " << image.width() << '\n';
        out << "height: " << image.height() << '\n';
        out << "frames: " << image.imageCount() << '\n';
        for (const QString& comment : commentLines(image))
            out << "comment: " << comment << '\n';
        const int area = geo::chartAreaOfFile(path);
        out << "area: " << area;
        if (area != geo::NoArea) out << ' ' << geo::areaCode(area);
        out << '\n';
        const geo::ChartMetadata metadata = chartMetadata(image);
        if (!metadata.timestamp.isEmpty()) out << "timestamp: " << metadata.timestamp << '\n';
        if (metadata.hasRange) {
            out << "tmin: " << metadata.scaleMin << '\n';
            out << "tmax: " << metadata.scaleMax << '\n';
        }
        if (metadata.hasVariation)
            out << "variation: " << shortestText(metadata.magneticVariation) << '\n';
        out.flush();
    }
    return status;
}

} // namespace cli
