#pragma once
#include <QString>

namespace app {

// The program's folder under the user's documents folder: documents folder + "/My Pelagon Files/",
// in native separators and ending in one. The archive and the annotation files lie in it.
QString pelagonFilesFolderFor(const QString& documentsFolder);

// The user's chart archive: documents folder + "/My Pelagon Files/Chart Archive/", in native
// separators and ending in one. A trailing separator on documentsFolder is not doubled; an empty
// documents folder gives a path from the root, never one relative to the working folder.
QString archiveFolderFor(const QString& documentsFolder);

// The folder of the per-area annotation files, beside the archive folder.
QString programInfoFolderFor(const QString& documentsFolder);

// The guide's topic for "&Getting started...".
inline constexpr int GettingStartedContext = 200;

// The start-up reminder is due when the day it last ran is before today (days since
// 30 December 1899). A stored day in the future is never due until that day has passed.
inline bool purgeReminderDue(int lastReminderDay, int today) {
    return lastReminderDay < today;
}

} // namespace app
