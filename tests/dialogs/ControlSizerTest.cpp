#include "dialogs/SsCtrlSize.h"

#include <QApplication>
#include <QRubberBand>
#include <QTest>
#include <QWidget>
#include <QWindow>
#include <gtest/gtest.h>
#include <memory>
#include <ostream>

inline void PrintTo(const QRect& r, std::ostream* os) {
    *os << "QRect(" << r.x() << ", " << r.y() << ", " << r.width() << " x " << r.height() << ")";
}

namespace {

void ensureApplication() {
    static int argc = 1;
    static char name[] = "ControlSizerTest";
    static char* argv[] = {name, nullptr};
    if (!QApplication::instance()) new QApplication(argc, argv);
}

// A control that counts the presses that reach it.
class CountingControl : public QWidget {
public:
    using QWidget::QWidget;
    int presses = 0;

protected:
    void mousePressEvent(QMouseEvent*) override { ++presses; }
};

// A 400 x 300 window holding a control at 100, 100 of 100 x 80, sized by a sizer that logs its
// events with the control's bounds at that moment.
class ControlSizer : public testing::Test {
protected:
    void SetUp() override {
        ensureApplication();
        window = std::make_unique<QWidget>();
        window->resize(400, 300);
        control = new CountingControl(window.get());
        control->setGeometry(100, 100, 100, 80);
        window->show();
        sizer = std::make_unique<TControlSizer>();
        auto logger = [this](const char* name) {
            return [this, name](TControlSizer& sender) {
                log.push_back(QStringLiteral("%1 %2,%3 %4x%5")
                                  .arg(name)
                                  .arg(sender.Control()->x())
                                  .arg(sender.Control()->y())
                                  .arg(sender.Control()->width())
                                  .arg(sender.Control()->height()));
            };
        };
        sizer->OnStartSize = logger("StartSize");
        sizer->OnEndSize = logger("EndSize");
        sizer->OnStartMove = logger("StartMove");
        sizer->OnEndMove = logger("EndMove");
        sizer->setControl(control);
    }

    // Presses a handle at its centre, drags it to the point to of its parent and releases it
    // there.
    void dragHandle(int position, QPoint to) {
        TGrabHandle* handle = sizer->handle(position);
        const QPoint target = handle->mapFromParent(to);
        QTest::mousePress(handle, Qt::LeftButton, {}, QPoint(2, 2));
        QTest::mouseMove(handle, target);
        QTest::mouseRelease(handle, Qt::LeftButton, {}, target);
    }

    // Presses the control at 10, 10, drags by offset and releases there.
    void dragControl(QPoint offset) {
        const QPoint press(10, 10);
        QTest::mousePress(control, Qt::LeftButton, {}, press);
        QTest::mouseMove(control, press + offset);
        QTest::mouseRelease(control, Qt::LeftButton, {}, press + offset);
    }

    QRubberBand* band() const { return window->findChild<QRubberBand*>(); }

    int visibleHandles() {
        int visible = 0;
        for (int position = 0; position < dialogs::GrabHandleCount; ++position)
            visible += sizer->handle(position)->Showing() ? 1 : 0;
        return visible;
    }

    std::unique_ptr<QWidget> window;
    CountingControl* control = nullptr;
    std::unique_ptr<TControlSizer> sizer;
    QStringList log;
};

} // namespace

TEST_F(ControlSizer, PutsEightBlackHandlesOnTheControlInItsParent) {
    EXPECT_EQ(visibleHandles(), 8);
    const QRect expected[] = {{98, 98, 5, 5},   {148, 98, 5, 5},  {198, 98, 5, 5}, {198, 138, 5, 5},
                              {198, 178, 5, 5}, {148, 178, 5, 5}, {98, 178, 5, 5}, {98, 138, 5, 5}};
    for (int position = 0; position < dialogs::GrabHandleCount; ++position) {
        TGrabHandle* handle = sizer->handle(position);
        SCOPED_TRACE(position);
        EXPECT_EQ(handle->parentWidget(), window.get());
        EXPECT_EQ(handle->geometry(), expected[position]);
        EXPECT_EQ(handle->grab().toImage().pixel(2, 2), qRgb(0, 0, 0));
    }
    // Moved by the program, the control takes its handles along.
    control->move(20, 30);
    EXPECT_EQ(sizer->handle(4)->geometry(), QRect(118, 108, 5, 5));
}

TEST_F(ControlSizer, AHandleDragShowsOnlyTheBandAndChangesTheBoundsOnceOnRelease) {
    TGrabHandle* handle = sizer->handle(4);
    // The drag's events come from the window system to the window, as a user's do: they must
    // still reach the handle pressed, though it no longer shows.
    QWindow* screenWindow = window->windowHandle();
    ASSERT_NE(screenWindow, nullptr);
    QTest::mousePress(screenWindow, Qt::LeftButton, {}, handle->geometry().center());
    EXPECT_EQ(visibleHandles(), 0);
    QTest::mouseMove(screenWindow, QPoint(250, 220));
    ASSERT_NE(band(), nullptr);
    EXPECT_TRUE(band()->isVisible());
    EXPECT_EQ(band()->geometry(), QRect(100, 100, 150, 120));
    EXPECT_EQ(control->geometry(), QRect(100, 100, 100, 80));
    // Past the window's corner the band stops at its border.
    QTest::mouseMove(screenWindow, QPoint(450, 350));
    EXPECT_EQ(band()->geometry(), QRect(100, 100, 300, 200));
    EXPECT_EQ(control->geometry(), QRect(100, 100, 100, 80));

    QTest::mouseRelease(screenWindow, Qt::LeftButton, {}, QPoint(250, 220));
    EXPECT_EQ(band(), nullptr);
    EXPECT_EQ(control->geometry(), QRect(100, 100, 150, 120));
    EXPECT_EQ(visibleHandles(), 8);
    EXPECT_EQ(sizer->handle(4)->geometry(), QRect(248, 218, 5, 5));
    EXPECT_EQ(log, QStringList({"StartSize 100,100 100x80", "EndSize 100,100 150x120"}));
}

TEST_F(ControlSizer, HandlesResizeTurnOverAndStopAtTheWindowsBorder) {
    const struct {
        const char* what;
        int position;
        QPoint to;
        QRect expected;
    } cases[] = {
        // The old top-left corner becomes the bottom-right one.
        {"bottom-right past the top-left", 4, {50, 60}, {50, 60, 50, 40}},
        {"right past the left", 3, {40, 10}, {40, 100, 60, 80}},
        {"top past the bottom", 1, {10, 250}, {100, 180, 100, 70}},
        {"bottom-right outside", 4, {500, 400}, {100, 100, 300, 200}},
        {"left outside", 7, {-5, 10}, {0, 100, 200, 80}},
        {"bottom-right past the top-left and outside", 4, {-20, -20}, {0, 0, 100, 100}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        control->setGeometry(100, 100, 100, 80);
        dragHandle(c.position, c.to);
        EXPECT_EQ(control->geometry(), c.expected);
        EXPECT_EQ(band(), nullptr);
    }
}

TEST_F(ControlSizer, AMoveStartsAtMinimumMoveOnEitherAxisAndAJiggleIsAClick) {
    const struct {
        QPoint offset;
        QPoint expected;
        QStringList events;
    } cases[] = {
        {{2, 2}, {100, 100}, {}},
        {{3, 0}, {103, 100}, {"StartMove 100,100 100x80", "EndMove 103,100 100x80"}},
        {{0, -3}, {100, 97}, {"StartMove 100,100 100x80", "EndMove 100,97 100x80"}},
        // The final position is where the pointer went, past the window's border too.
        {{-150, 5}, {-50, 105}, {"StartMove 100,100 100x80", "EndMove -50,105 100x80"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.offset.x() << "," << c.offset.y());
        control->move(100, 100);
        log.clear();
        dragControl(c.offset);
        EXPECT_EQ(control->pos(), c.expected);
        EXPECT_EQ(log, c.events);
        EXPECT_EQ(visibleHandles(), 8);
        EXPECT_EQ(band(), nullptr);
    }
    // The presses were taken for moves: none reached the control.
    EXPECT_EQ(control->presses, 0);
}

TEST_F(ControlSizer, DuringAMoveOnlyTheClippedBandFollowsThePointer) {
    QTest::mousePress(control, Qt::LeftButton, {}, QPoint(10, 10));
    EXPECT_EQ(visibleHandles(), 0);
    QTest::mouseMove(control, QPoint(12, 11));
    EXPECT_EQ(band(), nullptr);
    QTest::mouseMove(control, QPoint(-140, 11));
    ASSERT_NE(band(), nullptr);
    EXPECT_EQ(band()->geometry(), QRect(0, 101, 49, 79)); // -50, 101 to 49, 180, clipped
    EXPECT_EQ(control->pos(), QPoint(100, 100));
    QTest::mouseRelease(control, Qt::LeftButton, {}, QPoint(20, 30));
    EXPECT_EQ(control->pos(), QPoint(110, 120));
    EXPECT_EQ(band(), nullptr);
}

TEST_F(ControlSizer, APaintedBoxOrAForbiddenMoveIsResizedButNeverMoved) {
    for (const bool graphic : {true, false}) {
        SCOPED_TRACE(graphic ? "graphic control" : "AllowMove false");
        TControlSizer::setGraphicControl(control, graphic);
        sizer->setAllowMove(!graphic ? false : true);
        control->presses = 0;
        log.clear();
        dragControl({20, 20});
        EXPECT_EQ(control->pos(), QPoint(100, 100));
        EXPECT_EQ(control->presses, 1); // the press is the control's own
        EXPECT_EQ(visibleHandles(), 8);
        dragHandle(4, {150, 150});
        EXPECT_EQ(control->geometry(), QRect(100, 100, 50, 50));
        EXPECT_EQ(log, QStringList({"StartSize 100,100 100x80", "EndSize 100,100 50x50"}));
        control->setGeometry(100, 100, 100, 80);
    }
    TControlSizer::setGraphicControl(control, false);
    sizer->setAllowMove(true);
    dragControl({20, 20});
    EXPECT_EQ(control->pos(), QPoint(120, 120));
}

TEST_F(ControlSizer, WithoutAllowResizeNoHandleShowsAlsoAfterAMove) {
    sizer->setAllowResize(false);
    EXPECT_EQ(visibleHandles(), 0);
    dragControl({5, 5});
    EXPECT_EQ(control->pos(), QPoint(105, 105));
    EXPECT_EQ(visibleHandles(), 0);
    sizer->setAllowResize(true);
    EXPECT_EQ(visibleHandles(), 8);
    EXPECT_EQ(sizer->handle(0)->geometry(), QRect(103, 103, 5, 5));
}

TEST_F(ControlSizer, TheHandlesFollowTheControlAndNoneHidesThem) {
    // Handing over the control it holds changes nothing, not even a drag under way.
    TGrabHandle* handle = sizer->handle(4);
    QTest::mousePress(handle, Qt::LeftButton, {}, QPoint(2, 2));
    QTest::mouseMove(handle, handle->mapFromParent(QPoint(150, 150)));
    sizer->setControl(control);
    QTest::mouseRelease(handle, Qt::LeftButton, {}, handle->mapFromParent(QPoint(150, 150)));
    EXPECT_EQ(control->geometry(), QRect(100, 100, 50, 50));

    auto* other = new QWidget(window.get());
    other->setGeometry(10, 10, 20, 20);
    other->show();
    sizer->setControl(other);
    EXPECT_EQ(visibleHandles(), 8);
    EXPECT_EQ(sizer->handle(4)->geometry(), QRect(28, 28, 5, 5));
    control->setGeometry(100, 100, 100, 80);
    // The old control is let go: dragging it moves nothing.
    dragControl({20, 20});
    EXPECT_EQ(control->pos(), QPoint(100, 100));

    sizer->setControl(nullptr);
    EXPECT_EQ(visibleHandles(), 0);
    EXPECT_EQ(sizer->Control(), nullptr);
}

TEST_F(ControlSizer, ADestroyedControlOrParentIsLetGo) {
    // Gone in the middle of a resize: the band goes with it and the release changes nothing.
    TGrabHandle* handle = sizer->handle(4);
    QTest::mousePress(handle, Qt::LeftButton, {}, QPoint(2, 2));
    QTest::mouseMove(handle, handle->mapFromParent(QPoint(150, 150)));
    ASSERT_NE(band(), nullptr);
    delete control;
    EXPECT_EQ(sizer->Control(), nullptr);
    EXPECT_EQ(band(), nullptr);
    QTest::mouseRelease(handle, Qt::LeftButton, {}, handle->mapFromParent(QPoint(150, 150)));
    EXPECT_EQ(visibleHandles(), 0);

    // The window takes the control and the handles down with it; the sizer makes new handles
    // for the next control.
    auto* next = new QWidget(window.get());
    next->setGeometry(10, 10, 20, 20);
    sizer->setControl(next);
    window.reset();
    EXPECT_EQ(sizer->Control(), nullptr);

    auto second = std::make_unique<QWidget>();
    second->resize(200, 200);
    auto* box = new QWidget(second.get());
    box->setGeometry(50, 50, 40, 40);
    second->show();
    sizer->setControl(box);
    EXPECT_EQ(visibleHandles(), 8);
    EXPECT_EQ(sizer->handle(0)->parentWidget(), second.get());
    dragHandle(4, {70, 80});
    EXPECT_EQ(box->geometry(), QRect(50, 50, 20, 30));
}

TEST_F(ControlSizer, AnEventHandlerMayReleaseTheControlOrTheSizer) {
    // The control goes as a resize starts: the drag that follows does nothing.
    sizer->OnStartSize = [this](TControlSizer&) { delete control; };
    dragHandle(4, {150, 150});
    EXPECT_EQ(sizer->Control(), nullptr);
    EXPECT_EQ(band(), nullptr);

    control = new CountingControl(window.get());
    control->setGeometry(100, 100, 100, 80);
    control->show();
    sizer->OnStartSize = nullptr;
    sizer->setControl(control);
    sizer->OnEndSize = [this](TControlSizer&) { sizer.reset(); };
    dragHandle(4, {150, 150});
    EXPECT_EQ(sizer, nullptr);
    EXPECT_EQ(control->geometry(), QRect(100, 100, 50, 50));
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(window->findChildren<TGrabHandle*>().isEmpty());

    sizer = std::make_unique<TControlSizer>();
    sizer->setControl(control);
    sizer->OnEndMove = [this](TControlSizer&) { sizer.reset(); };
    dragControl({5, 5});
    EXPECT_EQ(control->pos(), QPoint(105, 105));
    // Without the sizer the control takes its own presses again.
    QTest::mousePress(control, Qt::LeftButton, {}, QPoint(10, 10));
    QTest::mouseRelease(control, Qt::LeftButton, {}, QPoint(10, 10));
    EXPECT_EQ(control->presses, 1);
}

TEST_F(ControlSizer, AnEndHandlerMayKeepTheControlInsideAndHandItOverAgain) {
    // As a selection kept on a picture does: its bounds are corrected, then the handles are
    // brought back onto it by letting it go and taking it again.
    sizer->OnEndSize = [this](TControlSizer& sender) {
        QWidget* held = sender.Control();
        held->setGeometry(held->geometry().intersected(QRect(90, 90, 150, 150)));
        sender.setControl(nullptr);
        sender.setControl(held);
    };
    dragHandle(4, {300, 280});
    EXPECT_EQ(control->geometry(), QRect(100, 100, 140, 140));
    EXPECT_EQ(visibleHandles(), 8);
    EXPECT_EQ(sizer->handle(4)->geometry(), QRect(238, 238, 5, 5));
    dragHandle(4, {150, 150});
    EXPECT_EQ(control->geometry(), QRect(100, 100, 50, 50));

    // A window owning the sizer, the control and the handles goes in one piece.
    auto* owned = new TControlSizer(window.get());
    sizer.reset();
    owned->setControl(control);
    window.reset();
}
