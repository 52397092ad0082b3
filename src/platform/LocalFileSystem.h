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
    // The desktop's home trash (freedesktop.org layout), $XDG_DATA_HOME/Trash (or
    // ~/.local/share/Trash), made with mode 0700 where it is missing; never anywhere else.
    std::optional<QString> moveToTrash(const QString& path) override;
};

} // namespace platform
