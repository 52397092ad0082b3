#include "printing/BitmapPage.h"

#include "printing/PrnDib.h"

#include <QCoreApplication>
#include <QImage>

namespace printing {

platform::PageOrientation bitmapOrientation(QSize bitmap) {
    return bitmap.width() >= bitmap.height() ? platform::PageOrientation::Landscape
                                             : platform::PageOrientation::Portrait;
}

} // namespace printing

namespace {

// The part of bitmap that is printed, one pixel for one pixel in the bitmap's format and
// palette; a null image when there is nothing to print.
QImage printedPart(const QImage& bitmap, const std::optional<QRect>& selection) {
    const QRect rect = selection ? selection->intersected(bitmap.rect()) : bitmap.rect();
    if (bitmap.isNull() || rect.isEmpty()) return {};
    return selection ? bitmap.copy(rect) : bitmap;
}

} // namespace

namespace {

// Where the picture and its caption go on the job's page; nothing without a page to print on.
std::optional<printing::PagePlacement> placeOnPage(platform::PrintJob& job, QSize picture,
                                                   const printing::PageOptions& options,
                                                   QRect* caption) {
    using namespace printing;
    const std::optional<PageArea> measured = measurePage(job.pageMetrics());
    if (!measured) return std::nullopt;
    const int space =
        options.caption ? captionHeight(job.textMetrics(options.captionFont).lineHeight) : 0;
    const CaptionedPlacement placed = placeWithCaption(picture, measured->area.size(), space);
    *caption = placed.caption.translated(measured->area.topLeft());
    PagePlacement placement;
    placement.page = *measured;
    placement.image = placed.picture;
    placement.bands = 1;
    return placement;
}

// The caption in its place, when there is one; false when the job refused it.
bool drawPlacedCaption(platform::PrintJob& job, const QRect& rect,
                       const printing::PageOptions& options) {
    return !options.caption || rect.isEmpty() ||
           printing::drawCaption(job, rect, *options.caption, options.captionFont);
}

} // namespace

printing::PageJobResult PrintBitmapPage(platform::PrintJob& job, const QImage& bitmap,
                                        const std::optional<QRect>& selection,
                                        const printing::PercentCallback& progress,
                                        const printing::PageOptions& options) {
    using namespace printing;
    PageJobResult result;
    const QImage printed = printedPart(bitmap, selection);
    if (printed.isNull()) return result;
    // Made in either way of printing: a picture too small to print is refused before a page.
    const std::optional<PackedDib> dib = LoadDibFromBitmap(printed);
    if (!dib) {
        result.status = PageJobStatus::BitmapLoadError;
        result.message = QCoreApplication::translate("BitmapPage", message::BitmapLoadError);
        return result;
    }
    result.orientation = bitmapOrientation(printed.size());
    if (!job.begin(options.title.isEmpty() ? QString::fromLatin1(BitmapJobTitle) : options.title,
                   result.orientation)) {
        result.status = PageJobStatus::NotStarted;
        return result;
    }
    QRect caption;
    const std::optional<PagePlacement> placed = placeOnPage(job, printed.size(), options, &caption);
    if (!placed) {
        result.engineResult = DibPrintResult::InvalidArguments;
    } else {
        result.placement = *placed;
        const PageArea& page = placed->page;
        const QRect target = placed->image.translated(page.area.topLeft());
        if (options.wholePicture) {
            result.engineResult = job.drawImage(target, printed) ? DibPrintResult::Printed
                                                                 : DibPrintResult::BandFailed;
            if (progress) progress(100);
        } else {
            const std::optional<DibHeaderMetrics> metrics = dibHeaderMetrics(dib->header);
            result.placement.bands =
                int(planBands(target & page.area, bandSize(job.pageMetrics(), metrics->bitCount))
                        .size());
            result.engineResult =
                PrintDibRect(job, target, QRect(QPoint(0, 0), printed.size()), dib->header,
                             dib->pixels, page.area, [&progress](int band, int bands) {
                                 if (progress) progress(band * 100 / bands);
                                 return true;
                             });
        }
        if (result.engineResult == DibPrintResult::Printed &&
            !drawPlacedCaption(job, caption, options))
            result.engineResult = DibPrintResult::BandFailed;
    }
    const bool ended = job.end();
    result.status = result.engineResult == DibPrintResult::Printed && ended
                        ? PageJobStatus::Printed
                        : PageJobStatus::Incomplete;
    return result;
}

printing::PageJobResult PreviewBitmapPage(platform::PrintJob& job, const QImage& bitmap,
                                          const std::optional<QRect>& selection,
                                          const printing::PageOptions& options) {
    using namespace printing;
    PageJobResult result;
    const QImage printed = printedPart(bitmap, selection);
    if (printed.isNull()) return result;
    result.orientation = bitmapOrientation(printed.size());
    if (!job.begin(options.title.isEmpty() ? QString::fromLatin1(BitmapJobTitle) : options.title,
                   result.orientation)) {
        result.status = PageJobStatus::NotStarted;
        return result;
    }
    QRect caption;
    const std::optional<PagePlacement> placed = placeOnPage(job, printed.size(), options, &caption);
    bool drawn = false;
    if (placed) {
        result.placement = *placed;
        drawn = job.drawImage(placed->image.translated(placed->page.area.topLeft()), printed) &&
                drawPlacedCaption(job, caption, options);
    }
    result.engineResult = drawn ? DibPrintResult::Printed : DibPrintResult::InvalidArguments;
    const bool ended = job.end();
    result.status = drawn && ended ? PageJobStatus::Printed : PageJobStatus::Incomplete;
    return result;
}
