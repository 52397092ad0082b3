#include "app/HighlightLayerCache.h"

#include "geo/TemperatureBreaks.h"

#include <QFutureWatcher>
#include <QPromise>
#include <QThreadPool>

namespace app {

namespace {

template <typename Result, typename Job, typename Done>
void runInBackground(QObject* owner, Job job, Done done) {
    auto promise = std::make_shared<QPromise<Result>>();
    auto* watcher = new QFutureWatcher<Result>(owner);
    QObject::connect(watcher, &QFutureWatcherBase::finished, owner, [watcher, done] {
        const QFuture<Result> future = watcher->future();
        if (future.resultCount() > 0) done(future.result());
        watcher->deleteLater();
    });
    watcher->setFuture(promise->future());
    promise->start();
    QThreadPool::globalInstance()->start([promise, job] {
        promise->addResult(job());
        promise->finish();
    });
}

} // namespace

HighlightLayerCache::HighlightLayerCache(int capacity, QObject* parent)
    : QObject(parent), m_capacity(std::max(1, capacity)) {}

HighlightLayerCache::~HighlightLayerCache() = default;

bool HighlightLayerCache::sameField(const HighlightKey& a, const HighlightKey& b) const {
    return a.chart == b.chart && a.scaleMin == b.scaleMin && a.scaleMax == b.scaleMax;
}

std::shared_ptr<const geo::HighlightLayer>
HighlightLayerCache::layer(const HighlightKey& key, const geo::ChartTemperatures& chart) {
    for (auto it = m_entries.begin(); it != m_entries.end(); ++it) {
        if (!(it->key == key)) continue;
        m_entries.splice(m_entries.begin(), m_entries, it);
        return m_entries.front().layer; // null while it is being computed
    }
    if (m_fieldKey && sameField(*m_fieldKey, key)) {
        if (m_field)
            startBand(key);
        else
            m_waiting = key; // started when the field is ready
        return nullptr;
    }
    // Another chart or range: its field is read first, then the band asked for.
    m_entries.clear();
    m_fieldKey = key;
    m_field.reset();
    m_waiting = key;
    using Field = std::shared_ptr<const geo::TemperatureField>;
    runInBackground<Field>(
        this, [chart] { return Field(std::make_shared<geo::TemperatureField>(chart.field())); },
        [this, key](const Field& field) {
            // A field for a chart the user has left since is dropped.
            if (!m_fieldKey || !sameField(*m_fieldKey, key)) return;
            m_field = field;
            if (m_waiting) startBand(*std::exchange(m_waiting, std::nullopt));
        });
    return nullptr;
}

void HighlightLayerCache::startBand(const HighlightKey& key) {
    for (const Entry& entry : m_entries)
        if (entry.key == key) return; // under way or done
    m_entries.push_front({key, nullptr});
    while (int(m_entries.size()) > m_capacity)
        m_entries.pop_back();
    using Result = std::shared_ptr<const geo::HighlightLayer>;
    runInBackground<Result>(
        this,
        [field = m_field, temperature = key.temperature] {
            return Result(std::make_shared<geo::HighlightLayer>(
                geo::highlightBand(*field, float(temperature))));
        },
        [this, key](const Result& layer) { store(key, layer); });
}

void HighlightLayerCache::store(const HighlightKey& key,
                                std::shared_ptr<const geo::HighlightLayer> layer) {
    for (Entry& entry : m_entries)
        if (entry.key == key) {
            entry.layer = std::move(layer);
            emit layerReady(key);
            return;
        }
}

} // namespace app
