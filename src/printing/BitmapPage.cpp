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

printing::PageJobResult PrintBitmapPage(platform::PrintJob& job, const QImage& bitmap,
                                        const std::optional<QRect>& selection,
                                        const printing::PercentCallback& progress) {
    using namespace printing;
    PageJobResult result;
    const QImage printed = printedPart(bitmap, selection);
    if (printed.isNull()) return result;
    const std::optional<PackedDib> dib = LoadDibFromBitmap(printed);
    if (!dib) {
        result.status = PageJobStatus::BitmapLoadError;
        result.message = QCoreApplication::translate("BitmapPage", message::BitmapLoadError);
        return result;
    }
    result.orientation = bitmapOrientation(printed.size());
    if (!job.begin(QString::fromLatin1(BitmapJobTitle), result.orientation)) {
        result.status = PageJobStatus::NotStarted;
        return result;
    }
    result.engineResult = PrintDibOnPage(
        job, dib->header, dib->pixels,
        [&progress](int band, int bands) {
            if (progress) progress(band * 100 / bands);
            return true;
        },
        &result.placement);
    const bool ended = job.end();
    result.status = result.engineResult == DibPrintResult::Printed && ended
                        ? PageJobStatus::Printed
                        : PageJobStatus::Incomplete;
    return result;
}

printing::PageJobResult PreviewBitmapPage(platform::PrintJob& job, const QImage& bitmap,
                                          const std::optional<QRect>& selection) {
    using namespace printing;
    PageJobResult result;
    const QImage printed = printedPart(bitmap, selection);
    if (printed.isNull()) return result;
    result.orientation = bitmapOrientation(printed.size());
    if (!job.begin(QString::fromLatin1(BitmapJobTitle), result.orientation)) {
        result.status = PageJobStatus::NotStarted;
        return result;
    }
    const std::optional<PageArea> measured = measurePage(job.pageMetrics());
    bool drawn = false;
    if (measured) {
        result.placement.page = *measured;
        result.placement.image = fitImage(printed.size(), measured->area.size());
        result.placement.bands = 1;
        drawn = job.drawImage(result.placement.image.translated(measured->area.topLeft()),
                              printed);
    }
    result.engineResult = drawn ? DibPrintResult::Printed : DibPrintResult::InvalidArguments;
    const bool ended = job.end();
    result.status = drawn && ended ? PageJobStatus::Printed : PageJobStatus::Incomplete;
    return result;
}
