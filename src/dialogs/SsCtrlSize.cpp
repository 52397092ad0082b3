#include "dialogs/SsCtrlSize.h"

#include <QMouseEvent>
#include <QPainter>
#include <QRect>
#include <QRubberBand>

#include <algorithm>

namespace {

using dialogs::SizerRect;

// The dynamic property that marks a painted box (see TControlSizer::setGraphicControl).
constexpr char GraphicControlProperty[] = "graphicControl";

SizerRect boundsOf(const QWidget& widget) {
    const QRect g = widget.geometry();
    return {g.x(), g.y(), g.x() + g.width(), g.y() + g.height()};
}

bool isLeftPress(const QMouseEvent& event) {
    return event.button() == Qt::LeftButton;
}

// The left button has come up and is no longer held (a chord of buttons ends with the last).
bool isLeftRelease(const QMouseEvent& event) {
    return event.button() == Qt::LeftButton && !(event.buttons() & Qt::LeftButton);
}

} // namespace

// ---------------------------------------------------------------------------------------------
// TGrabHandle

TGrabHandle::TGrabHandle(int position) : QWidget(nullptr), m_position(position) {
    setObjectName(QStringLiteral("GrabHandle%1").arg(position));
    setFixedSize(dialogs::GrabHandleSize, dialogs::GrabHandleSize);
    setCursor(dialogs::handleCursor(position));
    setAttribute(Qt::WA_OpaquePaintEvent);
    hide();
}

void TGrabHandle::setControl(QWidget* control) {
    disconnect(m_controlDestroyed);
    m_control = control;
    // A drag that was under way belongs to the control let go.
    m_dragging = false;
    hide();
    setConcealed(false);
    QWidget* parent = control ? control->parentWidget() : nullptr;
    if (!parent) {
        setParent(nullptr);
        return;
    }
    if (parentWidget() != parent) setParent(parent);
    m_controlDestroyed = connect(control, &QObject::destroyed, this, [this] { letGo(); });
    placeOnControl();
}

void TGrabHandle::placeOnControl() {
    if (!m_control) return;
    move(dialogs::handleTopLeft(m_position, boundsOf(*m_control)));
    // Handles are the control's siblings and must lie above it and the band's neighbours.
    raise();
}

void TGrabHandle::letGo() {
    m_control = nullptr;
    m_dragging = false;
    hide();
    setConcealed(false);
}

void TGrabHandle::setConcealed(bool concealed) {
    if (concealed == m_concealed) return;
    m_concealed = concealed;
    setAttribute(Qt::WA_OpaquePaintEvent, !concealed);
    update();
}

void TGrabHandle::paintEvent(QPaintEvent*) {
    if (m_concealed) return;
    QPainter painter(this);
    painter.fillRect(rect(), Qt::black);
}

void TGrabHandle::mousePressEvent(QMouseEvent* event) {
    event->accept();
    if (!isLeftPress(*event) || m_dragging) return;
    // The press's implicit grab keeps every mouse event of the drag on this handle until the
    // release, wherever the pointer goes.
    m_dragging = true;
    report(OnPress, event->globalPosition().toPoint());
}

void TGrabHandle::mouseMoveEvent(QMouseEvent* event) {
    event->accept();
    if (m_dragging) report(OnDrag, event->globalPosition().toPoint());
}

void TGrabHandle::mouseReleaseEvent(QMouseEvent* event) {
    event->accept();
    if (!m_dragging || !isLeftRelease(*event)) return;
    m_dragging = false;
    report(OnRelease, event->globalPosition().toPoint());
}

void TGrabHandle::report(const Callback& callback, QPoint screenPos) {
    if (!callback) return;
    // A copy: the owner may replace the callbacks, or go away, during the call.
    const Callback call = callback;
    m_reporting = true;
    call(*this, screenPos);
    m_reporting = false;
}

// ---------------------------------------------------------------------------------------------
// TControlSizer

TControlSizer::TControlSizer(QObject* owner) : QObject(owner) {
    ensureHandles();
}

TControlSizer::~TControlSizer() {
    removeBand();
    if (m_control) {
        m_control->removeEventFilter(this);
        disconnect(m_controlDestroyed);
    }
    for (auto& handle : m_handles) {
        if (!handle) continue;
        handle->OnPress = nullptr;
        handle->OnDrag = nullptr;
        handle->OnRelease = nullptr;
        handle->hide();
        // A handle whose callback is running (the owner released the sizer from one of its
        // events) goes once that event has returned.
        if (handle->m_reporting)
            handle->deleteLater();
        else
            delete handle.data();
    }
}

void TControlSizer::ensureHandles() {
    for (int position = 0; position < dialogs::GrabHandleCount; ++position) {
        auto& handle = m_handles[position];
        // A handle lives in the control's parent, which takes it down when it goes itself.
        if (handle) continue;
        handle = new TGrabHandle(position);
        handle->OnPress = [this](TGrabHandle& h, QPoint p) { startSize(h, p); };
        handle->OnDrag = [this](TGrabHandle& h, QPoint p) { dragSize(h, p); };
        handle->OnRelease = [this](TGrabHandle& h, QPoint p) { endSize(h, p); };
        if (m_control) handle->setControl(m_control);
    }
}

TGrabHandle* TControlSizer::handle(int position) {
    if (position < 0 || position >= dialogs::GrabHandleCount) return nullptr;
    ensureHandles();
    return m_handles[position];
}

void TControlSizer::setAllowMove(bool allow) {
    if (allow == m_allowMove) return;
    m_allowMove = allow;
    // The event filter stays on the control either way (it also keeps the handles on it);
    // ControlWndProc takes mouse events only while moving is allowed.
    if (!allow && m_moving) cancelMove();
}

void TControlSizer::setAllowResize(bool allow) {
    if (allow == m_allowResize) return;
    m_allowResize = allow;
    // During a drag the handles are hidden; they follow the new setting when it ends.
    if (!m_sizingHandle && !m_moving) showHandles(allow);
}

void TControlSizer::setMinimumMove(int pixels) {
    m_minimumMove = std::max(pixels, 0);
}

void TControlSizer::setControl(QWidget* control) {
    if (control == m_control) return;
    letGoOfControl();
    if (!control) return;
    m_control = control;
    m_controlDestroyed = connect(control, &QObject::destroyed, this, [this] {
        // The control is going: nothing of it may be touched any more.
        m_control = nullptr;
        disconnect(m_controlDestroyed);
        endDrags();
        // Only the handles there are: the control's parent may be taking the rest down.
        for (auto& handle : m_handles)
            if (handle) handle->hide();
    });
    ensureHandles();
    for (auto& handle : m_handles)
        handle->setControl(control);
    // Qt's stand-in for hooking the control's window: its events pass ControlWndProc first.
    control->installEventFilter(this);
    showHandles(m_allowResize);
}

void TControlSizer::setGraphicControl(QWidget* control, bool graphic) {
    // Every Qt widget gets its own mouse events, so whether a control is a painted box (which
    // has no window to hook, and so is never moved by its surface) cannot be told from the
    // widget itself: its owner says so. The print selection is such a box: it is resized by
    // the handles, but a press inside it must stay a press on the picture beneath.
    if (control) control->setProperty(GraphicControlProperty, graphic);
}

bool TControlSizer::isGraphicControl(const QWidget* control) {
    return control && control->property(GraphicControlProperty).toBool();
}

void TControlSizer::letGoOfControl() {
    endDrags();
    if (m_control) {
        m_control->removeEventFilter(this);
        disconnect(m_controlDestroyed);
    }
    m_control = nullptr;
    for (auto& handle : m_handles)
        if (handle) handle->setControl(nullptr);
}

void TControlSizer::endDrags() {
    removeBand();
    m_sizingHandle = nullptr;
    m_moving = false;
    m_moved = false;
    m_pressPoint = {-1, -1};
}

bool TControlSizer::canMove() const {
    return m_allowMove && m_control && m_control->parentWidget() && !isGraphicControl(m_control);
}

void TControlSizer::placeHandles() {
    for (auto& handle : m_handles)
        if (handle) handle->placeOnControl();
}

void TControlSizer::showHandles(bool show) {
    ensureHandles();
    const bool placed = m_control && m_control->parentWidget();
    for (auto& handle : m_handles) {
        if (show && placed) {
            if (handle->Control() != m_control) handle->setControl(m_control);
            handle->placeOnControl();
            handle->setConcealed(false);
            handle->show();
        } else if (handle.data() == m_sizingHandle && handle->isVisible()) {
            // The handle being dragged only stops showing: hidden, it would lose the drag.
            handle->setConcealed(true);
        } else {
            handle->hide();
            handle->setConcealed(false);
        }
    }
}

bool TControlSizer::findBoundingWindow() {
    m_boundingWindow = m_control ? m_control->parentWidget() : nullptr;
    m_clientRect = {};
    if (!m_boundingWindow) return false;
    const QRect client = m_boundingWindow->rect();
    m_clientRect = {client.x(), client.y(), client.x() + client.width(),
                    client.y() + client.height()};
    return true;
}

SizerRect TControlSizer::controlBounds() const {
    return m_control ? boundsOf(*m_control) : SizerRect{};
}

bool TControlSizer::raise(const Event& event) {
    if (!event) return true;
    // A copy, and a guard: a handler may replace the event or release the sizer.
    const Event call = event;
    QPointer<TControlSizer> alive(this);
    call(*this);
    return !alive.isNull();
}

bool TControlSizer::eventFilter(QObject* watched, QEvent* event) {
    if (m_control && watched == m_control.data()) return ControlWndProc(m_control, event);
    return QObject::eventFilter(watched, event);
}

bool TControlSizer::ControlWndProc(QWidget* control, QEvent* event) {
    switch (event->type()) {
    case QEvent::Move:
    case QEvent::Resize:
        placeHandles();
        return false;
    case QEvent::ParentChange:
        // The handles follow the control into its new parent.
        endDrags();
        for (auto& handle : m_handles)
            if (handle) handle->setControl(control);
        showHandles(m_allowResize);
        return false;
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonDblClick: {
        // A double click's second press comes as its own event type; it is a press like any.
        const auto& mouse = static_cast<const QMouseEvent&>(*event);
        if (!canMove() || !isLeftPress(mouse)) return false;
        if (!m_moving) startMove(mouse.position().toPoint());
        return true;
    }
    case QEvent::MouseMove:
        if (!m_moving) return false;
        dragMove(static_cast<const QMouseEvent&>(*event).position().toPoint());
        return true;
    case QEvent::MouseButtonRelease: {
        const auto& mouse = static_cast<const QMouseEvent&>(*event);
        if (!m_moving || !isLeftRelease(mouse)) return false;
        endMove(mouse.position().toPoint());
        return true;
    }
    default:
        return false;
    }
}

// Resizing ---------------------------------------------------------------------------------

SizerRect TControlSizer::sizeBounds(const TGrabHandle& handle, QPoint screenPos) const {
    const QPoint pointer =
        m_boundingWindow ? m_boundingWindow->mapFromGlobal(screenPos) : screenPos;
    return dialogs::proposedBounds(controlBounds(), handle.Position(), pointer);
}

void TControlSizer::startSize(TGrabHandle& handle, QPoint screenPos) {
    if (!m_control || handle.Control() != m_control || m_sizingHandle || m_moving) return;
    if (!raise(OnStartSize)) return;
    // The handler may have let go of the control or handed over another.
    if (!m_control || handle.Control() != m_control) return;
    m_sizingHandle = &handle;
    showHandles(false);
    findBoundingWindow();
    createBand();
    drawBand(dialogs::clipToClient(sizeBounds(handle, screenPos), m_clientRect));
}

void TControlSizer::dragSize(TGrabHandle& handle, QPoint screenPos) {
    if (m_sizingHandle != &handle || !m_control) return;
    drawBand(dialogs::clipToClient(sizeBounds(handle, screenPos), m_clientRect));
}

void TControlSizer::endSize(TGrabHandle& handle, QPoint screenPos) {
    if (m_sizingHandle != &handle) return;
    removeBand();
    m_sizingHandle = nullptr;
    if (!m_control) return;
    const SizerRect bounds = dialogs::clipToClient(sizeBounds(handle, screenPos), m_clientRect);
    m_control->setGeometry(bounds.left, bounds.top, bounds.width(), bounds.height());
    placeHandles();
    showHandles(m_allowResize);
    raise(OnEndSize);
}

// Moving -----------------------------------------------------------------------------------

void TControlSizer::startMove(QPoint clientPos) {
    if (!findBoundingWindow()) return;
    m_pressPoint = clientPos;
    m_lastBand = dialogs::NoBand;
    m_moved = false;
    m_moving = true;
    showHandles(false);
}

void TControlSizer::dragMove(QPoint clientPos) {
    if (!m_control) return;
    if (!m_moved) {
        if (!dialogs::passedMinimumMove(m_pressPoint, clientPos, m_minimumMove)) return;
        m_moved = true;
        createBand();
        if (!raise(OnStartMove)) return;
        if (!m_moving || !m_control) return;
    }
    const QPoint offset = clientPos - m_pressPoint;
    drawBand(dialogs::clipToClient(dialogs::moveBand(controlBounds(), offset), m_clientRect));
}

void TControlSizer::endMove(QPoint clientPos) {
    const bool moved = m_moved;
    const QPoint offset = clientPos - m_pressPoint;
    endDrags();
    if (!m_control) return;
    // The control goes where the pointer took it, even past the bounding window's border.
    if (moved) m_control->move(m_control->pos() + offset);
    placeHandles();
    showHandles(m_allowResize);
    if (moved) raise(OnEndMove);
}

void TControlSizer::cancelMove() {
    endDrags();
    showHandles(m_allowResize);
}

// The band -----------------------------------------------------------------------------------

void TControlSizer::createBand() {
    removeBand();
    if (!m_boundingWindow) return;
    // A child of the bounding window: it cannot leave that window, and Qt restores what lay
    // beneath it without repainting the control during the drag.
    m_band = new QRubberBand(QRubberBand::Rectangle, m_boundingWindow);
    m_band->setObjectName(QStringLiteral("SizerBand"));
}

void TControlSizer::drawBand(const SizerRect& rect) {
    m_lastBand = rect;
    if (!m_band) return;
    m_band->setGeometry(rect.left, rect.top, rect.width(), rect.height());
    m_band->raise();
    m_band->show();
}

void TControlSizer::removeBand() {
    delete m_band.data();
    m_band = nullptr;
    m_lastBand = dialogs::NoBand;
}
