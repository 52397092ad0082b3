#include "cli/Commands.h"

#include "cli/CommandLine.h"

#include "ThalwiseVersion.h"

#include <QTextStream>

#include <new>

namespace cli {

// Each in its own file.
int info(const QStringList& args, QTextStream& out, QTextStream& err);
int decode(const QStringList& args, QTextStream& out, QTextStream& err);
int probe(const QStringList& args, QTextStream& out, QTextStream& err);
int range(const QStringList& args, QTextStream& out, QTextStream& err);
int annotations(const QStringList& args, QTextStream& out, QTextStream& err);
int render(const QStringList& args, QTextStream& out, QTextStream& err);
int waypoints(const QStringList& args, QTextStream& out, QTextStream& err);
int archive(const QStringList& args, QTextStream& out, QTextStream& err);
int flip(const QStringList& args, QTextStream& out, QTextStream& err);
int print(const QStringList& args, QTextStream& out, QTextStream& err);
int history(const QStringList& args, QTextStream& out, QTextStream& err);
int breaks(const QStringList& args, QTextStream& out, QTextStream& err);
int gpx(const QStringList& args, QTextStream& out, QTextStream& err);
int exportChart(const QStringList& args, QTextStream& out, QTextStream& err);

const std::vector<Command>& commands() {
    static const std::vector<Command> table = {
        {"info", "FILE...", "Size, frames, comment, area and chart metadata of each file.", &info},
        {"decode", "FILE OUT.ppm", "The whole picture as binary PPM.", &decode},
        {"probe", "CHART (--pixel X,Y | --at LAT,LON) [--min F] [--max F]",
         "Position and water temperature at one pixel or position of a chart.", &probe},
        {"range", "LAT1,LON1 LAT2,LON2",
         "Great-circle range in NM and km and the true bearing between two positions.", &range},
        {"annotations", "FILE.ini", "The marks an area's annotation file holds.", &annotations},
        {"render",
         "CHART OUT.png|OUT.gif [--annotations FILE.ini] [--home LAT,LON] [--waypoint TEXT]...",
         "The picture the window shows for a chart, with its marks.", &render, Application::Gui},
        {"waypoints",
         "[--home LAT,LON] [--decimal] [--magnetic VARIATION] [--grid] [--gpx OUT.gpx] "
         "TEXT...",
         "The printed waypoint list or the waypoint grid, and the trip as GPX 1.1.", &waypoints},
        {"archive",
         "intake CHART --archive DIR | old --archive DIR --days N [--now \"YYYY-MM-DD HH:MM\"] | "
         "purge --archive DIR --days N [--now \"YYYY-MM-DD HH:MM\"] [--yes]",
         "Files a chart into the archive, or lists or purges its old charts.", &archive},
        {"flip", "--archive DIR --area N|CODE",
         "The tabs \"Flip latest charts\" shows for an area.", &flip},
        {"print", "CHART --pdf OUT.pdf [--selection X1,Y1,X2,Y2] [--annotations FILE.ini]",
         "One page as File > Print prints it, into a PDF file.", &print, Application::Gui},
        {"history", "--at LAT,LON CHART...", "The water at one spot on each chart.", &history},
        {"breaks", "CHART OUT.png [--threshold F_PER_NM]",
         "The chart with its temperature breaks drawn.", &breaks},
        {"gpx", "FILE.gpx", "The waypoints File > Import waypoints (GPX) takes from a file.", &gpx},
        {"export",
         "CHART OUT.gpx|OUT.kap|OUT.mbtiles|OUT.tif|OUT.kmz [--temperature] [--breaks] "
         "[--threshold F_PER_NM] [--isotherms LIST] [--annotations FILE.ini]",
         "The chart for chart plotters and chart software, by OUT's extension.", &exportChart,
         Application::Gui},
    };
    return table;
}

const Command* findCommand(const QString& name) {
    for (const Command& command : commands())
        if (name == QLatin1String(command.name)) return &command;
    return nullptr;
}

namespace {

// The list of commands: on err for a wrong command line, on out when asked for.
int listCommands(QTextStream& stream) {
    stream << "usage:" << Qt::endl;
    for (const Command& command : commands()) {
        stream << "  " << ProgramName << ' ' << command.name << ' ' << command.usage << Qt::endl;
        stream << "      " << command.summary << Qt::endl;
    }
    stream << "Positions are decimal degrees, negative south and west; temperatures degrees F."
           << Qt::endl;
    stream << "--help (-h) prints this list, COMMAND --help that command's help, --version the "
              "program's version."
           << Qt::endl;
    return 2;
}

} // namespace

int run(const QStringList& args, QTextStream& out, QTextStream& err) {
    if (args.isEmpty()) return listCommands(err);
    if (args.front() == QLatin1String("--help") || args.front() == QLatin1String("-h")) {
        listCommands(out);
        return 0;
    }
    if (args.front() == QLatin1String("--version")) {
        out << ProgramName << ' ' << THALWISE_VERSION << Qt::endl;
        return 0;
    }
    const Command* command = findCommand(args.front());
    if (!command) {
        err << ProgramName << ": unknown command " << args.front() << Qt::endl;
        return listCommands(err);
    }
    // A command that runs out of memory fails like any other error, never by an abort.
    try {
        return command->run(args.mid(1), out, err);
    } catch (const std::bad_alloc&) {
        out.flush();
        reportError(err, QLatin1String(command->name), QStringLiteral("out of memory"));
        return 1;
    }
}

bool needsFonts(const QStringList& args) {
    const Command* command = args.isEmpty() ? nullptr : findCommand(args.front());
    return command && command->application == Application::Gui;
}

} // namespace cli
