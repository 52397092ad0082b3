// Writing a 1024 x 1024 chart, the sample chart of area ne01, for chart software: as a KAP
// (colours reduced to 127, rows run-length coded) and as a GeoTIFF of the picture and of the
// temperature grid. Goal: each under 100 ms. Baseline in the same run: the same picture saved as
// PNG with QImage::save.
#include "SampleChartFixture.h"
#include "export/GeoTiffWriter.h"
#include "export/KapWriter.h"
#include "geo/TemperatureBreaks.h"

#include <benchmark/benchmark.h>

#include <QFileInfo>
#include <QTemporaryDir>

namespace {

struct ExportFixture {
    QTemporaryDir dir;
    exports::ChartGeoreference chart;
    exports::ExportLayers layers;

    ExportFixture() {
        const SampleChartFixture& f = sampleChartFixture();
        chart =
            exports::chartGeoreference(RecogniseArea("ne01"), f.chart.width(), f.chart.height());
        chart.name = QStringLiteral("AREA-NE01");
        layers.picture = f.chart;
        layers.temperature = geo::temperatureField(f.scale, f.chart).values;
    }
};

const ExportFixture& exportFixture() {
    static const ExportFixture f;
    return f;
}

void reportSize(benchmark::State& state, const QString& path) {
    state.counters["bytes"] = double(QFileInfo(path).size());
}

void BM_WriteKap(benchmark::State& state) {
    const ExportFixture& f = exportFixture();
    const QString path = f.dir.filePath("chart.kap");
    for (auto _ : state)
        if (!exports::writeKap(path, f.chart, f.layers, nullptr)) state.SkipWithError("write");
    reportSize(state, path);
}
BENCHMARK(BM_WriteKap)->Unit(benchmark::kMillisecond);

void BM_WriteGeoTiffPicture(benchmark::State& state) {
    const ExportFixture& f = exportFixture();
    const QString path = f.dir.filePath("chart.tif");
    for (auto _ : state)
        if (!exports::writeGeoTiff(path, f.chart, f.layers, exports::GeoTiffContent::Picture,
                                   nullptr))
            state.SkipWithError("write");
    reportSize(state, path);
}
BENCHMARK(BM_WriteGeoTiffPicture)->Unit(benchmark::kMillisecond);

void BM_WriteGeoTiffTemperature(benchmark::State& state) {
    const ExportFixture& f = exportFixture();
    const QString path = f.dir.filePath("temperature.tif");
    for (auto _ : state)
        if (!exports::writeGeoTiff(path, f.chart, f.layers, exports::GeoTiffContent::Temperature,
                                   nullptr))
            state.SkipWithError("write");
    reportSize(state, path);
}
BENCHMARK(BM_WriteGeoTiffTemperature)->Unit(benchmark::kMillisecond);

// Baseline: the same picture as PNG through Qt's image writer.
void BM_Baseline_QImageSavePng(benchmark::State& state) {
    const ExportFixture& f = exportFixture();
    const QString path = f.dir.filePath("chart.png");
    for (auto _ : state)
        if (!f.layers.picture.save(path, "PNG")) state.SkipWithError("write");
    reportSize(state, path);
}
BENCHMARK(BM_Baseline_QImageSavePng)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
