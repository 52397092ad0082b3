#pragma once
// The page job of the print dialog: one bitmap, or a rectangle of it, on one printed page,
// fitted and centred with even margins, in bands with progress. No widgets: the dialog turns
// the result into its message and its progress bar.

#include "platform/PrintJob.h"
#include "printing/ChartCaption.h"
#include "printing/PrnUtils.h"

#include <QRect>
#include <QString>

#include <functional>
#include <optional>

class QImage;

namespace printing {

// The document name the print queue shows and a PDF file keeps as its title: the same in every
// language, like the names of the program's files.
inline constexpr char BitmapJobTitle[] = "Pelagon image";

namespace message {
// A source text, shown through QCoreApplication::translate("BitmapPage", ...).
inline constexpr char BitmapLoadError[] =
    QT_TRANSLATE_NOOP("BitmapPage", "Bitmap load error while printing");
} // namespace message

enum class PageJobStatus {
    Printed,         // every band went out and the document was ended
    NothingToPrint,  // an empty bitmap or selection: no document, no message
    BitmapLoadError, // the bitmap could not be made a DIB: no document; show message
    NotStarted,      // the printer (or the output file) could not be opened
    Incomplete,      // the engine stopped (see engineResult); the page was ended as drawn
};

struct PageJobResult {
    PageJobStatus status = PageJobStatus::NothingToPrint;
    DibPrintResult engineResult = DibPrintResult::NothingVisible; // once the document began
    platform::PageOrientation orientation = platform::PageOrientation::Portrait;
    PagePlacement placement; // once the document began
    QString message;         // for the user, or empty: message::BitmapLoadError
};

// Receives band number x 100 div band count, 0 to 100, as the bands go out.
using PercentCallback = std::function<void(int percent)>;

// How the page is made beyond the picture.
struct PageOptions {
    // Printed under the picture, which then fits in what the caption leaves of the page.
    std::optional<ChartCaption> caption;
    platform::PrintFont captionFont{QStringLiteral("Sans Serif"), 9, false};
    // The picture goes to the job once, at its own pixels, stretched by the job without
    // smoothing: for a PDF file, which keeps what it is sent and scales it when shown. Otherwise
    // it goes in bands at the printer's resolution, as a printer takes it.
    bool wholePicture = false;
    // The document's title, a PDF file's title among others; empty: BitmapJobTitle.
    QString title;
};

// Landscape when the bitmap is at least as wide as it is high (a square prints landscape).
platform::PageOrientation bitmapOrientation(QSize bitmap);

} // namespace printing

// Prints bitmap, or the selection of it (picture pixels; cut to the bitmap) when there is one,
// as one document of one page titled "Pelagon image" on job, in the orientation of the printed
// bitmap's shape, with the caption of the options under it. The document is ended whatever the
// engine's result.
printing::PageJobResult PrintBitmapPage(platform::PrintJob& job, const QImage& bitmap,
                                        const std::optional<QRect>& selection = std::nullopt,
                                        const printing::PercentCallback& progress = {},
                                        const printing::PageOptions& options = {});

// The page PrintBitmapPage prints, for a preview: the same document, orientation and place of
// the picture, which is sent whole in one call. A preview keeps everything it is sent, and a
// page in bands at printer resolution would take hundreds of megabytes; bands drawn scaled
// down would also show their seams.
printing::PageJobResult PreviewBitmapPage(platform::PrintJob& job, const QImage& bitmap,
                                          const std::optional<QRect>& selection = std::nullopt,
                                          const printing::PageOptions& options = {});
