// thalwise-cli breaks CHART OUT.png [--threshold F_PER_NM]

#include "cli/ChartFiles.h"
#include "cli/CommandLine.h"

#include "geo/TemperatureBreaks.h"
#include "gif/GIFImage.h"

#include <QTextStream>

namespace cli {

// The chart with its temperature breaks drawn (the gradients of at least the threshold), written
// as render writes it; prints the threshold and the number of break pixels. Status 1 for an
// unreadable chart, an area without calibration or an output that cannot be written.
int breaks(const QStringList& args, QTextStream& out, QTextStream& err) {
    CommandLine line("breaks");
    addThresholdOption(line);
    line.addArgument(QStringLiteral("CHART"), QStringLiteral("The chart, named for its area."));
    line.addArgument(QStringLiteral("OUT.png"), QStringLiteral("The picture to write."));
    if (const std::optional<int> done = line.parse(args, out, err)) return *done;
    const QStringList files = line.arguments();
    if (files.size() != 2) return line.wrong(err);
    const QString& path = files[0];
    const QString& output = files[1];
    double threshold = geo::DefaultBreakThreshold;
    if (line.isSet(QStringLiteral("threshold"))) {
        QString why;
        const std::optional<double> given =
            readThreshold(line.value(QStringLiteral("threshold")), &why);
        if (!given) return line.wrong(err, QStringLiteral("--threshold ") + why);
        threshold = *given;
    }

    TGIFImage image;
    QImage chart;
    if (!loadChart(path, image, chart, err)) return 1;
    if (isTheChartItself(output, path, err)) return 1;
    const std::optional<geo::Calibration> calibration = chartCalibration(path, err);
    if (!calibration) return 1;
    chart = chart.convertToFormat(QImage::Format_RGB32);
    const geo::BreakLayer layer =
        geo::chartBreaks(chartScale(image), chart, *calibration, threshold);
    QImage drawn = chart;
    geo::drawBreaks(drawn, layer);
    if (!writeChartPicture(drawn, chart, image, output, err)) return 1;
    out << "threshold: " << fixed(threshold, 2) << " F/NM\n";
    out << "break pixels: " << layer.markCount << '\n';
    out.flush();
    return 0;
}

} // namespace cli
