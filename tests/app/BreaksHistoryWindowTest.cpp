// Temperature breaks and the water's history through the window: the break lines come from
// the background onto the chart, under the user's own marks, without changing what the readout
// reads; the setting and the threshold outlive the window; a flip brings up the history panel,
// which follows the pointer, can be pinned, and reads in the unit shown. Isotherms come the
// same way, labelled in the unit shown.

#include "WindowTestSupport.h"
#include "app/BreakLayerCache.h"
#include "app/ChartDisplay.h"
#include "app/HistoryPlot.h"
#include "dialogs/BreakThresholdForm.h"
#include "geo/TemperatureBreaks.h"

#include <QAction>
#include <QDir>
#include <QDockWidget>
#include <QDoubleSpinBox>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QStatusBar>
#include <QTest>
#include <gtest/gtest.h>

#include <algorithm>

namespace {

int breakPixels(const QImage& picture) {
    const QImage shown = picture.convertToFormat(QImage::Format_RGB32);
    const QRgb line = geo::breakLineColour().rgb();
    int count = 0;
    for (int y = 0; y < shown.height(); ++y) {
        const QRgb* row = reinterpret_cast<const QRgb*>(shown.constScanLine(y));
        count += int(std::count(row, row + shown.width(), line));
    }
    return count;
}

// A window whose threshold dialog answers from the test.
class AnsweringForm : public TFormThalwise {
public:
    using TFormThalwise::TFormThalwise;
    std::optional<double> askBreakThreshold(double current) override {
        offered = current;
        return answer;
    }
    std::optional<double> answer;
    double offered = 0.0;
};

TEST(BreaksWindow, BreakLinesComeFromTheBackgroundUnderTheMarksAndPersist) {
    WindowRig rig;
    {
        AnsweringForm form(rig.services, rig.key, {});
        form.show(); // the scale, and with it every reading, comes with the first showing
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&form));
        form.OpenChart(copySample(rig.documentsDir.path(), "area-ne01.gif"));
        ASSERT_FALSE(form.BaseBitmap.isNull());
        // Off at first: the picture is the chart and its marks only.
        EXPECT_FALSE(form.MenuViewBreaks->isChecked());
        EXPECT_EQ(breakPixels(form.ImageDisplay->picture()), 0);

        form.MenuViewBreaks->trigger();
        EXPECT_TRUE(form.MenuViewBreaks->isChecked());
        // The layer is made off the interface thread and shown when it is ready.
        ASSERT_TRUE(QTest::qWaitFor(
            [&] { return breakPixels(form.ImageDisplay->picture()) > 3000; }, 10000));
        // The readout keeps reading the chart itself, which has no lines on it.
        EXPECT_EQ(breakPixels(form.BaseBitmap), 0);

        // A weaker threshold from the dialog: it is offered the current one and shows more.
        const int strong = breakPixels(form.ImageDisplay->picture());
        form.answer = geo::WeakBreakThreshold;
        form.MenuViewBreakThreshold->trigger();
        EXPECT_DOUBLE_EQ(form.offered, geo::DefaultBreakThreshold);
        ASSERT_TRUE(QTest::qWaitFor(
            [&] { return breakPixels(form.ImageDisplay->picture()) != strong; }, 10000));
        // A cancelled dialog changes nothing.
        form.answer.reset();
        form.MenuViewBreakThreshold->trigger();
        form.FormDestroy();
    }
    // Both settings are there at the next start.
    AnsweringForm again(rig.services, rig.key, {});
    EXPECT_TRUE(again.MenuViewBreaks->isChecked());
    again.MenuViewBreakThreshold->trigger();
    EXPECT_DOUBLE_EQ(again.offered, geo::WeakBreakThreshold);
    again.FormDestroy();
}

TEST(BreaksWindow, ThresholdDialogOffersTheTwoUsualChoices) {
    ensureApplication();
    TFormBreakThreshold dialog;
    dialog.setThreshold(1.25);
    EXPECT_DOUBLE_EQ(dialog.threshold(), 1.25);
    dialog.ButtonWeak->click();
    EXPECT_DOUBLE_EQ(dialog.threshold(), geo::WeakBreakThreshold);
    dialog.ButtonStrong->click();
    EXPECT_DOUBLE_EQ(dialog.threshold(), geo::DefaultBreakThreshold);
    // Typed values stay within what the breaks can be drawn for.
    dialog.setThreshold(0.0);
    EXPECT_DOUBLE_EQ(dialog.threshold(), geo::LowestBreakThreshold);
    dialog.setThreshold(100.0);
    EXPECT_DOUBLE_EQ(dialog.threshold(), geo::HighestBreakThreshold);
}

TEST(BreaksWindow, UserMarksLieOverTheBreakLines) {
    // The whole chart marked as a break, and one annotation line across it.
    QImage chart(40, 40, QImage::Format_RGB32);
    chart.fill(qRgb(0, 128, 255));
    geo::BreakLayer layer;
    layer.width = layer.height = 40;
    layer.marks.assign(40 * 40, 1);
    layer.markCount = 40 * 40;
    const QList<AnnotationLine> lines{AnnotationLine{{QPoint(0, 20), QPoint(39, 20)}}};
    display::Overlays overlays;
    overlays.lines = &lines;
    overlays.breaks = &layer;
    const QImage picture = display::RepaintChart(chart, overlays);
    EXPECT_EQ(picture.pixel(20, 20), qRgb(0, 0, 0));               // the line on top
    EXPECT_EQ(picture.pixel(20, 5), geo::breakLineColour().rgb()); // the breaks below it
    EXPECT_EQ(chart.pixel(20, 5), qRgb(0, 128, 255));              // the chart untouched
}

int pixelsOf(const QImage& picture, QRgb colour) {
    const QImage shown = picture.convertToFormat(QImage::Format_RGB32);
    int count = 0;
    for (int y = 0; y < shown.height(); ++y) {
        const QRgb* row = reinterpret_cast<const QRgb*>(shown.constScanLine(y));
        count += int(std::count(row, row + shown.width(), colour));
    }
    return count;
}

class IsothermAnsweringForm : public TFormThalwise {
public:
    using TFormThalwise::TFormThalwise;
    std::optional<IsothermRequest> askIsotherms(const IsothermRequest& current) override {
        offered = current;
        return answer;
    }
    std::optional<IsothermRequest> answer;
    IsothermRequest offered;
};

TEST(IsothermsWindow, IsothermsComeLabelledInTheUnitShownAndPersist) {
    WindowRig rig;
    const QRgb line = display::isothermColour().rgb();
    {
        IsothermAnsweringForm form(rig.services, rig.key, {});
        form.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&form));
        form.OpenChart(copySample(rig.documentsDir.path(), "area-ne01.gif"));
        ASSERT_FALSE(form.BaseBitmap.isNull());
        EXPECT_EQ(pixelsOf(form.ImageDisplay->picture(), line), 0);

        // Every second degree, written in the unit shown (°F).
        form.answer = TFormThalwise::IsothermRequest{QStringLiteral("every 2"), true};
        form.MenuViewIsotherms->trigger();
        EXPECT_TRUE(form.MenuViewIsotherms->isChecked());
        ASSERT_TRUE(QTest::qWaitFor(
            [&] { return pixelsOf(form.ImageDisplay->picture(), line) > 3000; }, 10000));
        EXPECT_EQ(pixelsOf(form.BaseBitmap, line), 0); // the readout reads the chart alone

        // In °C the same lines carry other figures: only the labels change.
        const QImage inFahrenheit =
            form.ImageDisplay->picture().convertToFormat(QImage::Format_RGB32);
        form.MenuViewCelsius->trigger();
        const QImage inCelsius = form.ImageDisplay->picture().convertToFormat(QImage::Format_RGB32);
        int changed = 0;
        for (int y = 0; y < inCelsius.height(); ++y)
            for (int x = 0; x < inCelsius.width(); ++x)
                changed += inCelsius.pixel(x, y) != inFahrenheit.pixel(x, y);
        EXPECT_GT(changed, 50);
        EXPECT_LT(changed, 20000);
        form.answer.reset(); // a cancelled dialog changes nothing
        form.MenuViewIsotherms->trigger();
        form.FormDestroy();
    }
    // The request keeps the unit it was written in, and the lines are on at the next start.
    IsothermAnsweringForm again(rig.services, rig.key, {});
    EXPECT_TRUE(again.MenuViewIsotherms->isChecked());
    again.MenuViewIsotherms->trigger();
    EXPECT_EQ(again.offered.temperatures, QString::fromUtf8("every 2 \u00B0F"));
    EXPECT_TRUE(again.offered.shown);
    again.FormDestroy();
}

QString archiveSample(const char* name) {
    return QStringLiteral(THALWISE_SOURCE_DIR "/resources/samples/archive/") + QLatin1String(name);
}

TEST(HistoryWindow, AFlipPlotsTheSpotUnderThePointerOrAPinnedOne) {
    WindowRig rig;
    auto form = rig.openWindow();
    TFormThalwise& f = *form;
    f.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&f));
    QDir().mkpath(f.ArchiveFolder);
    for (const char* name :
         {"2026-11-24-12ne01.gif", "2026-11-25-12ne01.gif", "2026-11-26-12ne01.gif"})
        ASSERT_TRUE(QFile::copy(archiveSample(name), f.ArchiveFolder + name));
    EXPECT_FALSE(f.DockTemperatureHistory->isVisible());

    f.MenuFileFlipLatest->trigger();
    ASSERT_EQ(f.ChartImages.size(), 3);
    // The first flip brings the panel up.
    EXPECT_TRUE(f.DockTemperatureHistory->isVisible());
    EXPECT_TRUE(f.MenuViewTemperatureHistory->isChecked());

    // Water on all three days, each chart read under its own range (TMIN 38, TMAX 62), which the
    // window's scale, never set by a chart opened, does not have.
    geo::TemperatureScale own;
    own.TempScaleChange(f.ScaleBitmap, 38, 62);
    std::vector<QImage> days;
    for (int i = 0; i < 3; ++i)
        days.push_back(f.ChartImages.at(i).bitmap.convertToFormat(QImage::Format_RGB32));
    QPoint water;
    for (int x = 400; x < 900 && water.isNull(); x += 7)
        if (std::all_of(days.begin(), days.end(),
                        [&](const QImage& d) { return own.TemperatureAtPixel(d, x, 400) != 0; }))
            water = QPoint(x, 400);
    ASSERT_FALSE(water.isNull());
    hover(f, water);
    const std::vector<app::HistoryPoint>& points = f.PlotTemperatureHistory->points();
    ASSERT_EQ(points.size(), 3u);
    EXPECT_EQ(points[0].label, "11-24");
    EXPECT_EQ(points[2].label, "11-26");
    for (int i = 0; i < 3; ++i)
        EXPECT_EQ(points[std::size_t(i)].temperature,
                  own.TemperatureAtPixel(days[std::size_t(i)], water.x(), water.y()))
            << i;
    EXPECT_EQ(f.PlotTemperatureHistory->plottedCount(), 3);
    EXPECT_EQ(f.statusPanelToolTip(1).count('\n'), 2) << f.statusPanelToolTip(1).toStdString();
    EXPECT_TRUE(f.statusPanelToolTip(1).startsWith("11-24: "));

    // In °C the plot and the tool-tip read in °C, from the same °F readings.
    f.MenuViewCelsius->trigger();
    EXPECT_TRUE(f.PlotTemperatureHistory->celsius());
    EXPECT_TRUE(f.statusPanelToolTip(1).contains(QString::fromUtf8("\u00B0C")));
    EXPECT_FALSE(f.statusPanelToolTip(1).contains(QString::fromUtf8("\u00B0F")));
    f.MenuViewCelsius->trigger();
    EXPECT_FALSE(f.PlotTemperatureHistory->celsius());

    // Over land the plot has nothing to draw.
    const QPoint land(20, 600);
    ASSERT_EQ(own.TemperatureAtPixel(days[0], land.x(), land.y()), 0.0f);
    hover(f, land);
    EXPECT_EQ(f.PlotTemperatureHistory->plottedCount(), 0);

    // Pinned on the water: the plot stays there as the pointer goes on.
    const QPoint at = onScreen(f, water);
    QTest::mousePress(f.ImageDisplay, Qt::RightButton, {}, at);
    QTest::mouseRelease(f.ImageDisplay, Qt::RightButton, {}, at);
    ASSERT_TRUE(f.PopupMenuChart->isVisible());
    f.PopupMenuChart->close();
    QCoreApplication::processEvents();
    f.PopupMenuChartPin->trigger();
    const std::vector<app::HistoryPoint> pinned = f.PlotTemperatureHistory->points();
    hover(f, land);
    EXPECT_EQ(f.PlotTemperatureHistory->plottedCount(), 3);
    EXPECT_TRUE(f.PlotTemperatureHistory->title().startsWith("Pinned"));
    EXPECT_EQ(f.PlotTemperatureHistory->points()[1].temperature, pinned[1].temperature);
    // The right-click used no tool: no waypoint, no line.
    EXPECT_TRUE(f.WaypointList.isEmpty());
    EXPECT_TRUE(f.AnnotationLines.isEmpty());

    // Following the pointer again.
    EXPECT_FALSE(f.PopupMenuChartUnpin->isEnabled()) << "offered only once pinned";
    QTest::mousePress(f.ImageDisplay, Qt::RightButton, {}, onScreen(f, land));
    QTest::mouseRelease(f.ImageDisplay, Qt::RightButton, {}, onScreen(f, land));
    EXPECT_TRUE(f.PopupMenuChartUnpin->isEnabled());
    f.PopupMenuChart->close();
    QCoreApplication::processEvents();
    f.PopupMenuChartUnpin->trigger();
    hover(f, land);
    EXPECT_EQ(f.PlotTemperatureHistory->plottedCount(), 0);

    // An ordinary open ends the flip, and with it the history.
    f.OpenChart(copySample(rig.documentsDir.path(), "area-ne01.gif"));
    hover(f, water);
    EXPECT_TRUE(f.PlotTemperatureHistory->points().empty());
    EXPECT_TRUE(f.statusPanelToolTip(1).isEmpty());
    f.FormDestroy();
}

} // namespace
