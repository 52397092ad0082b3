#pragma once

// What the chart commands of thalwise-cli share: reading a chart, its metadata, scale and
// mapping as the window has them after opening it, an area's annotation file, the picture the
// window composes, and the water at one place of a chart. Failures are written to err as
// "thalwise-cli: FILE: REASON".

#include "cli/CommandLine.h"

#include "geo/AnnotationFile.h"
#include "geo/ChartMetadata.h"
#include "geo/TemperatureScale.h"
#include "geo/vekMapping.h"

#include <QImage>
#include <QString>

#include <optional>

class QTextStream;
class TGIFImage;

namespace cli {

// Decodes a chart file into image and its whole picture. False, with the reason on err, when
// the file does not decode or holds no picture.
bool loadChart(const QString& path, TGIFImage& image, QImage& picture, QTextStream& err);

// The chart's metadata as the window reads it when it opens the chart.
geo::ChartMetadata chartMetadata(const TGIFImage& image);

// The scale as the window has it after opening a chart: the chart's own range, or the
// up-downs' initial values; scaleMin and scaleMax override either end.
geo::TemperatureScale chartScale(const TGIFImage& image, std::optional<int> scaleMin = std::nullopt,
                                 std::optional<int> scaleMax = std::nullopt);

// True, with the reason on err, when output names the chart file itself: a command never
// replaces a chart with a picture of it.
bool isTheChartItself(const QString& output, const QString& chartPath, QTextStream& err);
// Writes picture as the window's Save As writes it for the chart image (OUT ending in ".png":
// PNG, otherwise a GIF on the chart's palette), with the chart's scale but not its time stamp;
// false with the reason on err.
bool writeChartPicture(const QImage& picture, const QImage& chart, const TGIFImage& image,
                       const QString& output, QTextStream& err);

// The calibration of the area a chart's file name names; nothing, with the reason on err, for
// an unrecognised area or one without a calibration.
std::optional<geo::Calibration> chartCalibration(const QString& path, QTextStream& err);

// The marks an annotation file holds, read without writing it. The profile file takes a missing
// or unreadable file for an empty one; a command says so instead of showing no marks.
bool readAnnotationFile(const QString& path, geo::Annotations& annotations, QTextStream& err);

// "--annotations FILE.ini", the area file whose marks a command draws.
void addAnnotationsOption(CommandLine& line);

// "--threshold F_PER_NM", the least gradient drawn as a temperature break.
void addThresholdOption(CommandLine& line);
// A break threshold within the range the window allows; nothing, with *why saying so, otherwise.
std::optional<double> readThreshold(const QString& text, QString* why);

// The picture as the window shows this chart with no settings stored: the default annotation
// font, no outline, the area recognised from the chart's file name, home at 0, 0 not marked.
QImage composedChart(const QString& path, const QImage& chart, const geo::Annotations& annotations,
                     double homeLatitude = 0.0, double homeLongitude = 0.0,
                     const QStringList& waypoints = {});

// An archive folder as the window holds it: native separators and a trailing separator.
QString archiveFolderArgument(const QString& folder);

// Where a chart is read: a pixel, or a position mapped to the pixel it falls on; the scale's
// ends when the user overrides them.
struct ChartPlace {
    std::optional<QPoint> pixel;
    Position position;
    std::optional<int> scaleMin;
    std::optional<int> scaleMax;
};

// What the window reads at one place of a chart: the pixel, its position, and the water
// temperature (0 where there is none) under the scale the window has after opening it.
struct ChartReading {
    int x = 0;
    int y = 0;
    float latitude = 0.0f;
    float longitude = 0.0f;
    float temperature = 0.0f;
};

// Reads the chart at the place; nothing, with the reason on err, when the chart cannot be read,
// has no mapping, or the place lies off it (then the reason gives the chart's bounds).
std::optional<ChartReading> readChartAt(const QString& path, const ChartPlace& place,
                                        QTextStream& err);

// A temperature as the commands print it: °F with one decimal, or "none" for 0, the lookup's
// "no temperature here".
QString temperatureText(float temperature);

} // namespace cli
