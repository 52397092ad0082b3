#pragma once
// A file that a library writes by name (libtiff, SQLite, libzip), written atomically: the
// library writes a temporary file beside the target, which replaces the target only once it is
// complete. A failed or abandoned export leaves the target as it was.

#include <QString>
#include <QTemporaryFile>

namespace exports {

class TemporaryOutput {
public:
    explicit TemporaryOutput(const QString& target);
    TemporaryOutput(const TemporaryOutput&) = delete;
    TemporaryOutput& operator=(const TemporaryOutput&) = delete;

    // Whether the temporary file could be made; *error says why not.
    bool open(QString* error);
    // The temporary file's path, for the library to write (it exists, empty, after open).
    QString path() const { return m_file.fileName(); }
    // Moves the finished temporary file over the target, with the permissions a new file gets.
    bool commit(QString* error);

private:
    QString m_target;
    QTemporaryFile m_file;
};

} // namespace exports
