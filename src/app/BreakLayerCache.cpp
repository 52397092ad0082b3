#include "app/BreakLayerCache.h"

#include <QFutureWatcher>
#include <QPromise>
#include <QThreadPool>

namespace app {

BreakLayerCache::BreakLayerCache(int capacity, QObject* parent)
    : QObject(parent), m_capacity(std::max(1, capacity)) {}

BreakLayerCache::~BreakLayerCache() = default;

std::shared_ptr<const geo::BreakLayer> BreakLayerCache::layer(const BreakLayerKey& key,
                                                              const QImage& chart,
                                                              const geo::TemperatureScale& scale,
                                                              const geo::Calibration& calibration) {
    for (auto it = m_entries.begin(); it != m_entries.end(); ++it) {
        if (!(it->key == key)) continue;
        m_entries.splice(m_entries.begin(), m_entries, it);
        return m_entries.front().layer; // null while it is being computed
    }
    m_entries.push_front({key, nullptr});
    while (int(m_entries.size()) > m_capacity)
        m_entries.pop_back();

    using Result = std::shared_ptr<const geo::BreakLayer>;
    auto promise = std::make_shared<QPromise<Result>>();
    auto* watcher = new QFutureWatcher<Result>(this);
    connect(watcher, &QFutureWatcherBase::finished, this, [this, watcher, key] {
        const QFuture<Result> future = watcher->future();
        if (future.resultCount() > 0) store(key, future.result());
        watcher->deleteLater();
    });
    watcher->setFuture(promise->future());
    promise->start();
    QThreadPool::globalInstance()->start(
        [promise, chart, scale, calibration, threshold = key.threshold] {
            auto layer = std::make_shared<geo::BreakLayer>(
                geo::chartBreaks(scale, chart, calibration, threshold));
            // The window draws the lines only: the strengths are not kept.
            layer->strength = {};
            promise->addResult(Result(std::move(layer)));
            promise->finish();
        });
    return nullptr;
}

void BreakLayerCache::store(const BreakLayerKey& key, std::shared_ptr<const geo::BreakLayer> layer) {
    for (Entry& entry : m_entries)
        if (entry.key == key) {
            entry.layer = std::move(layer);
            emit layerReady(key);
            return;
        }
}

} // namespace app
