// thalwise-cli archive intake CHART --archive DIR
// thalwise-cli archive old --archive DIR --days N [--now "YYYY-MM-DD HH:MM"]
// thalwise-cli archive purge --archive DIR --days N [--now "YYYY-MM-DD HH:MM"] [--yes]

#include "cli/ChartFiles.h"
#include "cli/CommandLine.h"

#include "archive/ArchiveTidyUp.h"
#include "archive/ChartDecoding.h"
#include "archive/ChartFlipping.h"
#include "archive/ChartIntake.h"
#include "gif/GIFImage.h"
#include "platform/LocalFileSystem.h"

#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QTextStream>

#include <climits>

namespace cli {

namespace {

void addArchiveOption(CommandLine& line) {
    line.addValue(QStringLiteral("archive"), QStringLiteral("DIR"),
                  QStringLiteral("The chart archive folder."));
}

// Files the chart as opening it does and prints "show: PATH", the file then shown; the
// decoder's warnings go to err, and a chart whose picture ends early is shown from where it is.
// Status 1 when the chart does not decode or the copy fails.
int intake(const QStringList& args, QTextStream& out, QTextStream& err) {
    CommandLine line("archive", "intake CHART --archive DIR");
    addArchiveOption(line);
    line.addArgument(QStringLiteral("intake"), QStringLiteral("File a chart into the archive."));
    line.addArgument(QStringLiteral("CHART"), QStringLiteral("The chart to file."));
    if (const std::optional<int> done = line.parse(args, out, err)) return *done;
    if (line.arguments().size() != 1 || !line.isSet(QStringLiteral("archive")))
        return line.wrong(err);
    const QString chart = line.arguments().front();
    TGIFImage image;
    QStringList warnings;
    try {
        warnings = archive::loadChartFile(image, chart);
    } catch (const GIFException& error) {
        reportError(err, chart, error.message());
        return 1;
    }
    for (const QString& warning : warnings)
        reportError(err, chart, warning);
    platform::LocalFileSystem fileSystem;
    const std::optional<QString> shown = archive::archiveIntake(
        fileSystem, QDir::toNativeSeparators(QFileInfo(chart).absoluteFilePath()),
        chartMetadata(image).timestamp,
        archiveFolderArgument(line.value(QStringLiteral("archive"))),
        archive::leavesPixelsUnset(image, warnings) ? archive::ChartPicture::EndsEarly
                                                    : archive::ChartPicture::Whole);
    if (!shown) {
        reportError(err, chart, QStringLiteral("could not be copied into the archive"));
        return 1;
    }
    out << "show: " << *shown << Qt::endl;
    return 0;
}

// "old": the names the purge would offer, one a line. "purge" lists the same names; with "--yes"
// it moves them to the user's trash, printing "trash: NAME -> PATH IN THE TRASH" for each; a
// chart that no trash takes stays, with an error line, and the status is 1.
int oldCharts(const QStringList& args, QTextStream& out, QTextStream& err, bool purge) {
    CommandLine line("archive", purge ? "purge --archive DIR --days N [--now \"YYYY-MM-DD "
                                        "HH:MM\"] [--yes]"
                                      : "old --archive DIR --days N [--now \"YYYY-MM-DD HH:MM\"]");
    addArchiveOption(line);
    line.addValue(QStringLiteral("days"), QStringLiteral("N"),
                  QStringLiteral("Keep the charts of the last N days."));
    line.addValue(QStringLiteral("now"), QStringLiteral("YYYY-MM-DD HH:MM"),
                  QStringLiteral("Count the days back from this time instead of now."));
    // The confirmation a scheduled job gives in advance.
    if (purge)
        line.addFlag(QStringLiteral("yes"), QStringLiteral("Move the old charts to the trash."));
    line.addArgument(QLatin1String(purge ? "purge" : "old"),
                     purge ? QStringLiteral("List the old charts, or with --yes trash them.")
                           : QStringLiteral("List the charts the purge would offer."));
    if (const std::optional<int> done = line.parse(args, out, err)) return *done;
    if (!line.arguments().isEmpty() || !line.isSet(QStringLiteral("archive")) ||
        !line.isSet(QStringLiteral("days")))
        return line.wrong(err);
    QString why;
    const std::optional<int> days =
        readWholeNumber(line.value(QStringLiteral("days")), INT_MIN, INT_MAX, &why);
    if (!days) return line.wrong(err, QStringLiteral("--days ") + why);
    QDateTime now = QDateTime::currentDateTime();
    if (line.isSet(QStringLiteral("now"))) {
        const QString given = line.value(QStringLiteral("now"));
        now = QDateTime::fromString(given, QStringLiteral("yyyy-MM-dd HH:mm"));
        if (!now.isValid())
            return line.wrong(
                err, QStringLiteral("--now %1: not a time \"YYYY-MM-DD HH:MM\"").arg(given));
    }
    platform::LocalFileSystem fileSystem;
    const QStringList old = archive::oldCharts(
        fileSystem, archiveFolderArgument(line.value(QStringLiteral("archive"))), *days, now);
    if (!purge || !line.isSet(QStringLiteral("yes"))) {
        for (const QString& name : archive::chartNames(old))
            out << name << Qt::endl;
        return 0;
    }
    // "--yes" agreed to the trash, not to deleting: a chart no trash takes stays.
    int status = 0;
    for (const QString& chart : old) {
        if (const std::optional<QString> trashed = fileSystem.moveToTrash(chart)) {
            out << "trash: " << QFileInfo(chart).fileName() << " -> " << *trashed << Qt::endl;
        } else {
            reportError(err, chart, QStringLiteral("could not be moved to the trash; kept"));
            status = 1;
        }
    }
    return status;
}

} // namespace

// The archive's actions, each with a command line of its own: "archive ACTION --help" gives
// its options.
int archive(const QStringList& args, QTextStream& out, QTextStream& err) {
    const QString action = args.value(0);
    if (action == QLatin1String("intake")) return intake(args.mid(1), out, err);
    if (action == QLatin1String("old")) return oldCharts(args.mid(1), out, err, false);
    if (action == QLatin1String("purge")) return oldCharts(args.mid(1), out, err, true);
    CommandLine line("archive");
    line.addArgument(QStringLiteral("ACTION"), QStringLiteral("intake, old or purge; "
                                                              "\"archive ACTION --help\" tells "
                                                              "more."));
    if (const std::optional<int> done = line.parse(args, out, err)) return *done;
    return line.wrong(err, action.isEmpty() ? QString()
                                            : QStringLiteral("%1: no such action").arg(action));
}

} // namespace cli
