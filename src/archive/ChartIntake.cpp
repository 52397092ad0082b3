#include "archive/ChartIntake.h"

#include "platform/FileSystem.h"
#include "platform/Paths.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>

#include <algorithm>

namespace {

// The longest file name the common file systems take, in bytes of UTF-8 (ext4; NTFS counts
// 255 UTF-16 units, never fewer characters than this).
constexpr qsizetype LongestFileName = 255;

const QLatin1String ArchiveExtension(".gif");

// The folder part of a path in native separators, with its trailing separator; empty for a
// bare file name.
QString folderPartOf(const QString& path) {
    const QString native = QDir::toNativeSeparators(path);
    return native.left(native.lastIndexOf(QDir::separator()) + 1);
}

// A whole number of ASCII digits, all count characters of text from index from.
std::optional<int> digitsAt(const QString& text, qsizetype from, qsizetype count) {
    if (from + count > text.size()) return std::nullopt;
    int value = 0;
    for (qsizetype i = from; i < from + count; ++i) {
        const QChar c = text[i];
        // A sign or a blank is no part of a date.
        if (c < u'0' || c > u'9') return std::nullopt;
        value = value * 10 + (c.unicode() - u'0');
    }
    return value;
}

} // namespace

namespace archive {

bool isArchiveName(const QString& timestamp) {
    // Quirk "time-stamp-is-a-name-not-a-path": the comment of a downloaded chart decides the
    // archive copy's name, so anything that could lead out of the archive folder, or that names
    // no file of its own there, is refused and the chart is shown in place instead.
    if (timestamp.isEmpty()) return false;
    if (timestamp.contains(u'/') || timestamp.contains(u'\\')) return false;
    if (timestamp.contains(QLatin1String(".."))) return false;
    // Quirk "no-hidden-archive-copy": a name that starts with "." is a hidden file, which no
    // flip, Manage archive or Purge ever lists.
    if (timestamp.startsWith(u'.')) return false;
    for (QChar c : timestamp)
        if (c.category() == QChar::Other_Control) return false; // NUL, CR, LF, DEL, ...
    const bool onlyDotsAndBlanks = std::all_of(timestamp.begin(), timestamp.end(),
                                               [](QChar c) { return c == u'.' || c.isSpace(); });
    if (onlyDotsAndBlanks) return false;
    return (timestamp + ArchiveExtension).toUtf8().size() <= LongestFileName;
}

std::optional<QDateTime> chartTimeOf(const QString& timestamp) {
    // Positions 1-4, 6-7, 9-10 and 12-13; the characters between them are not examined.
    const auto year = digitsAt(timestamp, 0, 4);
    const auto month = digitsAt(timestamp, 5, 2);
    const auto day = digitsAt(timestamp, 8, 2);
    const auto hour = digitsAt(timestamp, 11, 2);
    if (!year || !month || !day || !hour) return std::nullopt;
    const QDate date(*year, *month, *day);
    if (!date.isValid() || *hour > 23) return std::nullopt;
    const QDateTime local(date, QTime(*hour, 0, 0));
    if (!local.isValid()) return std::nullopt;
    return local;
}

QString archiveCopyPath(const QString& archiveFolder, const QString& timestamp) {
    return platform::withTrailingSeparator(archiveFolder) + timestamp + ArchiveExtension;
}

QString incompleteChartMessage(const QString& chartPath) {
    return QCoreApplication::translate("ChartIntake",
                                       "The chart %1 is incomplete: its picture ends early. It is "
                                       "shown where it is and not filed in the chart archive.")
        .arg(QDir::toNativeSeparators(chartPath));
}

namespace {

// Both files readable and of the same bytes; false for a file that cannot be read.
bool sameBytes(const QString& a, const QString& b) {
    QFile first(a), second(b);
    if (!first.open(QIODevice::ReadOnly) || !second.open(QIODevice::ReadOnly)) return false;
    if (first.size() != second.size()) return false;
    constexpr qint64 Block = 64 * 1024;
    while (!first.atEnd()) {
        const QByteArray x = first.read(Block);
        if (x.isEmpty() || x != second.read(Block)) return false;
    }
    return true;
}

} // namespace

IntakePlan planIntake(const QString& chartPath, const QString& timestamp,
                      const QString& archiveFolder, ChartPicture picture) {
    IntakePlan plan;
    plan.showPath = chartPath;
    // Quirk "cut-download-never-filed": a chart whose picture ends early would replace the whole
    // archive copy of the same time stamp with a picture grey at the bottom, which reads as land.
    if (picture == ChartPicture::EndsEarly) return plan;
    const QString archive = platform::withTrailingSeparator(archiveFolder);
    // Quirk "no-archive-folder": without one, the copy would land in the working folder.
    if (archive.isEmpty()) return plan;
    // The folders are compared as text, letter case included: another spelling of the archive
    // folder is caught by archiveIntake's same-file test instead.
    if (folderPartOf(chartPath) == archive) return plan;
    if (timestamp.isEmpty() || !isArchiveName(timestamp)) return plan;
    plan.copyToArchive = true;
    plan.archiveCopy = archive + timestamp + ArchiveExtension;
    plan.showPath = plan.archiveCopy;
    plan.chartTime = chartTimeOf(timestamp);
    return plan;
}

std::optional<QString> archiveIntake(platform::FileSystem& fileSystem, const QString& chartPath,
                                     const QString& timestamp, const QString& archiveFolder,
                                     ChartPicture picture) {
    const IntakePlan plan = planIntake(chartPath, timestamp, archiveFolder, picture);
    if (!plan.copyToArchive) return plan.showPath;
    // Quirk "already-the-archive-copy": the chart is its own archive copy reached by another
    // path; copying it onto itself would fail and show nothing.
    if (fileSystem.sameFile(chartPath, plan.archiveCopy)) return plan.archiveCopy;
    // Quirk "already-filed": a chart opened again whose copy is filed already, byte for byte,
    // leaves that copy as it is: writing the same bytes again only costs the start its time.
    if (sameBytes(chartPath, plan.archiveCopy)) return plan.archiveCopy;
    // The seam writes the copy under a temporary name in the archive and renames it, so a
    // crash or a full disk never leaves half a chart under a time-stamp name.
    if (!fileSystem.copyFile(chartPath, plan.archiveCopy)) return std::nullopt;
    if (plan.chartTime) fileSystem.setLastWriteTime(plan.archiveCopy, *plan.chartTime);
    return plan.archiveCopy;
}

} // namespace archive
