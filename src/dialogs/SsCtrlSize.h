#pragma once
#include "dialogs/SizerGeometry.h"

#include <QObject>
#include <QPoint>
#include <QPointer>
#include <QWidget>

#include <array>
#include <functional>

class QRubberBand;

// One of the eight grab handles around a sized control: a 5 x 5 black square, hidden until
// shown, a child of the control's parent widget. It reports a left-button drag to its owner
// through three callbacks with the pointer in screen coordinates: OnPress when pressed,
// OnDrag for each move while pressed, OnRelease when the left button comes up.
class TGrabHandle : public QWidget {
    Q_OBJECT

public:
    using Callback = std::function<void(TGrabHandle& handle, QPoint screenPos)>;

    // position 0 to 7, clockwise from the control's top-left corner (see SizerGeometry.h).
    explicit TGrabHandle(int position);

    int Position() const { return m_position; }
    // The control this handle sits on, or none (also once that control is destroyed).
    QWidget* Control() const { return m_control; }
    // Moves into the control's parent widget and onto its place there, still hidden. None:
    // hidden and without a parent.
    void setControl(QWidget* control);
    // Puts the handle on its point of the control's current bounds and above its siblings.
    void placeOnControl();
    // True from a left-button press on the handle until the release.
    bool Dragging() const { return m_dragging; }
    // Shown on screen: placed, visible and not concealed.
    bool Showing() const { return isVisible() && !m_concealed; }
    // A concealed handle draws nothing and lets the picture beneath show, but stays in place
    // for the mouse: the handle being dragged keeps the pointer's events to the release,
    // which a hidden one would lose.
    void setConcealed(bool concealed);

    Callback OnPress;
    Callback OnDrag;
    Callback OnRelease;

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    friend class TControlSizer;
    void letGo();
    void report(const Callback& callback, QPoint screenPos);

    const int m_position;
    QPointer<QWidget> m_control;
    QMetaObject::Connection m_controlDestroyed;
    bool m_dragging = false;
    bool m_reporting = false; // one of the callbacks is running
    bool m_concealed = false;
};

// Lets the user move and resize one control with the mouse, as a form designer does: eight
// grab handles surround the control, dragging a handle resizes it and dragging the control
// itself moves it. During a drag only a rubber band on the control's parent follows the
// pointer; the control takes its new bounds once, on release, and the owner hears of it
// through the events. The control's parent widget is the bounding window: its rect() limits
// every band and every resize.
class TControlSizer : public QObject {
    Q_OBJECT
    Q_PROPERTY(bool AllowMove READ AllowMove WRITE setAllowMove)
    Q_PROPERTY(bool AllowResize READ AllowResize WRITE setAllowResize)
    Q_PROPERTY(QWidget* Control READ Control WRITE setControl)
    Q_PROPERTY(int MinimumMove READ MinimumMove WRITE setMinimumMove)

public:
    // A plain notification that passes only the sizer; the handler reads Control() from it.
    using Event = std::function<void(TControlSizer& sender)>;

    // AllowMove and AllowResize true, MinimumMove 3, no control; the eight handles exist from
    // the start, hidden.
    explicit TControlSizer(QObject* owner = nullptr);
    ~TControlSizer() override;

    // The control can be dragged by its own surface; never for a graphic control.
    bool AllowMove() const { return m_allowMove; }
    void setAllowMove(bool allow);
    // The handles are shown around the control and can be dragged.
    bool AllowResize() const { return m_allowResize; }
    void setAllowResize(bool allow);
    // The control being sized, or none. Setting it moves the handles onto it; setting the
    // control already held does nothing; none hides the handles. A control without a parent
    // widget has no bounding window: it is held but shows no handles and cannot be moved.
    QWidget* Control() const { return m_control; }
    void setControl(QWidget* control);
    // Pixels, on either axis, that the pointer must travel from a press on the control before
    // it counts as a move; 0 to 2147483647, a negative value is taken as 0.
    int MinimumMove() const { return m_minimumMove; }
    void setMinimumMove(int pixels);

    // After a move has changed the control's position.
    Event OnEndMove;
    // After a resize has changed the control's bounds.
    Event OnEndSize;
    // When a press on the control has travelled MinimumMove pixels.
    Event OnStartMove;
    // When a grab handle is pressed, before anything changes.
    Event OnStartSize;

    // Marks control as a painted box rather than a control with a window of its own: the
    // sizer resizes it with the handles but never moves it by dragging its surface.
    static void setGraphicControl(QWidget* control, bool graphic = true);
    static bool isGraphicControl(const QWidget* control);

    // The handle at position 0 to 7 (created again if its parent took it down), or none.
    TGrabHandle* handle(int position);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    // Sees the controlled control's events before the control does; true when the event was
    // taken for a move and must not reach the control.
    virtual bool ControlWndProc(QWidget* control, QEvent* event);

private:
    void ensureHandles();
    void placeHandles();
    void showHandles(bool show);
    void letGoOfControl();
    void endDrags();
    bool canMove() const;
    bool findBoundingWindow();
    dialogs::SizerRect controlBounds() const;

    void startSize(TGrabHandle& handle, QPoint screenPos);
    void dragSize(TGrabHandle& handle, QPoint screenPos);
    void endSize(TGrabHandle& handle, QPoint screenPos);
    dialogs::SizerRect sizeBounds(const TGrabHandle& handle, QPoint screenPos) const;

    void startMove(QPoint clientPos);
    void dragMove(QPoint clientPos);
    void endMove(QPoint clientPos);
    void cancelMove();

    void createBand();
    void drawBand(const dialogs::SizerRect& rect);
    void removeBand();
    // Raises event; false when the handler released the sizer.
    bool raise(const Event& event);

    bool m_allowMove = true;
    bool m_allowResize = true;
    int m_minimumMove = dialogs::DefaultMinimumMove;
    QPointer<QWidget> m_control;
    QMetaObject::Connection m_controlDestroyed;
    std::array<QPointer<TGrabHandle>, dialogs::GrabHandleCount> m_handles;

    // The handle being dragged, none when no resize is under way.
    QPointer<TGrabHandle> m_sizingHandle;
    // A move: the press point in the control's client coordinates, (-1, -1) when none.
    QPoint m_pressPoint{-1, -1};
    bool m_moving = false;
    bool m_moved = false;

    QPointer<QWidget> m_boundingWindow;
    dialogs::SizerRect m_clientRect;
    // The band exists only while a handle or the control is dragged.
    QPointer<QRubberBand> m_band;
    dialogs::SizerRect m_lastBand = dialogs::NoBand;
};
