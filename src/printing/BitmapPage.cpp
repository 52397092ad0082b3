#include "printing/BitmapPage.h"

#include "printing/PrnDib.h"

#include <QImage>

namespace printing {

platform::PageOrientation bitmapOrientation(QSize bitmap) {
    return bitmap.width() >= bitmap.height() ? platform::PageOrientation::Landscape
                                             : platform::PageOrientation::Portrait;
}

} // namespace printing

printing::PageJobResult PrintBitmapPage(platform::PrintJob& job, const QImage& bitmap,
                                        const std::optional<QRect>& selection,
                                        const printing::PercentCallback& progress) {
    using namespace printing;
    PageJobResult result;
    const QRect rect = selection ? selection->intersected(bitmap.rect()) : bitmap.rect();
    if (bitmap.isNull() || rect.isEmpty()) return result;
    // The selected rectangle, one pixel for one pixel, in the bitmap's format and palette.
    const QImage printed = selection ? bitmap.copy(rect) : bitmap;
    const std::optional<PackedDib> dib = LoadDibFromBitmap(printed);
    if (!dib) {
        result.status = PageJobStatus::BitmapLoadError;
        result.message = QString::fromLatin1(message::BitmapLoadError);
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
