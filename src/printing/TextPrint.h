#pragma once
// Plain text on the printer, one line after the other, as a line printer would: a new page when
// the next line does not fit below the last.

#include "platform/PrintJob.h"

#include <QString>
#include <QStringList>

namespace printing {

enum class TextPrintResult {
    Printed,    // every line went out and the document was ended
    NotStarted, // the printer (or the output file) could not be opened; nothing went out
    Incomplete, // a line or a page failed; the document was ended with what it had
};

// The smallest size a line is shrunk to so that it fits the page's width.
constexpr int MinimumTextPointSize = 6;

// Prints lines top to bottom in font, from the printable area's top-left corner, on portrait
// pages. A line is never cut at the right edge while a smaller size helps: when the widest line
// is wider than the printable area the whole listing is printed smaller, one point at a time,
// down to MinimumTextPointSize. The document is ended in every case once it has begun.
TextPrintResult printTextLines(platform::PrintJob& job, const QString& title,
                               const QStringList& lines, platform::PrintFont font);

} // namespace printing
