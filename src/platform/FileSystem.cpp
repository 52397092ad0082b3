#include "platform/FileSystem.h"

#include <QDir>
#include <QFileInfo>

namespace platform {

namespace {

bool sameCharacter(QChar a, QChar b) {
    return a == b || a.toCaseFolded() == b.toCaseFolded();
}

} // namespace

bool FileSystem::sameFile(const QString& a, const QString& b) const {
    if (a.isEmpty() || b.isEmpty() || !exists(a)) return false;
    const auto cleaned = [](const QString& path) {
        return QDir::cleanPath(QFileInfo(QDir::fromNativeSeparators(path)).absoluteFilePath());
    };
    return cleaned(a) == cleaned(b);
}

TrashOutcome FileSystem::trashFile(const QString&) {
    return {std::nullopt, TrashRefusal::NoTrash};
}

bool matchesFileMask(const QString& name, const QString& mask) {
    if (mask.isEmpty()) return false;
    // Quirk "star-dot-star": the enumeration treats "*.*" as "every name", dot or not.
    if (mask == QLatin1String("*.*")) return true;
    // Greedy wildcard walk with one backtrack point: the last "*" seen and where it started.
    qsizetype n = 0, m = 0;
    qsizetype starMask = -1, starName = 0;
    while (n < name.size()) {
        if (m < mask.size() && mask[m] == QLatin1Char('*')) {
            starMask = m++;
            starName = n;
        } else if (m < mask.size() &&
                   (mask[m] == QLatin1Char('?') || sameCharacter(mask[m], name[n]))) {
            ++m;
            ++n;
        } else if (starMask >= 0) {
            m = starMask + 1;
            n = ++starName;
        } else {
            return false;
        }
    }
    while (m < mask.size() && mask[m] == QLatin1Char('*'))
        ++m;
    return m == mask.size();
}

bool matchesAnyFileMask(const QString& name, const QStringList& masks) {
    for (const QString& mask : masks)
        if (matchesFileMask(name, mask)) return true;
    return false;
}

} // namespace platform
