// The chart description shared by the exporters.
#include "export/ChartGeoreference.h"

#include "geo/vekMapping.h"

#include <QCoreApplication>

#include <cmath>
#include <numbers>

namespace exports {

double webMercatorX(double longitude) {
    return WebMercatorRadius * longitude * std::numbers::pi / 180.0;
}

double webMercatorY(double latitude) {
    return WebMercatorRadius *
           std::log(std::tan(std::numbers::pi / 4.0 + latitude * std::numbers::pi / 360.0));
}

bool ChartGeoreference::isValid() const {
    return width > 0 && height > 0 && calibration.Valid && calibration.Mercator &&
           calibration.Col1 != calibration.Col2 && calibration.Row1 != calibration.Row2;
}

std::optional<geo::TrackPoint> ChartGeoreference::position(double x, double y) const {
    if (!isValid()) return std::nullopt;
    geo::TrackPoint p;
    if (!PixelPointToGeo(calibration, x - 0.5, y - 0.5, p.lat, p.lon)) return std::nullopt;
    return p;
}

double ChartGeoreference::webMercatorPixelWidth() const {
    return webMercatorX(position(1.0, 0.0)->lon) - webMercatorX(position(0.0, 0.0)->lon);
}

double ChartGeoreference::webMercatorPixelHeight() const {
    // The calibration's Mercator ordinate is in degrees of the same sphere: a pixel row is
    // (MercY2 - MercY1) / (Row2 - Row1) degrees of ordinate.
    const double degrees = (double(calibration.MercY1) - calibration.MercY2) /
                           double(calibration.Row2 - calibration.Row1);
    return WebMercatorRadius * degrees * std::numbers::pi / 180.0;
}

ChartGeoreference chartGeoreference(int area, int width, int height) {
    ChartGeoreference chart;
    chart.width = width;
    chart.height = height;
    chart.calibration = geo::Calibration::forArea(area);
    if (geo::isCalibratedArea(area)) chart.areaName = geo::areaDisplayName(area);
    return chart;
}

bool canPlacePicture(const ChartGeoreference& chart, const ExportLayers& layers, QString* error) {
    QString reason;
    if (!chart.isValid())
        reason = QCoreApplication::translate("exports", "The chart's area has no calibration");
    else if (layers.picture.size() != QSize(chart.width, chart.height))
        reason = QCoreApplication::translate("exports", "There is no picture of the chart");
    if (error && !reason.isEmpty()) *error = reason;
    return reason.isEmpty();
}

} // namespace exports
