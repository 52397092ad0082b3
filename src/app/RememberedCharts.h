#pragma once
#include <QSize>
#include <QString>
#include <QStringList>

// What the window remembers of the charts it showed, and what a drop of files asks of it.
namespace app {

// File > "Open recent" keeps this many charts.
constexpr int RecentChartsKept = 10;

// The recent list with path put first: newest first, a path only once (as the file system
// spells it), at most RecentChartsKept entries. An empty path changes nothing.
QStringList withRecentChart(const QStringList& recent, const QString& path);

// The recent list without empty entries and without the charts whose files are gone.
QStringList existingCharts(const QStringList& recent);

// A drop of files on the window: the chart to open as "&Open..." would, or the charts to flip.
struct ChartDrop {
    QString open;     // empty when nothing is to be opened
    QStringList flip; // two charts or more of one area, oldest first by name; empty otherwise
};

// Local files only: one file opens; several flip when they are all charts of one area (by
// their names), else the first opens.
ChartDrop chartDrop(const QStringList& paths);

// The least size of the window's centre (chart, scale and tools): half the window either way,
// so that the panels beside or below it never squeeze the chart to a sliver.
QSize leastCentralSize(QSize window);

} // namespace app
