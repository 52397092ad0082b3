#include "archive/ChartFlipping.h"

#include "archive/ChartImages.h"
#include "archive/TreeScan.h"
#include "platform/Text.h"

#include <QCoreApplication>
#include <QFileInfo>

#include <algorithm>

namespace archive {

namespace {

constexpr qsizetype TabCaptionLength = 13; // "2004-06-15-12", a time stamp's date and hour

} // namespace

QString flipMask(const QString& areaCode) {
    return QLatin1Char('*') + areaCode + QLatin1String(".gif");
}

QStringList distinctCharts(const QStringList& chartPaths) {
    ChartImageList kept;
    for (const QString& path : chartPaths)
        kept.add(path, QImage());
    QStringList distinct;
    distinct.reserve(kept.size());
    for (const ChartImage& chart : kept)
        distinct.append(chart.path);
    return distinct;
}

QStringList latestCharts(const QStringList& chartPathsInNameOrder, int limit) {
    // Quirk "case-twins-counted-once": the scanner reports two names that differ only in letter
    // case as two files, but the chart list keeps one of them; the limit counts what it keeps,
    // so that ten distinct charts stay where ten exist.
    const QStringList distinct = distinctCharts(chartPathsInNameOrder);
    const qsizetype keep = std::clamp<qsizetype>(limit, 0, distinct.size());
    return distinct.mid(distinct.size() - keep);
}

QStringList latestChartsOfArea(platform::FileSystem& fileSystem, const QString& archiveFolder,
                               const QString& areaCode, int limit) {
    QStringList found;
    if (archiveFolder.isEmpty()) return found;
    TTreeScanner scanner(fileSystem);
    scanner.setFileMask(flipMask(areaCode));
    scanner.setRecursive(false);
    scanner.setInitialDirectory(archiveFolder);
    scanner.OnFileFound = [&found](TTreeScanner& sender) { found.append(sender.FileFound()); };
    scanner.Search();
    return latestCharts(found, limit);
}

void trimToLatest(ChartImageList& charts, int limit) {
    while (charts.size() > std::max(limit, 0))
        charts.removeAt(0);
}

QString flipLimitMessage() {
    return QCoreApplication::translate(
               "ChartFlipping",
               "You can only select up to %1 images for flipping.  The most recent %2 have been "
               "selected.")
        .arg(FlipLimit)
        .arg(FlipLimit);
}

QStringList chartNames(const QStringList& chartPaths) {
    QStringList names;
    names.reserve(chartPaths.size());
    for (const QString& path : chartPaths)
        names.append(QFileInfo(path).fileName());
    return names;
}

std::optional<QString> flipTabCaption(const QString& chartPath) {
    const QString name = QFileInfo(chartPath).fileName();
    const qsizetype dot = name.lastIndexOf(u'.');
    if (dot < 0 || name.mid(dot).toLower() != QLatin1String(".gif")) return std::nullopt;
    return platform::cutText(name, TabCaptionLength);
}

QList<FlipTab> flipTabs(const ChartImageList& charts) {
    // Quirk "tab-knows-its-chart": a chart without a ".gif" extension gets no tab, so each tab
    // carries its chart's index rather than tabs and charts being matched by position.
    QList<FlipTab> tabs;
    for (int i = 0; i < charts.size(); ++i)
        if (const auto caption = flipTabCaption(charts[i].path)) tabs.append(FlipTab{*caption, i});
    return tabs;
}

std::optional<int> previousFlipTab(int selectedTab, int tabCount) {
    if (selectedTab <= 0 || selectedTab >= tabCount) return std::nullopt;
    return selectedTab - 1;
}

std::optional<int> nextFlipTab(int selectedTab, int tabCount) {
    if (selectedTab < 0 || selectedTab >= tabCount - 1) return std::nullopt;
    return selectedTab + 1;
}

} // namespace archive
