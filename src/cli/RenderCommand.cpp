// thalwise-cli render CHART OUT [--annotations FILE.ini] [--home LAT,LON] [--waypoint TEXT]...

#include "cli/ChartFiles.h"
#include "cli/CommandLine.h"

#include "gif/GIFImage.h"

#include <QTextStream>

namespace cli {

// The picture the window shows for the chart, written as the window's Save As writes it (OUT
// ending in ".png": PNG, otherwise a GIF on the chart's palette with its scale but not its time
// stamp). The annotations are those of the file, drawn in the default annotation font; the home
// and the waypoints (numbered from 1 in the order given) are marked where the chart's area,
// recognised from its file name, puts them. A waypoint that does not parse is refused rather
// than left out, so that a typing error does not go unnoticed. Status 1 for an unreadable chart
// or annotation file, an output that cannot be written or that is the chart itself.
int render(const QStringList& args, QTextStream& out, QTextStream& err) {
    CommandLine line("render");
    addAnnotationsOption(line);
    line.addValue(QStringLiteral("home"), QStringLiteral("LAT,LON"),
                  QStringLiteral("Mark home at this position."));
    line.addValue(
        QStringLiteral("waypoint"), QStringLiteral("TEXT"),
        QStringLiteral("Mark a waypoint (\"Lat=%.2f,Lon=%.2f,Tf=%.1f\"); may be repeated."), true);
    line.addArgument(QStringLiteral("CHART"), QStringLiteral("The chart, named for its area."));
    line.addArgument(QStringLiteral("OUT"), QStringLiteral("The picture to write, .png or .gif."));
    if (const std::optional<int> done = line.parse(args, out, err)) return *done;
    const QStringList files = line.arguments();
    if (files.size() != 2) return line.wrong(err);
    const QString& path = files[0];
    const QString& output = files[1];
    const QString annotationFile = line.value(QStringLiteral("annotations"));
    if (line.isSet(QStringLiteral("annotations")) && annotationFile.isEmpty())
        return line.wrong(err, QStringLiteral("--annotations needs a file name"));
    QString why;
    Position home;
    if (line.isSet(QStringLiteral("home"))) {
        const std::optional<Position> given =
            readPosition(line.value(QStringLiteral("home")), &why);
        if (!given) return line.wrong(err, QStringLiteral("--home ") + why);
        home = *given;
    }
    const QStringList waypoints = line.values(QStringLiteral("waypoint"));
    for (const QString& waypoint : waypoints)
        if (!readWaypoint(waypoint, &why))
            return line.wrong(err, QStringLiteral("--waypoint ") + why);

    TGIFImage image;
    QImage chart;
    if (!loadChart(path, image, chart, err)) return 1;
    if (isTheChartItself(output, path, err)) return 1;
    geo::Annotations annotations;
    if (!annotationFile.isEmpty() && !readAnnotationFile(annotationFile, annotations, err))
        return 1;

    const QImage composed =
        composedChart(path, chart, annotations, home.latitude, home.longitude, waypoints);
    if (!writeChartPicture(composed, chart, image, output, err)) return 1;
    return 0;
}

} // namespace cli
