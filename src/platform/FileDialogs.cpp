#include "platform/FileDialogs.h"

namespace platform {

QStringList nameFiltersFromPairs(const QString& pairs) {
    QStringList filters;
    const QStringList parts = pairs.split(QLatin1Char('|'));
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        const QString description = parts[i].trimmed();
        QStringList masks;
        for (const QString& mask : parts[i + 1].split(QLatin1Char(';'), Qt::SkipEmptyParts)) {
            // On Windows "*.*" matches every file, also those without a dot.
            const QString trimmed = mask.trimmed();
            masks.append(trimmed == QLatin1String("*.*") ? QStringLiteral("*") : trimmed);
        }
        masks.removeAll(QString());
        if (masks.isEmpty()) continue;
        const QString joined = masks.join(QLatin1Char(' '));
        filters.append((description.isEmpty() ? joined : description) + QStringLiteral(" (") +
                       joined + QLatin1Char(')'));
    }
    return filters;
}

} // namespace platform
