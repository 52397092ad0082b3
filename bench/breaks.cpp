// The temperature-break layer of a 1024 x 1024 chart, the sample chart of area ne01 with its
// warm current, eddies, land, clouds and coast. Goal: the whole layer under 50 ms on one core.
// Baseline in the same run: the temperature of every pixel read the way a pointer move reads
// one (TemperatureAtPixel per pixel), which alone is a share of the layer's work.
// The whole break lines the window draws (the field read, then each break followed along its
// ridge) must take no longer than the layer, measured beside it.
#include "SampleChartFixture.h"
#include "geo/AreaStuff.h"
#include "geo/BreakLines.h"
#include "geo/Palette.h"
#include "geo/TemperatureBreaks.h"
#include "geo/TemperatureScale.h"

#include <benchmark/benchmark.h>

#include <QImage>

namespace {

void BM_BreakLayer(benchmark::State& state) {
    const SampleChartFixture& f = sampleChartFixture();
    int marks = 0;
    for (auto _ : state) {
        const geo::BreakLayer layer =
            geo::chartBreaks(f.scale, f.chart, f.calibration, geo::DefaultBreakThreshold);
        marks = layer.markCount;
        benchmark::DoNotOptimize(layer.marks.data());
    }
    state.counters["break_pixels"] = marks;
}
BENCHMARK(BM_BreakLayer)->Unit(benchmark::kMillisecond);

void BM_BreakLines(benchmark::State& state) {
    const SampleChartFixture& f = sampleChartFixture();
    std::size_t lines = 0, points = 0;
    for (auto _ : state) {
        const std::vector<geo::BreakLine> found = geo::findBreakLines(
            geo::temperatureField(f.scale, f.chart), f.calibration, geo::DefaultBreakThreshold);
        lines = found.size();
        points = 0;
        for (const geo::BreakLine& line : found)
            points += line.points.size();
        benchmark::DoNotOptimize(found.data());
    }
    state.counters["lines"] = double(lines);
    state.counters["points"] = double(points);
}
BENCHMARK(BM_BreakLines)->Unit(benchmark::kMillisecond);

void BM_TemperatureFieldOnly(benchmark::State& state) {
    const SampleChartFixture& f = sampleChartFixture();
    for (auto _ : state) {
        const geo::TemperatureField field = geo::temperatureField(f.scale, f.chart);
        benchmark::DoNotOptimize(field.values.data());
    }
}
BENCHMARK(BM_TemperatureFieldOnly)->Unit(benchmark::kMillisecond);

// Baseline: every pixel through the pointer's own reading.
void BM_Baseline_PointerReadingPerPixel(benchmark::State& state) {
    const SampleChartFixture& f = sampleChartFixture();
    std::vector<float> values(std::size_t(f.chart.width()) * f.chart.height());
    for (auto _ : state) {
        std::size_t i = 0;
        for (int y = 0; y < f.chart.height(); ++y)
            for (int x = 0; x < f.chart.width(); ++x)
                values[i++] = f.scale.TemperatureAtPixel(f.chart, x, y);
        benchmark::DoNotOptimize(values.data());
    }
}
BENCHMARK(BM_Baseline_PointerReadingPerPixel)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
