#pragma once
// Layers drawn over the charts on screen (break lines, isotherms), computed off the interface
// thread and kept per chart, so that switching between flipped charts shows a chart's layer at
// once.

#include <QFutureWatcher>
#include <QObject>
#include <QPromise>
#include <QThreadPool>

#include <algorithm>
#include <functional>
#include <list>
#include <memory>

namespace app {

template <typename Key, typename Layer> class ChartLayerCache {
public:
    using Ready = std::function<void(const Key&)>;

    // Keeps the layers of at most capacity keys, the ones asked for last; ready is called on
    // the owner's thread when a layer is done. Work still running when the owner goes is
    // finished and dropped.
    ChartLayerCache(QObject* owner, int capacity, Ready ready)
        : m_owner(owner), m_capacity(std::max(1, capacity)), m_ready(std::move(ready)) {}

    // The layer of a key when it is ready; otherwise nothing, and compute is started in the
    // background (once per key). compute must own copies of what it reads.
    std::shared_ptr<const Layer> layer(const Key& key, std::function<Layer()> compute) {
        for (auto it = m_entries->begin(); it != m_entries->end(); ++it) {
            if (!(it->key == key)) continue;
            m_entries->splice(m_entries->begin(), *m_entries, it);
            return m_entries->front().layer; // null while it is being computed
        }
        m_entries->push_front({key, nullptr});
        while (int(m_entries->size()) > m_capacity)
            m_entries->pop_back();

        using Result = std::shared_ptr<const Layer>;
        auto promise = std::make_shared<QPromise<Result>>();
        auto* watcher = new QFutureWatcher<Result>(m_owner);
        QObject::connect(watcher, &QFutureWatcherBase::finished, m_owner,
                         [entries = m_entries, ready = m_ready, watcher, key] {
                             const QFuture<Result> future = watcher->future();
                             if (future.resultCount() > 0)
                                 for (Entry& entry : *entries)
                                     if (entry.key == key) {
                                         entry.layer = future.result();
                                         if (ready) ready(key);
                                         break;
                                     }
                             watcher->deleteLater();
                         });
        watcher->setFuture(promise->future());
        promise->start();
        QThreadPool::globalInstance()->start([promise, compute = std::move(compute)] {
            promise->addResult(std::make_shared<const Layer>(compute()));
            promise->finish();
        });
        return nullptr;
    }

private:
    struct Entry {
        Key key;
        std::shared_ptr<const Layer> layer; // null while computing
    };

    QObject* m_owner;
    int m_capacity;
    Ready m_ready;
    // Shared with the finishing handlers, which the owner disconnects when it goes.
    std::shared_ptr<std::list<Entry>> m_entries = std::make_shared<std::list<Entry>>();
};

} // namespace app
