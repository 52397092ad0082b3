#include "platform/LocalFileSystem.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

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

namespace {

// The home trash: $XDG_DATA_HOME/Trash, or ~/.local/share/Trash when XDG_DATA_HOME is unset or
// not an absolute path (the XDG Base Directory rule for a relative value). Nothing without an
// absolute home folder: a trash relative to the working folder is exactly what must not be.
std::optional<QString> homeTrashFolder() {
    const QString dataHome = qEnvironmentVariable("XDG_DATA_HOME");
    if (!dataHome.isEmpty() && QDir::isAbsolutePath(dataHome))
        return QDir::cleanPath(dataHome + QLatin1String("/Trash"));
    const QString home = qEnvironmentVariable("HOME");
    if (home.isEmpty() || !QDir::isAbsolutePath(home)) return std::nullopt;
    return QDir::cleanPath(home + QLatin1String("/.local/share/Trash"));
}

// Whether anything, a dangling link included, has this name.
bool occupied(const QByteArray& path) {
    struct stat info;
    return ::lstat(path.constData(), &info) == 0;
}

// Makes the folder and every missing parent with mode 0700, private to the user as the desktop's
// trash and data folders are; true when the folder is a folder afterwards.
bool makePrivateFolder(const QString& folder) {
    const QByteArray native = QFile::encodeName(folder);
    for (qsizetype end = 1; end <= native.size(); ++end) {
        if (end < native.size() && native[end] != '/') continue;
        // An existing parent may answer EACCES rather than EEXIST; the last check tells.
        ::mkdir(native.left(end).constData(), 0700);
    }
    struct stat info;
    return ::stat(native.constData(), &info) == 0 && S_ISDIR(info.st_mode);
}

// The name in the trash for the attempt-th try: "x.gif", then "x.2.gif", "x.3.gif", ...
QString trashedName(const QString& name, int attempt) {
    if (attempt == 1) return name;
    const qsizetype dot = name.lastIndexOf(u'.');
    const qsizetype split = dot > 0 ? dot : name.size();
    return name.left(split) + u'.' + QString::number(attempt) + name.mid(split);
}

// The .trashinfo text: the original absolute path as bytes of the file system, escaped as in
// URLs, and the local time of the deletion.
QByteArray trashInfoText(const QString& absolutePath, const QDateTime& deleted) {
    return "[Trash Info]\nPath=" + QFile::encodeName(absolutePath).toPercentEncoding("/") +
           "\nDeletionDate=" +
           deleted.toString(QStringLiteral("yyyy-MM-dd'T'HH:mm:ss")).toLatin1() + '\n';
}

// A rename across file systems: the chart is copied into the trash, flushed to disk, and only
// then removed from where it was. The copy never replaces a file. False leaves no copy.
bool copyIntoTrash(const QString& source, const QString& target) {
    QFile in(source);
    QFile out(target);
    if (!in.open(QIODevice::ReadOnly)) return false;
    if (!out.open(QIODevice::WriteOnly | QIODevice::NewOnly)) return false;
    bool copied = true;
    while (copied && !in.atEnd()) {
        const QByteArray chunk = in.read(qint64(1) << 20);
        copied = !chunk.isEmpty() && out.write(chunk) == chunk.size();
    }
    copied = copied && out.flush() && ::fsync(out.handle()) == 0;
    if (copied) out.setFileTime(QFileInfo(in).lastModified(), QFileDevice::FileModificationTime);
    out.close();
    if (copied && QFile::remove(source)) return true;
    QFile::remove(target);
    return false;
}

} // namespace

std::optional<QString> LocalFileSystem::moveToTrash(const QString& path) {
    const QFileInfo chart(path);
    if (path.isEmpty() || !chart.isFile()) return std::nullopt;
    // Quirk "trash-never-elsewhere": only the desktop's home trash is used;
    // where it cannot be made the chart stays and the caller is told, instead of a fallback that
    // files it under the working folder.
    const std::optional<QString> trash = homeTrashFolder();
    if (!trash) return std::nullopt;
    const QString files = *trash + QLatin1String("/files/");
    const QString info = *trash + QLatin1String("/info/");
    if (!makePrivateFolder(files) || !makePrivateFolder(info)) return std::nullopt;

    const QString absolute = QDir::cleanPath(chart.absoluteFilePath());
    const QByteArray from = QFile::encodeName(absolute);
    constexpr int Attempts = 1000;
    for (int attempt = 1; attempt <= Attempts; ++attempt) {
        const QString name = trashedName(chart.fileName(), attempt);
        const QString infoPath = info + name + QLatin1String(".trashinfo");
        const QString target = files + name;
        const QByteArray to = QFile::encodeName(target);
        // The info file is created first and exclusively: that reserves the name against every
        // other program trashing at the same time.
        QFile reservation(infoPath);
        if (!reservation.open(QIODevice::WriteOnly | QIODevice::NewOnly)) {
            if (occupied(QFile::encodeName(infoPath))) continue;
            return std::nullopt;
        }
        reservation.close();
        // A file left in files/ without its info file keeps its name as well.
        QSaveFile text(infoPath);
        if (occupied(to) || !text.open(QIODevice::WriteOnly) ||
            text.write(trashInfoText(absolute, QDateTime::currentDateTime())) < 0 ||
            !text.commit()) {
            QFile::remove(infoPath);
            if (occupied(to)) continue;
            return std::nullopt;
        }
#ifdef RENAME_NOREPLACE
        bool moved = ::renameat2(AT_FDCWD, from.constData(), AT_FDCWD, to.constData(),
                                 RENAME_NOREPLACE) == 0;
        const int error = moved ? 0 : errno;
#else
        bool moved = false; // no rename that refuses to replace: the checked one below
        const int error = ENOSYS;
#endif
        if (error == EINVAL || error == ENOSYS) // no "no-replace" here: the name was free above
            moved = !occupied(to) && ::rename(from.constData(), to.constData()) == 0;
        else if (error == EXDEV)
            moved = copyIntoTrash(absolute, target);
        if (!moved) {
            QFile::remove(infoPath);
            return std::nullopt;
        }
        // Never trusted without a look: the chart must be in the trash now.
        if (!occupied(to)) return std::nullopt;
        return QDir::toNativeSeparators(target);
    }
    return std::nullopt;
}

} // namespace platform
