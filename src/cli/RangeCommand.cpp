// thalwise-cli range LAT1,LON1 LAT2,LON2

#include "cli/CommandLine.h"

#include "geo/ThalwiseUtils.h"
#include "geo/vekMapping.h"

#include <QTextStream>

namespace cli {

// Great-circle range in nautical miles and km and the initial true bearing from the first
// position to the second, one decimal each. Status 1 when the range cannot be computed (nearly
// antipodal points).
int range(const QStringList& args, QTextStream& out, QTextStream& err) {
    CommandLine line("range");
    line.addArgument(QStringLiteral("LAT1,LON1"), QStringLiteral("Where the range starts."));
    line.addArgument(QStringLiteral("LAT2,LON2"), QStringLiteral("Where it ends."));
    if (const std::optional<int> done = line.parse(args, out, err)) return *done;
    const QStringList positions = line.arguments();
    if (positions.size() != 2) return line.wrong(err);
    QString why;
    const std::optional<Position> from = readPosition(positions[0], &why);
    if (!from) return line.wrong(err, why);
    const std::optional<Position> to = readPosition(positions[1], &why);
    if (!to) return line.wrong(err, why);
    float kilometres = 0.0f;
    float bearing = 0.0f;
    if (!RangeAndBearing(from->longitude, from->latitude, to->longitude, to->latitude, kilometres,
                         bearing)) {
        reportError(err, QStringLiteral("range"),
                    QStringLiteral("cannot compute the range between %1 and %2")
                        .arg(positions[0], positions[1]));
        return 1;
    }
    out << "range_nm: " << fixed(geo::nauticalMiles(kilometres), 1) << '\n';
    out << "range_km: " << fixed(kilometres, 1) << '\n';
    out << "bearing: " << fixed(bearing, 1) << '\n';
    out.flush();
    return 0;
}

} // namespace cli
