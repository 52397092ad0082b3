#include "app/ProgramFolders.h"

#include <QDir>

namespace app {

// Plain concatenation as the documents folder gives it: an empty folder yields a path from the
// root, never one relative to the working folder.
QString pelagonFilesFolderFor(const QString& documentsFolder) {
    const QChar sep = QDir::separator();
    QString base = QDir::toNativeSeparators(documentsFolder);
    while (base.endsWith(sep))
        base.chop(1);
    return base + sep + QStringLiteral("My Pelagon Files") + sep;
}

static QString underPelagonFiles(const QString& documentsFolder, const QString& leaf) {
    return pelagonFilesFolderFor(documentsFolder) + leaf + QDir::separator();
}

QString archiveFolderFor(const QString& documentsFolder) {
    return underPelagonFiles(documentsFolder, QStringLiteral("Chart Archive"));
}

QString programInfoFolderFor(const QString& documentsFolder) {
    return underPelagonFiles(documentsFolder, QStringLiteral("Program Info"));
}

} // namespace app
