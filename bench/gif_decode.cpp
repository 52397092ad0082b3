// Decoding speed of our GIF reader against giflib's DGifSlurp, both from memory, in one run.
// Goals: at least 4x giflib on a 1024 x 1024 chart-like picture, at least 1.5x on random noise.
// The files are made in-process with our encoder, so the benchmark needs no data files.

#include "SyntheticChart.h"
#include "gif/GIFEncoder.h"
#include "gif/GIFImage.h"

#include "GiflibMemory.h"
#include <benchmark/benchmark.h>
#include <gif_lib.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <map>
#include <string>
#include <vector>

#include <unistd.h>

namespace {

const QByteArray& chartFile() {
    static const QByteArray bytes = *gif::encodeGif(gif::makeChartLikeInput(1024, 1024));
    return bytes;
}

const QByteArray& noisyFile() {
    static const QByteArray bytes = *gif::encodeGif(gif::makeNoisyInput(1024, 1024, 7));
    return bytes;
}

void decodeOurs(benchmark::State& state, const QByteArray& bytes) {
    for (auto _ : state) {
        TGIFImage image;
        image.LoadFromBytes(bytes);
        benchmark::DoNotOptimize(image.image(0).pixels());
    }
    state.SetBytesProcessed(state.iterations() * bytes.size());
}

void decodeGiflib(benchmark::State& state, const QByteArray& bytes) {
    for (auto _ : state) {
        MemoryReader reader{&bytes};
        int error = 0;
        GifFileType* file = DGifOpen(&reader, readFromMemory, &error);
        if (!file || DGifSlurp(file) != GIF_OK) {
            state.SkipWithError("giflib could not read the file");
            break;
        }
        benchmark::DoNotOptimize(file->SavedImages[0].RasterBits);
        DGifCloseFile(file, &error);
    }
    state.SetBytesProcessed(state.iterations() * bytes.size());
}

void BM_OursChart(benchmark::State& state) {
    decodeOurs(state, chartFile());
}
void BM_GiflibChart(benchmark::State& state) {
    decodeGiflib(state, chartFile());
}
void BM_OursNoisy(benchmark::State& state) {
    decodeOurs(state, noisyFile());
}
void BM_GiflibNoisy(benchmark::State& state) {
    decodeGiflib(state, noisyFile());
}

BENCHMARK(BM_OursChart)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_GiflibChart)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_OursNoisy)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_GiflibNoisy)->Unit(benchmark::kMillisecond);

// Keeps the console output and remembers each benchmark's median (or its only run) so that the
// ratios against the baseline can be printed and checked at the end. The ratios use CPU time:
// both decoders run on one thread, and the build machine is shared, so wall time mostly measures
// the neighbours.
class MedianReporter : public benchmark::ConsoleReporter {
public:
    MedianReporter() : ConsoleReporter(isatty(fileno(stdout)) ? OO_ColorTabular : OO_Tabular) {}

    void ReportRuns(const std::vector<Run>& runs) override {
        ConsoleReporter::ReportRuns(runs);
        for (const Run& run : runs) {
            if (run.error_occurred) continue;
            const std::string name = run.run_name.function_name;
            const bool median = run.run_type == Run::RT_Aggregate && run.aggregate_name == "median";
            if (median || (run.run_type == Run::RT_Iteration && !m_fromMedian.count(name))) {
                m_seconds[name] = run.GetAdjustedCPUTime();
                if (median) m_fromMedian[name] = true;
            }
        }
    }

    // Prints the ratio and returns whether the goal was met.
    bool check(const char* what, const std::string& ours, const std::string& baseline,
               double goal) const {
        const auto a = m_seconds.find(ours);
        const auto b = m_seconds.find(baseline);
        if (a == m_seconds.end() || b == m_seconds.end()) return true; // filtered out
        const double ratio = b->second / a->second;
        std::printf(
            "%-12s CPU time: ours %8.3f ms  giflib %8.3f ms  speed-up %5.2fx  goal %.1fx  %s\n",
            what, a->second, b->second, ratio, goal, ratio >= goal ? "met" : "MISSED");
        return ratio >= goal;
    }

private:
    std::map<std::string, double> m_seconds;
    std::map<std::string, bool> m_fromMedian;
};

} // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    std::printf("chart-like file %lld bytes, noisy file %lld bytes\n",
                static_cast<long long>(chartFile().size()),
                static_cast<long long>(noisyFile().size()));
    MedianReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    const bool chart = reporter.check("chart-like", "BM_OursChart", "BM_GiflibChart", 4.0);
    const bool noisy = reporter.check("noisy", "BM_OursNoisy", "BM_GiflibNoisy", 1.5);
    benchmark::Shutdown();
    return chart && noisy ? 0 : 2;
}
