#include "archive/ArchiveTidyUp.h"

#include "archive/TreeScan.h"
#include "platform/FileSystem.h"

#include <QCoreApplication>
#include <QFileInfo>

#include <iterator>

namespace archive {

int retentionItemIndex(int daysToKeep) {
    for (int i = 0; i < int(std::size(RetentionItems)); ++i)
        if (RetentionItems[i].days == daysToKeep) return i;
    return -1;
}

bool isPastRetention(const std::optional<QDateTime>& lastWriteTime, int daysToKeep,
                     const QDateTime& now) {
    if (daysToKeep <= 0 || !lastWriteTime || !lastWriteTime->isValid() || !now.isValid())
        return false;
    // Age in days (today's day number less the file's day number with its fraction) above N
    // is the same as a local date before today - N: the midnight that starts that day stays.
    const QDate firstDayKept = now.toLocalTime().date().addDays(-qint64(daysToKeep));
    return lastWriteTime->toLocalTime().date() < firstDayKept;
}

QStringList oldCharts(platform::FileSystem& fileSystem, const QString& archiveFolder,
                      int daysToKeep, const QDateTime& now) {
    QStringList found;
    if (daysToKeep <= 0 || archiveFolder.isEmpty()) return found;
    TTreeScanner scanner(fileSystem);
    scanner.setFileMask(QStringLiteral("*.gif"));
    scanner.setRecursive(false);
    scanner.setInitialDirectory(archiveFolder);
    scanner.OnFileFound = [&](TTreeScanner& sender) {
        const QString& path = sender.FileFound();
        if (isPastRetention(fileSystem.lastWriteTime(path), daysToKeep, now)) found.append(path);
    };
    scanner.Search();
    return found;
}

QString purgeQuestion(const QStringList& chartPaths, int daysToKeep) {
    QString text;
    for (const QString& path : chartPaths)
        text += QFileInfo(path).fileName() + u'\r';
    text += u'\r';
    //: "Chart Archive" names the archive folder, which keeps its English name.
    text += QCoreApplication::translate("ArchiveTidyUp",
                                        "These files in the Chart Archive are older than %1 days.")
                .arg(QString::number(daysToKeep));
    text += u'\r';
    text += QCoreApplication::translate("ArchiveTidyUp", "Do you want to delete them now?");
    return text;
}

QString deleteQuestion(const QStringList& chartNames) {
    QString text;
    for (const QString& name : chartNames)
        text += name + QLatin1String("\r\n");
    return text;
}

RemovalCounts removeCharts(platform::FileSystem& fileSystem, const QStringList& chartPaths) {
    RemovalCounts counts;
    for (const QString& path : chartPaths) {
        // Quirk "wrong-yes-can-be-undone": a chart goes to the trash where the desktop has one.
        if (fileSystem.moveToTrash(path)) {
            ++counts.movedToTrash;
        } else if (fileSystem.deleteFile(path)) {
            // The user said yes to deleting; they are told afterwards that it cannot be undone.
            counts.deletedCharts.append(path);
            ++counts.deleted;
        } else {
            ++counts.kept;
        }
    }
    return counts;
}

std::optional<platform::MessageBoxRequest> deletedOutrightNotice(const RemovalCounts& removal,
                                                                 const QString& caption) {
    platform::MessageBoxRequest notice;
    for (const QString& path : removal.deletedCharts)
        notice.text += QFileInfo(path).fileName() + u'\r';
    if (notice.text.isEmpty()) return std::nullopt;
    // Quirk "no-trash-is-said": without a trash the charts are not put anywhere else; the user,
    // who may count on the trash, learns that these cannot be restored.
    notice.text += u'\r';
    notice.text += QCoreApplication::translate(
        "ArchiveTidyUp", "No trash could be made for these charts, so they were deleted for good.");
    notice.caption = caption;
    notice.icon = platform::Icon::Warning;
    return notice;
}

} // namespace archive
