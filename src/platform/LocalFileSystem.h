#pragma once
#include "platform/FileSystem.h"

namespace platform {

// The computer's own file system through QDir, QFile and QFileInfo. Paths may use either
// separator; the paths it reports use native ones.
class LocalFileSystem : public FileSystem {
public:
    QList<FileEntry> entries(const QString& folder, const QStringList& masks) const override;
    bool copyFile(const QString& source, const QString& destination) override;
    bool deleteFile(const QString& path) override;
    std::optional<QDateTime> lastWriteTime(const QString& path) const override;
    bool setLastWriteTime(const QString& path, const QDateTime& localTime) override;
    bool createFolder(const QString& path) override;
    bool exists(const QString& path) const override;
    bool sameFile(const QString& a, const QString& b) const override;
    // The desktop's trash in the freedesktop.org layout: the home trash, $XDG_DATA_HOME/Trash
    // (or ~/.local/share/Trash), for a file on the home trash's mount; for a file on another
    // mount that mount's $top/.Trash/$uid or $top/.Trash-$uid, or the home trash where neither
    // can be made. Missing trash folders are made with mode 0700; the home folder never is.
    TrashOutcome trashFile(const QString& path) override;
};

// A rename across file systems: the file is copied to to with its permissions and times,
// flushed to disk, and only then removed from from; a link is made again as the link, never
// as a copy of what it points to. The copy never replaces anything at to. 0, or the errno of
// the failure (EEXIST: to was taken; ENOSPC: the disk is full); a failure leaves no copy and
// the file where it was.
int moveByCopy(const QByteArray& from, const QByteArray& to);

} // namespace platform
