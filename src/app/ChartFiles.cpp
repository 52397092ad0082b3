#include "app/ChartFiles.h"

#include "geo/AreaStuff.h"
#include "gif/GIFImage.h"
#include "platform/Paths.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace app {

ChartExtension chartExtensionOf(const QString& path) {
    const QFileInfo info(path);
    if (path.isEmpty() || !info.exists() || info.isDir()) return ChartExtension::Missing;
    const QString name = info.fileName();
    const qsizetype dot = name.lastIndexOf(u'.');
    const QString extension = dot < 0 ? QString() : name.mid(dot).toLower();
    return extension == QLatin1String(".gif") ? ChartExtension::Gif : ChartExtension::Other;
}

QString wrongExtensionCaption(const QString& path) {
    return QCoreApplication::translate("ChartFiles",
                                       "Error in file \"%1\" - the file extension is not .gif")
        .arg(QFileInfo(path).fileName());
}

QString wrongExtensionText() {
    return QCoreApplication::translate(
        "ChartFiles",
        "You have attempted to open up an area file with an improper extension.  Please take "
        "look at the area file you have just downloaded from our website and make sure that it "
        "has the extension of .gif and nothing else.  It should look like the following file "
        "example for area 5:\r\rarea5.gif\r\rIf the chart file has an .art or .bmp or any other "
        "type of file extension (found by looking to the right of the dot) then this is "
        "indicative of a minor problem that was most likely caused by your browser or computer "
        "settings.  For the most common fix, delete the bad chart file and simply use another "
        "browser (or non-AOL browser if you are using AOL) to re-download the chart file.  If "
        "the extension still continues to be something other than a .gif,  then please go to "
        "the troubleshooting section of our website for other remedies to this problem.");
}

QString chartApplicationTitle(const QString& path) {
    //: The task-bar title; %1 is the chart's base name, such as AREA-NE01.
    return QCoreApplication::translate("ChartFiles", "%1 - Pelagon").arg(geo::chartBaseName(path));
}

QString chartCaption(const QString& areaCode) {
    //: The window caption; %1 is the area code (ne01, fl12, ...) or "(unknown area)".
    return QCoreApplication::translate("ChartFiles",
                                       "\"Pelagon\" Chart viewer (from Brinecast) - %1")
        .arg(areaCode.isEmpty() ? QCoreApplication::translate("ChartFiles", "(unknown area)")
                                : areaCode);
}

QString fullChartPath(const QString& path) {
    return QDir::toNativeSeparators(QFileInfo(path).absoluteFilePath());
}

QString folderOf(const QString& path) {
    return platform::withTrailingSeparator(QFileInfo(path).absolutePath());
}

QString saveAsNameFor(const QString& fullPath, const QString& areaCode) {
    return folderOf(fullPath) + areaCode + QStringLiteral(".gif");
}

} // namespace app

bool SetFileDateTime(const QString& path, const QDateTime& localDateTime) {
    QFile file(path);
    if (!localDateTime.isValid() || !file.open(QIODevice::ReadWrite | QIODevice::ExistingOnly))
        return false;
    return file.setFileTime(localDateTime, QFileDevice::FileModificationTime);
}

namespace app {

QString chartErrorText(const QString& path, const QString& reason) {
    const auto decoder = [](const char* text) {
        return QCoreApplication::translate("GIFImage", text);
    };
    QString plain = reason;
    if (reason == decoder(gif::message::PrematureEnd) ||
        reason == decoder(gif::message::BitBufferUnderrun))
        plain = QCoreApplication::translate(
            "ChartFiles", "The file ends before the chart does: it is not a whole GIF picture. "
                          "Perhaps its download stopped part-way; fetch the chart again.");
    else if (reason == decoder(gif::message::InvalidSignature))
        plain = QCoreApplication::translate("ChartFiles",
                                            "The file is not a GIF picture, so it holds no chart.");
    else if (reason == decoder(gif::message::InvalidData) ||
             reason == decoder(gif::message::UnknownBlockType) ||
             reason == decoder(gif::message::InvalidTrailer))
        plain = QCoreApplication::translate(
                    "ChartFiles", "The file is damaged: its GIF picture cannot be read (%1).")
                    .arg(reason);
    const QString name = QFileInfo(path).fileName();
    return name.isEmpty() ? plain : name + QLatin1String(": ") + plain;
}

QString chartGoneText(const QString& path) {
    return QCoreApplication::translate("ChartFiles",
                                       "The chart %1 is not there: it has been moved, renamed or "
                                       "put in the trash.")
        .arg(QDir::toNativeSeparators(path));
}

int openFilterIndex(int stored) {
    return stored >= 1 && stored <= 5 ? stored : 4;
}

} // namespace app
