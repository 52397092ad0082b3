// One chart on one page at 600 dpi: PrintBitmapPage of a 1000 x 800 chart (8-bit palettised, and
// the 32-bit displayed picture) through a job that draws nothing and into a PDF file, next to
// the same picture scaled to its printed size in one call (QImage::scaled, and one drawImage
// into the PDF), in the same run.
// Goals: the banded print costs no more than twice the one-call scale, and the memory it adds
// stays near one band (the one-call scale holds the whole page at printer resolution). Into a
// PDF file the page made as the print dialog makes it for one (the picture once, at its own
// pixels, with or without its caption) costs about the one scaled draw, in time and in bytes,
// where the banded PDF costs many times both.
#include "platform/QtPrintJob.h"
#include "printing/BitmapPage.h"
#include "printing/PrnUtils.h"

#include <QApplication>
#include <QPainter>
#include <QPrinter>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

#include <malloc.h>

#include <algorithm>
#include <cmath>

namespace {

// Bytes the heap holds right now, small blocks and mapped ones alike.
qint64 heapInUse() {
    const struct mallinfo2 info = mallinfo2();
    return qint64(info.uordblks) + qint64(info.hblkhd);
}

// A letter page at 600 dpi with a printer's uneven unprintable edges; a 1920 x 1080 screen.
// Draws nothing; counts the bands and samples the heap while each band is in hand.
class NullPrintJob : public platform::PrintJob {
public:
    bool begin(const QString&, platform::PageOrientation orientation) override {
        m_landscape = orientation == platform::PageOrientation::Landscape;
        return true;
    }
    platform::PageMetrics pageMetrics() const override {
        platform::PageMetrics m{
            QSize(5100, 6600), QRect(100, 150, 4880, 6270), 600, 600, QSize(1920, 1080), true};
        if (m_landscape) {
            m.sheet.transpose();
            m.printable = QRect(150, 100, 6270, 4880);
        }
        return m;
    }
    bool drawImage(const QRect&, const QImage& image) override {
        ++bands;
        peakHeap = std::max(peakHeap, heapInUse());
        benchmark::DoNotOptimize(image.constBits());
        return true;
    }
    platform::TextMetrics textMetrics(const platform::PrintFont&) const override { return {}; }
    int textWidth(const QString&, const platform::PrintFont&) const override { return 0; }
    bool drawText(const QPoint&, const QString&, const platform::PrintFont&) override {
        return false;
    }
    bool newPage() override { return false; }
    bool end() override { return true; }
    void abort() override {}

    int bands = 0;
    qint64 peakHeap = 0;

private:
    bool m_landscape = false;
};

QImage chartLike(bool palettised) {
    QImage chart(1000, 800, QImage::Format_Indexed8);
    QList<QRgb> palette;
    for (int i = 0; i < 64; ++i)
        palette.append(qRgb(4 * i, 255 - 4 * i, (i * 37) & 255));
    chart.setColorTable(palette);
    for (int y = 0; y < chart.height(); ++y) {
        uchar* row = chart.scanLine(y);
        for (int x = 0; x < chart.width(); ++x)
            row[x] = uchar(int(32 + 31 * std::sin(x * 0.013 + std::cos(y * 0.011) * 2.0)) & 63);
    }
    return palettised ? chart : chart.convertToFormat(QImage::Format_RGB32);
}

// The fitted size on the landscape page: the evenly-margined area is 6240 x 4740.
QSize printedSize(const QImage& chart) {
    return printing::fitImage(chart.size(), QSize(6240, 4740)).size();
}

void BM_PrintBitmapPageBanded(benchmark::State& state) {
    const QImage chart = chartLike(state.range(0) == 8);
    qint64 peakExtra = 0;
    int bands = 0;
    for (auto _ : state) {
        NullPrintJob job;
        const qint64 before = heapInUse();
        job.peakHeap = before;
        const printing::PageJobResult result = PrintBitmapPage(job, chart);
        if (result.status != printing::PageJobStatus::Printed) state.SkipWithError("not printed");
        peakExtra = std::max(peakExtra, job.peakHeap - before);
        bands = job.bands;
    }
    state.counters["bands"] = bands;
    state.counters["peak_extra_MB"] = double(peakExtra) / (1024 * 1024);
    state.counters["device_Mpx"] =
        printedSize(chart).width() * double(printedSize(chart).height()) / 1e6;
}
BENCHMARK(BM_PrintBitmapPageBanded)
    ->Arg(8)
    ->Arg(32)
    ->ArgName("bits")
    ->Unit(benchmark::kMillisecond);

// Baseline: the whole picture scaled to its printed size in one call, nearest neighbour.
void BM_QImageScaledInOneCall(benchmark::State& state) {
    const QImage chart = chartLike(state.range(0) == 8);
    const QSize size = printedSize(chart);
    qint64 extra = 0;
    for (auto _ : state) {
        const qint64 before = heapInUse();
        const QImage scaled = chart.scaled(size, Qt::IgnoreAspectRatio, Qt::FastTransformation);
        benchmark::DoNotOptimize(scaled.constBits());
        extra = std::max(extra, heapInUse() - before);
    }
    state.counters["peak_extra_MB"] = double(extra) / (1024 * 1024);
}
BENCHMARK(BM_QImageScaledInOneCall)
    ->Arg(8)
    ->Arg(32)
    ->ArgName("bits")
    ->Unit(benchmark::kMillisecond);

void pdfPrinter(QPrinter& printer, const QString& path) {
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(path);
    printer.setResolution(600);
    printer.setPageSize(QPageSize(QPageSize::Letter));
}

// Into a PDF file through the real job: the bands, then the picture drawn once, scaled.
void BM_PdfBanded(benchmark::State& state) {
    const QImage chart = chartLike(true);
    QTemporaryDir dir;
    for (auto _ : state) {
        QPrinter printer(QPrinter::HighResolution);
        pdfPrinter(printer, dir.filePath("banded.pdf"));
        platform::QtPrintJob job(printer);
        const printing::PageJobResult result = PrintBitmapPage(job, chart);
        if (result.status != printing::PageJobStatus::Printed) state.SkipWithError("not printed");
        state.counters["bands"] = result.placement.bands;
    }
    state.counters["pdf_MB"] = double(QFileInfo(dir.filePath("banded.pdf")).size()) / (1024 * 1024);
}
BENCHMARK(BM_PdfBanded)->Unit(benchmark::kMillisecond)->Iterations(3);

void BM_PdfOneScaledDraw(benchmark::State& state) {
    const QImage chart = chartLike(true);
    QTemporaryDir dir;
    for (auto _ : state) {
        QPrinter printer(QPrinter::HighResolution);
        pdfPrinter(printer, dir.filePath("whole.pdf"));
        platform::QtPrintJob job(printer);
        job.begin(QStringLiteral("Pelagon image"), platform::PageOrientation::Landscape);
        const std::optional<printing::PageArea> page = printing::measurePage(job.pageMetrics());
        const QRect image = printing::fitImage(chart.size(), page->area.size());
        job.drawImage(image.translated(page->area.topLeft()), chart);
        job.end();
    }
    state.counters["pdf_MB"] = double(QFileInfo(dir.filePath("whole.pdf")).size()) / (1024 * 1024);
}
BENCHMARK(BM_PdfOneScaledDraw)->Unit(benchmark::kMillisecond)->Iterations(3);

// Into a PDF file as the print dialog prints to one: the picture once at its own pixels, the
// page stretching it, with and without the caption under it.
void BM_PdfWholePicture(benchmark::State& state) {
    const QImage chart = chartLike(true);
    printing::PageOptions options;
    options.wholePicture = true;
    if (state.range(0) == 1) {
        printing::ChartCaption caption;
        caption.title = QStringLiteral("North-east area 1, chart of 2026-12-01 12:00, 1 day old");
        caption.lowest = QStringLiteral("38.0°F");
        caption.highest = QStringLiteral("62.0°F");
        caption.colourBar = chart.copy(0, 0, 256, 1).convertToFormat(QImage::Format_RGB32);
        caption.corners = {QStringLiteral("43°21'N 71°04'W"), QStringLiteral("43°21'N 68°11'W"),
                           QStringLiteral("41°13'N 71°04'W"), QStringLiteral("41°13'N 68°11'W")};
        options.caption = caption;
    }
    QTemporaryDir dir;
    for (auto _ : state) {
        QPrinter printer(QPrinter::HighResolution);
        pdfPrinter(printer, dir.filePath("whole.pdf"));
        platform::QtPrintJob job(printer);
        const printing::PageJobResult result = PrintBitmapPage(job, chart, {}, {}, options);
        if (result.status != printing::PageJobStatus::Printed) state.SkipWithError("not printed");
        state.counters["bands"] = result.placement.bands;
    }
    state.counters["pdf_MB"] = double(QFileInfo(dir.filePath("whole.pdf")).size()) / (1024 * 1024);
}
BENCHMARK(BM_PdfWholePicture)
    ->Arg(0)
    ->Arg(1)
    ->ArgName("caption")
    ->Unit(benchmark::kMillisecond)
    ->Iterations(3);

} // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
