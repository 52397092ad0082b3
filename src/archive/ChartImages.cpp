#include "archive/ChartImages.h"

#include <algorithm>

namespace archive {

ChartImageList::ChartImageList() {
    m_collator.setCaseSensitivity(Qt::CaseInsensitive);
    // Digits compare as numbers would make "2026-12-9" sort after "2026-12-10"; time stamps are
    // zero-padded, and plain character order is what the user's file lists show.
    m_collator.setNumericMode(false);
}

int ChartImageList::lowerBound(const QString& path) const {
    const auto at = std::lower_bound(
        m_entries.cbegin(), m_entries.cend(), path,
        [this](const ChartImage& entry, const QString& p) { return m_collator(entry.path, p); });
    return int(at - m_entries.cbegin());
}

int ChartImageList::indexOf(const QString& path) const {
    const int i = lowerBound(path);
    return i < size() && m_collator.compare(m_entries.at(i).path, path) == 0 ? i : -1;
}

int ChartImageList::add(const QString& path, const QImage& bitmap, const QStringList& comments,
                        std::shared_ptr<const geo::PixelTemperatures> temperatures) {
    const int i = lowerBound(path);
    if (i < size() && m_collator.compare(m_entries.at(i).path, path) == 0) return -1;
    m_entries.insert(i, ChartImage{path, bitmap, comments, geo::readChartMetadata(comments),
                                   std::move(temperatures)});
    return i;
}

void ChartImageList::removeAt(int index) {
    if (index >= 0 && index < size()) m_entries.removeAt(index);
}

} // namespace archive
