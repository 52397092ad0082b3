#pragma once

// The commands of thalwise-cli: a small table from command name to function, so that tests call
// the commands directly and later commands are one more row. The chart commands go through the
// same unit functions as the window (area recognition, mapping, temperature scale, range and
// bearing), so that both give the same numbers.

#include <QString>
#include <QStringList>

#include <vector>

class QImage;
class QTextStream;
class TGIFImage;

namespace cli {

// Runs one command with its arguments; writes results to out and one-line errors to err.
// Returns the process exit status: 0 success, 1 a file or computation failed, 2 wrong usage.
using CommandFunction = int (*)(const QStringList& args, QTextStream& out, QTextStream& err);

struct Command {
    const char* name;
    const char* usage; // arguments after the name, e.g. "FILE..."
    CommandFunction run;
};

const std::vector<Command>& commands();

// Dispatches args (without the program name) to the command named by args[0].
int run(const QStringList& args, QTextStream& out, QTextStream& err);

// "info FILE...": file, width, height, frames and the first frame's comment lines per file, then
// the area recognised from the file name ("area: 1 ne01", or "area: 0") and, when the chart's
// metadata has them, timestamp, tmin and tmax (°F) and variation (degrees, one decimal).
int info(const QStringList& args, QTextStream& out, QTextStream& err);
// "decode FILE OUT.ppm": the whole image at the logical screen's size as binary PPM.
int decode(const QStringList& args, QTextStream& out, QTextStream& err);
// "probe CHART --pixel X,Y | --at LAT,LON [--min F] [--max F]": the chart pixel, its latitude
// and longitude (decimal degrees, 5 decimals, negative west) under the chart's recognised area,
// and the temperature there (°F, one decimal, or "none"). With --at, the pixel is the one the
// position maps to and lat/lon are that pixel's position mapped back. The scale's range is the
// chart's TMIN..TMAX, else 30..80; --min (20..80) and --max (40..100) override either end.
// Status 1 for an unreadable chart, an unrecognised area or a pixel outside the chart.
int probe(const QStringList& args, QTextStream& out, QTextStream& err);
// "range LAT1,LON1 LAT2,LON2": great-circle range in nautical miles and km and the initial true
// bearing from the first position to the second, one decimal each. Status 1 when the range
// cannot be computed (nearly antipodal points).
int range(const QStringList& args, QTextStream& out, QTextStream& err);

// "annotations FILE.ini": what the window loads from an area's annotation file, in list order,
// one record a line: "line: X,Y X,Y ..." with every point, then "text: X,Y TEXT" with the text
// exactly. Never writes the file. Status 1 when the file does not exist or cannot be read.
int annotations(const QStringList& args, QTextStream& out, QTextStream& err);

// "render CHART OUT [--annotations FILE.ini] [--home LAT,LON] [--waypoint TEXT]...": the picture
// the window shows for the chart, written as the window's Save As writes it (OUT ending in
// ".png": PNG, otherwise a GIF on the chart's palette with its scale but not its time stamp).
// The annotations are those of the file, drawn in the default annotation font; the home and
// the waypoints ("Lat=%.2f,Lon=%.2f,Tf=%.1f", numbered from 1 in the order given) are marked
// where the chart's area, recognised from its file name, puts them. Status 1 for an unreadable
// chart or annotation file, an output that cannot be written or that is the chart itself.
int render(const QStringList& args, QTextStream& out, QTextStream& err);
// "waypoints [--home LAT,LON] [--decimal] [--magnetic VARIATION] [--grid] [--gpx OUT.gpx]
// TEXT...": the printed
// waypoint list for the waypoint texts ("Lat=%.2f,Lon=%.2f,Tf=%.1f", in list order), one line
// each, positions in degrees and minutes (--decimal: decimal degrees), headings true or, with
// --magnetic, magnetic for that variation (degrees, east positive). Without --home the first leg
// starts at 0, 0. With --grid, the 17 rows of the window's waypoint grid instead, cells
// separated by tabs, a line break inside a header cell shown as "|". Numbers with a period.
// --gpx also writes home and the waypoints as a GPX 1.1 file, atomically; status 1 when it
// cannot be written.
int waypoints(const QStringList& args, QTextStream& out, QTextStream& err);
// "gpx FILE.gpx": the waypoints File > Import waypoints (GPX) takes from the file into an empty
// list, one stored text a line ("Lat=%.2f,Lon=%.2f,Tf=%.1f"), then "home: LAT,LON" when the file
// has a waypoint named HOME and "left out: N" when entries were left out. Status 1, with the
// file's name and the reason, for a file the import refuses.
int gpx(const QStringList& args, QTextStream& out, QTextStream& err);
// True when the command line asks for a command that draws text (render): the program then
// needs a GUI application for the fonts.
bool needsFonts(const QStringList& args);

// The first frame's comment text split at CR and LF, each line trimmed, empty lines skipped.
QStringList commentLines(const TGIFImage& image);

// Writes image as binary PPM (P6, maxval 255) atomically. On failure returns false and sets
// *error to a one-line reason.
bool writePpm(const QImage& image, const QString& path, QString* error);

// "archive intake CHART --archive DIR": files the chart as opening it does and prints
// "show: PATH", the file then shown; the decoder's warnings go to err, and a chart whose picture
// ends early is shown from where it is; exit 1 when the copy fails. "archive old --archive DIR
// --days N [--now "YYYY-MM-DD HH:MM"]": the names the purge would offer, one a line. "archive
// purge" with the same options lists the same names; with "--yes" it moves them to the user's
// trash, printing "trash: NAME -> PATH IN THE TRASH" for each; a chart that no trash takes stays,
// with an error line, and the exit status is 1.
int archive(const QStringList& args, QTextStream& out, QTextStream& err);
// "flip --archive DIR --area N|CODE": "tab: CAPTION<TAB>NAME" for each chart that flipping the
// latest charts of the area keeps, in tab order.
int flip(const QStringList& args, QTextStream& out, QTextStream& err);
// "print CHART --pdf OUT.pdf [--selection X1,Y1,X2,Y2] [--annotations FILE.ini]": one page as
// File > Print prints it, into a PDF file; prints the orientation, the evenly-margined area
// and the fitted picture in device pixels, and the number of bands. Needs a GUI application.
int print(const QStringList& args, QTextStream& out, QTextStream& err);
// "history --at LAT,LON CHART...": "NAME: TEMP" (°F with one decimal, or "none") for each chart
// in name order, each read under its own range; exit 1 when a chart could not be read there.
int history(const QStringList& args, QTextStream& out, QTextStream& err);
// "breaks CHART OUT.png [--threshold F_PER_NM]": the chart with its temperature breaks drawn
// (the gradients of at least the threshold, 0.7 F per NM unless given), written as render
// writes it; prints the threshold and the number of break pixels. Status 1 for an unreadable
// chart, an area without calibration or an output that cannot be written.
int breaks(const QStringList& args, QTextStream& out, QTextStream& err);
// "export CHART OUT [--temperature] [--breaks] [--threshold F_PER_NM] [--isotherms LIST]
// [--annotations FILE.ini]": the chart for chart plotters and chart software in the format OUT's
// extension names (.gpx, .kap, .mbtiles, .tif, .kmz), as File > Export writes it; --temperature
// (a .tif only) the water's temperature grid instead of the picture. Status 2 for a wrong command
// line, a name of no format or an isotherm list that does not parse, 1 for an unreadable chart
// or marks file, an area without calibration, a refused name or a file that cannot be written.
int exportChart(const QStringList& args, QTextStream& out, QTextStream& err);

} // namespace cli
