#include "platform/QtDesktop.h"

#include <QDesktopServices>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

namespace platform {

QString QtDesktop::documentsFolder() const {
    QString folder = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    if (folder.isEmpty()) folder = QDir::homePath();
    folder = QDir::toNativeSeparators(QDir::cleanPath(folder));
    while (folder.size() > 1 && folder.endsWith(QDir::separator()))
        folder.chop(1);
    return folder;
}

QString QtDesktop::downloadsFolder() const {
    // The XDG downloads folder (user-dirs.dirs); Qt names one even where it was never made.
    QString folder = QStandardPaths::writableLocation(QStandardPaths::DownloadLocation);
    if (folder.isEmpty() || !QFileInfo(folder).isDir() || QDir(folder) == QDir(QDir::homePath()))
        return documentsFolder();
    folder = QDir::toNativeSeparators(QDir::cleanPath(folder));
    while (folder.size() > 1 && folder.endsWith(QDir::separator()))
        folder.chop(1);
    return folder;
}

bool QtDesktop::openUrl(const QUrl& url) {
    return QDesktopServices::openUrl(url);
}

} // namespace platform
