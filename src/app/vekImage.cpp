#include "app/vekImage.h"

#include <QEnterEvent>
#include <QMouseEvent>
#include <QPixmap>

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
    emit OnMouseDown(this, event->button(), event->modifiers(), event->position().toPoint());
}

void TvekImage::mouseMoveEvent(QMouseEvent* event) {
    emit OnMouseMove(this, event->modifiers(), event->position().toPoint());
}

void TvekImage::mouseReleaseEvent(QMouseEvent* event) {
    const QPoint at = event->position().toPoint();
    if (event->button() == Qt::LeftButton && m_leftPressedInside) {
        m_leftPressedInside = false;
        if (rect().contains(at)) emit OnClick(this);
    }
    emit OnMouseUp(this, event->button(), event->modifiers(), at);
}
