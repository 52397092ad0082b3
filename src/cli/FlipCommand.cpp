// thalwise-cli flip --archive DIR --area N|CODE

#include "cli/ChartFiles.h"
#include "cli/CommandLine.h"

#include "archive/ChartFlipping.h"
#include "geo/AreaStuff.h"
#include "platform/LocalFileSystem.h"

#include <QFileInfo>
#include <QTextStream>

namespace cli {

// "tab: CAPTION<TAB>NAME" for each chart that flipping the latest charts of the area keeps, in
// tab order. Status 2 for an area that is none of the calibrated ones.
int flip(const QStringList& args, QTextStream& out, QTextStream& err) {
    CommandLine line("flip");
    line.addValue(QStringLiteral("archive"), QStringLiteral("DIR"),
                  QStringLiteral("The chart archive folder."));
    line.addValue(QStringLiteral("area"), QStringLiteral("N|CODE"),
                  QStringLiteral("The area by number (1..30) or code (ne01)."));
    if (const std::optional<int> done = line.parse(args, out, err)) return *done;
    if (!line.arguments().isEmpty() || !line.isSet(QStringLiteral("archive")) ||
        !line.isSet(QStringLiteral("area")))
        return line.wrong(err);
    // The area by number (1..30) or by code ("ne01"); flipping needs an area.
    const QString given = line.value(QStringLiteral("area"));
    bool isNumber = false;
    int area = given.toInt(&isNumber);
    if (!isNumber)
        for (int index = 1; index <= 30 && !isNumber; ++index)
            if (geo::areaCode(index).compare(given, Qt::CaseInsensitive) == 0) {
                area = index;
                isNumber = true;
            }
    if (!isNumber || !geo::isCalibratedArea(area)) {
        reportError(err, given, QStringLiteral("no such area"));
        return 2;
    }
    platform::LocalFileSystem fileSystem;
    const QStringList charts = archive::latestChartsOfArea(
        fileSystem, archiveFolderArgument(line.value(QStringLiteral("archive"))),
        geo::areaCode(area));
    for (const QString& chart : charts)
        if (const std::optional<QString> caption = archive::flipTabCaption(chart))
            out << "tab: " << *caption << '\t' << QFileInfo(chart).fileName() << Qt::endl;
    return 0;
}

} // namespace cli
