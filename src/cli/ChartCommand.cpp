// thalwise-cli chart DATA.nc OUT.gif --area N|CODE [--min F --max F]

#include "cli/ChartFiles.h"
#include "cli/CommandLine.h"

#include "geo/AreaStuff.h"
#include "sst/DataChart.h"
#include "sst/GriddapRequest.h"
#include "sst/NetcdfGrid.h"

#include <QSaveFile>
#include <QTextStream>

namespace cli {

// A chart of an area made from a NetCDF file of sea-surface temperature (an ERDDAP download or
// a GHRSST file; only the area's part is read), written as OUT.gif with the data's own values
// inside. Prints the chart's file, time stamp, range and variation. Status 1 when the file
// cannot be read as sea temperature over the area or the chart cannot be written.
int chart(const QStringList& args, QTextStream& out, QTextStream& err) {
    CommandLine line("chart");
    line.addValue(QStringLiteral("area"), QStringLiteral("N|CODE"),
                  QStringLiteral("The area to chart, by number (1..30) or code (ne01)."));
    line.addValue(QStringLiteral("min"), QStringLiteral("F"),
                  QStringLiteral("The scale's lower end, whole degrees F (with --max)."));
    line.addValue(QStringLiteral("max"), QStringLiteral("F"),
                  QStringLiteral("The scale's upper end, whole degrees F (with --min)."));
    line.addArgument(QStringLiteral("DATA.nc"),
                     QStringLiteral("Sea-surface temperature as NetCDF: an ERDDAP download or a "
                                    "GHRSST file."));
    line.addArgument(QStringLiteral("OUT.gif"), QStringLiteral("The chart to write."));
    line.setNotes(QStringLiteral(
        "Units, scale, offset and missing values are read from the file. Without --min and\n"
        "--max the range holds the chart's water with 2 F to spare, at least 10 F wide."));
    if (const std::optional<int> done = line.parse(args, out, err)) return *done;
    if (line.arguments().size() != 2 || !line.isSet(QStringLiteral("area"))) return line.wrong(err);
    QString why;
    const std::optional<int> area = readArea(line.value(QStringLiteral("area")), &why);
    if (!area) return line.wrong(err, QStringLiteral("--area ") + line.value("area") + u' ' + why);
    sst::DataChartOptions options;
    if (line.isSet(QStringLiteral("min")) || line.isSet(QStringLiteral("max"))) {
        if (!line.isSet(QStringLiteral("min")) || !line.isSet(QStringLiteral("max")))
            return line.wrong(err, QStringLiteral("give --min and --max together"));
        const std::optional<int> low = readWholeNumber(
            line.value(QStringLiteral("min")), geo::ScaleValueLowest, geo::ScaleValueHighest, &why);
        if (!low) return line.wrong(err, QStringLiteral("--min ") + why);
        const std::optional<int> high = readWholeNumber(
            line.value(QStringLiteral("max")), geo::ScaleValueLowest, geo::ScaleValueHighest, &why);
        if (!high) return line.wrong(err, QStringLiteral("--max ") + why);
        if (*low >= *high) return line.wrong(err, QStringLiteral("--min must be below --max"));
        options.range = geo::ScaleRange{*low, *high};
    }

    const QString dataPath = line.arguments().at(0), chartPath = line.arguments().at(1);
    QString error;
    const std::optional<geo::SstGrid> grid =
        sst::readSstGridFile(dataPath, {QString(), sst::chartBox(*area), QString()}, &error);
    if (!grid) {
        reportError(err, dataPath, error);
        return 1;
    }
    const std::optional<sst::DataChart> chart = sst::makeDataChart(*grid, *area, options, &error);
    const std::optional<QByteArray> bytes =
        chart ? sst::encodeDataChart(*chart, &error) : std::nullopt;
    if (!bytes) {
        reportError(err, dataPath, error);
        return 1;
    }
    QSaveFile file(chartPath);
    if (!file.open(QIODevice::WriteOnly) || file.write(*bytes) != bytes->size() || !file.commit()) {
        reportError(err, chartPath, QStringLiteral("cannot be written"));
        return 1;
    }
    out << "chart: " << chartPath << '\n';
    out << "area: " << *area << ' ' << geo::areaCode(*area) << '\n';
    if (!chart->timestamp.isEmpty()) out << "timestamp: " << chart->timestamp << '\n';
    out << "tmin: " << chart->range.min << '\n';
    out << "tmax: " << chart->range.max << '\n';
    out << "variation: " << fixed(chart->variation, 1) << '\n';
    out.flush();
    return 0;
}

} // namespace cli
