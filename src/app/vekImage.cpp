#include "app/vekImage.h"

#include <QEnterEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QPixmap>

#include <cmath>

QPoint TvekImage::controlPixel(const QPointF& position) {
    // Truncated toward minus infinity: with fractional display scaling a pointer position lies
    // between pixels, and the pixel it is over is the one to its upper left. Rounding would
    // read the neighbour half of the time.
    return QPoint(int(std::floor(position.x())), int(std::floor(position.y())));
}

TvekImage::TvekImage(QWidget* parent) : QLabel(parent) {
    setMouseTracking(true);
    setAlignment(Qt::AlignLeft | Qt::AlignTop);
    // The control never paints a background of its own under the picture.
    setAutoFillBackground(false);
}

void TvekImage::setFlickerFree(bool on) {
    m_flickerFree = on;
    setAttribute(Qt::WA_OpaquePaintEvent, on);
}

void TvekImage::setIgnoreMouse(bool on) {
    m_ignoreMouse = on;
    setAttribute(Qt::WA_TransparentForMouseEvents, on);
}

void TvekImage::setAutoSize(bool on) {
    m_autoSize = on;
    if (on && !m_picture.isNull()) resize(m_picture.size());
}

void TvekImage::setStretch(bool on) {
    m_stretch = on;
    setScaledContents(on);
}

void TvekImage::setPicture(const QImage& picture) {
    m_picture = picture;
    if (picture.isNull())
        clear();
    else
        setPixmap(QPixmap::fromImage(picture));
    if (m_autoSize && !picture.isNull()) resize(picture.size());
}

void TvekImage::MouseEnter() {
    emit OnMouseEnter(this);
}

void TvekImage::MouseLeave() {
    emit OnMouseLeave(this);
}

void TvekImage::enterEvent(QEnterEvent* event) {
    QLabel::enterEvent(event);
    MouseEnter();
}

void TvekImage::leaveEvent(QEvent* event) {
    QLabel::leaveEvent(event);
    MouseLeave();
}

void TvekImage::mousePressEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton) m_leftPressedInside = true;
    emit OnMouseDown(this, event->button(), event->modifiers(), controlPixel(event->position()));
}

void TvekImage::mouseMoveEvent(QMouseEvent* event) {
    emit OnMouseMove(this, event->modifiers(), controlPixel(event->position()));
}

void TvekImage::mouseReleaseEvent(QMouseEvent* event) {
    const QPoint at = controlPixel(event->position());
    if (event->button() == Qt::LeftButton && m_leftPressedInside) {
        m_leftPressedInside = false;
        if (rect().contains(at)) emit OnClick(this);
    }
    emit OnMouseUp(this, event->button(), event->modifiers(), at);
}

void TvekImage::setRubberBand(const QPoint& from, const QPoint& to, bool rectangle) {
    const QRect before = QRect(m_bandFrom, m_bandTo).normalized();
    const bool hadBand = m_hasBand;
    m_hasBand = true;
    m_bandIsRectangle = rectangle;
    m_bandFrom = from;
    m_bandTo = to;
    // Only the parts the old and the new band cover need painting again.
    const QRect after = QRect(from, to).normalized();
    update((hadBand ? before.united(after) : after).adjusted(-3, -3, 3, 3));
}

void TvekImage::clearRubberBand() {
    if (!m_hasBand) return;
    m_hasBand = false;
    update(QRect(m_bandFrom, m_bandTo).normalized().adjusted(-3, -3, 3, 3));
}

void TvekImage::paintEvent(QPaintEvent* event) {
    QLabel::paintEvent(event);
    if (!m_hasBand) return;
    QPainter p(this);
    for (const auto& [colour, width] : {std::pair{QColor(0, 0, 0, 140), 3}, {Qt::white, 1}}) {
        p.setPen(QPen(colour, width, Qt::SolidLine, Qt::SquareCap));
        if (m_bandIsRectangle)
            p.drawRect(QRect(m_bandFrom, m_bandTo).normalized());
        else
            p.drawLine(m_bandFrom, m_bandTo);
    }
}
