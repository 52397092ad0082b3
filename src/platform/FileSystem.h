#pragma once
#include <QDateTime>
#include <QList>
#include <QString>
#include <QStringList>
#include <optional>

namespace platform {

// One entry of a folder listing.
struct FileEntry {
    QString name; // without folder
    QString path; // full path, native separators
    bool isFolder = false;
    bool hidden = false;     // on Linux: the name starts with "."
    bool system = false;     // a Windows attribute; always false on Linux
    qint64 size = 0;         // bytes; 0 for a folder
    QDateTime lastWriteTime; // local time
};

// Why the trash did not take a file.
enum class TrashRefusal {
    None,           // it did
    NotAFile,       // there is no such file (a folder is never trashed)
    FolderReadOnly, // the file's own folder cannot be written to, so it cannot leave it
    NoTrash,        // no trash folder could be found or made
    TrashReadOnly,  // the trash's folders cannot be written to
    NoSpace,        // the disk that would hold the trashed file is full
    NameTooLong,    // the name, as the trash must keep it, is too long for the file system
    Failed,         // the system refused for another reason
};

// What moving a file to the trash did: where it went, or why it stayed.
struct TrashOutcome {
    std::optional<QString> trashedPath; // the file inside the trash, native separators
    TrashRefusal refusal = TrashRefusal::None;
};

// The file operations of the chart archive. Failures are reported by the return value;
// nothing throws and nothing shows a message.
class FileSystem {
public:
    virtual ~FileSystem() = default;
    // The files and folders of folder whose names match at least one mask (matchesFileMask),
    // in no particular order, never "." or "..". Empty when the folder is missing or unreadable,
    // or when masks is empty.
    virtual QList<FileEntry> entries(const QString& folder, const QStringList& masks) const = 0;
    // Copies a file, replacing destination; the copy keeps the source's last-write time, as a
    // copy on Windows does. The destination is either the old file or the whole copy, never a
    // part. False when the source is no file, the destination's folder is missing or the
    // source and destination are the same file.
    virtual bool copyFile(const QString& source, const QString& destination) = 0;
    // Deletes a file (never a folder). False when there is no such file or it stays.
    virtual bool deleteFile(const QString& path) = 0;
    // The last-write time of a file or folder, local time; nothing when it does not exist.
    virtual std::optional<QDateTime> lastWriteTime(const QString& path) const = 0;
    // Sets a file's last-write time (local time, kept to the second at least).
    virtual bool setLastWriteTime(const QString& path, const QDateTime& localTime) = 0;
    // Creates a folder with every missing parent; true when it exists afterwards.
    virtual bool createFolder(const QString& path) = 0;
    // True when a file or folder of that path exists.
    virtual bool exists(const QString& path) const = 0;
    // True when both paths name one existing file, also when reached through a link, "." and
    // ".." or another spelling. This base compares the cleaned absolute paths only.
    virtual bool sameFile(const QString& a, const QString& b) const;
    // Moves a file (never a folder; a link as the link) to the user's trash, from where the
    // user can restore it, and answers where it went, or why it stayed where it was. This base
    // has no trash.
    virtual TrashOutcome trashFile(const QString& path);
    // trashFile's answer without the reason: where the file went, or nothing.
    std::optional<QString> moveToTrash(const QString& path) { return trashFile(path).trashedPath; }
};

// Whether a file name matches a mask as the Windows directory enumeration reads it: "*" stands
// for any run of characters, "?" for exactly one, everything else for itself, without regard
// to case. The mask "*.*" matches every name, also one without a dot; an empty mask matches
// nothing.
bool matchesFileMask(const QString& name, const QString& mask);

// Whether a name matches at least one of masks.
bool matchesAnyFileMask(const QString& name, const QStringList& masks);

} // namespace platform
