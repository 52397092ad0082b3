#include "platform/QtPrintJob.h"

#include <QFontDatabase>
#include <QFontMetrics>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QPrinter>
#include <QScreen>

namespace platform {

namespace {

bool familyInstalled(const QString& family) {
    return !family.isEmpty() && QFontDatabase::families().contains(family, Qt::CaseInsensitive);
}

QFont qtFont(const PrintFont& font) {
    QFont qt = !familyInstalled(font.family) && font.fixedPitchFallback
                   ? QFontDatabase::systemFont(QFontDatabase::FixedFont)
                   : QFont(font.family);
    qt.setPointSize(font.pointSize > 0 ? font.pointSize : 10);
    return qt;
}

} // namespace

QtPrintJob::QtPrintJob(QPrinter& printer) : m_printer(printer) {}

QtPrintJob::~QtPrintJob() {
    if (active()) m_painter->end();
}

bool QtPrintJob::active() const {
    return m_painter && m_painter->isActive();
}

bool QtPrintJob::begin(const QString& title, PageOrientation orientation) {
    if (active()) return false;
    m_printer.setDocName(title);
    m_printer.setPageOrientation(orientation == PageOrientation::Landscape ? QPageLayout::Landscape
                                                                           : QPageLayout::Portrait);
    m_painter = std::make_unique<QPainter>();
    if (!m_painter->begin(&m_printer)) {
        m_painter.reset();
        return false;
    }
    // Bands are sent at device size already; where one is stretched, pixels stay sharp.
    m_painter->setRenderHint(QPainter::SmoothPixmapTransform, false);
    // Colours are temperatures: a PDF keeps every pixel as it was sent, never as JPEG.
    m_painter->setRenderHint(QPainter::LosslessImageRendering, true);
    return true;
}

PageMetrics QtPrintJob::pageMetrics() const {
    const int resolution = m_printer.resolution();
    const QPageLayout layout = m_printer.pageLayout();
    PageMetrics metrics;
    metrics.sheet = layout.fullRectPixels(resolution).size();
    // The margins of the page set-up (never less than the printer's own) take the place of the
    // unprintable edges; the painter's origin is the corner of this area.
    metrics.printable = layout.paintRectPixels(resolution);
    metrics.dpiX = m_printer.logicalDpiX();
    metrics.dpiY = m_printer.logicalDpiY();
    // Bands of the screen's size in device pixels; without a screen (a headless run), the
    // size of a small one.
    const QScreen* screen = QGuiApplication::primaryScreen();
    metrics.screen =
        screen ? (QSizeF(screen->size()) * screen->devicePixelRatio()).toSize() : QSize(1024, 768);
    // Qt's print engines take a picture of any size in one call.
    metrics.largeBitmaps = true;
    return metrics;
}

bool QtPrintJob::drawImage(const QRect& target, const QImage& image) {
    if (!active() || image.isNull() || target.isEmpty()) return false;
    m_painter->drawImage(QRectF(target), image);
    return true;
}

TextMetrics QtPrintJob::textMetrics(const PrintFont& font) const {
    TextMetrics metrics;
    metrics.familyAvailable = familyInstalled(font.family);
    metrics.lineHeight = QFontMetrics(qtFont(font), &m_printer).lineSpacing();
    return metrics;
}

int QtPrintJob::textWidth(const QString& line, const PrintFont& font) const {
    return QFontMetrics(qtFont(font), &m_printer).horizontalAdvance(line);
}

bool QtPrintJob::drawText(const QPoint& topLeft, const QString& line, const PrintFont& font) {
    if (!active()) return false;
    const QFont qt = qtFont(font);
    m_painter->setFont(qt);
    m_painter->setPen(Qt::black);
    const QFontMetrics metrics(qt, &m_printer);
    m_painter->drawText(QPoint(topLeft.x(), topLeft.y() + metrics.ascent()), line);
    return true;
}

bool QtPrintJob::newPage() {
    return active() && m_printer.newPage();
}

bool QtPrintJob::end() {
    if (!active()) return false;
    const bool ended = m_painter->end();
    m_painter.reset();
    return ended;
}

void QtPrintJob::abort() {
    if (!active()) return;
    m_printer.abort();
    m_painter.reset();
}

} // namespace platform
