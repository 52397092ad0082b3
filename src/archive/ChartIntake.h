#pragma once
// Filing an opened chart into the chart archive: a chart from outside the archive that carries
// a time stamp is copied (replacing) to archive folder + TIMESTAMP + ".gif", stamped with the
// chart's own date and hour, and the copy is shown; any other chart is shown where it is.

#include <QDateTime>
#include <QString>

#include <optional>

namespace platform {
class FileSystem;
}

namespace archive {

// Whether a chart's TIMESTAMP can name its archive copy: a plain file name that keeps the copy
// inside the archive folder and in its listings. Not one when it is empty, starts with "." (a
// hidden file), holds "/" or "\", "..", a NUL or another control character, is nothing but dots
// and blanks, or is too long for a file name with ".gif" behind it (255 bytes of UTF-8).
bool isArchiveName(const QString& timestamp);

// The chart's date and hour read from its TIMESTAMP, as local time: year from characters 1 to
// 4, month 6 and 7, day 9 and 10, hour 12 and 13 (counted from 1), minutes and seconds zero.
// Nothing when one of the four is not all digits, the stamp is too short to hold the hour
// (fewer than 13 characters), or they form no valid local date and hour.
std::optional<QDateTime> chartTimeOf(const QString& timestamp);

// The archive copy of a chart: archive folder (given a trailing separator) + TIMESTAMP + ".gif".
QString archiveCopyPath(const QString& archiveFolder, const QString& timestamp);

// How much of its picture a chart file holds (leavesPixelsUnset of its decode).
enum class ChartPicture {
    Whole,
    EndsEarly, // a download cut short: the rest of the picture is the fill colour
};

// What the user is told when a chart's picture ends early: the file's path, that the chart is
// incomplete, and that it is shown where it is without being filed.
QString incompleteChartMessage(const QString& chartPath);

// What intake does with a chart being opened.
struct IntakePlan {
    // Copy the chart to archiveCopy, replacing a file of that name, before showing it.
    bool copyToArchive = false;
    // The file to show: the chart itself, or the archive copy once it is made.
    QString showPath;
    // When copying: the archive copy's path, and the last-write time to give it (nothing
    // leaves the time the copy gave it).
    QString archiveCopy;
    std::optional<QDateTime> chartTime;
};

// The plan for the chart at chartPath with its TIMESTAMP (empty when it has none). Shown in
// place when its folder is exactly archiveFolder (letter case counts), when it has no time
// stamp, when the time stamp is no archive name, when there is no archive folder, or when its
// picture ends early.
IntakePlan planIntake(const QString& chartPath, const QString& timestamp,
                      const QString& archiveFolder, ChartPicture picture);

// Carries out the plan through fileSystem: the file to show, or nothing when the copy failed
// (then nothing is to be shown and nothing said). A time stamp that cannot be set leaves the
// copy's own time, silently. A chart that already is its archive copy, reached by another path
// or a link, is shown without being copied onto itself.
std::optional<QString> archiveIntake(platform::FileSystem& fileSystem, const QString& chartPath,
                                     const QString& timestamp, const QString& archiveFolder,
                                     ChartPicture picture);

} // namespace archive
