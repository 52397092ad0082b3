// The window's room for getting charts from the data servers: File > "Get charts...", its
// settings, and the quiet daily fetch at start-up.

#include "app/RegistryVariables.h"
#include "app/ThalwiseForm.h"
#include "dialogs/GetChartsForm.h"
#include "fetch/ChartFetch.h"
#include "geo/AreaStuff.h"
#include "platform/Clock.h"
#include "platform/Services.h"

#include <QMenu>
#include <QNetworkAccessManager>
#include <QStatusBar>

namespace {

QString codesOf(const QList<int>& areas) {
    QStringList codes;
    for (int area : areas)
        codes << geo::areaCode(area);
    return codes.join(u',');
}

} // namespace

void TFormThalwise::createFetchActions() {
    MenuFileGetCharts = new QAction(tr("&Get charts..."), this);
    MenuFileGetCharts->setObjectName(QStringLiteral("MenuFileGetCharts"));
    MenuFile->insertAction(MenuFileOpenRecent->menuAction(), MenuFileGetCharts);
    connect(MenuFileGetCharts, &QAction::triggered, this, [this] {
        MenuFileGetChartsClick();
        updateActions();
    });
    platform::Registry& registry = *m_services.registry;
    FetchAreas =
        std::make_unique<TRegistryString>(registry, m_settingsKey, "FetchAreas", QString());
    FetchSource =
        std::make_unique<TRegistryString>(registry, m_settingsKey, "FetchSource", QString());
    FetchDaily = std::make_unique<TRegistryBoolean>(registry, m_settingsKey, "FetchDaily", false);
    FetchLastDay =
        std::make_unique<TRegistryString>(registry, m_settingsKey, "FetchLastDay", QString());
    // A mirror of the data servers (everything before "/griddap/"); empty asks each source's own.
    FetchServer =
        std::make_unique<TRegistryString>(registry, m_settingsKey, "FetchServer", QString());
}

fetch::ChartFetcher& TFormThalwise::chartFetcher() {
    // Made on first use: a start-up that gets no charts never sets up the network.
    if (!m_fetcher) {
        m_network = new QNetworkAccessManager(this);
        m_fetcher = new fetch::ChartFetcher(m_network, *m_services.fileSystem, {}, this);
    }
    return *m_fetcher;
}

void TFormThalwise::MenuFileGetChartsClick() {
    if (!m_getCharts) {
        m_getCharts = new TFormGetCharts(chartFetcher(), ArchiveFolder, this);
        m_getCharts->setServer(FetchServer->Value);
        connect(m_getCharts, &TFormGetCharts::chartsFiled, this, [this](const QStringList& paths) {
            OpenChart(paths.first());
            updateActions();
        });
    }
    if (m_fetcher->isRunning() && !m_getCharts->isVisible()) {
        // The daily fetch is still under way: one request at a time.
        StatusBar->showMessage(tr("Today's charts are still being got; try again in a moment."),
                               8000);
        return;
    }
    m_getCharts->setChoices(fetch::areasOfCodes(FetchAreas->Value).value_or(QList<int>()),
                            FetchSource->Value, FetchDaily->Value);
    m_getCharts->exec();
    FetchAreas->Value = codesOf(m_getCharts->chosenAreas());
    FetchSource->Value = m_getCharts->sourceName();
    FetchDaily->Value = m_getCharts->dailyAtStart();
    for (TRegistryVariable* setting : {static_cast<TRegistryVariable*>(FetchAreas.get()),
                                       static_cast<TRegistryVariable*>(FetchSource.get()),
                                       static_cast<TRegistryVariable*>(FetchDaily.get())})
        setting->Store();
}

void TFormThalwise::startDailyFetch() {
    const QString today = m_services.clock->now().date().toString(Qt::ISODate);
    const std::optional<QList<int>> areas = fetch::areasOfCodes(FetchAreas->Value);
    if (!FetchDaily->Value || !areas || FetchLastDay->Value == today ||
        (m_fetcher && m_fetcher->isRunning()))
        return;
    fetch::FetchRequest request;
    request.areas = *areas;
    request.source = FetchSource->Value;
    request.archiveFolder = ArchiveFolder;
    request.serverOverride = FetchServer->Value;
    auto connection = std::make_shared<QMetaObject::Connection>();
    *connection = connect(&chartFetcher(), &fetch::ChartFetcher::finished, this,
                          [this, today, connection](const QList<fetch::AreaOutcome>& outcomes) {
                              disconnect(*connection);
                              int filed = 0, failed = 0;
                              for (const fetch::AreaOutcome& o : outcomes) {
                                  if (!o.succeeded())
                                      ++failed;
                                  else if (!o.alreadyFiled)
                                      ++filed;
                              }
                              if (failed < outcomes.size()) {
                                  FetchLastDay->Value = today;
                                  FetchLastDay->Store();
                              }
                              QString text = tr("%n new chart(s) got for today.", nullptr, filed);
                              if (failed)
                                  text += u' ' + tr("%n could not be got: see File > Get charts.",
                                                    nullptr, failed);
                              StatusBar->showMessage(text, 15000);
                          });
    StatusBar->showMessage(tr("Getting today's charts..."), 15000);
    m_fetcher->start(request);
}
