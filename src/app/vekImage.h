#pragma once
#include "app/ViewScale.h"

#include <QImage>
#include <QLabel>
#include <QList>
#include <QString>

#include <functional>

class QEnterEvent;
class QMouseEvent;
class QPaintEvent;
class QPainter;

// A picture control that reports the mouse entering and leaving it and can let the mouse fall
// through to whatever lies beneath. Positions in its mouse signals are control pixels.
class TvekImage : public QLabel {
    Q_OBJECT
    Q_PROPERTY(bool FlickerFree READ flickerFree WRITE setFlickerFree)
    Q_PROPERTY(bool IgnoreMouse READ ignoreMouse WRITE setIgnoreMouse)
    Q_PROPERTY(bool AutoSize READ autoSize WRITE setAutoSize)
    Q_PROPERTY(bool Stretch READ stretch WRITE setStretch)

public:
    explicit TvekImage(QWidget* parent = nullptr);

    // The control pixel a pointer position lies in (each coordinate floored).
    static QPoint controlPixel(const QPointF& position);

    // True: background erase requests are answered as done; nothing is ever erased either way.
    bool flickerFree() const { return m_flickerFree; }
    void setFlickerFree(bool on);

    // True: the control is not hit by the mouse; input goes to the widget beneath.
    bool ignoreMouse() const { return m_ignoreMouse; }
    void setIgnoreMouse(bool on);

    // True: the control takes the size of every picture it is given.
    bool autoSize() const { return m_autoSize; }
    void setAutoSize(bool on);

    // True: the picture is stretched to fill the control.
    bool stretch() const { return m_stretch; }
    void setStretch(bool on);

    // The picture shown (a null image shows nothing), at its own size, and the scale it is
    // shown at: each control pixel shows the picture pixel view::chartPixel gives for it, sharp
    // when enlarged, smoothed when reduced. With AutoSize the control takes the shown size.
    const QImage& picture() const { return m_picture; }
    void setPicture(const QImage& picture, view::Scale scale = {});
    view::Scale viewScale() const { return m_scale; }

    // Numbers drawn over the picture, each centred on its row of control pixels, in a small
    // font with a light halo; the picture itself is left as it is.
    struct Label {
        int row;
        QString text;
    };
    void setLabels(const QList<Label>& labels);

    // A rubber band shown over the picture without changing it, between two control pixels:
    // a line, or the rectangle they span. Drawn in white over a dark shadow so it shows on any
    // colour; cleared by clearRubberBand.
    // Drawn over the picture and its numbers after each paint, under the rubber band: paint gets
    // a painter on the control, in control pixels, and the scale the picture is shown at. Marks
    // drawn so keep their screen size at every zoom.
    using Foreground = std::function<void(QPainter&, view::Scale)>;
    void setForeground(Foreground paint);

    void setRubberBand(const QPoint& from, const QPoint& to, bool rectangle);
    void clearRubberBand();
    bool hasRubberBand() const { return m_hasBand; }

signals:
    void OnMouseEnter(TvekImage* sender);
    void OnMouseLeave(TvekImage* sender);
    void OnMouseDown(TvekImage* sender, Qt::MouseButton button, Qt::KeyboardModifiers shift,
                     QPoint position);
    void OnMouseMove(TvekImage* sender, Qt::KeyboardModifiers shift, QPoint position);
    // A left press and release inside the control; comes before the release's OnMouseUp.
    void OnClick(TvekImage* sender);
    void OnMouseUp(TvekImage* sender, Qt::MouseButton button, Qt::KeyboardModifiers shift,
                   QPoint position);

protected:
    // Fire OnMouseEnter / OnMouseLeave; override to add behaviour.
    virtual void MouseEnter();
    virtual void MouseLeave();

    void enterEvent(QEnterEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    QImage m_picture;
    view::Scale m_scale;
    QImage m_reduced; // the picture smoothed to its shown size, below 100 %
    QList<Label> m_labels;
    Foreground m_foreground;
    bool m_flickerFree = false;
    bool m_ignoreMouse = false;
    bool m_autoSize = false;
    bool m_stretch = false;
    bool m_leftPressedInside = false;
    bool m_hasBand = false;
    bool m_bandIsRectangle = false;
    QPoint m_bandFrom;
    QPoint m_bandTo;
};
