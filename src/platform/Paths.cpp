#include "platform/Paths.h"

#include <QDir>

#include <algorithm>

namespace platform {

namespace {

bool isSeparator(QChar c) {
    return c == QLatin1Char('/') || c == QLatin1Char('\\');
}

} // namespace

QString appendFolderPath(const QString& folder, const QString& backslashPath) {
    QString head = folder;
    while (head.size() > 1 && isSeparator(head.back()))
        head.chop(1);
    QString tail = backslashPath;
    tail.replace(QLatin1Char('\\'), QLatin1Char('/'));
    while (tail.startsWith(QLatin1Char('/')))
        tail.remove(0, 1);
    if (head.isEmpty()) return QDir::toNativeSeparators(tail);
    const bool headEndsInSeparator = isSeparator(head.back()); // a root such as "/"
    return QDir::toNativeSeparators(headEndsInSeparator ? head + tail
                                                        : head + QLatin1Char('/') + tail);
}

QString executableBaseName(const QString& executablePath) {
    QString name = executablePath;
    const qsizetype slash =
        std::max(name.lastIndexOf(QLatin1Char('/')), name.lastIndexOf(QLatin1Char('\\')));
    name = name.mid(slash + 1);
    const qsizetype dot = name.lastIndexOf(QLatin1Char('.'));
    return dot > 0 ? name.left(dot) : name;
}

QString withTrailingSeparator(const QString& folder) {
    const QString native = QDir::toNativeSeparators(folder);
    // An empty folder stays empty: it means "no folder chosen", and a lone separator would
    // name the root instead.
    if (native.isEmpty() || native.endsWith(QDir::separator())) return native;
    return native + QDir::separator();
}

} // namespace platform
