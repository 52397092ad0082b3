#include "app/BreakLayerCache.h"

namespace app {

BreakLayerCache::BreakLayerCache(int capacity, QObject* parent)
    : QObject(parent),
      m_layers(this, capacity, [this](const BreakLayerKey& key) { emit layerReady(key); }) {}

BreakLayerCache::~BreakLayerCache() = default;

std::shared_ptr<const BreakLineLayer> BreakLayerCache::layer(const BreakLayerKey& key,
                                                             const QImage& chart,
                                                             const geo::TemperatureScale& scale,
                                                             const geo::Calibration& calibration) {
    return m_layers.layer(key, [chart, scale, calibration, threshold = key.threshold] {
        BreakLineLayer layer;
        layer.width = chart.width();
        layer.height = chart.height();
        layer.lines =
            geo::findBreakLines(geo::temperatureField(scale, chart), calibration, threshold);
        return layer;
    });
}

} // namespace app
