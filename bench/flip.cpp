// Flipping the latest charts of an area with 90 charts in the archive: the search and the ten
// kept charts decoded on every core, next to decoding the same ten one after another (the
// baseline it must beat on a machine with more than one core), and the window's whole command
// until the first chart is on screen.
#include "app/RegistryVariables.h"
#include "app/ThalwiseForm.h"
#include "archive/ChartDecoding.h"
#include "archive/ChartFlipping.h"
#include "archive/ChartImages.h"
#include "gif/GIFImage.h"
#include "platform/FileRegistry.h"
#include "platform/LocalFileSystem.h"
#include "support/Fakes.h"

#include <benchmark/benchmark.h>

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

namespace {

// 90 charts of ne01, one a day at noon, copied from the bundled samples.
struct Archive {
    QTemporaryDir documents;
    QString folder;
    Archive() {
        folder = documents.filePath("My Pelagon Files/Chart Archive/");
        QDir().mkpath(folder);
        const QStringList samples =
            QDir(QStringLiteral(THALWISE_SAMPLES_DIR)).entryList({"*.gif"}, QDir::Files);
        const QDate first(2026, 9, 1);
        for (int day = 0; day < 90; ++day) {
            const QString name = first.addDays(day).toString("yyyy-MM-dd") + "-12ne01.gif";
            QFile::copy(QStringLiteral(THALWISE_SAMPLES_DIR "/") + samples[day % samples.size()],
                        folder + name);
        }
        folder = QDir::toNativeSeparators(folder);
    }
    QStringList latest() const {
        platform::LocalFileSystem fileSystem;
        return archive::latestChartsOfArea(fileSystem, folder, QStringLiteral("ne01"));
    }
};

Archive& archiveOf90() {
    static Archive archive;
    return archive;
}

void BM_FlipLatest_SearchAndDecodeOnEveryCore(benchmark::State& state) {
    Archive& archive = archiveOf90();
    for (auto _ : state) {
        archive::ChartImageList charts;
        for (const archive::DecodedChart& chart : archive::decodeCharts(archive.latest()).charts)
            charts.add(chart.path, chart.bitmap);
        benchmark::DoNotOptimize(charts.size());
    }
}
BENCHMARK(BM_FlipLatest_SearchAndDecodeOnEveryCore)->Unit(benchmark::kMillisecond);

void BM_Baseline_DecodeTheTenOneAfterAnother(benchmark::State& state) {
    const QStringList latest = archiveOf90().latest();
    for (auto _ : state) {
        archive::ChartImageList charts;
        for (const QString& path : latest) {
            TGIFImage chart;
            chart.LoadFromFile(path);
            charts.add(path, chart.bitmap());
        }
        benchmark::DoNotOptimize(charts.size());
    }
}
BENCHMARK(BM_Baseline_DecodeTheTenOneAfterAnother)->Unit(benchmark::kMillisecond);

// The command as the user gives it, until the first of the ten is on screen (decoded, tabs
// built, the chart composed with its marks).
void BM_FlipLatest_Window_FirstChartOnScreen(benchmark::State& state) {
    Archive& archive = archiveOf90();
    QTemporaryDir store;
    platform::FileRegistry registry(store.filePath("settings.reg"));
    platform::LocalFileSystem fileSystem;
    FakeMessageBoxes messageBoxes;
    FakeFileDialogs fileDialogs;
    FakeClock clock{QDateTime(QDate(2026, 12, 1), QTime(9, 0))};
    FakeDesktop desktop;
    desktop.folder = archive.documents.path();
    FakePrinters printers;
    FakeFontDialogs fontDialogs;
    platform::Services services;
    services.messageBoxes = &messageBoxes;
    services.fileDialogs = &fileDialogs;
    services.clock = &clock;
    services.desktop = &desktop;
    services.registry = &registry;
    services.printers = &printers;
    services.fileSystem = &fileSystem;
    services.fontDialogs = &fontDialogs;
    TFormThalwise form(services, QStringLiteral("\\Software\\Quillmark\\bench-flip"), {});
    form.show();
    form.DefaultArea->Value = 1;
    for (auto _ : state) {
        form.MenuFileFlipLatest->trigger();
        if (form.CurrentImageIndex != 0) state.SkipWithError("no chart on screen");
    }
}
BENCHMARK(BM_FlipLatest_Window_FirstChartOnScreen)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
