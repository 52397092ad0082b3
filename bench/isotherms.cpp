// Isotherms every 2 °F over a 1024 x 1024 chart, the sample chart of area ne01 (range 38..62 °F)
// with its warm current, eddies, land, clouds and coast. Goal: under 50 ms on one core, field
// reading included. Baseline in the same run: the break layer of the same chart.
#include "geo/Isotherms.h"
#include "SampleChartFixture.h"
#include "geo/AreaStuff.h"
#include "geo/Palette.h"
#include "geo/TemperatureBreaks.h"
#include "geo/TemperatureScale.h"

#include <benchmark/benchmark.h>

#include <QImage>

namespace {

void BM_IsothermsEvery2F(benchmark::State& state) {
    const SampleChartFixture& f = sampleChartFixture();
    const std::vector<float> temperatures =
        geo::isothermTemperatures(QStringLiteral("every 2"), 38, 62);
    std::size_t lines = 0, points = 0;
    for (auto _ : state) {
        const geo::TemperatureField field = geo::temperatureField(f.scale, f.chart);
        const std::vector<geo::Isotherm> isotherms = geo::findIsotherms(field, temperatures);
        lines = points = 0;
        for (const geo::Isotherm& isotherm : isotherms)
            for (const geo::IsothermLine& line : isotherm.lines) {
                ++lines;
                points += line.points.size();
            }
        benchmark::DoNotOptimize(isotherms.data());
    }
    state.counters["lines"] = double(lines);
    state.counters["points"] = double(points);
}
BENCHMARK(BM_IsothermsEvery2F)->Unit(benchmark::kMillisecond);

// Baseline: the break layer the window computes for the same chart.
void BM_Baseline_BreakLayer(benchmark::State& state) {
    const SampleChartFixture& f = sampleChartFixture();
    for (auto _ : state) {
        const geo::BreakLayer layer =
            geo::chartBreaks(f.scale, f.chart, f.calibration, geo::DefaultBreakThreshold);
        benchmark::DoNotOptimize(layer.marks.data());
    }
}
BENCHMARK(BM_Baseline_BreakLayer)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
