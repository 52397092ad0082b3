#include "platform/LocalFileSystem.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

namespace platform {

QList<FileEntry> LocalFileSystem::entries(const QString& folder, const QStringList& masks) const {
    QList<FileEntry> result;
    if (folder.isEmpty() || masks.isEmpty()) return result;
    const QDir dir(folder);
    if (!dir.exists()) return result;
    // Hidden and system entries are listed with their flags; choosing among them is the
    // caller's part, as with the attribute filter of the Windows enumeration.
    const QFileInfoList infos = dir.entryInfoList(
        QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot, QDir::NoSort);
    for (const QFileInfo& info : infos) {
        const QString name = info.fileName();
        if (!matchesAnyFileMask(name, masks)) continue;
        FileEntry entry;
        entry.name = name;
        entry.path = QDir::toNativeSeparators(info.filePath());
        entry.isFolder = info.isDir();
        entry.hidden = info.isHidden();
        entry.system = false;
        entry.size = entry.isFolder ? 0 : info.size();
        entry.lastWriteTime = info.lastModified();
        result.append(entry);
    }
    return result;
}

bool LocalFileSystem::copyFile(const QString& source, const QString& destination) {
    const QFileInfo from(source);
    const QFileInfo to(destination);
    if (!from.isFile() || destination.isEmpty()) return false;
    if (to.exists() && (to.isDir() || from.canonicalFilePath() == to.canonicalFilePath()))
        return false;
    if (!QFileInfo(to.absolutePath()).isDir()) return false;

    QFile in(source);
    if (!in.open(QIODevice::ReadOnly)) return false;
    // Written beside the destination under a temporary name and renamed over it at the end.
    QSaveFile out(destination);
    if (!out.open(QIODevice::WriteOnly)) return false;
    constexpr qint64 ChunkSize = 1 << 20;
    while (!in.atEnd()) {
        const QByteArray chunk = in.read(ChunkSize);
        if (chunk.isEmpty() || out.write(chunk) != chunk.size()) {
            out.cancelWriting();
            return false;
        }
    }
    if (!out.commit()) return false;
    // The copy is complete even if its time cannot be set: the time is a courtesy.
    setLastWriteTime(destination, from.lastModified());
    return true;
}

bool LocalFileSystem::deleteFile(const QString& path) {
    if (!QFileInfo(path).isFile()) return false;
    return QFile::remove(path);
}

std::optional<QDateTime> LocalFileSystem::lastWriteTime(const QString& path) const {
    const QFileInfo info(path);
    if (path.isEmpty() || !info.exists()) return std::nullopt;
    const QDateTime time = info.lastModified();
    if (!time.isValid()) return std::nullopt;
    return time.toLocalTime();
}

bool LocalFileSystem::setLastWriteTime(const QString& path, const QDateTime& localTime) {
    if (!localTime.isValid() || !QFileInfo(path).isFile()) return false;
    QFile file(path);
    // Setting a time needs no write access on Linux, only ownership; a read-only file is
    // therefore opened for reading when writing is refused.
    if (!file.open(QIODevice::ReadWrite | QIODevice::ExistingOnly) &&
        !file.open(QIODevice::ReadOnly))
        return false;
    return file.setFileTime(localTime, QFileDevice::FileModificationTime);
}

bool LocalFileSystem::createFolder(const QString& path) {
    // mkpath succeeds for a folder that is there already and fails where a file is in the way.
    return !path.isEmpty() && QDir().mkpath(path);
}

bool LocalFileSystem::exists(const QString& path) const {
    return !path.isEmpty() && QFileInfo::exists(path);
}

bool LocalFileSystem::sameFile(const QString& a, const QString& b) const {
    if (a.isEmpty() || b.isEmpty() || !QFileInfo(a).isFile()) return false;
    // Links resolved, "." and ".." removed; empty when the file does not exist.
    const QString canonical = QFileInfo(a).canonicalFilePath();
    return !canonical.isEmpty() && canonical == QFileInfo(b).canonicalFilePath();
}

bool LocalFileSystem::moveToTrash(const QString& path) {
    if (!QFileInfo(path).isFile()) return false;
    return QFile::moveToTrash(path);
}

} // namespace platform
