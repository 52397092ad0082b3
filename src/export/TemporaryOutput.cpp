// Atomic output for the exporters that write through a library.
#include "export/TemporaryOutput.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

#include <filesystem>
#include <system_error>

#include <sys/stat.h>

namespace exports {

TemporaryOutput::TemporaryOutput(const QString& target)
    : m_target(target),
      m_file(QFileInfo(target).absoluteDir().filePath(
          QLatin1String(".") + QFileInfo(target).fileName() + QLatin1String(".XXXXXX"))) {}

bool TemporaryOutput::open(QString* error) {
    if (m_file.open()) {
        m_file.close(); // the library opens it by name
        return true;
    }
    if (error)
        *error = QCoreApplication::translate("exports", "Cannot write in the folder of %1: %2")
                     .arg(QDir::toNativeSeparators(m_target), m_file.errorString());
    return false;
}

bool TemporaryOutput::commit(QString* error) {
    // QTemporaryFile makes its file readable by the owner only; an export is an ordinary file.
    const mode_t mask = ::umask(0);
    ::umask(mask);
    std::error_code code;
    const std::filesystem::path from(m_file.fileName().toStdString());
    std::filesystem::permissions(from, std::filesystem::perms(0666 & ~mask),
                                 std::filesystem::perm_options::replace, code);
    std::filesystem::rename(from, std::filesystem::path(m_target.toStdString()), code);
    if (code) {
        if (error)
            *error = QCoreApplication::translate("exports", "Cannot write %1: %2")
                         .arg(QDir::toNativeSeparators(m_target),
                              QString::fromLocal8Bit(code.message()));
        return false;
    }
    m_file.setAutoRemove(false);
    return true;
}

} // namespace exports
