#pragma once
// Tidying the chart archive: the retention period of "Delete charts after", the age rule that
// picks the charts past it, the question the purge asks, and removing the charts the user
// confirmed (purge and Manage archive alike).

#include <QDateTime>
#include <QList>
#include <QString>
#include <QStringList>
#include <QtGlobal>

#include "platform/FileSystem.h"
#include "platform/MessageBoxes.h"

#include <optional>

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

// What Purge old charts says when chosen with "Never" ticked: why it does nothing.
QString purgeNeverText();

// Manage archive's question before moving charts to the trash: each ticked name followed by
// CR LF.
QString deleteQuestion(const QStringList& chartNames);
inline constexpr char DeleteCaption[] = QT_TRANSLATE_NOOP("ArchiveTidyUp", "Move to trash");

// A chart the trash did not take, and why: it is still in the archive.
struct KeptChart {
    QString path;
    platform::TrashRefusal why;
};

// What moving charts to the trash did.
struct TrashedCharts {
    int movedToTrash = 0;   // can be restored from the desktop's trash
    QList<KeptChart> kept;  // the trash refused them, in order; they are where they were
    int deletedForGood = 0; // of those, deleted outright after the user chose so
};

// Why the trash refused a chart, in the user's words (to follow the chart's name).
QString trashRefusalText(platform::TrashRefusal why);

// The question that follows when the trash kept charts back: each one's name, ": " and why,
// followed by a carriage return, then a carriage return and whether to delete them for good,
// under caption, with "Delete for good" (Yes) and "Keep them" (No, the default). Nothing when
// the trash took every chart.
std::optional<platform::MessageBoxRequest> keptChartsQuestion(const TrashedCharts& trashed,
                                                              const QString& caption);

// Removes the charts the user confirmed (purge and Manage archive alike), in order: each to the
// user's trash. Quirk "trash-or-ask": a chart the trash refuses is never deleted on the first
// yes; it stays, and the user is asked afterwards, naming it and why, whether to delete it for
// good. A chart that is gone already, or that cannot be deleted, is passed over.
TrashedCharts removeCharts(platform::FileSystem& fileSystem, platform::MessageBoxes& messageBoxes,
                           const QStringList& chartPaths, const QString& caption);

} // namespace archive
