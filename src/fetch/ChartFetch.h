#pragma once

// Getting today's water for chosen areas: for each area in turn, the source's griddap request,
// the check of the answer, the chart made from the grid, and its filing in the archive. One
// request at a time, as ERDDAP asks of its clients. The window's "Get charts..." and
// thalwise-cli's fetch both run this.

#include "net/HttpGet.h"

#include <QDate>
#include <QList>
#include <QObject>
#include <QString>

#include <optional>

class QNetworkAccessManager;

namespace platform {
class FileSystem;
}
namespace sst {
struct SstSource;
}

namespace fetch {

struct FetchRequest {
    QList<int> areas;          // calibrated areas 1..30, in the order to get them
    QString source;            // a source's name; empty for the default
    std::optional<QDate> date; // the day to get; none for the latest the server has
    QString serverOverride;    // replaces every source's server (before "/griddap/") when set
    QString archiveFolder;
};

struct AreaOutcome {
    int area = 0;
    QString filedPath;         // the archive copy; empty when nothing was filed
    bool alreadyFiled = false; // the archive held this chart already: nothing new filed
    QString failure;           // why there is no chart, in plain words (the server's own message
                               // where it gave one); empty on success
    bool succeeded() const { return failure.isEmpty(); }
};

// What one answer becomes: the chart filed, already there, or the reason there is none. Pure
// but for the archive it files into.
AreaOutcome fileAnswer(platform::FileSystem& fileSystem, const sst::SstSource& source, int area,
                       const net::GetResult& answer, const QString& archiveFolder);

// The areas of a list of codes ("ne01,fl10"), or nothing with *error naming the code that is no
// calibrated area.
std::optional<QList<int>> areasOfCodes(const QString& codes, QString* error = nullptr);

class ChartFetcher : public QObject {
    Q_OBJECT
public:
    ChartFetcher(QNetworkAccessManager* manager, platform::FileSystem& fileSystem,
                 net::GetLimits limits = {}, QObject* parent = nullptr);

    // Starts getting the request's areas; finished() follows once, also after cancel(). A source
    // of no known name fails every area at once.
    void start(const FetchRequest& request);
    void cancel();
    bool isRunning() const { return m_running; }

signals:
    void areaStarted(int area, int position, int count);
    void areaProgress(int area, qint64 received, qint64 total);
    void areaFinished(const fetch::AreaOutcome& outcome);
    void finished(const QList<fetch::AreaOutcome>& outcomes);

private:
    void next();
    void onAnswer(const net::GetResult& answer);

    platform::FileSystem& m_fileSystem;
    net::HttpGet m_get;
    FetchRequest m_request;
    const sst::SstSource* m_source = nullptr;
    QList<AreaOutcome> m_outcomes;
    int m_position = 0;
    bool m_running = false;
    bool m_cancelled = false;
};

// Runs a whole request in a local event loop (for the command line); areaDone sees each outcome
// as it comes.
QList<AreaOutcome> fetchNow(platform::FileSystem& fileSystem, const FetchRequest& request,
                            const net::GetLimits& limits = {},
                            const std::function<void(const AreaOutcome&)>& areaDone = {});

} // namespace fetch
