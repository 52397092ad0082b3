#include "sst/DataChart.h"

#include "geo/AreaStuff.h"
#include "geo/Coastline.h"
#include "geo/MagneticModel.h"
#include "geo/Palette.h"
#include "geo/TemperatureScale.h"
#include "geo/vekMapping.h"

#include <QCoreApplication>

#include <algorithm>
#include <cmath>
#include <limits>
#include <map>
#include <mutex>

namespace sst {

namespace {

QString tr(const char* text) {
    return QCoreApplication::translate("sst", text);
}

// The palette as a colour table: line i is colour index i.
const gif::ColourTable& paletteTable() {
    static const gif::ColourTable table = [] {
        gif::ColourTable colours;
        for (const QString& line : geo::TemperatureScale::paletteLines(geo::builtinPaletteText())) {
            const QStringList words = geo::TemperatureScale::paletteWords(line);
            colours << (words.size() == 3
                            ? qRgb(words[0].toInt(), words[1].toInt(), words[2].toInt())
                            : qRgb(0, 0, 0));
        }
        colours.resize(256, qRgb(0, 0, 0));
        return colours;
    }();
    return table;
}

// For each chart pixel along one axis, the data cell nearest its centre; -1 beyond the data
// (more than half a cell past its outer cells).
std::vector<int> nearestCells(const std::vector<double>& cells, const std::vector<double>& pixels) {
    std::vector<int> nearest(pixels.size(), -1);
    const std::size_t n = cells.size();
    if (n == 0) return nearest;
    const bool ascending = n < 2 || cells[1] > cells[0];
    const auto at = [&](std::size_t j) { return cells[ascending ? j : n - 1 - j]; };
    const double firstHalf = n < 2 ? 0.5 : (at(1) - at(0)) / 2;
    const double lastHalf = n < 2 ? 0.5 : (at(n - 1) - at(n - 2)) / 2;
    for (std::size_t p = 0; p < pixels.size(); ++p) {
        const double v = pixels[p];
        if (v < at(0) - firstHalf || v > at(n - 1) + lastHalf) continue;
        // First cell at or above v in ascending order, then the nearer of it and the one below.
        std::size_t lo = 0, hi = n;
        while (lo < hi) {
            const std::size_t mid = (lo + hi) / 2;
            if (at(mid) < v)
                lo = mid + 1;
            else
                hi = mid;
        }
        std::size_t j = std::min(lo, n - 1);
        if (j > 0 && v - at(j - 1) <= at(j) - v) j = j - 1;
        nearest[p] = int(ascending ? j : n - 1 - j);
    }
    return nearest;
}

// The land of an area's chart from its coastline, filled once per area and kept: filling the
// rings costs far more than making a chart.
const std::vector<std::uint8_t>& coastlineLand(int area) {
    static std::mutex lock;
    static std::map<int, std::vector<std::uint8_t>> masks;
    const std::lock_guard<std::mutex> guard(lock);
    auto found = masks.find(area);
    if (found == masks.end())
        found = masks.emplace(area, geo::landMask(area, ChartPixels, ChartPixels)).first;
    return found->second;
}

// The variation at the area's centre on the chart's date (WMM2025), degrees east positive.
// Quirk "variation-of-the-model's-span": a date outside the model's span 2025 to 2030 takes the
// nearest date within it (the variation moves a few tenths of a degree a year), so that every
// chart carries a variation and with it its range.
float magneticVariation(int area, const QDate& date) {
    double lat = 0, lon = 0;
    const geo::Calibration calibration = geo::Calibration::forArea(area);
    if (!PixelPointToGeo(calibration, (ChartPixels - 1) / 2.0, (ChartPixels - 1) / 2.0, lat, lon))
        return 0.0f;
    const double year =
        std::clamp(date.isValid() ? geo::decimalYear(date) : geo::MagneticModelEpoch,
                   geo::MagneticModelEpoch, geo::MagneticModelValidUntil - 1e-6);
    return float(geo::magneticDeclination(lat, lon, 0.0, year).value_or(0.0));
}

} // namespace

geo::ScaleRange chartScaleRange(std::optional<float> lowestWaterF,
                                std::optional<float> highestWaterF,
                                std::optional<geo::ScaleRange> previous) {
    if (previous && previous->min >= previous->max) previous.reset();
    if (!lowestWaterF || !highestWaterF)
        return previous ? *previous : geo::ScaleRange{geo::ScaleMinInitial, geo::ScaleMaxInitial};
    const int low = int(std::floor(*lowestWaterF));  // rounds down, as the rule says
    const int high = int(std::ceil(*highestWaterF)); // rounds up
    geo::ScaleRange fitted{low - RangeMargin, high + RangeMargin};
    if (fitted.max - fitted.min < NarrowestRange) {
        const int extra = NarrowestRange - (fitted.max - fitted.min);
        fitted.min -= extra / 2;
        fitted.max += extra - extra / 2;
    }
    if (previous && previous->min <= low && high <= previous->max &&
        previous->max - previous->min <= 2 * (fitted.max - fitted.min))
        return *previous;
    return fitted;
}

std::uint8_t paletteLineOf(float fahrenheit, geo::ScaleRange range) {
    const double span = double(range.max) - range.min;
    const double line = 255.0 - (range.max - double(fahrenheit)) * 255.0 / span;
    // Rounded to nearest, halves to even, then kept to the lines that read back.
    const double rounded =
        std::nearbyint(std::clamp(line, double(ColdestLine), double(HottestLine)));
    return std::uint8_t(rounded);
}

std::optional<DataChart> makeDataChart(const geo::SstGrid& grid, int area,
                                       const DataChartOptions& options, QString* error) {
    const geo::Calibration calibration = geo::Calibration::forArea(area);
    const auto failWith = [&](const QString& message) -> std::optional<DataChart> {
        if (error) *error = message;
        return std::nullopt;
    };
    if (!calibration.Valid) return failWith(tr("No chart area is given."));
    if (grid.rows() == 0 || grid.columns() == 0 ||
        grid.celsius.size() != grid.rows() * grid.columns() ||
        (!grid.land.empty() && grid.land.size() != grid.celsius.size()))
        return failWith(tr("The data holds no grid."));

    // The chart's columns depend on longitude alone, its rows on latitude alone.
    std::vector<double> pixelLon(ChartPixels), pixelLat(ChartPixels);
    for (int p = 0; p < ChartPixels; ++p) {
        float lat = 0, lon = 0;
        PixelToGeo(calibration, p, p, lat, lon);
        pixelLon[std::size_t(p)] = lon;
        pixelLat[std::size_t(p)] = lat;
    }
    const std::vector<int> column = nearestCells(grid.longitudes, pixelLon);
    const std::vector<int> row = nearestCells(grid.latitudes, pixelLat);
    if (std::all_of(column.begin(), column.end(), [](int c) { return c < 0; }) ||
        std::all_of(row.begin(), row.end(), [](int r) { return r < 0; }))
        return failWith(tr("The data does not reach this area."));

    DataChart chart;
    chart.area = area;
    chart.temperatures.width = ChartPixels;
    chart.temperatures.height = ChartPixels;
    chart.temperatures.source = grid.source;
    const std::size_t pixels = std::size_t(ChartPixels) * ChartPixels;
    chart.temperatures.fahrenheit.assign(pixels, std::numeric_limits<float>::quiet_NaN());
    chart.indices.assign(pixels, CloudIndex);
    // The area's land from its coastline; where the data marks land too, it is land.
    const std::vector<std::uint8_t>& coastLand = coastlineLand(area);
    const bool haveCoast = coastLand.size() == pixels;

    float lowest = std::numeric_limits<float>::infinity();
    float highest = -lowest;
    const std::size_t columns = grid.columns();
    for (int y = 0; y < ChartPixels; ++y) {
        const int r = row[std::size_t(y)];
        for (int x = 0; x < ChartPixels; ++x) {
            const std::size_t i = std::size_t(y) * ChartPixels + std::size_t(x);
            if (haveCoast && coastLand[i]) {
                chart.indices[i] = LandIndex;
                continue;
            }
            const int c = column[std::size_t(x)];
            if (r < 0 || c < 0) continue; // beyond the data: shown as a gap
            const std::size_t cell = std::size_t(r) * columns + std::size_t(c);
            const float celsius = grid.celsius[cell];
            // Land as the data marks it counts too: where the coastline has water but the
            // data's cell is land (a narrow bay, a marsh), the chart has no value to show.
            const bool dataLand = grid.land.empty() ? (std::isnan(celsius) && options.gapsAreLand)
                                                    : grid.land[cell] != 0;
            if (dataLand) {
                chart.indices[i] = LandIndex;
                continue;
            }
            if (std::isnan(celsius)) continue;
            const float fahrenheit = float(double(celsius) * 9.0 / 5.0 + 32.0);
            chart.temperatures.fahrenheit[i] = fahrenheit;
            lowest = std::min(lowest, fahrenheit);
            highest = std::max(highest, fahrenheit);
        }
    }

    const bool anyWater = lowest <= highest;
    chart.range = options.range && options.range->min < options.range->max
                      ? *options.range
                      : chartScaleRange(anyWater ? std::optional<float>(lowest) : std::nullopt,
                                        anyWater ? std::optional<float>(highest) : std::nullopt,
                                        options.previousRange);
    for (std::size_t i = 0; i < pixels; ++i)
        if (!std::isnan(chart.temperatures.fahrenheit[i]))
            chart.indices[i] = paletteLineOf(chart.temperatures.fahrenheit[i], chart.range);
    // The coastline: a water pixel beside land turns black (its temperature stays).
    geo::drawCoast(chart.indices, ChartPixels, ChartPixels, LandIndex, CoastIndex);

    chart.timestamp = dataChartTimestamp(grid.time, grid.source, area);
    chart.variation = magneticVariation(area, grid.time.isValid() ? grid.time.toUTC().date()
                                                                  : QDate::currentDate());
    return chart;
}

QString dataChartTimestamp(const QDateTime& time, const QString& source, int area) {
    if (!time.isValid() || !geo::isCalibratedArea(area)) return {};
    const QString name = source.isEmpty() ? QStringLiteral("data") : source;
    return time.toUTC().toString(QStringLiteral("yyyy-MM-dd-HH")) + u'-' + name + u'-' +
           geo::areaCode(area);
}

QByteArray dataChartComment(const DataChart& chart) {
    QStringList lines;
    if (!chart.timestamp.isEmpty()) lines << QStringLiteral("TIMESTAMP=") + chart.timestamp;
    lines << QStringLiteral("TMIN=%1").arg(chart.range.min)
          << QStringLiteral("TMAX=%1").arg(chart.range.max)
          << QStringLiteral("VARIATION=%1").arg(double(chart.variation), 0, 'f', 1);
    return lines.join(QStringLiteral("\r\n")).toLatin1();
}

std::optional<QByteArray> encodeDataChart(DataChart chart, QString* error) {
    gif::EncoderInput input;
    input.screenWidth = ChartPixels;
    input.screenHeight = ChartPixels;
    input.globalTable = paletteTable();
    gif::EncoderFrame frame;
    frame.width = ChartPixels;
    frame.height = ChartPixels;
    frame.indices = std::move(chart.indices);
    input.frames.push_back(std::move(frame));
    input.comments.push_back(dataChartComment(chart));
    input.commentPlacement = gif::CommentPlacement::BeforeFirstImage;
    input.applications.push_back({QByteArrayLiteral("THALWISE"), QByteArrayLiteral("SST"),
                                  geo::encodePixelTemperatures(chart.temperatures)});
    return gif::encodeGif(input, error);
}

} // namespace sst
