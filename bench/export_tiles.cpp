// Writing the 1024 x 1024 sample chart of area ne01 for chart software: MBTiles of every zoom
// that keeps each chart pixel (goal: under 1 s) and a KMZ for Google Earth. Baseline in the same
// run: the chart written once as PNG with QImage::save.
#include "SampleChartFixture.h"
#include "export/KmzWriter.h"
#include "export/MbtilesWriter.h"

#include <benchmark/benchmark.h>

#include <QFileInfo>
#include <QImage>
#include <QTemporaryDir>

namespace {

struct ExportFixture {
    exports::ChartGeoreference chart;
    exports::ExportLayers layers;
    ExportFixture() {
        const QImage& picture = sampleChartFixture().chart;
        chart =
            exports::chartGeoreference(RecogniseArea("ne01"), picture.width(), picture.height());
        chart.name = QStringLiteral("AREA-NE01");
        layers.picture = picture;
    }
};

const ExportFixture& exportFixture() {
    static const ExportFixture f;
    return f;
}

template <auto Writer> void writeChart(benchmark::State& state) {
    const ExportFixture& f = exportFixture();
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("chart.out"));
    QString error;
    for (auto _ : state)
        if (!Writer(path, f.chart, f.layers, &error)) state.SkipWithError(qPrintable(error));
    state.counters["bytes"] = double(QFileInfo(path).size());
}

void BM_WriteMbtilesEveryZoom(benchmark::State& state) {
    writeChart<exports::writeMbtiles>(state);
}
BENCHMARK(BM_WriteMbtilesEveryZoom)->Unit(benchmark::kMillisecond);

void BM_WriteKmz(benchmark::State& state) {
    writeChart<exports::writeKmz>(state);
}
BENCHMARK(BM_WriteKmz)->Unit(benchmark::kMillisecond);

// Baseline: the chart written once as PNG.
void BM_Baseline_ChartAsPng(benchmark::State& state) {
    const ExportFixture& f = exportFixture();
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("chart.png"));
    for (auto _ : state)
        if (!f.layers.picture.save(path, "PNG")) state.SkipWithError("cannot write the PNG");
    state.counters["bytes"] = double(QFileInfo(path).size());
}
BENCHMARK(BM_Baseline_ChartAsPng)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
