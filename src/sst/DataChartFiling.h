#pragma once
// Charts made from data in the chart archive: the range of the previous chart of an area and
// source, and filing a new chart through the same intake as a chart the user opens.

#include "geo/ChartMetadata.h"

#include <QByteArray>
#include <QString>

#include <optional>

namespace platform {
class FileSystem;
}

namespace sst {

// TMIN and TMAX of the latest chart in the archive folder made from the same source for the
// same area before the chart with this time stamp (dataChartTimestamp): the archived charts
// named "*" + source and area + ".gif" whose names sort before this one's. Nothing when there is
// none, or the latest has no readable range.
std::optional<geo::ScaleRange> previousScaleRange(const platform::FileSystem& fileSystem,
                                                  const QString& archiveFolder,
                                                  const QString& timestamp);

// Files a chart's GIF bytes under its time stamp: written to a file of its own outside the
// archive, then taken in by archive intake, so it lands as archive folder + TIMESTAMP + ".gif"
// with the chart's date and hour as its time, as an opened chart would. The archive copy's path;
// nothing, with *error, when the chart has no time stamp or cannot be written or filed.
std::optional<QString> fileDataChart(platform::FileSystem& fileSystem, const QByteArray& gifBytes,
                                     const QString& timestamp, const QString& archiveFolder,
                                     QString* error = nullptr);

} // namespace sst
