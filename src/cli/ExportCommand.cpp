// thalwise-cli export CHART OUT [--temperature] [--breaks] [--threshold F_PER_NM]
// [--isotherms LIST] [--annotations FILE.ini]

#include "cli/ChartFiles.h"
#include "cli/CommandLine.h"

#include "app/ProgramFolders.h"
#include "export/ChartExport.h"
#include "geo/AreaStuff.h"
#include "geo/Isotherms.h"
#include "gif/GIFImage.h"
#include "platform/QtDesktop.h"

#include <QTextStream>

namespace cli {

// The chart for chart plotters and chart software in the format OUT's extension names (.gpx,
// .kap, .mbtiles, .tif, .kmz), as File > Export writes it; --temperature (a .tif only) the
// water's temperature grid instead of the picture. Status 2 for a wrong command line, a name of
// no format or an isotherm list that does not parse, 1 for an unreadable chart or marks file,
// an area without calibration, a refused name or a file that cannot be written.
int exportChart(const QStringList& args, QTextStream& out, QTextStream& err) {
    CommandLine line("export");
    line.addFlag(QStringLiteral("temperature"),
                 QStringLiteral("The water's temperature grid instead of the picture (.tif)."));
    line.addFlag(QStringLiteral("breaks"), QStringLiteral("Add the temperature breaks."));
    addThresholdOption(line);
    line.addValue(
        QStringLiteral("isotherms"), QStringLiteral("LIST"),
        QStringLiteral("Add isotherms: temperatures such as \"68,70,72\" or \"every 2\"."));
    addAnnotationsOption(line);
    line.addArgument(QStringLiteral("CHART"), QStringLiteral("The chart, named for its area."));
    line.addArgument(QStringLiteral("OUT"),
                     QStringLiteral("The file to write; its extension names the format."));
    if (const std::optional<int> done = line.parse(args, out, err)) return *done;
    const QStringList files = line.arguments();
    if (files.size() != 2) return line.wrong(err);

    exports::ExportContents contents;
    contents.picture = true;
    contents.temperatureGrid = line.isSet(QStringLiteral("temperature"));
    contents.breaks = line.isSet(QStringLiteral("breaks"));
    if (line.isSet(QStringLiteral("threshold"))) {
        QString why;
        const std::optional<double> threshold =
            readThreshold(line.value(QStringLiteral("threshold")), &why);
        if (!threshold) return line.wrong(err, QStringLiteral("--threshold ") + why);
        contents.breakThreshold = *threshold;
    }
    const QString isotherms = line.value(QStringLiteral("isotherms"));
    const QString annotationFile = line.value(QStringLiteral("annotations"));
    for (const QString& name : {QStringLiteral("isotherms"), QStringLiteral("annotations")})
        if (line.isSet(name) && line.value(name).isEmpty())
            return line.wrong(err, QStringLiteral("--%1 needs a value").arg(name));
    contents.marks = !annotationFile.isEmpty();

    exports::ChartSource source;
    source.path = files[0];
    const QString& output = files[1];
    const std::optional<exports::ExportFormat> format = exports::exportFormatOf(output);
    if (!format) {
        reportError(err, output, exports::unknownFormatText());
        return 2;
    }
    if (contents.temperatureGrid && *format != exports::ExportFormat::GeoTiff) {
        reportError(err, output, QStringLiteral("--temperature is only for a .tif"));
        return 2;
    }

    TGIFImage image;
    if (!loadChart(source.path, image, source.bitmap, err)) return 1;
    if (!chartCalibration(source.path, err)) return 1;
    const geo::ChartMetadata metadata = chartMetadata(image);
    const geo::ScaleRange range =
        geo::chartScaleRange(metadata, {geo::ScaleMinInitial, geo::ScaleMaxInitial});
    if (!isotherms.isEmpty()) {
        contents.isotherms = geo::isothermTemperatures(isotherms, range.min, range.max);
        if (contents.isotherms.empty()) {
            reportError(err, isotherms,
                        QStringLiteral("the isotherms must be temperatures within %1 to %2 F, "
                                       "such as \"68,70,72\" or \"every 2\"")
                            .arg(range.min)
                            .arg(range.max));
            return 2;
        }
    }
    geo::Annotations annotations;
    if (!annotationFile.isEmpty() && !readAnnotationFile(annotationFile, annotations, err))
        return 1;

    const geo::TemperatureScale scale = chartScale(image);
    source.area = geo::chartAreaOfFile(source.path);
    source.timestamp = metadata.timestamp;
    source.scale = &scale;
    source.archiveFolder = app::archiveFolderFor(platform::QtDesktop().documentsFolder());
    source.drawMarks = [&](const QImage& picture, bool withAnnotations, bool /*markers*/) {
        return composedChart(source.path, picture,
                             withAnnotations ? annotations : geo::Annotations());
    };
    QString error;
    if (!exports::exportChart(output, source, contents, &error)) {
        reportError(err, output, error);
        return 1;
    }
    return 0;
}

} // namespace cli
