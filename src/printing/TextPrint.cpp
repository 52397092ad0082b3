#include "printing/TextPrint.h"

#include <algorithm>

namespace printing {

namespace {

int widestLine(const platform::PrintJob& job, const QStringList& lines,
               const platform::PrintFont& font) {
    int widest = 0;
    for (const QString& line : lines)
        widest = std::max(widest, job.textWidth(line, font));
    return widest;
}

} // namespace

TextPrintResult printTextLines(platform::PrintJob& job, const QString& title,
                               const QStringList& lines, platform::PrintFont font) {
    if (!job.begin(title, platform::PageOrientation::Portrait)) return TextPrintResult::NotStarted;
    const QRect printable = job.pageMetrics().printable;
    // Shrink to fit, not cut: a heading or a total lost past the paper's edge is a wrong list.
    while (font.pointSize > MinimumTextPointSize &&
           widestLine(job, lines, font) > printable.width())
        --font.pointSize;
    const int lineHeight = std::max(1, job.textMetrics(font).lineHeight);

    bool complete = true;
    int top = 0;
    for (const QString& line : lines) {
        if (top > 0 && top + lineHeight > printable.height()) {
            if (!job.newPage()) {
                complete = false;
                break;
            }
            top = 0;
        }
        if (!job.drawText(QPoint(0, top), line, font)) {
            complete = false;
            break;
        }
        top += lineHeight;
    }
    const bool ended = job.end();
    return complete && ended ? TextPrintResult::Printed : TextPrintResult::Incomplete;
}

} // namespace printing
