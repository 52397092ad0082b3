// thalwise-cli history --at LAT,LON CHART...

#include "cli/ChartFiles.h"
#include "cli/CommandLine.h"

#include <QFileInfo>
#include <QTextStream>

#include <algorithm>

namespace cli {

// The water at one position on every chart given, in name order, each read under its own
// range: "NAME: TEMP" (°F with one decimal, or "none"). A chart the position lies off, or that
// cannot be read, says why on err and makes the status 1; the others are still listed.
int history(const QStringList& args, QTextStream& out, QTextStream& err) {
    CommandLine line("history");
    line.addValue(QStringLiteral("at"), QStringLiteral("LAT,LON"),
                  QStringLiteral("The spot to read, in decimal degrees."));
    line.addArgument(QStringLiteral("CHART"), QStringLiteral("A chart; several may be given."));
    if (const std::optional<int> done = line.parse(args, out, err)) return *done;
    QStringList charts = line.arguments();
    if (!line.isSet(QStringLiteral("at")) || charts.isEmpty()) return line.wrong(err);
    ChartPlace place;
    QString why;
    const std::optional<Position> position = readPosition(line.value(QStringLiteral("at")), &why);
    if (!position) return line.wrong(err, QStringLiteral("--at ") + why);
    place.position = *position;

    std::sort(charts.begin(), charts.end(), [](const QString& a, const QString& b) {
        const int byName =
            QString::compare(QFileInfo(a).fileName(), QFileInfo(b).fileName(), Qt::CaseInsensitive);
        return byName != 0 ? byName < 0 : a < b;
    });
    int status = 0;
    for (const QString& chart : charts) {
        const std::optional<ChartReading> reading = readChartAt(chart, place, err);
        if (!reading) {
            status = 1;
            continue;
        }
        out << QFileInfo(chart).fileName() << ": " << temperatureText(reading->temperature) << '\n';
    }
    out.flush();
    return status;
}

} // namespace cli
