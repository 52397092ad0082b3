// One pointer move over a 1024 x 1024 chart: PixelToGeo, the temperature lookup and the four
// status-bar texts, measured next to a bare read of the same 15 pixels. The lookup is timed on
// the chart as 24-bit RGB and as the 32-bit RGB the window and thalwise-cli sample.
// Goals: mapping + temperature under 1 us, the whole move with its texts under 5 us.
// A chart made from data is read through the chart's temperature field: mapping + the data's
// own value under 1 us too, next to the same field reading the colours (the baseline).
// The rubber band of a drag is measured the same way: one pointer move's band on the shown
// chart control, painted, next to a full repaint of the chart with its overlays, which the band
// must never cost.
#include "app/ChartDisplay.h"
#include "app/HistoryPlot.h"
#include "app/TemperatureHistory.h"
#include "app/vekImage.h"
#include "geo/AreaStuff.h"
#include "geo/ChartTemperatures.h"
#include "geo/TemperatureScale.h"
#include "geo/ThalwiseUtils.h"
#include "geo/vekMapping.h"

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QFile>

#include <limits>
#include <memory>
#include <random>
#include <vector>

namespace {

constexpr int ChartSize = 1024;

struct Fixture {
    QImage scaleBitmap;
    geo::TemperatureScale scale;
    QImage chart;
    QImage chart32; // the same chart as 32-bit RGB
    geo::Calibration calibration = geo::Calibration::forArea(1);
    std::vector<QPoint> points;
    QLocale locale = QLocale::c();

    Fixture() {
        QFile f(QStringLiteral(THALWISE_PALETTE_FILE));
        if (!f.open(QIODevice::ReadOnly)) qFatal("palette file missing: %s", THALWISE_PALETTE_FILE);
        scaleBitmap = geo::TemperatureScale::BuildScaleBitmap(QString::fromLatin1(f.readAll()));
        scale.TempScaleChange(scaleBitmap, 30, 80);

        // Sea in bands of the palette ramp, a grey land block, black coast lines.
        chart = QImage(ChartSize, ChartSize, QImage::Format_RGB888);
        for (int y = 0; y < ChartSize; ++y) {
            uchar* line = chart.scanLine(y);
            for (int x = 0; x < ChartSize; ++x) {
                QRgb c;
                if (x < 200 && y < 400)
                    c = qRgb(205, 205, 205);
                else if (x == 200 || (y == 400 && x < 200))
                    c = qRgb(0, 0, 0);
                else
                    c = scaleBitmap.pixel(15, 1 + ((x / 3 + y / 5) % 250));
                line[3 * x] = uchar(qRed(c));
                line[3 * x + 1] = uchar(qGreen(c));
                line[3 * x + 2] = uchar(qBlue(c));
            }
        }
        chart32 = chart.convertToFormat(QImage::Format_RGB32);
        std::mt19937 random(7);
        std::uniform_int_distribution<int> coordinate(2, ChartSize - 3);
        for (int i = 0; i < 4096; ++i)
            points.emplace_back(coordinate(random), coordinate(random));
    }
};

Fixture& fixture() {
    static Fixture f;
    return f;
}

void BM_BareRead15Pixels(benchmark::State& state) {
    Fixture& f = fixture();
    std::size_t i = 0;
    for (auto _ : state) {
        const QPoint p = f.points[i++ & 4095];
        unsigned sum = 0;
        for (int row = p.y() - 1; row <= p.y() + 1; ++row) {
            const uchar* line = f.chart.constScanLine(row);
            for (int column = p.x() - 2; column <= p.x() + 2; ++column)
                sum += line[3 * column] + line[3 * column + 1] + line[3 * column + 2];
        }
        benchmark::DoNotOptimize(sum);
    }
}

// Mapping and lookup of one pointer move over the chart in one pixel layout.
void mappingAndTemperature(benchmark::State& state, const Fixture& f, const QImage& chart) {
    std::size_t i = 0;
    for (auto _ : state) {
        const QPoint p = f.points[i++ & 4095];
        GeoPosition position;
        const bool ok = PixelToGeo(f.calibration, p.x(), p.y(), position);
        const float t = f.scale.TemperatureAtPixel(chart, p.x(), p.y());
        benchmark::DoNotOptimize(ok);
        benchmark::DoNotOptimize(position);
        benchmark::DoNotOptimize(t);
    }
}

void BM_MappingAndTemperature(benchmark::State& state) {
    mappingAndTemperature(state, fixture(), fixture().chart);
}

void BM_MappingAndTemperatureRgb32(benchmark::State& state) {
    mappingAndTemperature(state, fixture(), fixture().chart32);
}

// Mapping and the reading of one pointer move through a chart's temperature field.
void mappingAndFieldReading(benchmark::State& state, const geo::ChartTemperatures& field) {
    const Fixture& f = fixture();
    std::size_t i = 0;
    for (auto _ : state) {
        const QPoint p = f.points[i++ & 4095];
        GeoPosition position;
        const bool ok = PixelToGeo(f.calibration, p.x(), p.y(), position);
        const float t = field.at(p.x(), p.y());
        benchmark::DoNotOptimize(ok);
        benchmark::DoNotOptimize(position);
        benchmark::DoNotOptimize(t);
    }
}

void BM_FieldFromColours(benchmark::State& state) {
    const geo::ChartTemperatures field(fixture().chart32, fixture().scale);
    mappingAndFieldReading(state, field);
}

void BM_FieldFromData(benchmark::State& state) {
    // Every pixel its own value, a land block without any.
    auto data = std::make_shared<geo::PixelTemperatures>();
    data->width = data->height = ChartSize;
    for (int y = 0; y < ChartSize; ++y)
        for (int x = 0; x < ChartSize; ++x)
            data->fahrenheit.push_back(x < 200 && y < 400
                                           ? std::numeric_limits<float>::quiet_NaN()
                                           : 40.0f + 0.03f * float(x) + 0.01f * float(y));
    const geo::ChartTemperatures field(fixture().chart32, fixture().scale, data);
    if (!field.fromData()) state.SkipWithError("the data was not taken");
    mappingAndFieldReading(state, field);
}

void BM_WholePointerMove(benchmark::State& state) {
    Fixture& f = fixture();
    GeoPosition press;
    PixelToGeo(f.calibration, 512, 512, press);
    std::size_t i = 0;
    for (auto _ : state) {
        const QPoint p = f.points[i++ & 4095];
        GeoPosition position;
        if (!PixelToGeo(f.calibration, p.x(), p.y(), position)) continue;
        const QString pixel = geo::pixelPanelText(p.x(), p.y());
        const QString where =
            geo::positionPanelText(position.Latitude, position.Longitude, false, f.locale);
        const float t = f.scale.TemperatureAtPixel(f.chart, p.x(), p.y());
        const QString temperature = geo::temperaturePanelText(t, f.locale);
        const QString range =
            geo::rangePanelText(press.Latitude, press.Longitude, position.Latitude,
                                position.Longitude, true, -14.5f, f.locale);
        benchmark::DoNotOptimize(pixel.constData());
        benchmark::DoNotOptimize(where.constData());
        benchmark::DoNotOptimize(temperature.constData());
        benchmark::DoNotOptimize(range.constData());
    }
}

// A shown chart control, on the offscreen platform.
struct ShownChart {
    std::unique_ptr<QApplication> application;
    std::unique_ptr<TvekImage> control;
    ShownChart() {
        static int argc = 1;
        static char name[] = "bench_pointer";
        static char* argv[] = {name, nullptr};
        qputenv("QT_QPA_PLATFORM", "offscreen");
        application = std::make_unique<QApplication>(argc, argv);
        control = std::make_unique<TvekImage>();
        control->setAutoSize(true);
        control->setPicture(fixture().chart32);
        control->show();
        QCoreApplication::processEvents();
    }
};

ShownChart& shownChart() {
    static ShownChart shown;
    return shown;
}

void BM_RubberBandMove(benchmark::State& state) {
    ShownChart& shown = shownChart();
    const Fixture& f = fixture();
    std::size_t i = 0;
    for (auto _ : state) {
        // A drag from the middle, the band reaching up to 43 pixels from the press.
        const QPoint p = QPoint(512, 512) + (f.points[i++ & 4095] - QPoint(512, 512)) / 12;
        shown.control->setRubberBand(QPoint(512, 512), p, (i & 1) != 0);
        // Paints what the band dirtied, as the event loop would.
        QCoreApplication::processEvents();
    }
}

void BM_FullRepaintBaseline(benchmark::State& state) {
    const Fixture& f = fixture();
    QList<AnnotationLine> lines;
    for (int k = 0; k < 50; ++k)
        lines.append({{QPoint(k * 20, 0), QPoint(1023 - k * 20, 1023)}});
    display::Overlays overlays;
    overlays.lines = &lines;
    for (auto _ : state) {
        const QImage picture = display::RepaintChart(f.chart32, overlays);
        benchmark::DoNotOptimize(picture.constBits());
    }
}

// What the history panel adds to a pointer move with ten charts flipped: the temperature at
// the pixel on each chart under its own range, the temperature panel's tool-tip, and the plot
// handed its points (it paints when the event loop next runs, once for many moves).
struct TenCharts {
    archive::ChartImageList charts;
    app::TemperatureHistory history;
    std::vector<app::HistoryPoint> points;
    std::unique_ptr<THistoryPlot> plot;
    TenCharts() {
        shownChart(); // the application
        const Fixture& f = fixture();
        for (int day = 0; day < 10; ++day) {
            const QString comment = QStringLiteral("TMIN=%1\r\nTMAX=%2\r\nVARIATION=-15")
                                        .arg(30 + day)
                                        .arg(80 + day);
            charts.add(QStringLiteral("/archive/2026-11-%1-12ne01.gif").arg(10 + day), f.chart,
                       {comment});
        }
        history.setCharts(charts, f.scaleBitmap, 30, 80);
        plot = std::make_unique<THistoryPlot>();
        plot->resize(320, 200);
        plot->show();
        QCoreApplication::processEvents();
    }
};

void BM_HistoryOfTenChartsPerMove(benchmark::State& state) {
    static TenCharts ten;
    const Fixture& f = fixture();
    std::size_t i = 0;
    for (auto _ : state) {
        const QPoint p = f.points[i++ & 4095];
        ten.history.readAt(p.x(), p.y(), ten.points);
        const QString tip = app::historyToolTip(ten.points, false, f.locale);
        ten.plot->setPoints(ten.points, QStringLiteral("Lat: 42\u00B035'    Lon: 69\u00B023'"));
        benchmark::DoNotOptimize(tip.constData());
    }
}

// The plot's paint, for the record: it runs at most once per frame, not per move.
void BM_HistoryPlotPaint(benchmark::State& state) {
    static TenCharts ten;
    ten.history.readAt(600, 600, ten.points);
    ten.plot->setPoints(ten.points, QStringLiteral("Lat: 42\u00B035'    Lon: 69\u00B023'"));
    QImage target(ten.plot->size(), QImage::Format_ARGB32_Premultiplied);
    for (auto _ : state) {
        ten.plot->render(&target);
        benchmark::DoNotOptimize(target.constBits());
    }
}

BENCHMARK(BM_HistoryOfTenChartsPerMove)->Repetitions(9)->ReportAggregatesOnly(true);
BENCHMARK(BM_HistoryPlotPaint)->Repetitions(3)->ReportAggregatesOnly(true);
BENCHMARK(BM_RubberBandMove)->Repetitions(9)->ReportAggregatesOnly(true);
BENCHMARK(BM_FullRepaintBaseline)->Repetitions(9)->ReportAggregatesOnly(true);
BENCHMARK(BM_BareRead15Pixels)->Repetitions(9)->ReportAggregatesOnly(true);
BENCHMARK(BM_MappingAndTemperature)->Repetitions(9)->ReportAggregatesOnly(true);
BENCHMARK(BM_MappingAndTemperatureRgb32)->Repetitions(9)->ReportAggregatesOnly(true);
BENCHMARK(BM_FieldFromColours)->Repetitions(9)->ReportAggregatesOnly(true);
BENCHMARK(BM_FieldFromData)->Repetitions(9)->ReportAggregatesOnly(true);
BENCHMARK(BM_WholePointerMove)->Repetitions(9)->ReportAggregatesOnly(true);

} // namespace

BENCHMARK_MAIN();
