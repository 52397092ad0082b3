// One full repaint of a chart with many overlays, next to a bare copy of the chart into the
// display picture. Goal: the full repaint within one frame at 60 Hz (16 ms), also fitted into a
// window with the slider's water highlighted, against today's repaint at 100 % as the baseline.
#include "app/ChartDisplay.h"
#include "app/ViewScale.h"
#include "geo/TemperatureBreaks.h"
#include "geo/TemperatureHighlight.h"

#include <QGuiApplication>
#include <QPainter>
#include <benchmark/benchmark.h>

#include <cmath>

using namespace display;

namespace {

QImage chartLike() {
    QImage img(1024, 1024, QImage::Format_RGB888);
    for (int y = 0; y < img.height(); ++y) {
        uchar* row = img.scanLine(y);
        for (int x = 0; x < img.width(); ++x) {
            const double t = 0.5 + 0.5 * std::sin(x * 0.01 + std::cos(y * 0.013) * 2.0);
            row[3 * x] = uchar(255 * t);
            row[3 * x + 1] = uchar(128 + 100 * std::sin(y * 0.02));
            row[3 * x + 2] = uchar(255 * (1 - t));
        }
    }
    return img;
}

struct Scene {
    QImage base = chartLike();
    QList<AnnotationLine> lines;
    QList<AnnotationText> texts;
    QStringList waypoints;
    Overlays overlays;
    Scene() {
        for (int i = 0; i < 200; ++i) {
            const int x = (i * 37) % 1000, y = (i * 53) % 1000;
            lines.append({{QPoint(x, y), QPoint(x + 20, y + 15), QPoint(x + 5, y + 22)}});
            texts.append({QStringLiteral("72.5 F edge %1").arg(i),
                          QPoint((i * 71) % 1000, (i * 29) % 1000)});
        }
        for (int i = 0; i < 50; ++i)
            waypoints << QStringLiteral("Lat=%1,Lon=%2,Tf=65.0")
                             .arg(42.5 - i * 0.02)
                             .arg(-70.5 + i * 0.02);
        overlays.lines = &lines;
        overlays.texts = &texts;
        overlays.waypoints = &waypoints;
        overlays.outlined = true;
        overlays.font = QFont("DejaVu Sans", 8);
        overlays.homeLat = 42.0;
        overlays.homeLon = -70.0;
        overlays.geoToPixel = [](float lat, float lon, int& x, int& y) {
            x = int((lon + 71) * 356);
            y = int((43 - lat) * 478);
            return true;
        };
        QImage icon(32, 32, QImage::Format_ARGB32);
        icon.fill(Qt::transparent);
        QPainter p(&icon);
        p.setBrush(Qt::red);
        p.drawEllipse(4, 4, 12, 12);
        p.drawLine(10, 16, 10, 27);
        overlays.markerIcon = icon;
    }
};

Scene& scene() {
    static Scene s;
    return s;
}

// A band of water over a smooth field of the chart's size: about a twentieth of the chart.
const geo::HighlightLayer& highlight() {
    static const geo::HighlightLayer layer = [] {
        geo::TemperatureField field;
        field.width = field.height = 1024;
        field.values.resize(size_t(1024) * 1024);
        for (int y = 0; y < 1024; ++y)
            for (int x = 0; x < 1024; ++x)
                field.values[size_t(y) * 1024 + size_t(x)] =
                    float(60.0 + 10.0 * std::sin(x * 0.01 + std::cos(y * 0.013) * 2.0));
        return geo::highlightBand(field, 62.0f);
    }();
    return layer;
}

// A 1024 chart fitted into the view of a 1000 x 720 window (about 650 pixels high).
constexpr view::Scale FitScale{650, 1024};

void BM_BareCopy(benchmark::State& state) {
    Scene& s = scene();
    for (auto _ : state) {
        QImage picture = s.base.convertToFormat(QImage::Format_RGB32);
        benchmark::DoNotOptimize(picture.constBits());
    }
}
BENCHMARK(BM_BareCopy)->Unit(benchmark::kMillisecond);

void BM_RepaintNormal(benchmark::State& state) {
    Scene& s = scene();
    for (auto _ : state) {
        QImage picture = RepaintChart(s.base, s.overlays);
        benchmark::DoNotOptimize(picture.constBits());
    }
}
BENCHMARK(BM_RepaintNormal)->Unit(benchmark::kMillisecond);

void BM_RepaintZoomed(benchmark::State& state) {
    Scene& s = scene();
    for (auto _ : state) {
        QImage picture = ZoomDouble(RepaintChart(s.base, s.overlays));
        benchmark::DoNotOptimize(picture.constBits());
    }
}
BENCHMARK(BM_RepaintZoomed)->Unit(benchmark::kMillisecond);

// The repaint a change of the slider makes with the highlight on, fitted to the window: the
// composition, then the smoothed picture the view shows.
void BM_RepaintFitHighlight(benchmark::State& state) {
    Scene& s = scene();
    Overlays overlays = s.overlays;
    overlays.highlight = &highlight();
    for (auto _ : state) {
        QImage shown = view::renderReduced(RepaintChart(s.base, overlays), FitScale);
        benchmark::DoNotOptimize(shown.constBits());
    }
}
BENCHMARK(BM_RepaintFitHighlight)->Unit(benchmark::kMillisecond);

// What a paint of a whole 1900 x 1000 view costs at 800 %, sharp pixels.
void BM_PaintViewAt800(benchmark::State& state) {
    const QImage picture = RepaintChart(scene().base, scene().overlays);
    for (auto _ : state) {
        QImage shown =
            view::renderArea(picture, view::Scale::percent(800), QRect(3000, 3000, 1900, 1000));
        benchmark::DoNotOptimize(shown.constBits());
    }
}
BENCHMARK(BM_PaintViewAt800)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
