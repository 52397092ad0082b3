#pragma once
// The temperature-break lines of the charts on screen, computed off the interface thread and
// kept per chart, so that switching between flipped charts shows a chart's breaks at once.

#include "app/ChartLayerCache.h"
#include "geo/AreaStuff.h"
#include "geo/BreakLines.h"
#include "geo/ChartTemperatures.h"
#include "geo/TemperatureBreaks.h"

#include <QObject>
#include <QString>

#include <memory>
#include <vector>

namespace app {

// What a layer depends on: the chart, the scale's range and the area's miles.
struct BreakLayerKey {
    QString chart; // the chart's path, or anything naming the picture uniquely
    int scaleMin = 0;
    int scaleMax = 0;
    int area = 0;
    double threshold = geo::DefaultBreakThreshold;
    friend bool operator==(const BreakLayerKey&, const BreakLayerKey&) = default;
};

// The whole break lines of one chart, in its pixels.
struct BreakLineLayer {
    int width = 0;
    int height = 0;
    std::vector<geo::BreakLine> lines;
};

class BreakLayerCache : public QObject {
    Q_OBJECT

public:
    // Keeps the layers of at most capacity charts, the ones asked for last.
    explicit BreakLayerCache(int capacity = 12, QObject* parent = nullptr);
    ~BreakLayerCache() override;

    // The layer of a chart when it is ready; otherwise nothing, and its computation is started
    // in the background (once) and layerReady is raised when it is done. The chart's
    // temperatures are copied for the computation.
    std::shared_ptr<const BreakLineLayer> layer(const BreakLayerKey& key,
                                                const geo::ChartTemperatures& chart,
                                                const geo::Calibration& calibration);

signals:
    void layerReady(const app::BreakLayerKey& key);

private:
    ChartLayerCache<BreakLayerKey, BreakLineLayer> m_layers;
};

} // namespace app
