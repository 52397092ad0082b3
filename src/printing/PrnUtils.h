#pragma once
// Putting a packed DIB on the printed page: the page measured with an even margin, the image
// fitted and centred in it, and the target cut into bands no larger than the screen, each
// scaled nearest-neighbour from the source rows and drawn on its own, so that a printer never
// receives the whole page as one picture and the user sees progress.

#include "platform/PrintJob.h"

#include <QByteArray>
#include <QList>
#include <QRect>
#include <QSize>

#include <functional>
#include <optional>

namespace printing {

// The engine's result codes.
enum class DibPrintResult : int {
    Printed = 1,
    NothingVisible = 0,    // the target misses the clip rectangle
    InvalidArguments = -1, // or an invalid image
    OutOfMemory = -2,      //
    UnreadableImage = -3,  // a header that cannot be copied, or pixels that cannot be expanded
    BandFailed = -5,       // a band could not be drawn, or the progress callback said stop
};

// Called while bands are rendered: band number from 1 in print order, and the band count.
// False stops the print.
using ProgressCallback = std::function<bool(int bandNumber, int bandCount)>;

// The page in device pixels, from the printer's capabilities, with the evenly-margined area.
struct PageArea {
    int offsetLeft = 0; // of the printable area from the sheet's edges
    int offsetTop = 0;
    int marginRight = 0; // unprintable edge on the right: sheet - printable - offset
    int marginBottom = 0;
    QSize sheet;        // the printable size where the device reports 0
    QSize printable;    // HORZRES, VERTRES
    int evenMargin = 0; // the largest of the four edges, used on all four sides
    QRect area;         // the evenly-margined area, in the printable area's coordinates
    int dpiX = 0;
    int dpiY = 0;
};

// The page's area; nothing when the printable area or the evenly-margined area is empty.
std::optional<PageArea> measurePage(const platform::PageMetrics& page);

// Where an image of that size goes in an area of that size (in the area's coordinates): as
// large as it fits without distortion, centred across the free direction. A tie takes the
// full height. Empty for an empty image or area.
QRect fitImage(QSize image, QSize area);

// The largest band: the screen's size, or without large-bitmap support the screen's width and
// as many rows of bitCount bits as fit in 65503 bytes. An empty size when no band can be
// formed.
QSize bandSize(const platform::PageMetrics& page, int bitCount);

// The bands covering visible: rows of the band's height top to bottom, each cut into columns of
// its width left to right; the last row and column are cut to visible.
QList<QRect> planBands(const QRect& visible, QSize band);

// Where PrintDibOnPage put the image.
struct PagePlacement {
    PageArea page;
    QRect image; // in the evenly-margined area's coordinates
    int bands = 0;
};

} // namespace printing

// Prints the source rectangle of a packed DIB (in image pixels, top-left origin) stretched into
// target (device pixels, in the printable area's coordinates), drawing only what falls inside
// clip, in bands. Each band pixel takes the source pixel under it, by truncation. The progress
// callback runs after band rows 0, 64, 128, ... and after each band. A band the device refuses
// is sent again as a device-format picture, and so is every band after it.
printing::DibPrintResult PrintDibRect(platform::PrintJob& device, const QRect& target,
                                      const QRect& source, const QByteArray& header,
                                      const QByteArray& pixels, const QRect& clip,
                                      const printing::ProgressCallback& progress = {});

// Prints the whole DIB on the job's page, fitted and centred in the evenly-margined area.
// InvalidArguments for an invalid header or page; placement, when given, receives the layout.
printing::DibPrintResult PrintDibOnPage(platform::PrintJob& device, const QByteArray& header,
                                        const QByteArray& pixels,
                                        const printing::ProgressCallback& progress = {},
                                        printing::PagePlacement* placement = nullptr);
