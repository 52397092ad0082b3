#pragma once
// The benchmarks' sample chart: the 1024 x 1024 chart of area ne01 under its own range
// (TMIN 38, TMAX 62), with the area's calibration. THALWISE_SAMPLE_CHART names the file.
#include "geo/AreaStuff.h"
#include "geo/Palette.h"
#include "geo/TemperatureScale.h"

#include <QImage>
#include <QString>

struct SampleChartFixture {
    geo::TemperatureScale scale;
    QImage chart;
    geo::Calibration calibration = geo::Calibration::forArea(RecogniseArea("ne01"));

    SampleChartFixture() {
        chart = QImage(QStringLiteral(THALWISE_SAMPLE_CHART)).convertToFormat(QImage::Format_RGB32);
        if (chart.isNull()) qFatal("sample chart missing: %s", THALWISE_SAMPLE_CHART);
        scale.TempScaleChange(geo::TemperatureScale::BuildScaleBitmap(geo::builtinPaletteText()),
                              38, 62);
    }
};

inline const SampleChartFixture& sampleChartFixture() {
    static const SampleChartFixture f;
    return f;
}
