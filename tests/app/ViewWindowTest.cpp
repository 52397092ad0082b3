// Seeing the chart through the window as a user does: fitted for a new user at every window
// size with the readout on the pixel under the pointer, zoom steps and panning that keep the
// place, the tools' keys and Esc, and the highlighted water of the slider's temperature.

#include "WindowTestSupport.h"
#include "geo/TemperatureBreaks.h"
#include "geo/ThalwiseUtils.h"

#include <QAction>
#include <QRegularExpression>
#include <QScrollBar>
#include <QSlider>
#include <QTimer>
#include <QToolButton>
#include <QWheelEvent>

namespace {

std::unique_ptr<TFormThalwise> shownWithChart(WindowRig& rig) {
    auto form = rig.openWindow();
    form->resize(1000, 720);
    form->show();
    EXPECT_TRUE(QTest::qWaitForWindowExposed(form.get()));
    form->TimerLoad->stop();
    form->OpenChart(sampleChart());
    QCoreApplication::processEvents();
    return form;
}

// The chart pixel the status bar reads with the pointer at a point of the chart's view.
QPoint pixelRead(TFormThalwise& form, QPoint viewPoint) {
    const QPoint at = form.ImageDisplay->mapFrom(form.ScrollBox->viewport(), viewPoint);
    // Sent as events: QTest takes the point (0, 0) for the middle of the control.
    for (const QPoint p : {at + QPoint(0, 1), at}) {
        QMouseEvent move(QEvent::MouseMove, p, form.ImageDisplay->mapToGlobal(p), Qt::NoButton,
                         Qt::NoButton, Qt::NoModifier);
        QCoreApplication::sendEvent(form.ImageDisplay, &move);
    }
    const QStringList parts =
        form.statusPanelText(3).split(QRegularExpression("[^0-9]+"), Qt::SkipEmptyParts);
    return parts.size() == 2 ? QPoint(parts[0].toInt(), parts[1].toInt()) : QPoint(-1, -1);
}

void ctrlWheel(TFormThalwise& form, QPoint viewPoint, int delta) {
    QWidget* view = form.ScrollBox->viewport();
    QWheelEvent wheel(viewPoint, view->mapToGlobal(QPointF(viewPoint)), QPoint(), QPoint(0, delta),
                      Qt::NoButton, Qt::ControlModifier, Qt::NoScrollPhase, false);
    QCoreApplication::sendEvent(view, &wheel);
}

QPoint scrolled(const TFormThalwise& form) {
    return QPoint(form.ScrollBox->horizontalScrollBar()->value(),
                  form.ScrollBox->verticalScrollBar()->value());
}

} // namespace

TEST(ViewWindow, ANewUserSeesTheWholeChartAndReadsThePixelUnderThePointer) {
    WindowRig rig(WindowRig::User::New);
    auto form = shownWithChart(rig);
    EXPECT_TRUE(form->MenuViewFit->isChecked());
    QWidget* view = form->ScrollBox->viewport();
    for (const QSize size : {QSize(1000, 720), QSize(1400, 1000), QSize(760, 560)}) {
        SCOPED_TRACE(std::to_string(size.width()) + "x" + std::to_string(size.height()));
        form->resize(size);
        QTest::qWait(20);
        // The whole (square) chart in the view, as large as the view's shorter side.
        const int k = form->ImageDisplay->width();
        EXPECT_EQ(form->ImageDisplay->height(), k);
        EXPECT_EQ(k, std::min(view->width(), view->height()));
        EXPECT_TRUE(view->rect().contains(
            QRect(form->ImageDisplay->mapTo(view, QPoint(0, 0)), form->ImageDisplay->size())));
        for (const QPoint shown : {QPoint(0, 0), QPoint(k / 3, k / 2 + 1), QPoint(k - 1, k - 1),
                                   QPoint(417 * k / 1024, 301 * k / 1024)}) {
            // The pixel shown at a view position is the position times 1024 / k, truncated.
            const QPoint pixel(shown.x() * 1024 / k, shown.y() * 1024 / k);
            EXPECT_EQ(pixelRead(*form, form->ImageDisplay->mapTo(view, shown)), pixel);
            EXPECT_EQ(form->statusPanelText(1),
                      geo::temperaturePanelText(form->m_temperatureScale.TemperatureAtPixel(
                          form->BaseBitmap, pixel.x(), pixel.y())));
        }
    }
}

TEST(ViewWindow, StepsPanningAndKeysKeepThePlaceAndTheMarks) {
    WindowRig rig;
    auto form = shownWithChart(rig);
    form->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(form.get()));
    // Ctrl + wheel: one step a notch up to 800 %, the pointer on its pixel (within one where a
    // step splits pixels unevenly).
    const QPoint at(300, 200);
    QPoint before = pixelRead(*form, at);
    for (const int expected : {150, 200, 300, 400, 600, 800, 800}) {
        ctrlWheel(*form, at, 120);
        EXPECT_EQ(form->ZoomPercent->Value, expected);
        const QPoint now = pixelRead(*form, at);
        EXPECT_LE((now - before).manhattanLength(), 1) << expected;
        before = now;
    }
    EXPECT_EQ(form->ImageDisplay->size(), QSize(8192, 8192));
    // Ctrl+- steps back down; "&Zoom in" and its key are 200 % as ever, F fits.
    QTest::keyClick(form.get(), Qt::Key_Minus, Qt::ControlModifier);
    EXPECT_EQ(form->ZoomPercent->Value, 600);
    form->MenuViewZoom->trigger();
    EXPECT_TRUE(form->Zoomed);
    EXPECT_TRUE(form->MenuViewZoom->isChecked());

    // Panning: the middle button, and the left one with Space held, move the chart with the
    // pointer whatever the tool; the arrow keys move it by a tenth of the view.
    QTest::keyClick(form.get(), Qt::Key_L);
    ASSERT_TRUE(QTest::qWaitFor([&] { return form->SpeedButtonDraw->isChecked(); }));
    form->ScrollBox->horizontalScrollBar()->setValue(400);
    form->ScrollBox->verticalScrollBar()->setValue(300);
    const auto pan = [&](Qt::MouseButton button, QPoint by) {
        const QPoint press =
            form->ImageDisplay->mapFrom(form->ScrollBox->viewport(), QPoint(400, 300));
        QTest::mousePress(form->ImageDisplay, button, {}, press);
        QTest::mouseMove(form->ImageDisplay, press + by);
        QTest::mouseRelease(form->ImageDisplay, button, {}, press + by);
    };
    pan(Qt::MiddleButton, {-50, -40});
    EXPECT_EQ(scrolled(*form), QPoint(450, 340));
    QTest::keyPress(form.get(), Qt::Key_Space);
    pan(Qt::LeftButton, {30, 20});
    QTest::keyRelease(form.get(), Qt::Key_Space);
    EXPECT_EQ(scrolled(*form), QPoint(420, 320));
    EXPECT_TRUE(form->AnnotationLines.isEmpty());
    QTest::keyClick(form.get(), Qt::Key_Right);
    EXPECT_EQ(scrolled(*form).x(), 420 + form->ScrollBox->viewport()->width() / 10);

    // Esc ends a press without acting: no waypoint.
    form->MenuViewNormal->trigger();
    QTest::keyClick(form.get(), Qt::Key_W);
    ASSERT_TRUE(QTest::qWaitFor([&] { return form->SpeedButtonWaypoint->isChecked(); }));
    const qsizetype waypoints = form->WaypointList.size();
    hover(*form, QPoint(300, 300));
    QTest::mousePress(form->ImageDisplay, Qt::LeftButton, {}, onScreen(*form, QPoint(300, 300)));
    QTest::keyClick(form.get(), Qt::Key_Escape);
    QTest::mouseRelease(form->ImageDisplay, Qt::LeftButton, {}, onScreen(*form, QPoint(300, 300)));
    EXPECT_EQ(form->WaypointList.size(), waypoints);
}

TEST(ViewWindow, HighlightPicksOutTheSlidersWaterAndLeavesTheReadoutAlone) {
    WindowRig rig;
    auto form = shownWithChart(rig);
    const QImage plain = form->ImageDisplay->picture();
    const geo::TemperatureField field =
        geo::temperatureField(form->m_temperatureScale, form->BaseBitmap);
    const auto striped = [&](int temperature) {
        const QImage shown = form->ImageDisplay->picture();
        int changed = 0;
        for (int y = 0; y < shown.height(); ++y)
            for (int x = 0; x < shown.width(); ++x) {
                if (shown.pixel(x, y) == plain.pixel(x, y)) continue;
                ++changed;
                const float reading = field.at(x, y);
                EXPECT_TRUE(reading != 0.0f && std::abs(reading - temperature) <= 0.5f)
                    << x << ',' << y << ' ' << reading;
            }
        return changed;
    };
    form->MenuViewHighlight->trigger();
    EXPECT_TRUE(form->MenuViewHighlight->isChecked());
    QSlider* slider = form->TrackBarTemperature;
    const auto sliderTemperature = [slider] {
        return slider->maximum() + slider->minimum() - slider->value();
    };
    ASSERT_TRUE(QTest::qWaitFor([&] { return form->ImageDisplay->picture() != plain; }, 10000));
    EXPECT_GT(striped(sliderTemperature()), 500);
    // The readout reads the chart under the stripes.
    hover(*form, QPoint(512, 512));
    EXPECT_EQ(form->statusPanelText(1), geo::temperaturePanelText(field.at(512, 512)));
    // Another temperature, another band.
    const QImage first = form->ImageDisplay->picture();
    slider->setValue(slider->value() + 2);
    ASSERT_TRUE(QTest::qWaitFor([&] { return form->ImageDisplay->picture() != first; }, 10000));
    EXPECT_GT(striped(sliderTemperature()), 500);
    // Off: the chart as it was.
    form->MenuViewHighlight->trigger();
    EXPECT_EQ(form->ImageDisplay->picture(), plain);
}

TEST(ViewWindow, AStillPointerReadsWhatTheViewMovesUnderItInEveryTool) {
    WindowRig rig;
    auto form = shownWithChart(rig);
    form->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(form.get()));
    const QPoint at(300, 200);
    pixelRead(*form, at);
    // After each change the status bar reads what a fresh move of the pointer to the same
    // place reads, and that is another pixel than before the change.
    const auto readsAsMoved = [&](const char* change) {
        SCOPED_TRACE(change);
        QCoreApplication::processEvents();
        const QStringList shown{form->statusPanelText(0), form->statusPanelText(1),
                                form->statusPanelText(3)};
        const QPoint pixel = pixelRead(*form, at);
        EXPECT_EQ(shown, QStringList({form->statusPanelText(0), form->statusPanelText(1),
                                      form->statusPanelText(3)}));
        EXPECT_FALSE(shown[1].isEmpty());
        return pixel;
    };
    QPoint before = pixelRead(*form, at);
    QTest::keyClick(form.get(), Qt::Key_Right);
    EXPECT_NE(readsAsMoved("arrow key"), before);
    before = pixelRead(*form, at);
    QTest::keyClick(form.get(), Qt::Key_Minus, Qt::ControlModifier);
    EXPECT_NE(readsAsMoved("Ctrl+-"), before);
    // The waypoint tool reads the water it will store.
    QTest::keyClick(form.get(), Qt::Key_W);
    ASSERT_TRUE(QTest::qWaitFor([&] { return form->SpeedButtonWaypoint->isChecked(); }));
    before = pixelRead(*form, at);
    ctrlWheel(*form, QPoint(100, 100), 120);
    const QPoint pixel = readsAsMoved("Ctrl+wheel elsewhere, waypoint tool");
    EXPECT_NE(pixel, before);
    EXPECT_EQ(form->statusPanelText(1),
              geo::temperaturePanelText(form->m_temperatureScale.TemperatureAtPixel(
                  form->BaseBitmap, pixel.x(), pixel.y())));
}

TEST(ViewWindow, PinsAndHomeKeepTheirScreenSizeAtEveryZoom) {
    WindowRig rig;
    auto form = shownWithChart(rig);
    GeoPosition pin, home;
    ASSERT_TRUE(form->PixelToGeo(600, 400, pin) && form->PixelToGeo(300, 500, home));
    form->HomeLat->Value = home.Latitude;
    form->HomeLon->Value = home.Longitude;
    form->WaypointList = {WaypointText(Waypoint{pin.Latitude, pin.Longitude, 60.0f})};
    form->RepaintChart();
    // Whether the pin as it shows at 100 % (the icon's solid pixels, its label's halo over
    // them included) stands with its tip within two pixels of tip: nearly all those pixels of
    // nearly the same colour (the screen may blend an edge a shade differently).
    const QImage icon = form->WaypointIcon.convertToFormat(QImage::Format_ARGB32);
    QImage pinShown;
    const auto pinAt = [&](const QImage& shown, QPoint tip) {
        const auto near = [](QRgb a, QRgb b) {
            return std::abs(qRed(a) - qRed(b)) + std::abs(qGreen(a) - qGreen(b)) +
                       std::abs(qBlue(a) - qBlue(b)) <=
                   24;
        };
        for (int dy = -2; dy <= 2; ++dy)
            for (int dx = -2; dx <= 2; ++dx) {
                int solid = 0, same = 0;
                for (int y = 0; y < 32; ++y)
                    for (int x = 0; x < 32; ++x) {
                        if (qAlpha(icon.pixel(x, y)) != 255) continue;
                        ++solid;
                        same += near(shown.pixel(tip.x() + dx - 10 + x, tip.y() + dy - 27 + y),
                                     pinShown.pixel(x, y));
                    }
                if (same >= solid * 95 / 100) return true;
            }
        return false;
    };
    for (const int percent : {100, 67, 50, 200}) {
        SCOPED_TRACE(percent);
        form->setZoom(percent);
        QCoreApplication::processEvents();
        const QImage shown =
            form->ImageDisplay->grab().toImage().convertToFormat(QImage::Format_RGB32);
        const auto viewOf = [&](const GeoPosition& place) {
            int x = 0, y = 0;
            EXPECT_TRUE(form->GeoToPixel(place.Latitude, place.Longitude, x, y));
            return QPoint(x * percent / 100, y * percent / 100);
        };
        if (percent == 100)
            pinShown = shown.copy(QRect(viewOf(pin) - QPoint(10, 27), QSize(32, 32)));
        EXPECT_TRUE(pinAt(shown, viewOf(pin)));
        // Home is a sign of its own, not a waypoint's pin.
        EXPECT_FALSE(pinAt(shown, viewOf(home)));
    }
}
