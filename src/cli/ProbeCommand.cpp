// thalwise-cli probe CHART (--pixel X,Y | --at LAT,LON) [--min F] [--max F]

#include "cli/ChartFiles.h"
#include "cli/CommandLine.h"

#include <QTextStream>

namespace cli {

// The chart pixel, its latitude and longitude (decimal degrees, 5 decimals, negative west) under
// the chart's recognised area, and the temperature there (°F, one decimal, or "none"). With
// --at, the pixel is the one the position maps to and lat/lon are that pixel's position mapped
// back. The scale's range is the chart's TMIN..TMAX, else 30..80; --min and --max override
// either end. Status 1 for an unreadable chart, an unrecognised area or a place off the chart.
int probe(const QStringList& args, QTextStream& out, QTextStream& err) {
    CommandLine line("probe");
    line.addValue(QStringLiteral("pixel"), QStringLiteral("X,Y"),
                  QStringLiteral("The chart pixel to read, from the top left."));
    line.addValue(QStringLiteral("at"), QStringLiteral("LAT,LON"),
                  QStringLiteral("The position to read, in decimal degrees."));
    line.addValue(QStringLiteral("min"), QStringLiteral("F"),
                  QStringLiteral("The scale's lower end, whole degrees F."));
    line.addValue(QStringLiteral("max"), QStringLiteral("F"),
                  QStringLiteral("The scale's upper end, whole degrees F."));
    line.addArgument(QStringLiteral("CHART"), QStringLiteral("The chart, named for its area."));
    line.setNotes(QStringLiteral(
        "--pixel X,Y reports that chart pixel's lat/lon; --at LAT,LON reports the pixel the\n"
        "position maps to and that pixel's lat/lon mapped back. The scale is the chart's own\n"
        "range, else 30..80 F."));
    if (const std::optional<int> done = line.parse(args, out, err)) return *done;
    if (line.arguments().size() != 1) return line.wrong(err);
    const bool byPixel = line.isSet(QStringLiteral("pixel"));
    if (byPixel == line.isSet(QStringLiteral("at")))
        return line.wrong(err, byPixel ? QStringLiteral("give --pixel or --at, not both")
                                       : QStringLiteral("give --pixel X,Y or --at LAT,LON"));
    ChartPlace place;
    QString why;
    if (byPixel) {
        place.pixel = readPixel(line.value(QStringLiteral("pixel")), &why);
        if (!place.pixel) return line.wrong(err, QStringLiteral("--pixel ") + why);
    } else {
        const std::optional<Position> position =
            readPosition(line.value(QStringLiteral("at")), &why);
        if (!position) return line.wrong(err, QStringLiteral("--at ") + why);
        place.position = *position;
    }
    for (const QString& end : {QStringLiteral("min"), QStringLiteral("max")}) {
        if (!line.isSet(end)) continue;
        // The window's up-downs hold 16-bit positions.
        const std::optional<int> fahrenheit =
            readWholeNumber(line.value(end), geo::ScaleValueLowest, geo::ScaleValueHighest, &why);
        if (!fahrenheit) return line.wrong(err, QStringLiteral("--%1 %2").arg(end, why));
        (end == QLatin1String("min") ? place.scaleMin : place.scaleMax) = fahrenheit;
    }
    const std::optional<ChartReading> reading = readChartAt(line.arguments().front(), place, err);
    if (!reading) return 1;
    out << "pixel: " << reading->x << ',' << reading->y << '\n';
    out << "lat: " << fixed(reading->latitude, 5) << '\n';
    out << "lon: " << fixed(reading->longitude, 5) << '\n';
    out << "temperature: " << temperatureText(reading->temperature) << '\n';
    out.flush();
    return 0;
}

} // namespace cli
