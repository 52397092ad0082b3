#include "app/IsothermLayerCache.h"

#include "geo/TemperatureBreaks.h"
#include "geo/ThalwiseUtils.h"

#include <QRegularExpression>

namespace app {

namespace {

// A request's unit at its end: "°C", "° f", "C"...
const QRegularExpression& namedUnit() {
    static const QRegularExpression unit(QStringLiteral("\\s*°?\\s*([cf])$"),
                                         QRegularExpression::CaseInsensitiveOption);
    return unit;
}

} // namespace

QString isothermTextWithUnit(const QString& text, bool celsius) {
    const QString request = text.trimmed();
    if (request.isEmpty() || namedUnit().match(request).hasMatch()) return request;
    return request + QLatin1Char(' ') + geo::temperatureUnitText(celsius);
}

std::vector<float> isothermTemperaturesShown(const QString& text, int scaleMin, int scaleMax,
                                             bool celsius) {
    QString request = text.trimmed();
    const QRegularExpressionMatch named = namedUnit().match(request);
    if (named.hasMatch()) {
        celsius = named.captured(1).compare(QLatin1String("c"), Qt::CaseInsensitive) == 0;
        request.truncate(named.capturedStart());
    }
    if (!celsius) return geo::isothermTemperatures(request, scaleMin, scaleMax);
    // Read in °C over the range in °C, then each brought back to °F for the field.
    std::vector<float> temperatures = geo::isothermTemperatures(
        request, geo::celsiusFromFahrenheit(scaleMin), geo::celsiusFromFahrenheit(scaleMax));
    for (float& t : temperatures)
        t = float(double(t) * 9.0 / 5.0 + 32.0);
    return temperatures;
}

IsothermLayerCache::IsothermLayerCache(int capacity, QObject* parent)
    : QObject(parent),
      m_layers(this, capacity, [this](const IsothermLayerKey& key) { emit layerReady(key); }) {}

IsothermLayerCache::~IsothermLayerCache() = default;

std::shared_ptr<const IsothermLayer>
IsothermLayerCache::layer(const IsothermLayerKey& key, const geo::ChartTemperatures& chart) {
    return m_layers.layer(key, [chart, temperatures = key.temperatures] {
        IsothermLayer layer;
        layer.width = chart.picture().width();
        layer.height = chart.picture().height();
        layer.isotherms = geo::findIsotherms(chart.field(), temperatures);
        layer.labels = display::isothermLabels(layer.isotherms);
        return layer;
    });
}

} // namespace app
