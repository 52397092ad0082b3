#include "archive/ArchiveTidyUp.h"

#include "archive/TreeScan.h"

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

QString purgeNeverText() {
    return QCoreApplication::translate(
        "ArchiveTidyUp",
        "Charts are kept for ever: \"Delete charts after\" is set to \"Never\", so no chart is "
        "old enough to purge. Choose a number of days under Tools > Delete charts after to "
        "purge the older charts.");
}

QString deleteQuestion(const QStringList& chartNames) {
    QString text;
    for (const QString& name : chartNames)
        text += name + QLatin1String("\r\n");
    return text;
}

QString trashRefusalText(platform::TrashRefusal why) {
    switch (why) {
    case platform::TrashRefusal::NoTrash:
        return QCoreApplication::translate("ArchiveTidyUp", "no trash could be found or made");
    case platform::TrashRefusal::TrashReadOnly:
        return QCoreApplication::translate("ArchiveTidyUp", "the trash cannot be written to");
    case platform::TrashRefusal::NoSpace:
        return QCoreApplication::translate("ArchiveTidyUp", "the disk is full");
    case platform::TrashRefusal::FolderReadOnly:
        return QCoreApplication::translate("ArchiveTidyUp", "its folder cannot be written to");
    case platform::TrashRefusal::NameTooLong:
        return QCoreApplication::translate("ArchiveTidyUp", "its name is too long for the trash");
    default:
        return QCoreApplication::translate("ArchiveTidyUp", "the trash refused it");
    }
}

std::optional<platform::MessageBoxRequest> keptChartsQuestion(const TrashedCharts& trashed,
                                                              const QString& caption) {
    if (trashed.kept.isEmpty()) return std::nullopt;
    platform::MessageBoxRequest question;
    for (const KeptChart& chart : trashed.kept)
        question.text += QFileInfo(chart.path).fileName() + QLatin1String(": ") +
                         trashRefusalText(chart.why) + u'\r';
    question.text += u'\r';
    question.text += QCoreApplication::translate(
        "ArchiveTidyUp", "These charts could not be moved to the trash and are still in the "
                         "archive. Do you want to delete them for good? They cannot be restored "
                         "then.");
    question.caption = caption;
    question.buttons = platform::Button::Yes | platform::Button::No;
    question.icon = platform::Icon::Question;
    question.defaultButton = platform::Button::No;
    question.yesText = QCoreApplication::translate("ArchiveTidyUp", "Delete for good");
    question.noText = QCoreApplication::translate("ArchiveTidyUp", "Keep them");
    return question;
}

TrashedCharts removeCharts(platform::FileSystem& fileSystem, platform::MessageBoxes& messageBoxes,
                           const QStringList& chartPaths, const QString& caption) {
    TrashedCharts trashed;
    for (const QString& path : chartPaths) {
        const platform::TrashOutcome outcome = fileSystem.trashFile(path);
        if (outcome.trashedPath)
            ++trashed.movedToTrash;
        else if (outcome.refusal != platform::TrashRefusal::NotAFile)
            trashed.kept.append({path, outcome.refusal});
    }
    if (const auto question = keptChartsQuestion(trashed, caption))
        if (messageBoxes.show(*question) == platform::Button::Yes)
            for (const KeptChart& chart : trashed.kept)
                trashed.deletedForGood += fileSystem.deleteFile(chart.path) ? 1 : 0;
    return trashed;
}

} // namespace archive
