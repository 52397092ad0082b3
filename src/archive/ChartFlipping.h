#pragma once
// Flipping through archived charts of one area on a strip of tabs: which charts an area's
// flip takes, the limit of ten (the highest names, the latest charts, stay), the tab captions
// and stepping between the tabs with the arrow buttons.

#include <QList>
#include <QString>
#include <QStringList>

#include <optional>

namespace platform {
class FileSystem;
}

namespace archive {

class ChartImageList;

// At most this many charts are flipped.
inline constexpr int FlipLimit = 10;

// The file mask of an area's archived charts: "*" + area code + ".gif" ("*.gif" for no area).
QString flipMask(const QString& areaCode);

// The charts as the chart list keeps them: in its order, a name that differs from an earlier
// one only in letter case left out.
QStringList distinctCharts(const QStringList& chartPaths);

// The charts that stay of those found in name order: the last limit of the distinct ones,
// oldest first. "&Flip latest charts" decodes only these.
QStringList latestCharts(const QStringList& chartPathsInNameOrder, int limit = FlipLimit);

// The area's archived charts that "&Flip latest charts" shows, in tab order (oldest first):
// searches archiveFolder itself (no subfolders) with the area's mask.
QStringList latestChartsOfArea(platform::FileSystem& fileSystem, const QString& archiveFolder,
                               const QString& areaCode, int limit = FlipLimit);

// Drops the entries lowest in sort order, with their bitmaps, until at most limit remain.
void trimToLatest(ChartImageList& charts, int limit = FlipLimit);

// "Flip a&ny charts..." changes nothing when fewer than two charts were ticked.
inline bool enoughChartsToFlip(int tickedCount) {
    return tickedCount >= 2;
}

// Whether "Flip a&ny charts..." tells the user that only the latest FlipLimit stay.
inline bool overFlipLimit(int loadedCount) {
    return loadedCount > FlipLimit;
}
// "You can only select up to 10 images for flipping.  The most recent 10 have been selected."
QString flipLimitMessage();

// The names of charts without their folders, in the same order: what the picking dialog offers.
QStringList chartNames(const QStringList& chartPaths);

// A tab of the flip strip: its caption and the index in the chart list of the chart it shows.
struct FlipTab {
    QString caption;
    int chartIndex = -1;
};

// The caption of a chart's tab: the first 13 characters of its file name (the whole name when
// shorter); nothing for a file whose extension, in lower case, is not ".gif".
std::optional<QString> flipTabCaption(const QString& chartPath);

// One tab for each chart with a ".gif" extension, in list order.
QList<FlipTab> flipTabs(const ChartImageList& charts);

// Both arrow buttons show exactly when more than one chart is flipped.
inline bool flipArrowsVisible(int chartCount) {
    return chartCount > 1;
}

// The tab the left or right arrow selects from selectedTab among tabCount tabs; nothing at the
// first (left) or last (right) tab: the arrows do not wrap around and then do nothing at all.
std::optional<int> previousFlipTab(int selectedTab, int tabCount);
std::optional<int> nextFlipTab(int selectedTab, int tabCount);

} // namespace archive
