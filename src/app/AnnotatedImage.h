#pragma once
// Saving the picture on screen: the chart with its annotations and markers, as a GIF that keeps
// the chart's own colours (or as a PNG), and the rules for which file names Save As accepts.

#include <QImage>
#include <QString>
#include <QStringList>

#include <cstdint>
#include <vector>

namespace app {

// A composed picture as palette indices: the chart's colour table, with the overlay colours
// added in free entries, and one index per pixel, top row first.
struct PalettedPicture {
    QList<QRgb> colourTable; // opaque, up to the highest index in use (1 to 256 entries)
    std::vector<std::uint8_t> indices;
};

// Maps composed (the display picture) onto the chart's palette. chartBitmap is the chart as
// decoded: its colour table is kept entry for entry (duplicates included), and a pixel whose
// composed colour is the chart's own colour there keeps the chart's index. Any other colour
// takes an entry that holds it exactly, else a free entry (one no chart pixel uses, or one
// beyond the chart's table), else the nearest entry (squared RGB distance, lowest index on a
// tie). A chart that is not indexed gives its colours as the table, in the order first met, up
// to 256. Alpha is ignored. An empty composed picture gives an empty result.
PalettedPicture palettedPicture(const QImage& composed, const QImage& chartBitmap);

// The lines of a chart's comment that set the colour scale and the variation, "TMIN=...",
// "TMAX=...", "VARIATION=..." with their values as written, from the last comment that carries
// a well-formed range (the one the chart reader applies). Never the time stamp, so that a saved
// picture opens with the chart's scale but is not taken for a chart. Empty without a range.
QStringList scaleMetadataLines(const QStringList& commentTexts);

// The comment line that marks a picture written by Save As (its marks drawn in), beside TMIN,
// TMAX and VARIATION.
inline const QString AnnotatedPictureMark = QStringLiteral("ANNOTATED=1");

// Whether a file's comment texts carry that mark: the picture is no chart of its own, and the
// area's lines and texts are not drawn over it again.
bool isAnnotatedPicture(const QStringList& commentTexts);

// Writes the composed picture to path, atomically: a name ending in ".png" (any letter case)
// gives a PNG of composed as it is with the lines below in a "Comment" text chunk; any other
// name a GIF89a on the chart's palette (see palettedPicture) with them, CR LF between them, as a
// comment before the image. The lines are metadataLines followed by AnnotatedPictureMark;
// without metadata an empty "TIMESTAMP=" line comes first, as a single line would be read as a
// chart's time stamp. On failure returns false, sets *error (if given) to a one-line reason and
// leaves any existing file untouched.
bool writeAnnotatedImage(const QImage& composed, const QImage& chartBitmap,
                         const QStringList& metadataLines, const QString& path, QString* error);

// Why Save As refuses a file name: it is the chart on screen, or it lies in the chart archive
// (directly or in a folder below it), where a picture would be taken for a chart.
enum class SaveAsRefusal { None, IsShownChart, InArchiveFolder };

// Compares the paths made absolute and clean, with symbolic links resolved as far as the path
// exists (so a new file in a linked folder is judged by where it would land); letter case
// counts except on Windows and macOS. An empty shownChartPath or archiveFolder refuses nothing.
SaveAsRefusal saveAsRefusal(const QString& target, const QString& shownChartPath,
                            const QString& archiveFolder);

// The message shown for a refusal; empty for None.
QString saveAsRefusalText(SaveAsRefusal refusal);

// The name Save As proposes: saveAsName, or when that lies in the archive folder the same file
// name in the "My Pelagon Files" folder of documentsFolder (native separators).
QString saveAsProposal(const QString& saveAsName, const QString& archiveFolder,
                       const QString& documentsFolder);

} // namespace app
