#include "app/BreakLayerCache.h"

namespace app {

BreakLayerCache::BreakLayerCache(int capacity, QObject* parent)
    : QObject(parent),
      m_layers(this, capacity, [this](const BreakLayerKey& key) { emit layerReady(key); }) {}

BreakLayerCache::~BreakLayerCache() = default;

std::shared_ptr<const BreakLineLayer> BreakLayerCache::layer(const BreakLayerKey& key,
                                                             const geo::ChartTemperatures& chart,
                                                             const geo::Calibration& calibration) {
    return m_layers.layer(key, [chart, calibration, threshold = key.threshold] {
        BreakLineLayer layer;
        layer.width = chart.picture().width();
        layer.height = chart.picture().height();
        layer.lines = geo::findBreakLines(chart.field(), calibration, threshold);
        return layer;
    });
}

} // namespace app
