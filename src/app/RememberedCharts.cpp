#include "app/RememberedCharts.h"

#include "archive/ChartFlipping.h"
#include "geo/AreaStuff.h"

#include <QFileInfo>
#include <algorithm>

namespace app {

QStringList withRecentChart(const QStringList& recent, const QString& path) {
    if (path.isEmpty()) return recent;
    QStringList list{path};
    for (const QString& entry : recent)
        if (entry != path && list.size() < RecentChartsKept) list.append(entry);
    return list;
}

QStringList existingCharts(const QStringList& recent) {
    QStringList kept;
    for (const QString& entry : recent)
        if (!entry.isEmpty() && QFileInfo(entry).isFile()) kept.append(entry);
    return kept;
}

ChartDrop chartDrop(const QStringList& paths) {
    ChartDrop drop;
    if (paths.isEmpty()) return drop;
    const int area = geo::chartAreaOfFile(paths.first());
    const bool oneArea = paths.size() > 1 && area != geo::NoArea &&
                         std::all_of(paths.begin(), paths.end(), [area](const QString& path) {
                             return path.endsWith(QLatin1String(".gif"), Qt::CaseInsensitive) &&
                                    geo::chartAreaOfFile(path) == area;
                         });
    if (!oneArea) {
        drop.open = paths.first();
        return drop;
    }
    // A chart's name carries its date: in name order the flip runs oldest to newest, as the
    // archive's flips do, whatever order the desktop handed the files over in.
    QStringList byName = paths;
    std::stable_sort(byName.begin(), byName.end(), [](const QString& a, const QString& b) {
        return QFileInfo(a).fileName().compare(QFileInfo(b).fileName(), Qt::CaseInsensitive) < 0;
    });
    const QStringList charts = archive::latestCharts(byName);
    if (archive::enoughChartsToFlip(int(charts.size())))
        drop.flip = charts;
    else
        drop.open = charts.value(0, paths.first());
    return drop;
}

QSize leastCentralSize(QSize window) {
    return QSize(std::max(0, window.width() / 2), std::max(0, window.height() / 2));
}

} // namespace app
