#include "archive/ChartDecoding.h"

#include "gif/GIFImage.h"

#include <QCoreApplication>

#include <algorithm>
#include <atomic>
#include <condition_variable>
#include <mutex>
#include <new>
#include <thread>
#include <vector>

namespace archive {

namespace {

struct Slot {
    QImage bitmap;
    QStringList comments;
    std::shared_ptr<const geo::PixelTemperatures> temperatures;
    QString failure;
    bool failed = false;
    bool finished = false;
};

Slot decodeOne(const QString& path) {
    Slot slot;
    slot.finished = true;
    try {
        TGIFImage chart;
        chart.LoadFromFile(path);
        slot.bitmap = chart.bitmap();
        slot.comments = gif::firstFrameCommentTexts(chart);
        slot.temperatures = chartPixelTemperatures(chart);
    } catch (const GIFException& error) {
        slot.failed = true;
        slot.failure = error.message();
    } catch (const std::bad_alloc&) {
        slot.failed = true;
        slot.failure = QCoreApplication::translate("ChartDecoding", "Out of memory");
    }
    return slot;
}

} // namespace

std::shared_ptr<const geo::PixelTemperatures> chartPixelTemperatures(const TGIFImage& chart) {
    if (chart.imageCount() == 0) return nullptr;
    // Written with the metadata, before the picture.
    const QByteArray bytes =
        gif::applicationData(chart.image(0), QByteArrayLiteral("THALWISESST"));
    if (bytes.isNull()) return nullptr;
    std::optional<geo::PixelTemperatures> values = geo::decodePixelTemperatures(bytes);
    if (!values) return nullptr;
    return std::make_shared<const geo::PixelTemperatures>(std::move(*values));
}

QStringList loadChartFile(TGIFImage& chart, const QString& path) {
    QStringList warnings;
    chart.setWarningCallback(
        [&warnings](gif::Severity, const QString& message) { warnings.append(message); });
    try {
        chart.LoadFromFile(path);
    } catch (...) {
        chart.setWarningCallback({});
        throw;
    }
    chart.setWarningCallback({});
    // Quirk "no-picture-no-chart": a file that stops before its first image's data (a download
    // cut right after the comment) decodes without a word from the decoder, but there is no
    // chart in it to show, file or read.
    if (chart.imageCount() == 0 || !chart.image(0).hasImageData())
        throw GIFException(QCoreApplication::translate(
            "ChartDecoding", "The chart holds no picture: the file ends before its image data."));
    return warnings;
}

bool leavesPixelsUnset(const TGIFImage& chart, const QStringList& warnings) {
    // The decoder reports its texts through the translation, so they are compared as shown.
    for (const char* unset : {gif::message::PrematureEnd, gif::message::BitBufferUnderrun})
        if (warnings.contains(QCoreApplication::translate("GIFImage", unset))) return true;
    // The picture is frame 0; without image data it has no pixel set at all.
    return chart.imageCount() == 0 || !chart.image(0).hasImageData() ||
           !chart.image(0).pixelsComplete();
}

ChartDecoding decodeCharts(const QStringList& paths, const DecodingProgress& progress,
                           int threads) {
    const int total = int(paths.size());
    std::vector<Slot> results(std::size_t(std::max(total, 0)));
    std::atomic<int> next{0};
    std::atomic<bool> stop{false};
    std::mutex mutex;
    std::condition_variable finished;
    int done = 0;

    const int workers = std::clamp(threads > 0 ? threads : int(std::thread::hardware_concurrency()),
                                   1, std::max(total, 1));
    std::vector<std::thread> pool;
    pool.reserve(std::size_t(workers));
    for (int w = 0; w < workers; ++w)
        pool.emplace_back([&] {
            for (;;) {
                if (stop.load()) return;
                const int index = next.fetch_add(1);
                if (index >= total) return;
                Slot slot = decodeOne(paths[index]);
                const std::lock_guard lock(mutex);
                results[std::size_t(index)] = std::move(slot);
                ++done;
                finished.notify_one();
            }
        });

    // Progress is reported here, on the caller's thread, so the callback may touch widgets.
    bool cancelled = false;
    {
        std::unique_lock lock(mutex);
        int reported = 0;
        while (reported < total) {
            finished.wait(lock, [&] { return done > reported; });
            reported = done;
            if (progress && !cancelled) {
                lock.unlock();
                const bool goOn = progress(reported, total);
                lock.lock();
                if (!goOn) {
                    cancelled = true;
                    stop.store(true);
                    break;
                }
            }
        }
    }
    for (std::thread& worker : pool)
        worker.join();

    ChartDecoding result;
    result.cancelled = cancelled;
    for (int i = 0; i < total; ++i) {
        // After a cancel only the charts done in an unbroken run from the first are kept.
        if (!results[std::size_t(i)].finished) break;
        if (results[std::size_t(i)].failed) {
            result.failedPath = paths[i];
            result.failure = results[std::size_t(i)].failure;
            break;
        }
        Slot& slot = results[std::size_t(i)];
        result.charts.append({paths[i], std::move(slot.bitmap), std::move(slot.comments),
                              std::move(slot.temperatures)});
    }
    return result;
}

} // namespace archive
