#pragma once
// A chart made from a data set's grid: the area's 1024 x 1024 picture on the program's palette,
// each pixel the data cell nearest its centre, land grey with a black coastline, gaps over water
// (clouds) white; the data's own temperature of every pixel kept beside the colours; and the
// comment every chart carries (TIMESTAMP, TMIN, TMAX, VARIATION).

#include "geo/ChartMetadata.h"
#include "geo/PixelTemperatures.h"
#include "geo/SstGrid.h"
#include "gif/GIFEncoder.h"

#include <QByteArray>
#include <QDateTime>
#include <QString>

#include <cstdint>
#include <optional>
#include <vector>

namespace sst {

// The picture of a chart, as the areas' calibrations are made for.
inline constexpr int ChartPixels = 1024;

// The palette lines a chart uses besides the temperature ramp.
inline constexpr std::uint8_t LandIndex = 0;  // 100 100 100
inline constexpr std::uint8_t CloudIndex = 3; // 255 255 255
inline constexpr std::uint8_t CoastIndex = 4; // 0 0 0
// The ramp's lines that read back as temperatures (line 255's hue is 0 and reads nothing).
inline constexpr int ColdestLine = 5;
inline constexpr int HottestLine = 254;

// The rule that picks a chart's TMIN and TMAX (whole °F):
// - the water's own range is its lowest value rounded down and its highest rounded up;
// - the previous chart's range of the same area and source is kept while it holds that water and
//   is at most twice as wide as a range fitted afresh would be;
// - otherwise the range is fitted afresh: the water's range with RangeMargin °F on either side,
//   widened evenly to at least NarrowestRange °F.
// Without any water the previous range stays, or the scale's initial 30 to 80 °F.
inline constexpr int RangeMargin = 2;
inline constexpr int NarrowestRange = 10;
geo::ScaleRange chartScaleRange(std::optional<float> lowestWaterF,
                                std::optional<float> highestWaterF,
                                std::optional<geo::ScaleRange> previous);

// The palette line that shows a temperature under a range: the inverse of reading a colour
// (line L reads TMAX - (TMAX - TMIN) * (255 - L) / 255), rounded to nearest, kept to the lines
// ColdestLine..HottestLine.
std::uint8_t paletteLineOf(float fahrenheit, geo::ScaleRange range);

// What a chart is made from besides the grid.
struct DataChartOptions {
    // TMIN and TMAX chosen by the user; otherwise chartScaleRange decides.
    std::optional<geo::ScaleRange> range;
    // The range of the previous chart of the same area and source (previousScaleRange).
    std::optional<geo::ScaleRange> previousRange;
    // Whether a cell without a value is land or cloud when the grid has no land mask.
    bool gapsAreLand = false;
};

struct DataChart {
    int area = 0;
    std::vector<std::uint8_t> indices; // ChartPixels * ChartPixels palette lines, top row first
    geo::PixelTemperatures temperatures;
    geo::ScaleRange range;
    float variation = 0.0f; // degrees, east positive
    QString timestamp;      // empty when the data has no time
};

// The chart of a calibrated area (1..30) from a grid. Nothing, with *error, for an area outside
// 1..30, an empty grid, or a grid that does not reach the area at all.
std::optional<DataChart> makeDataChart(const geo::SstGrid& grid, int area,
                                       const DataChartOptions& options, QString* error = nullptr);

// The time stamp of a chart made from data: the data's UTC date and hour, the source's name and
// the area's code, "2026-12-01-09-mur-ne01", so that charts of one area sort by time, charts of
// two sources of one day keep names of their own, and flipping finds them by area. "data"
// stands for a file of no known source. Empty for an invalid time or area.
QString dataChartTimestamp(const QDateTime& time, const QString& source, int area);

// The keyed comment: TIMESTAMP (when the chart has one), TMIN, TMAX and VARIATION with one
// decimal and a point, lines joined by CR LF.
QByteArray dataChartComment(const DataChart& chart);

// The chart as a GIF file: the palette as global colour table, the comment before the image,
// the pixels' temperatures in the application extension. Takes the chart by value, so that a
// caller done with it hands over its pixels instead of copying them.
std::optional<QByteArray> encodeDataChart(DataChart chart, QString* error = nullptr);

} // namespace sst
