#pragma once
// The isotherms of the charts on screen with their labels, computed off the interface thread
// and kept per chart, range and temperatures, as the break lines are.

#include "app/ChartDisplay.h"
#include "app/ChartLayerCache.h"
#include "geo/ChartTemperatures.h"
#include "geo/Isotherms.h"

#include <QObject>
#include <QString>

#include <memory>
#include <vector>

namespace app {

// What the isotherms of a chart depend on: the chart, the scale's range and the temperatures.
struct IsothermLayerKey {
    QString chart; // the chart's path, or anything naming the picture uniquely
    int scaleMin = 0;
    int scaleMax = 0;
    std::vector<float> temperatures; // °F
    friend bool operator==(const IsothermLayerKey&, const IsothermLayerKey&) = default;
};

struct IsothermLayer {
    int width = 0;
    int height = 0;
    std::vector<geo::Isotherm> isotherms;
    std::vector<display::IsothermLabel> labels;
};

// The temperatures (°F) a user asks isotherms for in the unit shown: "68, 70, 72" or "every 2"
// read as °C when celsius (a trailing "°C" or "°F" names the unit whatever is shown), kept
// within the chart's range scaleMin..scaleMax (°F). Nothing for text that does not parse.
std::vector<float> isothermTemperaturesShown(const QString& text, int scaleMin, int scaleMax,
                                             bool celsius);

// The request as it is kept: with " °C" or " °F" after it when it names no unit, so that it
// means the same whatever unit is shown later. Empty text stays empty.
QString isothermTextWithUnit(const QString& text, bool celsius);

class IsothermLayerCache : public QObject {
    Q_OBJECT

public:
    explicit IsothermLayerCache(int capacity = 12, QObject* parent = nullptr);
    ~IsothermLayerCache() override;

    // The layer of a chart when it is ready; otherwise nothing, and its computation is started
    // in the background (once) and layerReady is raised when it is done. The chart's
    // temperatures are copied for the computation.
    std::shared_ptr<const IsothermLayer> layer(const IsothermLayerKey& key,
                                               const geo::ChartTemperatures& chart);

signals:
    void layerReady(const app::IsothermLayerKey& key);

private:
    ChartLayerCache<IsothermLayerKey, IsothermLayer> m_layers;
};

} // namespace app
