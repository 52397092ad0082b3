#pragma once
// The highlighted water of the slider's temperature, computed off the interface thread: the
// chart's temperature field once per chart and range, then one cheap band per temperature, kept
// for the temperatures asked for last, so that dragging the slider never waits for a reading of
// the whole chart.

#include "geo/ChartTemperatures.h"
#include "geo/TemperatureHighlight.h"

#include <QObject>
#include <QString>

#include <list>
#include <memory>
#include <optional>

namespace geo {
struct TemperatureField;
}

namespace app {

// What a highlight depends on: the chart, the scale's range and the temperature (whole °F, the
// slider's steps).
struct HighlightKey {
    QString chart;
    int scaleMin = 0;
    int scaleMax = 0;
    int temperature = 0;
    friend bool operator==(const HighlightKey&, const HighlightKey&) = default;
};

class HighlightLayerCache : public QObject {
    Q_OBJECT

public:
    explicit HighlightLayerCache(int capacity = 48, QObject* parent = nullptr);
    ~HighlightLayerCache() override;

    // The layer when it is ready; otherwise nothing, its computation under way (the chart and
    // its temperatures are copied for it) and layerReady raised when it is done. While the chart's
    // field is still being read, only the temperature asked for last is computed after it.
    std::shared_ptr<const geo::HighlightLayer> layer(const HighlightKey& key,
                                                     const geo::ChartTemperatures& chart);

signals:
    void layerReady(const app::HighlightKey& key);

private:
    struct Entry {
        HighlightKey key;
        std::shared_ptr<const geo::HighlightLayer> layer; // null while computing
    };
    bool sameField(const HighlightKey& a, const HighlightKey& b) const;
    void startBand(const HighlightKey& key);
    void store(const HighlightKey& key, std::shared_ptr<const geo::HighlightLayer> layer);

    int m_capacity;
    std::list<Entry> m_entries;                           // most recently asked first
    std::optional<HighlightKey> m_fieldKey;               // the chart and range of m_field
    std::shared_ptr<const geo::TemperatureField> m_field; // null while it is being read
    std::optional<HighlightKey> m_waiting; // asked for while the field was being read
};

} // namespace app
