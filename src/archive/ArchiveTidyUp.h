#pragma once
// Tidying the chart archive: the retention period of "Delete charts after", the age rule that
// picks the charts past it, the question the purge asks, and removing the charts the user
// confirmed (purge and Manage archive alike).

#include <QDateTime>
#include <QString>
#include <QStringList>
#include <QtGlobal>

#include "platform/MessageBoxes.h"

#include <optional>

namespace platform {
class FileSystem;
}

namespace archive {

// One item of the "&Delete charts after" radio group: its caption (a source text, shown through
// QCoreApplication::translate("ArchiveTidyUp", caption)) and its retention period in days (0:
// charts are never deleted).
struct RetentionItem {
    const char* caption;
    int days;
};
inline constexpr RetentionItem RetentionItems[] = {
    {QT_TRANSLATE_NOOP("ArchiveTidyUp", "&Never"), 0},
    {QT_TRANSLATE_NOOP("ArchiveTidyUp", "&7 days"), 7},
    {QT_TRANSLATE_NOOP("ArchiveTidyUp", "&14 days"), 14},
    {QT_TRANSLATE_NOOP("ArchiveTidyUp", "&30 days"), 30},
    {QT_TRANSLATE_NOOP("ArchiveTidyUp", "&60 days"), 60},
    {QT_TRANSLATE_NOOP("ArchiveTidyUp", "&90 days"), 90},
};

// The index in RetentionItems of the item to tick for a stored DaysToKeep, or -1 when it
// matches none (the stored value is then used unchanged).
int retentionItemIndex(int daysToKeep);

// The age rule: a chart last written before midnight at the start of the day daysToKeep days
// before now's day is past the retention period; one written exactly at that midnight stays.
// Local dates and times. Never for daysToKeep 0 or less, nor when the time could not be read.
bool isPastRetention(const std::optional<QDateTime>& lastWriteTime, int daysToKeep,
                     const QDateTime& now);

// The charts the purge offers: every "*.gif" file of the archive folder itself (no subfolders)
// past the retention period by its last-write time, as full paths in the order found (the
// locale's order ignoring case). Empty for daysToKeep 0 or less, or a missing folder.
QStringList oldCharts(platform::FileSystem& fileSystem, const QString& archiveFolder,
                      int daysToKeep, const QDateTime& now);

// The purge's question: each chart's name without folder followed by a carriage return, then
// a carriage return, "These files in the Chart Archive are older than N days.", a carriage
// return and "Do you want to delete them now?". Line breaks are single carriage returns.
QString purgeQuestion(const QStringList& chartPaths, int daysToKeep);
// The captions of the two questions, as source texts (context "ArchiveTidyUp").
inline constexpr char PurgeCaption[] = QT_TRANSLATE_NOOP("ArchiveTidyUp", "Chart archive tidy-up");

// Manage archive's question before deleting: each ticked name followed by CR LF.
QString deleteQuestion(const QStringList& chartNames);
inline constexpr char DeleteCaption[] = QT_TRANSLATE_NOOP("ArchiveTidyUp", "Confirm file delete");

// What removing charts did.
struct RemovalCounts {
    int movedToTrash = 0; // can be restored from the desktop's trash
    int deleted = 0;      // deleted outright: there was no trash to take them
    int kept = 0;         // could be neither moved nor deleted; offered again next time
    QStringList deletedCharts; // the paths of those deleted outright, in order
};

// Removes the charts the user confirmed deleting, in order, each to the user's trash where
// there is one, else deleted. A chart that cannot be removed is passed over.
RemovalCounts removeCharts(platform::FileSystem& fileSystem, const QStringList& chartPaths);

// The box that tells the user of charts deleted outright because no trash could take them: under
// caption, a warning with OK whose text is each one's name followed by a carriage return, then
// the reason. Nothing when none was.
std::optional<platform::MessageBoxRequest> deletedOutrightNotice(const RemovalCounts& removal,
                                                                 const QString& caption);

} // namespace archive
