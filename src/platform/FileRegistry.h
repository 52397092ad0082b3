#pragma once
#include "platform/Registry.h"

#include <QString>
#include <functional>
#include <memory>

namespace platform {

// The store file of an executable: $XDG_CONFIG_HOME/Quillmark/<exeBaseName>.reg (the generic
// config location). Computing it creates nothing.
QString defaultRegistryPath(const QString& executableBaseName);

// The settings store kept in one text file in the registry editor's export form:
//
//   Windows Registry Editor Version 5.00
//
//   [HKEY_CURRENT_USER\Software\Quillmark\thalwise]
//   "DaysToKeep"=dword:00000007
//   "HomeLat"=hex:00,00,00,00,00,00,45,40
//   "DataFolder"="C:\\Charts\\"
//
// Keys given to the functions are relative to HKEY_CURRENT_USER, with backslashes; key and value
// names match without regard to case, as in the registry. The file is UTF-8 (a UTF-16 file with
// its byte-order mark is read too), lines end in LF or CRLF. Every call sees the file as it is
// now, but parses it only when it changed: the parsed form is kept while the file keeps its
// identity, size and modification time (and, while that time is too recent to tell a change
// by, its bytes). Every write reads the file afresh, changes one thing (one value, one key, or
// all values of one key) and replaces it atomically, so two programs sharing the file keep each
// other's values. Reading never creates the file or its folder. What is read is written back
// unchanged.
//
// A damaged file yields whatever lines still make sense; the first write after that keeps the old
// file beside the new one as "<file>.bak-yyyyMMdd-hhmmss", and a file that cannot be opened at all
// is never replaced (writes then fail).
class FileRegistry : public Registry {
public:
    explicit FileRegistry(const QString& storeFilePath);
    ~FileRegistry() override;
    FileRegistry(const FileRegistry&) = delete;
    FileRegistry& operator=(const FileRegistry&) = delete;

    const QString& storeFilePath() const { return m_path; }

    bool keyExists(const QString& key) const override;
    std::optional<RegistryValue> readValue(const QString& key, const QString& name) const override;
    QStringList valueNames(const QString& key) const override;
    bool createKey(const QString& key) override;
    bool writeValue(const QString& key, const QString& name, const RegistryValue& value) override;
    bool deleteKey(const QString& key) override;
    // One read, one change and one write of the file, however many values there are.
    bool replaceValues(const QString& key,
                       const QList<std::pair<QString, RegistryValue>>& values) override;

    // Files larger than this are not read (they are treated as damaged and backed up on write).
    static constexpr qint64 MaxStoreSize = 16 * 1024 * 1024;

    struct Contents; // the parsed file, private to the implementation
    struct Snapshot; // the file as last read or written

private:
    // The store as the file holds it now; verify: compare the bytes even when the file looks
    // unchanged (before a write).
    Contents& current(bool verify) const;
    // Reads the file, applies change (which returns false when it changed nothing) and writes
    // the file back. False when the store cannot be written.
    bool modify(const std::function<bool(Contents&)>& change);

    QString m_path;
    mutable std::unique_ptr<Snapshot> m_snapshot;
};

} // namespace platform
