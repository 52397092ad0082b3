#pragma once
// Exporting a chart for chart plotters and chart software: the format an output's name asks
// for, the names refused, the layers built from the chart and what the user chose, the GPX
// tracks for a plotter, and the one call the export dialog and thalwise-cli both make.

#include "export/ChartGeoreference.h"
#include "geo/TemperatureBreaks.h"

#include <QByteArray>
#include <QImage>
#include <QString>
#include <QStringList>

#include <functional>
#include <optional>
#include <vector>

namespace geo {
class ChartTemperatures;
}

namespace exports {

enum class ExportFormat { Gpx, Kap, Mbtiles, GeoTiff, Kmz };

// The format an output's extension names, in any letter case: ".gpx", ".kap", ".mbtiles",
// ".tif" or ".tiff", ".kmz". Nothing for any other name.
std::optional<ExportFormat> exportFormatOf(const QString& output);

// The message for an output whose extension names no format; it lists those that do.
QString unknownFormatText();

// The file-dialog filter of a format ("description|mask|All files (*.*)|*.*") and the suffix a
// name without one gets.
QString formatFilter(ExportFormat format);
QString formatSuffix(ExportFormat format);

// Why an output name is refused: it is the chart itself (the same file, through a link, another
// spelling the file system takes for it, or a hard link), or it lies in the chart archive
// (directly or below), where nothing but charts belongs. Nothing for a name that may be
// written. An empty chartPath or archiveFolder refuses nothing on its account.
std::optional<QString> refusedOutput(const QString& output, const QString& chartPath,
                                     const QString& archiveFolder);

// What a chart plotter takes in a GPX file.
struct PlotterProfile {
    const char* key;  // as thalwise-cli's --plotter names it
    const char* name; // as the dialog lists it
    int maxTracks;
    int maxPointsPerTrack;
    int maxPointsInAll;
    int maxNameLength;
};

// The plotters the dialog offers; the first, Garmin, is the default.
const std::vector<PlotterProfile>& plotterProfiles();

// The index of the profile a key names ("garmin", "raymarine", ...), in any letter case;
// nothing for a key no profile has.
std::optional<int> plotterProfileOf(const QString& key);

// What an export had to give up or bend, for the user to hear.
struct ExportReport {
    QString summary;      // one line on what went into the file; empty when nothing to say
    QStringList warnings; // lines moved farther than a chart pixel, lines left out
};

// What the user chose to put in the export.
struct ExportContents {
    bool picture = true; // the chart picture (every format but GPX is it)
    bool breaks = false; // break lines
    double breakThreshold = geo::DefaultBreakThreshold;
    std::vector<float> isotherms; // temperatures (°F); empty: none
    bool marks = false;           // the area's lines and texts
    bool waypoints = false;       // home and the waypoints
    bool temperatureGrid = false; // a GeoTIFF of the water's temperature instead of the picture
    int plotterProfile = 0;       // index into plotterProfiles()
    bool celsius = false;         // the temperature grid and the isotherms' labels in °C, not °F
};

// Draws marks over a picture of the chart's size and gives the result: the area's lines and
// texts when annotations, the home and waypoint markers when waypointMarkers.
using MarksPainter =
    std::function<QImage(const QImage& picture, bool annotations, bool waypointMarkers)>;

// The chart to export, as the window or the command line holds it.
struct ChartSource {
    QString path;          // the chart file: never replaced by an export
    QString archiveFolder; // no export is written in it; empty: none
    QImage bitmap;         // the chart picture as decoded
    int area = 0;          // as RecogniseArea gives it
    QString timestamp;     // the chart's TIMESTAMP; empty without one
    const geo::ChartTemperatures* temperatures = nullptr; // what the pointer reads
    MarksPainter drawMarks;                               // empty: no marks to draw
    std::vector<Waypoint> waypoints;
    std::optional<geo::TrackPoint> home;
    QString source = QStringLiteral("Brinecast"); // who made the chart, for an attribution
};

// The description of the chart for the writers: size, calibration, name, date (UTC), source.
ChartGeoreference chartDescription(const ChartSource& source);

// The track names a plotter shows: "Break 2.1F/NM" (°F per NM, one decimal) and "68F" (one
// decimal only when the temperature has one).
QString breakTrackName(float strength);
QString isothermTrackName(float temperature);

// The temperature grid's one test: whether pixel (x, y) of the chart (32-bit RGB) is water and
// its temperature (°F). Water is a pixel whose own colour is a temperature colour, never land,
// cloud, coast or another grey; it reads as the pointer reads it (field) where the pointer's
// window saw only water, else as its own colour reads, since land in the window darkens the
// average. Nothing for a pixel that is no water or whose colour reads no temperature.
std::optional<float> waterTemperatureAt(const geo::TemperatureScale& scale, const QImage& chart,
                                        const geo::TemperatureField& field, int x, int y);

// waterTemperatureAt of every pixel, row by row, NaN where it gives nothing; in °C when celsius.
std::vector<float> waterTemperatureGrid(const geo::TemperatureScale& scale, const QImage& chart,
                                        const geo::TemperatureField& field, bool celsius);

// The layers that go into format: the picture with the chosen lines and marks drawn in (lines
// one pixel wide, never blended, as colour is temperature), the lines as tracks named for the
// plotter with the chart's date in their description, the temperature grid when asked for,
// and the waypoints.
ExportLayers exportLayers(const ChartSource& source, const ChartGeoreference& chart,
                          const ExportContents& contents, ExportFormat format);

// The GPX 1.1 document of the layers for a plotter: the chart's date in metadata/time, home and
// the waypoints as wpt, each line as a trk within the profile's track count and point budgets,
// every name within its length. Nothing, with a one-line reason in *error, when it cannot be
// made. What the plotter's limits cost goes into *report.
std::optional<QByteArray> gpxExportDocument(const ChartGeoreference& chart,
                                            const ExportLayers& layers,
                                            const PlotterProfile& profile, QString* error,
                                            ExportReport* report = nullptr);

// Writes gpxExportDocument atomically. False, with a one-line reason in *error.
bool writeGpxTracks(const QString& path, const ChartGeoreference& chart, const ExportLayers& layers,
                    const PlotterProfile& profile, QString* error, ExportReport* report = nullptr);

// Exports the chart to output in the format its name asks for: the name checked against the
// chart and the archive, the layers built, the format's writer called. False, with a one-line
// reason for the user in *error, when the name is refused, names no format, the contents do not
// fit the format, or the writer fails. What the export had to give up goes into *report.
bool exportChart(const QString& output, const ChartSource& source, const ExportContents& contents,
                 QString* error, ExportReport* report = nullptr);

} // namespace exports
