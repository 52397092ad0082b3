#pragma once
#include "geo/ChartMetadata.h"
#include "geo/PixelTemperatures.h"

#include <QCollator>
#include <QImage>
#include <QList>
#include <QString>
#include <QStringList>

#include <memory>

// One decoded chart the window can show, keyed by its file path; the entry owns its bitmap.
struct ChartImage {
    QString path;
    QImage bitmap;
    // The first frame's comment texts: the chart's own range and time stamp.
    QStringList comments;
    // What they say, read once when the chart is listed (°F, the user's decimal separator).
    geo::ChartMetadata metadata;
    // The water's own values a chart made from data carries; null for a chart of colours only.
    std::shared_ptr<const geo::PixelTemperatures> temperatures;
};

namespace archive {

// The charts the window holds, kept in the order the user's locale sorts their paths ignoring
// letter case (archive names are time stamps, so this is the order of time). A path that sorts
// equal to one listed already is ignored. Removing or clearing entries releases their bitmaps.
class ChartImageList {
public:
    ChartImageList();

    // Files the chart in its sorted place with its comments read and the values it carries;
    // its index, or -1 when the path is listed already (the list is then unchanged).
    int add(const QString& path, const QImage& bitmap, const QStringList& comments = {},
            std::shared_ptr<const geo::PixelTemperatures> temperatures = nullptr);
    // The index of a path (compared as the order compares), or -1.
    int indexOf(const QString& path) const;
    void removeAt(int index);
    void clear() { m_entries.clear(); }

    int size() const { return int(m_entries.size()); }
    bool isEmpty() const { return m_entries.isEmpty(); }
    const ChartImage& at(int index) const { return m_entries.at(index); }
    const ChartImage& operator[](int index) const { return m_entries.at(index); }
    QList<ChartImage>::const_iterator begin() const { return m_entries.cbegin(); }
    QList<ChartImage>::const_iterator end() const { return m_entries.cend(); }

private:
    // Position of the first entry not sorting before path.
    int lowerBound(const QString& path) const;

    QCollator m_collator;
    QList<ChartImage> m_entries;
};

} // namespace archive
