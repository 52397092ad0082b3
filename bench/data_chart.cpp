// A chart made from an area's data in memory, as a download becomes a chart: the NetCDF answer
// decoded, the chart made and its GIF written. Goal: under 50 ms; the baseline in the same run
// is decoding a 1024 x 1024 chart GIF (the bundled sample of ne01). And one area's box read from
// a NetCDF-4 file of MUR's global size: under 1 s and 200 MB.
#include "NetcdfWriter.h"
#include "gif/GIFImage.h"
#include "sst/DataChart.h"
#include "sst/GriddapRequest.h"
#include "sst/NetcdfGrid.h"

#include <benchmark/benchmark.h>

#include <QFile>
#include <QTemporaryDir>

#include <cmath>
#include <cstdio>
#include <map>
#include <string>

#include <sys/resource.h>

namespace {

constexpr int Ne01 = 1;

double water(double lat, double lon) {
    return 12.0 + 2.5 * (43.5 - lat) + 0.8 * (lon + 71.0) + 1.5 * std::sin(lat * 9.0 + lon * 4.0);
}

// ERDDAP's answer for ne01 from MUR: the chart's box and a cell around it at 0.01°.
const QByteArray& murAnswer() {
    static const QByteArray bytes = [] {
        const sst::GeoBox box = sst::grownBox(*sst::chartBox(Ne01), 0.01);
        testsupport::SyntheticSst d;
        d.latitudes = testsupport::cellCentres(std::round(box.south * 100) / 100,
                                               std::round(box.north * 100) / 100, 0.01);
        d.longitudes = testsupport::cellCentres(std::round(box.west * 100) / 100,
                                                std::round(box.east * 100) / 100, 0.01);
        d.celsius = water;
        d.land = [](double lat, double lon) { return lat > 42.0 && lon > -69.5 + (lat - 42.0); };
        return testsupport::sstFileBytes(d);
    }();
    return bytes;
}

const QByteArray& sampleChart() {
    static const QByteArray bytes = [] {
        QFile file(QStringLiteral(THALWISE_SAMPLE_CHART));
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }();
    return bytes;
}

void BM_DataChart_FromAnswerInMemory(benchmark::State& state) {
    const sst::GridRequest request{QStringLiteral("analysed_sst"), sst::chartBox(Ne01),
                                   QStringLiteral("mur")};
    sst::DataChartOptions options;
    options.gapsAreLand = true;
    for (auto _ : state) {
        const std::optional<geo::SstGrid> grid = sst::decodeSstGrid(murAnswer(), request);
        std::optional<sst::DataChart> chart =
            grid ? sst::makeDataChart(*grid, Ne01, options) : std::nullopt;
        const std::optional<QByteArray> gif =
            chart ? sst::encodeDataChart(std::move(*chart)) : std::nullopt;
        if (!gif) {
            state.SkipWithError("no chart");
            break;
        }
        benchmark::DoNotOptimize(gif->size());
    }
}
BENCHMARK(BM_DataChart_FromAnswerInMemory)->Unit(benchmark::kMillisecond);

// The part of the above that packs the pixels' temperatures for the GIF, on its own.
void BM_DataChart_PackTemperaturesOnly(benchmark::State& state) {
    sst::DataChartOptions options;
    options.gapsAreLand = true;
    const std::optional<geo::SstGrid> grid = sst::decodeSstGrid(
        murAnswer(), {QStringLiteral("analysed_sst"), sst::chartBox(Ne01), QStringLiteral("mur")});
    const std::optional<sst::DataChart> chart =
        grid ? sst::makeDataChart(*grid, Ne01, options) : std::nullopt;
    if (!chart) {
        state.SkipWithError("no chart");
        return;
    }
    for (auto _ : state)
        benchmark::DoNotOptimize(geo::encodePixelTemperatures(chart->temperatures));
}
BENCHMARK(BM_DataChart_PackTemperaturesOnly)->Unit(benchmark::kMillisecond);


void BM_Baseline_DecodeChartGif(benchmark::State& state) {
    if (sampleChart().isEmpty()) {
        state.SkipWithError("the sample chart is missing");
        return;
    }
    for (auto _ : state) {
        TGIFImage image;
        image.LoadFromBytes(sampleChart());
        benchmark::DoNotOptimize(image.image(0).pixels());
    }
}
BENCHMARK(BM_Baseline_DecodeChartGif)->Unit(benchmark::kMillisecond);

// MUR's global grid with only the cells around the north-east stored (the rest is the fill,
// which a reader that reads the whole grid would still unpack: 1.3 GB of values).
struct GlobalFile {
    QTemporaryDir folder;
    QString path = folder.filePath(QStringLiteral("mur-global.nc"));
    GlobalFile() {
        testsupport::SyntheticSst d = testsupport::ghrsstL4();
        d.latitudes = testsupport::cellCentres(-89.99, 89.99, 0.01);
        d.longitudes = testsupport::cellCentres(-179.99, 180.0, 0.01);
        d.celsius = water;
        d.rowSpan = {{12900, 600}};
        d.columnSpan = {{10700, 600}};
        testsupport::writeSstFile(d, path);
    }
};

void BM_GlobalFile_ReadAreaBox(benchmark::State& state) {
    static GlobalFile file;
    const sst::GridRequest request{QString(), sst::chartBox(Ne01), QString()};
    for (auto _ : state) {
        const std::optional<geo::SstGrid> grid = sst::readSstGridFile(file.path, request);
        if (!grid) {
            state.SkipWithError("the global file could not be read");
            break;
        }
        benchmark::DoNotOptimize(grid->celsius.data());
    }
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    state.counters["peak_rss_MB"] = double(usage.ru_maxrss) / 1024.0;
}
BENCHMARK(BM_GlobalFile_ReadAreaBox)->Unit(benchmark::kMillisecond);

// Keeps each benchmark's CPU time per iteration (ms) for the goals at the end.
class GoalReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override {
        ConsoleReporter::ReportRuns(runs);
        for (const Run& run : runs)
            if (!run.error_occurred && run.run_type == Run::RT_Iteration)
                m_ms[run.run_name.function_name] = run.GetAdjustedCPUTime();
    }
    bool under(const char* what, const std::string& name, double goalMs,
               const std::string& baseline = {}) const {
        const auto it = m_ms.find(name);
        if (it == m_ms.end()) return true; // filtered out
        const auto base = m_ms.find(baseline);
        std::printf("%-34s %8.2f ms  goal under %6.1f ms", what, it->second, goalMs);
        if (base != m_ms.end())
            std::printf("  (baseline %.2f ms, %.1fx of it)", base->second,
                        it->second / base->second);
        std::printf("  %s\n", it->second < goalMs ? "met" : "MISSED");
        return it->second < goalMs;
    }

private:
    std::map<std::string, double> m_ms;
};

} // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    std::printf("NetCDF answer for ne01: %lld bytes\n", static_cast<long long>(murAnswer().size()));
    GoalReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    const bool chart =
        reporter.under("chart from an answer in memory", "BM_DataChart_FromAnswerInMemory", 50.0,
                       "BM_Baseline_DecodeChartGif");
    const bool global =
        reporter.under("area box of a global file", "BM_GlobalFile_ReadAreaBox", 1000.0);
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    const double peakMb = double(usage.ru_maxrss) / 1024.0;
    std::printf("peak memory of the whole run %.0f MB, goal under 200 MB  %s\n", peakMb,
                peakMb < 200.0 ? "met" : "MISSED");
    benchmark::Shutdown();
    return chart && global && peakMb < 200.0 ? 0 : 2;
}
