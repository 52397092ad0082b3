#include "app/vekImage.h"

#include <QEnterEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QPixmap>

#include <algorithm>
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

void TvekImage::setPicture(const QImage& picture, view::Scale scale) {
    m_picture = picture;
    m_scale = scale;
    m_reduced = QImage();
    if (picture.isNull() || !scale.isOne()) {
        // Scaled pictures are painted by paintEvent, an enlarged one only where it shows.
        clear();
        if (!picture.isNull() && !scale.enlarges()) m_reduced = view::renderReduced(picture, scale);
        update();
    } else {
        setPixmap(QPixmap::fromImage(picture));
    }
    if (m_autoSize && !picture.isNull()) resize(view::viewSize(picture.size(), scale));
}

void TvekImage::setForeground(Foreground paint) {
    m_foreground = std::move(paint);
    update();
}

void TvekImage::setLabels(const QList<Label>& labels) {
    m_labels = labels;
    update();
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
    if (!m_picture.isNull() && !m_scale.isOne()) {
        QPainter p(this);
        const QRect exposed = event->rect().intersected(rect());
        if (!m_reduced.isNull())
            p.drawImage(exposed.topLeft(), m_reduced, exposed);
        else if (!exposed.isEmpty())
            p.drawImage(exposed.topLeft(), view::renderArea(m_picture, m_scale, exposed));
    }
    if (!m_labels.isEmpty()) {
        QPainter p(this);
        QFont small = font();
        small.setPointSizeF(std::max(6.0, small.pointSizeF() * 0.8));
        p.setFont(small);
        const QFontMetrics metrics(small);
        for (const Label& label : m_labels) {
            QRect box = metrics.boundingRect(label.text);
            box.moveCenter(QPoint(width() / 2, label.row));
            // A halo one pixel wide keeps the number readable on every colour of the strip.
            p.setPen(QColor(255, 255, 255, 210));
            for (const QPoint d : {QPoint(-1, 0), QPoint(1, 0), QPoint(0, -1), QPoint(0, 1)})
                p.drawText(box.translated(d), Qt::AlignCenter, label.text);
            p.setPen(Qt::black);
            p.drawText(box, Qt::AlignCenter, label.text);
        }
    }
    if (m_foreground && !m_picture.isNull()) {
        QPainter p(this);
        m_foreground(p, m_scale);
    }
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
