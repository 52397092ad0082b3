#pragma once
#include <QPoint>
#include <QRect>
#include <QSize>
#include <QString>

class QImage;

namespace platform {

enum class PageOrientation { Portrait, Landscape };

// The page of the printer in device pixels, as a printer's device capabilities give it: the
// whole sheet, and the printable area with its offset from the sheet's top-left corner. Every
// position passed to a job is relative to the printable area's top-left corner.
struct PageMetrics {
    QSize sheet;     // PHYSICALWIDTH, PHYSICALHEIGHT
    QRect printable; // PHYSICALOFFSETX/Y and HORZRES, VERTRES, inside the sheet
    int dpiX = 0;    // LOGPIXELSX
    int dpiY = 0;    // LOGPIXELSY
    // The screen's size in pixels (its HORZRES, VERTRES): the largest picture the printing
    // engine hands to drawImage in one call. Not turned with the page.
    QSize screen;
    // The printer takes pictures of more than 64 KiB in one call (RASTERCAPS has RC_BITMAP64).
    bool largeBitmaps = true;

    bool operator==(const PageMetrics&) const = default;
};

// A font for text lines. When the family is missing and fixedPitchFallback is set, the
// printer's font is only switched to a fixed-pitch one.
struct PrintFont {
    QString family;
    int pointSize = 10;
    bool fixedPitchFallback = false;

    bool operator==(const PrintFont&) const = default;
};

struct TextMetrics {
    int lineHeight = 0;           // device pixels from one line's top to the next
    bool familyAvailable = false; // the requested family itself is used
};

// One printed document. Calls other than begin fail (return false, draw nothing) outside
// begin .. end; nothing throws and nothing is shown to the user.
class PrintJob {
public:
    virtual ~PrintJob() = default;
    // Starts the document with the job title on fresh pages of that orientation. False when
    // the printer (or the output file) cannot be opened.
    virtual bool begin(const QString& title, PageOrientation orientation) = 0;
    // The page as the job prints it (after begin: in its orientation).
    virtual PageMetrics pageMetrics() const = 0;
    // Draws image stretched into target (device pixels), nearest neighbour.
    virtual bool drawImage(const QRect& target, const QImage& image) = 0;
    // The metrics of font on this printer.
    virtual TextMetrics textMetrics(const PrintFont& font) const = 0;
    // The width of a line in font on this printer, device pixels.
    virtual int textWidth(const QString& line, const PrintFont& font) const = 0;
    // Draws one line of text with its top-left corner at topLeft (device pixels).
    virtual bool drawText(const QPoint& topLeft, const QString& line, const PrintFont& font) = 0;
    // Ends the page and starts the next one.
    virtual bool newPage() = 0;
    // Ends the document and sends it. False when it could not be completed.
    virtual bool end() = 0;
    // Gives the document up; as much of it as the printer already took may still come out.
    virtual void abort() = 0;
};

} // namespace platform
