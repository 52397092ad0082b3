#pragma once
// Small window-free pieces of opening a chart file: the extension check, the texts of its
// message, the names derived from a chart's path, and setting a file's modification time.

#include <QDateTime>
#include <QString>
#include <QtGlobal>

namespace app {

enum class ChartExtension {
    Missing, // the file does not exist: nothing is said
    Gif,     // ".gif" in any letter case
    Other,   // anything else, no extension included: the user is told
};

// Looks at the file on disk and at its extension (from the last "." of the file name).
ChartExtension chartExtensionOf(const QString& path);

// Caption and text of the box shown for a chart file whose extension is not ".gif". The text
// keeps the carriage returns of the classic message box ("\r\r" between paragraphs).
QString wrongExtensionCaption(const QString& path);
QString wrongExtensionText();

// The task-bar title while a chart is shown: the base name (geo::chartBaseName) + " - Pelagon".
QString chartApplicationTitle(const QString& path);

// The window caption for an area code: the product prefix followed by the code, or by
// "(unknown area)" when the code is empty.
QString chartCaption(const QString& areaCode);

// The full path of a chart in the platform's separators.
QString fullChartPath(const QString& path);

// The folder of a file, in the platform's separators, with a trailing separator.
QString folderOf(const QString& path);

// The filter index the Open dialog starts with: the stored one (1 to 5), or 4 ("All GIF images")
// while none has been chosen (0) or the stored one is out of range.
int openFilterIndex(int stored);

// The name offered by Save As: the chart's folder + area code + ".gif" (folder + ".gif" with no
// area).
QString saveAsNameFor(const QString& fullPath, const QString& areaCode);

// The error shown for a chart that cannot be opened: its file name, then the reason in the
// user's words ("area-ne01.gif: The file is not a GIF picture."), so that the user knows which
// file failed and why. The decoder's own words for a file that ends early or is no GIF at all
// are put plainly; any other reason is given as the decoder says it.
QString chartErrorText(const QString& path, const QString& reason);

// The message for a chart that is not where it was named: given on the command line, picked
// from the recent charts, or shown before and since moved to the trash.
QString chartGoneText(const QString& path);

// The message texts of opening a chart, as source texts: shown through
// QCoreApplication::translate("ChartFiles", ...).
inline constexpr char OutOfMemoryText[] =
    QT_TRANSLATE_NOOP("ChartFiles", "Not enough memory to open the chart");
inline constexpr char UnrecognisedAreaMessage[] =
    QT_TRANSLATE_NOOP("ChartFiles", "Unrecognised area - no geographic annotation");
inline constexpr char AreaNotRecognisedWarning[] =
    QT_TRANSLATE_NOOP("ChartFiles", "Warning: internal error - area not recognised");

} // namespace app

// Sets the file's last-modification time to a local date and time. Does nothing, and answers
// false, when the file cannot be opened for reading and writing.
bool SetFileDateTime(const QString& path, const QDateTime& localDateTime);
