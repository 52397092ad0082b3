// thalwise-cli fetch --area CODE[,CODE...] [--source mur|acspo] [--date YYYY-MM-DD|latest]
//                    [--archive DIR] [--server URL]

#include "cli/CommandLine.h"

#include "app/ProgramFolders.h"
#include "fetch/ChartFetch.h"
#include "geo/AreaStuff.h"
#include "platform/LocalFileSystem.h"
#include "platform/QtDesktop.h"
#include "sst/SstSources.h"

#include <QDir>
#include <QTextStream>

namespace cli {

// Gets the areas' charts one after another and files them in the archive: "filed: PATH" for each
// new chart, "already: PATH" for one the archive held, the server's message on err for each that
// failed. Status 0 when every area has its chart, 1 when any failed, 2 for a wrong command line.
int fetchCharts(const QStringList& args, QTextStream& out, QTextStream& err) {
    CommandLine line("fetch");
    QStringList sources;
    for (const sst::SstSource& source : sst::sstSources())
        sources << source.name + QStringLiteral(" (") + source.description + u')';
    line.addValue(QStringLiteral("area"), QStringLiteral("CODE[,CODE...]"),
                  QStringLiteral("The areas to get, by code (ne01, fl10)."));
    line.addValue(QStringLiteral("source"), QStringLiteral("NAME"),
                  QStringLiteral("The data: %1; the first is the default.")
                      .arg(sources.join(QStringLiteral(", "))));
    line.addValue(QStringLiteral("date"), QStringLiteral("YYYY-MM-DD|latest"),
                  QStringLiteral("The day to get (UTC); latest, the default, takes the newest."));
    line.addValue(QStringLiteral("archive"), QStringLiteral("DIR"),
                  QStringLiteral("The chart archive folder; the program's own by default."));
    line.addValue(QStringLiteral("server"), QStringLiteral("URL"),
                  QStringLiteral("A mirror: replaces the part before /griddap/ for every source."));
    line.setNotes(QStringLiteral(
        "One request at a time. A chart the archive already holds is not filed again. For a "
        "daily job, see the user guide's page on charts from satellite data (cron, systemd)."));
    if (const std::optional<int> done = line.parse(args, out, err)) return *done;
    if (!line.arguments().isEmpty() || !line.isSet(QStringLiteral("area")))
        return line.wrong(err, line.isSet(QStringLiteral("area"))
                                   ? QString()
                                   : QStringLiteral("--area is needed"));
    QString why;
    const std::optional<QList<int>> areas =
        fetch::areasOfCodes(line.value(QStringLiteral("area")), &why);
    if (!areas) return line.wrong(err, why);

    fetch::FetchRequest request;
    request.areas = *areas;
    request.source = line.value(QStringLiteral("source"));
    if (!request.source.isEmpty() && !sst::findSource(request.source))
        return line.wrong(err, QStringLiteral("%1: no such source (%2)")
                                   .arg(request.source, sources.join(QStringLiteral(", "))));
    const QString date = line.value(QStringLiteral("date"));
    if (!date.isEmpty() && date != QLatin1String("latest")) {
        const QDate day = QDate::fromString(date, Qt::ISODate);
        if (!day.isValid())
            return line.wrong(err, QStringLiteral("%1: not a date YYYY-MM-DD").arg(date));
        request.date = day;
    }
    request.serverOverride = line.value(QStringLiteral("server"));
    QString archive = line.value(QStringLiteral("archive"));
    if (archive.isEmpty()) archive = app::archiveFolderFor(platform::QtDesktop().documentsFolder());
    request.archiveFolder = QDir::toNativeSeparators(QDir::cleanPath(archive)) + QDir::separator();
    if (!QDir().mkpath(request.archiveFolder)) {
        reportError(err, QStringLiteral("fetch"),
                    QStringLiteral("cannot make the archive folder %1").arg(request.archiveFolder));
        return 1;
    }

    platform::LocalFileSystem fileSystem;
    int failed = 0;
    fetch::fetchNow(fileSystem, request, {}, [&](const fetch::AreaOutcome& outcome) {
        if (!outcome.succeeded()) {
            ++failed;
            reportError(err, QStringLiteral("fetch"),
                        geo::areaCode(outcome.area) + QStringLiteral(": ") + outcome.failure);
            err.flush();
            return;
        }
        out << (outcome.alreadyFiled ? "already: " : "filed: ") << outcome.filedPath << '\n';
        out.flush();
    });
    return failed ? 1 : 0;
}

} // namespace cli
