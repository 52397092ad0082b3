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

// Whether this folder exists as a folder (links followed).
bool isFolder(const QByteArray& path) {
    struct stat info;
    return ::stat(path.constData(), &info) == 0 && S_ISDIR(info.st_mode);
}

// The home trash: $XDG_DATA_HOME/Trash, or ~/.local/share/Trash when XDG_DATA_HOME is unset or
// not an absolute path (the XDG Base Directory rule: a relative value is invalid and ignored).
// Nothing without an absolute home folder that exists when the trash would lie in it: a trash
// relative to the working folder, or a home folder made up by us, is exactly what must not be.
std::optional<QString> homeTrashFolder() {
    const QString home = qEnvironmentVariable("HOME");
    const bool hasHome = !home.isEmpty() && QDir::isAbsolutePath(home);
    const QString dataHome = qEnvironmentVariable("XDG_DATA_HOME");
    QString trash;
    if (!dataHome.isEmpty() && QDir::isAbsolutePath(dataHome))
        trash = QDir::cleanPath(dataHome + QLatin1String("/Trash"));
    else if (hasHome)
        trash = QDir::cleanPath(home + QLatin1String("/.local/share/Trash"));
    else
        return std::nullopt;
    // Quirk "home-never-made": the trash's missing folders are made, the home folder never.
    const QString cleanHome = hasHome ? QDir::cleanPath(home) : QString();
    if (hasHome && trash.startsWith(cleanHome + u'/') && !isFolder(QFile::encodeName(cleanHome)))
        return std::nullopt;
    return trash;
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
    return isFolder(native);
}

// The top folder of the mount that holds path (whose device is device): the highest folder
// above it on the same device.
QString mountTopOf(const QString& absolutePath, dev_t device) {
    QString top = QFileInfo(absolutePath).path();
    while (top != QLatin1String("/")) {
        const QString up = QFileInfo(top).path();
        struct stat info;
        if (::stat(QFile::encodeName(up).constData(), &info) != 0 || info.st_dev != device) break;
        top = up;
    }
    return top;
}

// The device of the folder or, while it does not exist yet, of its nearest existing parent.
std::optional<dev_t> deviceOf(QString folder) {
    for (;;) {
        struct stat info;
        if (::stat(QFile::encodeName(folder).constData(), &info) == 0) return info.st_dev;
        if (folder == QLatin1String("/") || folder.isEmpty()) return std::nullopt;
        folder = QFileInfo(folder).path();
    }
}

// The user's trash on the mount whose top folder is top, where desktops look for it:
// $top/.Trash/$uid when an administrator made $top/.Trash, a real folder with the sticky bit;
// else $top/.Trash-$uid, made where missing. Nothing when neither can be used.
std::optional<QString> mountTrashFolder(const QString& top) {
    const QString base = top == QLatin1String("/") ? QString() : top;
    const QString uid = QString::number(::getuid());
    struct stat info;
    const QByteArray shared = QFile::encodeName(base + QLatin1String("/.Trash"));
    if (::lstat(shared.constData(), &info) == 0 && S_ISDIR(info.st_mode) &&
        (info.st_mode & S_ISVTX)) {
        const QString own = base + QLatin1String("/.Trash/") + uid;
        ::mkdir(QFile::encodeName(own).constData(), 0700);
        if (::lstat(QFile::encodeName(own).constData(), &info) == 0 && S_ISDIR(info.st_mode) &&
            info.st_uid == ::getuid())
            return own;
    }
    const QString own = base + QLatin1String("/.Trash-") + uid;
    ::mkdir(QFile::encodeName(own).constData(), 0700);
    // Never through a link, and never a folder of someone else's.
    if (::lstat(QFile::encodeName(own).constData(), &info) == 0 && S_ISDIR(info.st_mode) &&
        info.st_uid == ::getuid())
        return own;
    return std::nullopt;
}

// The longest file name of the common file systems, in bytes.
constexpr qsizetype LongestName = 255;
const QLatin1String InfoExtension(".trashinfo");

// The name in the trash for the attempt-th try: "x.gif", then "x.2.gif", "x.3.gif", ...
// Quirk "long-names-shortened-in-trash": the info file's name is the trashed name with
// ".trashinfo" behind it, so a name longer than 245 bytes is shortened in the trash (the info
// file keeps the whole original path for restoring it).
QString trashedName(const QString& name, int attempt) {
    const qsizetype dot = name.lastIndexOf(u'.');
    const qsizetype split = dot > 0 ? dot : name.size();
    const QString tail =
        (attempt == 1 ? QString() : u'.' + QString::number(attempt)) + name.mid(split);
    QString stem = name.left(split);
    const auto fits = [&] {
        return (stem + tail).toUtf8().size() + InfoExtension.size() <= LongestName;
    };
    while (!stem.isEmpty() && !fits()) {
        stem.chop(1);
        if (!stem.isEmpty() && stem.back().isHighSurrogate()) stem.chop(1);
    }
    return !stem.isEmpty() && fits() ? stem + tail : QString();
}

// The .trashinfo text: the original path as bytes of the file system, escaped as in URLs, and
// the local time of the deletion.
QByteArray trashInfoText(const QByteArray& originalPath, const QDateTime& deleted) {
    return "[Trash Info]\nPath=" + originalPath.toPercentEncoding("/") + "\nDeletionDate=" +
           deleted.toString(QStringLiteral("yyyy-MM-dd'T'HH:mm:ss")).toLatin1() + '\n';
}

TrashRefusal refusalOf(int error) {
    switch (error) {
    case EACCES:
    case EPERM:
    case EROFS:
        return TrashRefusal::TrashReadOnly;
    case ENOSPC:
    case EDQUOT:
        return TrashRefusal::NoSpace;
    case ENAMETOOLONG:
        return TrashRefusal::NameTooLong;
    default:
        return TrashRefusal::Failed;
    }
}

// Writes a whole buffer to fd; the errno of a failure, else 0.
int writeAll(int fd, const QByteArray& bytes) {
    qsizetype done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::write(fd, bytes.constData() + done, std::size_t(bytes.size() - done));
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return n < 0 ? errno : ENOSPC;
        done += n;
    }
    return 0;
}

// Moves the file at from (a file or a link, at absolute) into the trash folder trash, whose
// info files give the original path as pathInInfo. The moved file's path, or why not.
TrashOutcome moveInto(const QString& trash, const QByteArray& from, const QString& absolute,
                      const QByteArray& pathInInfo) {
    const QString files = trash + QLatin1String("/files/");
    const QString info = trash + QLatin1String("/info/");
    if (!makePrivateFolder(files) || !makePrivateFolder(info)) return {{}, TrashRefusal::NoTrash};
    const QString name = QFileInfo(absolute).fileName();
    constexpr int Attempts = 1000;
    for (int attempt = 1; attempt <= Attempts; ++attempt) {
        const QString trashed = trashedName(name, attempt);
        if (trashed.isEmpty()) return {{}, TrashRefusal::NameTooLong};
        const QByteArray infoPath = QFile::encodeName(info + trashed + InfoExtension);
        const QString target = files + trashed;
        const QByteArray to = QFile::encodeName(target);
        // The info file is created first and exclusively: that reserves the name against every
        // other program trashing at the same time.
        const int reserved =
            ::open(infoPath.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
        if (reserved < 0) {
            if (errno == EEXIST) continue;
            return {{}, refusalOf(errno)};
        }
        const int written =
            writeAll(reserved, trashInfoText(pathInInfo, QDateTime::currentDateTime()));
        ::close(reserved);
        // A file left in files/ without its info file keeps its name as well.
        if (written != 0 || occupied(to)) {
            ::unlink(infoPath.constData());
            if (written != 0) return {{}, refusalOf(written)};
            continue;
        }
        int error = 0;
#ifdef RENAME_NOREPLACE
        if (::renameat2(AT_FDCWD, from.constData(), AT_FDCWD, to.constData(), RENAME_NOREPLACE) !=
            0)
            error = errno;
#else
        error = ENOSYS; // no rename that refuses to replace: the checked one below
#endif
        if (error == EINVAL || error == ENOSYS) // no "no-replace" here: the name was free above
            error = occupied(to)                                      ? EEXIST
                    : ::rename(from.constData(), to.constData()) == 0 ? 0
                                                                      : errno;
        if (error == EXDEV) error = moveByCopy(from, to);
        if (error != 0) {
            ::unlink(infoPath.constData());
            // Quirk "trash-name-race": a name taken since the look above: the next one.
            if (error == EEXIST) continue;
            return {{}, refusalOf(error)};
        }
        // Never trusted without a look: the chart must be in the trash now.
        if (!occupied(to)) return {{}, TrashRefusal::Failed};
        return {QDir::toNativeSeparators(target), TrashRefusal::None};
    }
    return {{}, TrashRefusal::Failed};
}

} // namespace

int moveByCopy(const QByteArray& from, const QByteArray& to) {
    struct stat source;
    if (::lstat(from.constData(), &source) != 0) return errno;
    if (S_ISLNK(source.st_mode)) {
        QByteArray target(source.st_size > 0 ? qsizetype(source.st_size) + 1 : 4096, '\0');
        const ssize_t length =
            ::readlink(from.constData(), target.data(), std::size_t(target.size()));
        if (length < 0 || length >= target.size()) return length < 0 ? errno : ENAMETOOLONG;
        target.truncate(length);
        if (::symlink(target.constData(), to.constData()) != 0) return errno;
    } else {
        const int in = ::open(from.constData(), O_RDONLY | O_CLOEXEC);
        if (in < 0) return errno;
        const int out = ::open(to.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
        if (out < 0) {
            const int error = errno;
            ::close(in);
            return error;
        }
        int error = 0;
        QByteArray chunk(1 << 20, Qt::Uninitialized);
        for (;;) {
            const ssize_t n = ::read(in, chunk.data(), std::size_t(chunk.size()));
            if (n < 0 && errno == EINTR) continue;
            if (n < 0) error = errno;
            if (n <= 0) break;
            if ((error = writeAll(out, chunk.left(n))) != 0) break;
        }
        if (!error && ::fchmod(out, source.st_mode & 07777) != 0) error = errno;
        const struct timespec times[2] = {source.st_atim, source.st_mtim};
        if (!error) ::futimens(out, times);
        if (!error && ::fsync(out) != 0) error = errno;
        if (::close(out) != 0 && !error) error = errno;
        ::close(in);
        if (error) {
            ::unlink(to.constData());
            return error;
        }
    }
    if (::unlink(from.constData()) != 0) {
        const int error = errno;
        ::unlink(to.constData());
        return error;
    }
    return 0;
}

TrashOutcome LocalFileSystem::trashFile(const QString& path) {
    if (path.isEmpty()) return {{}, TrashRefusal::NotAFile};
    const QString absolute = QDir::cleanPath(QFileInfo(path).absoluteFilePath());
    const QByteArray from = QFile::encodeName(absolute);
    // The file itself, not what a link points to.
    struct stat chart;
    if (::lstat(from.constData(), &chart) != 0 ||
        !(S_ISREG(chart.st_mode) || S_ISLNK(chart.st_mode)))
        return {{}, TrashRefusal::NotAFile};
    // Quirk "trash-never-elsewhere": without a home trash there is no trash at all, rather than
    // one made up under the working folder or at the top of the disk.
    if (::access(QFile::encodeName(QFileInfo(absolute).path()).constData(), W_OK) != 0)
        return {{}, TrashRefusal::FolderReadOnly};
    const std::optional<QString> home = homeTrashFolder();
    if (!home) return {{}, TrashRefusal::NoTrash};
    // Quirk "trash-on-its-own-mount": a chart on another mount than the home trash goes to that
    // mount's trash, as the desktop's file manager puts it, so that it is moved, not copied;
    // only where that trash cannot be made does it go home, by a copy.
    if (deviceOf(*home) != chart.st_dev) {
        const QString top = mountTopOf(absolute, chart.st_dev);
        if (const std::optional<QString> trash = mountTrashFolder(top)) {
            // Relative to the top folder, as the info files of a mount's trash give it.
            const QString relative = QDir(top).relativeFilePath(absolute);
            const TrashOutcome outcome =
                moveInto(*trash, from, absolute, QFile::encodeName(relative));
            if (outcome.refusal != TrashRefusal::NoTrash) return outcome;
        }
    }
    return moveInto(*home, from, absolute, from);
}

} // namespace platform
