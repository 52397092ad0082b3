#pragma once
#include "platform/FileSystem.h"

#include <QDir>
#include <QList>
#include <QMap>
#include <utility>

// An in-memory tree of folders and files standing in for the disk. Paths are cleaned like
// QDir::cleanPath, so "/a/b/" and "/a/b" name the same folder. Every call is recorded in
// calls as one line ("copy /a/x.gif /b/y.gif"); failOn makes one operation fail on one path.
// addAlias makes a second path (a link) name an existing file for sameFile; hasTrash says
// whether trashFile finds a trash, which then holds the moved files in trashed; refuseTrash
// makes it refuse one path for a reason (a full disk, a read-only trash).
class FakeFileSystem : public platform::FileSystem {
public:
    enum class Operation { Entries, Copy, Delete, ReadTime, SetTime, CreateFolder, Exists, Trash };
    struct Node {
        bool folder = false;
        QByteArray contents;
        QDateTime lastWriteTime;
        bool hidden = false;
        bool system = false;
    };

    // A file with its missing parent folders; hidden when its name starts with ".".
    void addFile(const QString& path, const QByteArray& contents = {},
                 const QDateTime& lastWriteTime = QDateTime(QDate(2026, 1, 1), QTime(12, 0))) {
        const QString key = keyOf(path);
        addFolderChain(parentOf(key));
        Node node;
        node.contents = contents;
        node.lastWriteTime = lastWriteTime;
        node.hidden = nameOf(key).startsWith(QLatin1Char('.'));
        nodes.insert(key, node);
    }
    // A folder with its missing parents; a new one is hidden when its name starts with ".".
    void addFolder(const QString& path) { addFolderChain(keyOf(path)); }
    void setHidden(const QString& path, bool hidden) { nodes[keyOf(path)].hidden = hidden; }
    void setSystem(const QString& path, bool system) { nodes[keyOf(path)].system = system; }
    // alias reaches the file at path, as a link or another spelling would, for sameFile only.
    void addAlias(const QString& alias, const QString& path) {
        aliases.insert(keyOf(alias), keyOf(path));
    }
    // The operation fails on that path (for a copy: as source or as destination).
    void failOn(Operation operation, const QString& path) {
        failures.append({operation, keyOf(path)});
    }

    std::optional<QByteArray> contents(const QString& path) const {
        const auto it = nodes.constFind(keyOf(path));
        if (it == nodes.constEnd() || it->folder) return std::nullopt;
        return it->contents;
    }
    bool isFolder(const QString& path) const {
        const auto it = nodes.constFind(keyOf(path));
        return it != nodes.constEnd() && it->folder;
    }

    QList<platform::FileEntry> entries(const QString& folder,
                                       const QStringList& masks) const override {
        record(QStringLiteral("entries ") + native(folder) + QLatin1Char(' ') +
               masks.join(QLatin1Char(';')));
        QList<platform::FileEntry> result;
        const QString key = keyOf(folder);
        if (folder.isEmpty() || fails(Operation::Entries, key) || !isFolder(key)) return result;
        // Backwards, so that a caller relying on the disk's order shows up in tests.
        for (auto it = nodes.constEnd(); it != nodes.constBegin();) {
            --it;
            if (it.key() == key || parentOf(it.key()) != key) continue;
            const QString name = nameOf(it.key());
            if (!platform::matchesAnyFileMask(name, masks)) continue;
            platform::FileEntry entry;
            entry.name = name;
            entry.path = native(it.key());
            entry.isFolder = it->folder;
            entry.hidden = it->hidden;
            entry.system = it->system;
            entry.size = it->folder ? 0 : it->contents.size();
            entry.lastWriteTime = it->lastWriteTime;
            result.append(entry);
        }
        return result;
    }

    bool copyFile(const QString& source, const QString& destination) override {
        record(QStringLiteral("copy ") + native(source) + QLatin1Char(' ') + native(destination));
        const QString from = keyOf(source), to = keyOf(destination);
        if (source.isEmpty() || destination.isEmpty() || fails(Operation::Copy, from) ||
            fails(Operation::Copy, to))
            return false;
        const auto it = nodes.constFind(from);
        if (it == nodes.constEnd() || it->folder || from == to || isFolder(to) ||
            !isFolder(parentOf(to)))
            return false;
        Node copy;
        copy.contents = it->contents;
        copy.lastWriteTime = it->lastWriteTime;
        copy.hidden = nameOf(to).startsWith(QLatin1Char('.'));
        nodes.insert(to, copy);
        return true;
    }

    bool deleteFile(const QString& path) override {
        record(QStringLiteral("delete ") + native(path));
        const QString key = keyOf(path);
        if (fails(Operation::Delete, key) || !contents(key)) return false;
        nodes.remove(key);
        return true;
    }

    std::optional<QDateTime> lastWriteTime(const QString& path) const override {
        record(QStringLiteral("time ") + native(path));
        const QString key = keyOf(path);
        const auto it = nodes.constFind(key);
        if (path.isEmpty() || fails(Operation::ReadTime, key) || it == nodes.constEnd())
            return std::nullopt;
        return it->lastWriteTime;
    }

    bool setLastWriteTime(const QString& path, const QDateTime& localTime) override {
        record(QStringLiteral("settime ") + native(path) + QLatin1Char(' ') +
               localTime.toString(Qt::ISODate));
        const QString key = keyOf(path);
        if (!localTime.isValid() || fails(Operation::SetTime, key) || !contents(key)) return false;
        nodes[key].lastWriteTime = localTime;
        return true;
    }

    bool createFolder(const QString& path) override {
        record(QStringLiteral("mkdir ") + native(path));
        const QString key = keyOf(path);
        if (path.isEmpty() || fails(Operation::CreateFolder, key)) return false;
        for (QString at = key;; at = parentOf(at)) {
            if (contents(at)) return false; // a file where a folder should be
            if (parentOf(at) == at) break;
        }
        addFolderChain(key);
        return true;
    }

    bool exists(const QString& path) const override {
        record(QStringLiteral("exists ") + native(path));
        const QString key = keyOf(path);
        return !path.isEmpty() && !fails(Operation::Exists, key) && nodes.contains(key);
    }

    bool sameFile(const QString& a, const QString& b) const override {
        record(QStringLiteral("same ") + native(a) + QLatin1Char(' ') + native(b));
        if (a.isEmpty() || b.isEmpty()) return false;
        const QString resolved = aliases.value(keyOf(a), keyOf(a));
        const auto it = nodes.constFind(resolved);
        return it != nodes.constEnd() && !it->folder &&
               resolved == aliases.value(keyOf(b), keyOf(b));
    }

    void refuseTrash(const QString& path, platform::TrashRefusal why) {
        trashRefusals.insert(keyOf(path), why);
    }
    // A moved file is reported under "/Trash" followed by its former path.
    platform::TrashOutcome trashFile(const QString& path) override {
        record(QStringLiteral("trash ") + native(path));
        const QString key = keyOf(path);
        using platform::TrashRefusal;
        if (!contents(key)) return {std::nullopt, TrashRefusal::NotAFile};
        if (!hasTrash) return {std::nullopt, TrashRefusal::NoTrash};
        if (fails(Operation::Trash, key)) return {std::nullopt, TrashRefusal::Failed};
        if (trashRefusals.contains(key)) return {std::nullopt, trashRefusals.value(key)};
        trashed.insert(key, nodes.take(key));
        return {native(QStringLiteral("/Trash") + key), TrashRefusal::None};
    }

    QMap<QString, Node> nodes;      // by cleaned path with "/" separators
    QMap<QString, QString> aliases; // alias -> the path it reaches, both cleaned
    bool hasTrash = true;
    QMap<QString, Node> trashed; // what trashFile moved, by its former path
    QMap<QString, platform::TrashRefusal> trashRefusals;
    QList<std::pair<Operation, QString>> failures;
    mutable QStringList calls;

private:
    static QString keyOf(const QString& path) {
        return QDir::cleanPath(QDir::fromNativeSeparators(path));
    }
    static QString native(const QString& path) { return QDir::toNativeSeparators(path); }
    static QString parentOf(const QString& key) {
        const qsizetype slash = key.lastIndexOf(QLatin1Char('/'));
        if (slash < 0) return QStringLiteral(".");
        return slash == 0 ? QStringLiteral("/") : key.left(slash);
    }
    static QString nameOf(const QString& key) {
        return key.mid(key.lastIndexOf(QLatin1Char('/')) + 1);
    }
    void addFolderChain(const QString& key) {
        for (QString at = key;; at = parentOf(at)) {
            const bool created = !nodes.contains(at);
            Node& node = nodes[at];
            if (created) node.hidden = nameOf(at).startsWith(QLatin1Char('.'));
            node.folder = true;
            node.contents.clear();
            if (!node.lastWriteTime.isValid())
                node.lastWriteTime = QDateTime(QDate(2026, 1, 1), QTime(12, 0));
            if (parentOf(at) == at) break;
        }
    }
    bool fails(Operation operation, const QString& key) const {
        return failures.contains(std::pair{operation, key});
    }
    void record(const QString& call) const { calls.append(call); }
};
