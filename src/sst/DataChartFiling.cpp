#include "sst/DataChartFiling.h"

#include "archive/ChartIntake.h"
#include "gif/GIFImage.h"
#include "platform/FileSystem.h"

#include <QCoreApplication>
#include <QDir>
#include <QSaveFile>
#include <QTemporaryDir>

namespace sst {

namespace {

QString tr(const char* text) {
    return QCoreApplication::translate("sst", text);
}

// "yyyy-MM-dd-HH" leads every time stamp of a chart made from data.
constexpr qsizetype DateAndHourLength = 13;

} // namespace

std::optional<geo::ScaleRange> previousScaleRange(const platform::FileSystem& fileSystem,
                                                  const QString& archiveFolder,
                                                  const QString& timestamp) {
    if (timestamp.size() <= DateAndHourLength) return std::nullopt;
    const QString sourceAndArea = timestamp.mid(DateAndHourLength); // "-mur-ne01"
    const QString ownName = timestamp + QStringLiteral(".gif");
    const platform::FileEntry* latest = nullptr;
    const QList<platform::FileEntry> entries =
        fileSystem.entries(archiveFolder, {u'*' + sourceAndArea + QStringLiteral(".gif")});
    for (const platform::FileEntry& entry : entries) {
        if (entry.isFolder || entry.name.compare(ownName, Qt::CaseInsensitive) >= 0) continue;
        if (!latest || entry.name.compare(latest->name, Qt::CaseInsensitive) > 0) latest = &entry;
    }
    if (!latest) return std::nullopt;
    try {
        TGIFImage image;
        image.LoadFromFile(latest->path);
        const geo::ChartMetadata metadata =
            geo::readChartMetadata(gif::firstFrameCommentTexts(image));
        if (!metadata.hasRange) return std::nullopt;
        return geo::ScaleRange{metadata.scaleMin, metadata.scaleMax};
    } catch (const std::exception&) {
        return std::nullopt; // an unreadable chart gives no range to keep
    }
}

std::optional<QString> fileDataChart(platform::FileSystem& fileSystem, const QByteArray& gifBytes,
                                     const QString& timestamp, const QString& archiveFolder,
                                     QString* error) {
    const auto failWith = [&](const QString& message) -> std::optional<QString> {
        if (error) *error = message;
        return std::nullopt;
    };
    if (!archive::isArchiveName(timestamp))
        return failWith(tr("The chart has no time stamp to file it under."));
    const QTemporaryDir staging;
    if (!staging.isValid()) return failWith(tr("No temporary folder to write the chart in."));
    const QString chartPath = staging.filePath(timestamp + QStringLiteral(".gif"));
    QSaveFile file(chartPath);
    if (!file.open(QIODevice::WriteOnly) || file.write(gifBytes) != gifBytes.size() ||
        !file.commit())
        return failWith(tr("The chart could not be written."));
    const std::optional<QString> filed =
        archive::archiveIntake(fileSystem, QDir::toNativeSeparators(chartPath), timestamp,
                               archiveFolder, archive::ChartPicture::Whole);
    if (!filed) return failWith(tr("The chart could not be filed in %1.").arg(archiveFolder));
    return filed;
}

} // namespace sst
