#include "fetch/ChartFetch.h"

#include "archive/ChartIntake.h"
#include "geo/AreaStuff.h"
#include "platform/FileSystem.h"
#include "sst/DataChart.h"
#include "sst/DataChartFiling.h"
#include "sst/GriddapRequest.h"
#include "sst/NetcdfGrid.h"
#include "sst/ResponseCheck.h"
#include "sst/SstSources.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QNetworkAccessManager>
#include <QTimeZone>

namespace fetch {

namespace {

QString tr(const char* text) {
    return QCoreApplication::translate("ChartFetch", text);
}

AreaOutcome failed(int area, const QString& failure) {
    AreaOutcome outcome;
    outcome.area = area;
    outcome.failure = failure;
    return outcome;
}

} // namespace

AreaOutcome fileAnswer(platform::FileSystem& fileSystem, const sst::SstSource& source, int area,
                       const net::GetResult& answer, const QString& archiveFolder) {
    if (!answer.transferred()) return failed(area, answer.failure);
    const sst::ResponseCheck check = sst::checkResponse(answer.status, answer.body);
    if (!check.isData) return failed(area, check.message);

    sst::GridRequest gridRequest;
    gridRequest.variable = source.variable;
    gridRequest.box = sst::chartBox(area);
    gridRequest.source = source.name;
    QString error;
    const std::optional<geo::SstGrid> grid = sst::decodeSstGrid(answer.body, gridRequest, &error);
    if (!grid) return failed(area, error);

    const QString timestamp = sst::dataChartTimestamp(grid->time, source.name, area);
    if (timestamp.isEmpty())
        return failed(area, tr("The data carries no time, so its chart cannot be filed."));
    AreaOutcome outcome;
    outcome.area = area;
    const QString archived = archive::archiveCopyPath(archiveFolder, timestamp);
    if (fileSystem.exists(archived)) {
        outcome.filedPath = archived;
        outcome.alreadyFiled = true;
        return outcome;
    }

    sst::DataChartOptions options;
    options.previousRange = sst::previousScaleRange(fileSystem, archiveFolder, timestamp);
    options.gapsAreLand = source.gap == sst::SstSource::Gap::Land;
    std::optional<sst::DataChart> chart = sst::makeDataChart(*grid, area, options, &error);
    if (!chart) return failed(area, error);
    const std::optional<QByteArray> bytes = sst::encodeDataChart(std::move(*chart), &error);
    if (!bytes) return failed(area, error);
    const std::optional<QString> filed =
        sst::fileDataChart(fileSystem, *bytes, timestamp, archiveFolder, &error);
    if (!filed) return failed(area, error);
    outcome.filedPath = *filed;
    return outcome;
}

std::optional<QList<int>> areasOfCodes(const QString& codes, QString* error) {
    QList<int> areas;
    for (const QString& part : codes.split(u',', Qt::SkipEmptyParts)) {
        const QString code = part.trimmed().toLower();
        int found = geo::NoArea;
        for (int a = geo::FirstCalibratedArea; a <= geo::LastCalibratedArea; ++a) {
            if (geo::areaCode(a).compare(code, Qt::CaseInsensitive) == 0) found = a;
        }
        if (found == geo::NoArea) {
            if (error)
                *error = tr("\"%1\" is not the code of a chart area, such as ne01 or fl10.")
                             .arg(part.trimmed());
            return std::nullopt;
        }
        if (!areas.contains(found)) areas.append(found);
    }
    if (areas.isEmpty()) {
        if (error) *error = tr("No area was given.");
        return std::nullopt;
    }
    return areas;
}

ChartFetcher::ChartFetcher(QNetworkAccessManager* manager, platform::FileSystem& fileSystem,
                           net::GetLimits limits, QObject* parent)
    : QObject(parent), m_fileSystem(fileSystem), m_get(manager, limits) {
    connect(&m_get, &net::HttpGet::finished, this, &ChartFetcher::onAnswer);
    connect(&m_get, &net::HttpGet::progress, this, [this](qint64 received, qint64 total) {
        if (m_position < m_request.areas.size())
            emit areaProgress(m_request.areas[m_position], received, total);
    });
}

void ChartFetcher::start(const FetchRequest& request) {
    Q_ASSERT(!m_running);
    m_request = request;
    m_outcomes.clear();
    m_position = 0;
    m_cancelled = false;
    m_running = true;
    m_source = request.source.isEmpty() ? &sst::defaultSource() : sst::findSource(request.source);
    if (!m_source) {
        for (int area : request.areas)
            m_outcomes.append(
                failed(area, tr("There is no data source named \"%1\".").arg(request.source)));
        m_position = static_cast<int>(request.areas.size());
    }
    // Begin from the event loop, so that a caller connects before anything is reported.
    QMetaObject::invokeMethod(this, &ChartFetcher::next, Qt::QueuedConnection);
}

void ChartFetcher::cancel() {
    if (!m_running) return;
    m_cancelled = true;
    if (m_get.isRunning()) m_get.cancel(); // onAnswer follows and ends the run
}

void ChartFetcher::next() {
    if (m_cancelled) {
        for (int i = m_position; i < m_request.areas.size(); ++i)
            m_outcomes.append(failed(m_request.areas[i], tr("Cancelled.")));
        m_position = static_cast<int>(m_request.areas.size());
    }
    if (m_position >= m_request.areas.size()) {
        m_running = false;
        emit finished(m_outcomes);
        return;
    }
    const int area = m_request.areas[m_position];
    emit areaStarted(area, m_position, static_cast<int>(m_request.areas.size()));
    std::optional<QDateTime> time;
    if (m_request.date) time = QDateTime(*m_request.date, QTime(12, 0), Qt::UTC);
    const QString url = sst::griddapUrl(*m_source, area, time, m_request.serverOverride);
    if (url.isEmpty()) {
        onAnswer(net::GetResult{0, {}, {}, {}, tr("The area has no chart box.")});
        return;
    }
    m_get.start(QUrl(url, QUrl::StrictMode));
}

void ChartFetcher::onAnswer(const net::GetResult& answer) {
    const int area = m_request.areas[m_position];
    const AreaOutcome outcome =
        m_cancelled ? failed(area, tr("Cancelled."))
                    : fileAnswer(m_fileSystem, *m_source, area, answer, m_request.archiveFolder);
    m_outcomes.append(outcome);
    ++m_position;
    emit areaFinished(outcome);
    next();
}

QList<AreaOutcome> fetchNow(platform::FileSystem& fileSystem, const FetchRequest& request,
                            const net::GetLimits& limits,
                            const std::function<void(const AreaOutcome&)>& areaDone) {
    QNetworkAccessManager manager;
    ChartFetcher fetcher(&manager, fileSystem, limits);
    QList<AreaOutcome> outcomes;
    QEventLoop loop;
    if (areaDone) QObject::connect(&fetcher, &ChartFetcher::areaFinished, &loop, areaDone);
    QObject::connect(&fetcher, &ChartFetcher::finished, &loop, [&](const QList<AreaOutcome>& all) {
        outcomes = all;
        loop.quit();
    });
    fetcher.start(request);
    loop.exec();
    return outcomes;
}

} // namespace fetch
