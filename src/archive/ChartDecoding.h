#pragma once
// Decoding several charts at once for flipping: each on a core of its own, the results in the
// order asked, the first failure in that order named.

#include "geo/PixelTemperatures.h"

#include <QImage>
#include <QList>
#include <QString>
#include <QStringList>

#include <functional>
#include <memory>
#include <optional>

class TGIFImage;

namespace archive {

struct DecodedChart {
    QString path;
    QImage bitmap;        // null when the chart decodes to no picture
    QStringList comments; // the first frame's comment texts
    std::shared_ptr<const geo::PixelTemperatures> temperatures; // null: colours only
};

struct ChartDecoding {
    // The charts before the first failure, in the order of the paths; all of them when none
    // failed.
    QList<DecodedChart> charts;
    // The first path, in the order given, that did not decode, with the decoder's message.
    std::optional<QString> failedPath;
    QString failure;
    bool cancelled = false; // the progress callback asked to stop; charts holds what was done
};

// Called on the calling thread as charts finish: (charts done, charts in all). Returning false
// stops the work: nothing more is started and what runs is waited for.
using DecodingProgress = std::function<bool(int done, int total)>;

// Loads the chart file at path into chart, like TGIFImage::LoadFromFile (throws GIFException
// the same way), and answers the decoder's warnings in the order they came. A file whose first
// image has no image data holds no chart: that too throws, so that nothing opens or files it.
QStringList loadChartFile(TGIFImage& chart, const QString& path);

// Whether the decode of chart, which gave these warnings (loadChartFile), left pixels of the
// picture unset, so that they show the fill colour instead of the chart: its image data ended
// early ("Premature end of data", "Decoder bit buffer under-run", or no word at all when a file
// stops right at a sub-block's end), or it has no image data at all, as in a download that
// stopped part-way.
bool leavesPixelsUnset(const TGIFImage& chart, const QStringList& warnings);

// The water's own values a chart made from data carries in its application extension
// "THALWISE" "SST"; null for a chart of colours only and for values that do not decode (the
// chart then reads by its colours).
std::shared_ptr<const geo::PixelTemperatures> chartPixelTemperatures(const TGIFImage& chart);

// Decodes the GIF charts at paths on up to threads worker threads (0: one per core).
ChartDecoding decodeCharts(const QStringList& paths, const DecodingProgress& progress = {},
                           int threads = 0);

} // namespace archive
