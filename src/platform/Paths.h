#pragma once
#include <QString>

namespace platform {

// Appends a folder text written with backslashes, such as "\My Pelagon Files\Chart Archive\",
// to folder, giving one path with native separators and no doubled separator at the joint.
// A trailing backslash of the text is kept as a trailing separator.
QString appendFolderPath(const QString& folder, const QString& backslashPath);

// The executable's file name without folder and without its last extension
// ("C:\Apps\Thalwise.exe" and "/usr/bin/thalwise" give "Thalwise" and "thalwise").
QString executableBaseName(const QString& executablePath);

// A folder path with one trailing native separator ("/home/u" gives "/home/u/").
QString withTrailingSeparator(const QString& folder);

} // namespace platform
